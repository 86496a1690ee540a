#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "vcl/sysutils.h"

namespace {

using vcl::EncodeDate;
using vcl::EncodeTime;
using vcl::TDateTime;

// Every test starts and ends with the default (German) settings.
class FormatsTest : public ::testing::Test {
protected:
    void SetUp() override { vcl::FormatSettings = vcl::TFormatSettings{}; }
    void TearDown() override { vcl::FormatSettings = vcl::TFormatSettings{}; }
};

int ThisYear() {
    int y, m, d;
    vcl::DecodeDate(vcl::Date(), y, m, d);
    return y;
}

TEST_F(FormatsTest, FormatFloatByTheFormatLanguage) {
    struct Case { const char* format; double value; const char* expected; };
    const Case cases[] = {
        {"#,##0.00", 1234.5, "1.234,50"},
        {"0.0", 2.25, "2,3"},
        {"#", 0, ""},
        {"#", 12.6, "13"},
        {"000", 7, "007"},
        {"#,##0", -1234567, "-1.234.567"},
        {"#,##0", 999.6, "1.000"},
        {"#,##0", 1e20, "100.000.000.000.000.000.000"},
        {"#,##0.00", 0.5, "0,50"},
        {"#,##0.00", 123, "123,00"},
        // rounding half away from zero on the decimal digits the user wrote
        {"0.00", 1.005, "1,01"},
        {"0", 2.5, "3"},
        {"0", -2.5, "-3"},
        {"0", 0.49, "0"},
        {"0.0", -0.04, "0,0"},
        // optional decimals
        {"0.##", 1, "1"},
        {"0.##", 1.5, "1,5"},
        {"0.0#", 1.5, "1,5"},
        {"0.0#", 1.234, "1,23"},
        {".00", 12.5, "12,50"},
        // digits beyond the placeholders, literals between and around them
        {"0", 123456, "123456"},
        {"0-00", 12345, "123-45"},
        {"'EUR' #,##0.00", 1234.5, "EUR 1.234,50"},
        {"0 %", 42, "42 %"},
        {"\"a;b\" 0", 5, "a;b 5"},
        {"x", 5, "x"},
        // sections
        {"0.00;(0.00);'null'", 3.5, "3,50"},
        {"0.00;(0.00);'null'", -3.5, "(3,50)"},
        {"0.00;(0.00);'null'", 0, "null"},
        {"0.0;-0.0;'zero'", -0.04, "zero"},
        {"#,##0.00;;'null'", -5, "-5,00"},
        {"0;(0)", 0, "0"},
        {"0;(0);", 0, "0"},
        {"0;(0);zero;more", 0, "zero"},
        // exponents
        {"0.00E+00", 1234.5, "1,23E+03"},
        {"0.00E-00", 1234.5, "1,23E03"},
        {"0.00e+00", -1234.5, "-1,23e+03"},
        {"0.0E+0", 0.00012, "1,2E-4"},
        {"0.00E+00", 9.999, "1,00E+01"},
        {"00.0E+0", 1234.5, "12,3E+2"},
        {"0.00E+00", 0, "0,00E+00"},
        // empty format: the general format
        {"", 1234.5, "1234,5"},
    };
    for (const Case& c : cases) EXPECT_EQ(vcl::FormatFloat(c.format, c.value), c.expected) << c.format << " / " << c.value;
}

TEST_F(FormatsTest, FormatFloatFollowsTheSettings) {
    vcl::FormatSettings.DecimalSeparator = '.';
    vcl::FormatSettings.ThousandSeparator = ',';
    EXPECT_EQ(vcl::FormatFloat("#,##0.00", 1234567.891), "1,234,567.89");
    vcl::TFormatSettings swiss;
    swiss.ThousandSeparator = '\'';
    swiss.DecimalSeparator = '.';
    EXPECT_EQ(vcl::FormatFloat("#,##0.00", 1234.5, swiss), "1'234.50");
}

TEST_F(FormatsTest, NonFiniteNumbersHaveNames) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(vcl::FormatFloat("#,##0.00", inf), "INF");
    EXPECT_EQ(vcl::FormatFloat("#,##0.00", -inf), "-INF");
    EXPECT_EQ(vcl::FormatFloat("0", std::nan("")), "NAN");
    EXPECT_EQ(vcl::FloatToStr(-inf), "-INF");
}

TEST_F(FormatsTest, FloatToStrGeneralFormat) {
    struct Case { double value; const char* expected; };
    const Case cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {100, "100"},
        {1234.5, "1234,5"},
        {-0.1, "-0,1"},
        {0.1 + 0.2, "0,3"},
        {1.0 / 3, "0,333333333333333"},
        {123456789012345, "123456789012345"},
        {1e15, "1E15"},
        {1e20, "1E20"},
        {-2.5e20, "-2,5E20"},
        {0.00001, "0,00001"},
        {1.5e-7, "1,5E-7"},
    };
    for (const Case& c : cases) EXPECT_EQ(vcl::FloatToStr(c.value), c.expected) << c.value;
}

TEST_F(FormatsTest, FormatDateTimeByTheFormatLanguage) {
    const TDateTime day = EncodeDate(2024, 3, 5);  // a Tuesday
    const TDateTime evening = day + EncodeTime(18, 7, 9, 45);
    const TDateTime morning = EncodeDate(2005, 11, 20) + EncodeTime(0, 30, 0, 0);
    struct Case { const char* format; TDateTime value; std::string expected; };
    const Case cases[] = {
        {"dd.mm.yyyy", day, "05.03.2024"},
        {"hh:nn", 0.75, "18:00"},
        {"d.m.yy", day, "5.3.24"},
        {"ddd dddd", evening, "Di Dienstag"},
        {"mmm mmmm", day, "Mrz M\xE4rz"},
        {"h:n:s.z", evening, "18:7:9.45"},
        {"hh:nn:ss.zzz", evening, "18:07:09.045"},
        {"yyyy/mm/dd", day, "2024.03.05"},
        {"yy", morning, "05"},
        // m and mm after an hour are minutes, elsewhere months
        {"hh:mm", evening, "18:07"},
        {"h mm", evening, "18 07"},
        {"mm", evening, "03"},
        {"hh:nn mm", evening, "18:07 03"},
        // twelve-hour clock
        {"hh:nn am/pm", evening, "06:07 pm"},
        {"h AM/PM", morning, "12 AM"},
        {"h a/p", day + 0.5, "12 p"},
        // literals
        {"'dd' dd", day, "dd 05"},
        {"\"hh\"", day, "hh"},
        {"dd-mm", day, "05-03"},
        // named formats
        {"c", evening, "05.03.2024 18:07:09"},
        {"c", day, "05.03.2024"},
        {"", day, "05.03.2024"},
        {"", morning, "20.11.2005 00:30:00"},
        {"ddddd", evening, "05.03.2024"},
        {"dddddd", day, "Dienstag, 5. M\xE4rz 2024"},
        {"t", evening, "18:07"},
        {"tt", evening, "18:07:09"},
    };
    for (const Case& c : cases) EXPECT_EQ(vcl::FormatDateTime(c.format, c.value), c.expected) << c.format;
}

TEST_F(FormatsTest, DateTimeToTextUsesTheSettings) {
    const TDateTime moment = EncodeDate(2024, 12, 24) + EncodeTime(9, 5, 0, 0);
    EXPECT_EQ(vcl::DateToStr(moment), "24.12.2024");
    EXPECT_EQ(vcl::TimeToStr(moment), "09:05:00");
    EXPECT_EQ(vcl::DateTimeToStr(moment), "24.12.2024 09:05:00");
    vcl::FormatSettings.ShortDateFormat = "mm/dd/yyyy";
    vcl::FormatSettings.DateSeparator = '/';
    vcl::FormatSettings.LongTimeFormat = "h:nn:ss am/pm";
    EXPECT_EQ(vcl::DateTimeToStr(moment), "12/24/2024 9:05:00 am");
}

TEST_F(FormatsTest, SelfReferringFormatsStop) {
    vcl::FormatSettings.ShortDateFormat = "c dd";
    vcl::FormatSettings.LongTimeFormat = "tt";
    vcl::FormatSettings.ShortTimeFormat = "t";
    const std::string text = vcl::FormatDateTime("c", EncodeDate(2024, 3, 5) + 0.5);
    EXPECT_NE(text.find("05"), std::string::npos) << text;
}

TEST_F(FormatsTest, FormatDateTimeRejectsValuesOutsideTheCalendar) {
    for (const double v : {std::nan(""), std::numeric_limits<double>::infinity(), 1e10, -1e10})
        EXPECT_THROW(vcl::FormatDateTime("c", v), vcl::EConvertError) << v;
    EXPECT_EQ(vcl::FormatDateTime("yyyy", EncodeDate(9999, 12, 31) + 0.9), "9999");
    EXPECT_EQ(vcl::FormatDateTime("dd.mm.yyyy", EncodeDate(1, 1, 1)), "01.01.0001");
}

TEST_F(FormatsTest, StrToDateTimeReadsDatesAndTimes) {
    const TDateTime day = EncodeDate(2024, 3, 5);
    struct Case { const char* text; TDateTime expected; };
    const Case cases[] = {
        {"05.03.2024", day},
        {"5.3.2024", day},
        {"  05.03.2024  ", day},
        {"2024.03.05", day},
        {"05.03.2024 18:07", day + EncodeTime(18, 7, 0, 0)},
        {"05.03.2024   8:07:09", day + EncodeTime(8, 7, 9, 0)},
        {"05.03.2024 18:07:09,5", day + EncodeTime(18, 7, 9, 500)},
        {"18:07", EncodeTime(18, 7, 0, 0)},
        {"0:00:01", EncodeTime(0, 0, 1, 0)},
        {"29.02.2024", EncodeDate(2024, 2, 29)},
        {"31.12.9999 23:59:59", EncodeDate(9999, 12, 31) + EncodeTime(23, 59, 59, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(vcl::StrToDateTime(c.text), c.expected) << c.text;
        TDateTime v = -1;
        EXPECT_TRUE(vcl::TryStrToDateTime(c.text, v)) << c.text;
        EXPECT_DOUBLE_EQ(v, c.expected) << c.text;
    }
}

TEST_F(FormatsTest, ShortYearsAndMissingYears) {
    const int y = ThisYear();
    const std::string last = std::to_string(100 + (y + 49) % 100).substr(1);
    const std::string first = std::to_string(100 + (y - 50) % 100).substr(1);
    EXPECT_EQ(vcl::StrToDate("01.01." + last), EncodeDate(y + 49, 1, 1));
    EXPECT_EQ(vcl::StrToDate("01.01." + first), EncodeDate(y - 50, 1, 1));
    EXPECT_EQ(vcl::StrToDate("05.03."), EncodeDate(y, 3, 5));
    EXPECT_EQ(vcl::StrToDate("5.3"), EncodeDate(y, 3, 5));
    // A three-digit year is taken as written.
    EXPECT_EQ(vcl::StrToDate("05.03.024"), EncodeDate(24, 3, 5));
}

TEST_F(FormatsTest, DateOrderComesFromTheShortDateFormat) {
    vcl::TFormatSettings us;
    us.ShortDateFormat = "mm/dd/yyyy";
    us.DateSeparator = '/';
    EXPECT_EQ(vcl::StrToDate("03/05/2024", us), EncodeDate(2024, 3, 5));
    vcl::TFormatSettings iso;
    iso.ShortDateFormat = "yyyy-mm-dd";
    iso.DateSeparator = '-';
    EXPECT_EQ(vcl::StrToDateTime("2024-03-05 10:30", iso), EncodeDate(2024, 3, 5) + EncodeTime(10, 30, 0, 0));
    TDateTime v = 0;
    EXPECT_FALSE(vcl::TryStrToDate("05.03.2024", v, us));
}

TEST_F(FormatsTest, InvalidTextRaisesConvertError) {
    const char* bad[] = {
        "", "   ", "abc", "32.01.2024", "29.02.2023", "05.13.2024", "00.01.2024", "05.03.0000",
        "05.03.2024 25:00", "05.03.2024 10:60", "05.03.2024 10:00:60", "05.03.2024x", "05/03/2024",
        "05.03.2024 18", "18:07:", "1.2.3.4", "05..2024", "-5.03.2024", "05.03.20245", "05.03.2024 18:07 pm",
        "05.03.2024T18:07", "7", "123:00", "12:00,5",
    };
    for (const char* text : bad) {
        TDateTime v = 42;
        EXPECT_FALSE(vcl::TryStrToDateTime(text, v)) << text;
        EXPECT_EQ(v, 42) << "a failed conversion leaves the value alone: " << text;
        EXPECT_THROW(vcl::StrToDateTime(text), vcl::EConvertError) << text;
    }
    try {
        vcl::StrToDateTime("32.01.2024");
        FAIL() << "no exception";
    } catch (const vcl::EConvertError& e) {
        EXPECT_STREQ(e.what(), "'32.01.2024' is not a valid date and time");
    }
}

TEST_F(FormatsTest, StrToDateAndStrToTimeTakeOnlyTheirPart) {
    EXPECT_EQ(vcl::StrToDate("05.03.2024"), EncodeDate(2024, 3, 5));
    EXPECT_DOUBLE_EQ(vcl::StrToTime("18:07:09"), EncodeTime(18, 7, 9, 0));
    TDateTime v = 0;
    EXPECT_FALSE(vcl::TryStrToDate("05.03.2024 18:07", v));
    EXPECT_FALSE(vcl::TryStrToDate("18:07", v));
    EXPECT_FALSE(vcl::TryStrToTime("05.03.2024", v));
    try {
        vcl::StrToTime("05.03.2024");
        FAIL() << "no exception";
    } catch (const vcl::EConvertError& e) {
        EXPECT_STREQ(e.what(), "'05.03.2024' is not a valid time");
    }
    EXPECT_THROW(vcl::StrToDate("x"), vcl::EConvertError);
}

TEST_F(FormatsTest, TextRoundTripsThroughTheSettings) {
    for (const TDateTime v : {EncodeDate(2024, 3, 5) + EncodeTime(18, 7, 9, 0), EncodeDate(1899, 12, 30) + 0.25,
                              EncodeDate(1, 1, 1), EncodeDate(9999, 12, 31) + EncodeTime(23, 59, 59, 0),
                              EncodeDate(1850, 6, 1) + EncodeTime(6, 0, 0, 0)}) {
        EXPECT_DOUBLE_EQ(vcl::StrToDateTime(vcl::DateTimeToStr(v)), v) << vcl::DateTimeToStr(v);
    }
}

TEST_F(FormatsTest, DayOfWeekStartsWithSunday) {
    EXPECT_EQ(vcl::DayOfWeek(EncodeDate(2024, 3, 3)), 1);
    EXPECT_EQ(vcl::DayOfWeek(EncodeDate(2024, 3, 5) + 0.9), 3);
    EXPECT_EQ(vcl::DayOfWeek(0), 7);
    EXPECT_EQ(vcl::DayOfWeek(EncodeDate(1850, 6, 1)), 7);
}

}  // namespace
