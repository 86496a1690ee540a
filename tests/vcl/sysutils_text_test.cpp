#include <gtest/gtest.h>

#include <string>

#include "vcl/sysutils.h"

namespace {

TEST(StrToIntTest, AcceptsOnlyLeadingBlanksASignAndDigits) {
    struct Case { const char* text; bool ok; int value; };
    const Case cases[] = {
        {"0", true, 0},
        {"42", true, 42},
        {"   42", true, 42},
        {"-17", true, -17},
        {"+17", true, 17},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"00012", true, 12},
        {"", false, 0},
        {" ", false, 0},
        {"-", false, 0},
        {"12 ", false, 0},
        {"1 2", false, 0},
        {"\t12", false, 0},
        {"- 12", false, 0},
        {"--12", false, 0},
        {"12x", false, 0},
        {"0x10", false, 0},
        {"1.0", false, 0},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const Case& c : cases) {
        int value = -99;
        EXPECT_EQ(vcl::TryStrToInt(c.text, value), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
            EXPECT_EQ(vcl::StrToInt(c.text), c.value);
        } else {
            EXPECT_EQ(value, -99) << "a rejected text leaves the value alone: " << c.text;
            EXPECT_THROW(vcl::StrToInt(c.text), vcl::EConvertError) << c.text;
        }
    }
}

TEST(TextTest, UpperCaseChangesOnlyAToZ) {
    EXPECT_EQ(vcl::UpperCase("b\xE4" "cker 1-z"), "B\xE4" "CKER 1-Z");
    EXPECT_EQ(vcl::UpperCase("`az{@AZ["), "`AZ{@AZ[");
    EXPECT_EQ(vcl::LowerCase("\xC4Z"), "\xC4z");
}

TEST(TextTest, TrimRemovesControlCharactersAndBlanksAtBothEnds) {
    EXPECT_EQ(vcl::Trim(" \t\r\n a b \x1F"), "a b");
    EXPECT_EQ(vcl::Trim("   "), "");
    EXPECT_EQ(vcl::Trim(""), "");
    EXPECT_EQ(vcl::Trim("\xA0x\xA0"), "\xA0x\xA0");  // a no-break space is above 32
}

TEST(Win1252Test, EveryByteSurvivesTheRoundTrip) {
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string utf8 = vcl::Win1252ToUtf8(one);
        EXPECT_EQ(vcl::Utf8ToWin1252(utf8), one) << "byte " << b;
    }
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(vcl::Utf8ToWin1252(vcl::Win1252ToUtf8(all)), all);
}

TEST(Win1252Test, MapsTheHighTableAndMarksWhatItCannotMap) {
    EXPECT_EQ(vcl::Win1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
    EXPECT_EQ(vcl::Win1252ToUtf8("\xE4"), "\xC3\xA4");      // a umlaut
    EXPECT_EQ(vcl::Utf8ToWin1252("\xE2\x82\xAC"), "\x80");
    EXPECT_EQ(vcl::Utf8ToWin1252("\xE4\xB8\xAD"), "?");   // a CJK character has no byte
    EXPECT_EQ(vcl::Utf8ToWin1252("a\xC3"), "a?");         // cut short
    EXPECT_EQ(vcl::Utf8ToWin1252("\xFF" "b"), "?b");      // no UTF-8 lead byte
    EXPECT_EQ(vcl::Utf8ToWin1252("\xC0\xAF" "x"), "??x");  // overlong '/' is malformed
    EXPECT_EQ(vcl::Utf8ToWin1252("\xE0\x80\x80"), "???");
}

}  // namespace
