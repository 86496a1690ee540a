#include <gtest/gtest.h>

#include "vcl/sysutils.h"

namespace {

TEST(DateTimeTest, DaysCountFrom30December1899) {
    struct Case { int y, m, d; double days; };
    for (const Case c : {Case{1899, 12, 30, 0}, Case{1900, 1, 1, 2}, Case{2000, 1, 1, 36526}, Case{1899, 12, 1, -29},
                         Case{2024, 2, 29, 45351}}) {
        EXPECT_EQ(vcl::EncodeDate(c.y, c.m, c.d), c.days) << c.y << "-" << c.m << "-" << c.d;
        int y, m, d;
        vcl::DecodeDate(c.days, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d);
    }
    EXPECT_THROW(vcl::EncodeDate(2023, 2, 29), vcl::EConvertError);
}

TEST(DateTimeTest, DecodesEveryDayOfFourCenturies) {
    for (int n = -700000 + 693594; n < 150000; n += 7) {  // from year 1 onward, every 7th day
        int y, m, d;
        vcl::DecodeDate(n, y, m, d);
        ASSERT_EQ(vcl::EncodeDate(y, m, d), n);
    }
}

TEST(DateTimeTest, TimeOfDayIsTheFraction) {
    const vcl::TDateTime t = vcl::EncodeTime(18, 30, 15, 250);
    int h, n, s, ms;
    vcl::DecodeTime(45000 + t, h, n, s, ms);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 183015250);
    EXPECT_NEAR(vcl::EncodeTime(12, 0, 0, 0), 0.5, 1e-12);
    EXPECT_LE(vcl::Date(), vcl::Now());
}

}  // namespace
