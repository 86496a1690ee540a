#include <gtest/gtest.h>

#include <string>

#include "store/conversions.h"
#include "store/main_spaltwerk.h"
#include "vcl/sysutils.h"

namespace {

using spaltwerk::StringToBool_;
using spaltwerk::StringToFLOAT_;
using spaltwerk::StringToInt_;
using spaltwerk::TMainSpaltwerk;

TEST(SubstrTest, CutsAPieceOfFixedLengthPaddedWithBlanks) {
    struct Case { const char* text; int start, len; std::string piece; };
    const Case cases[] = {
        {"Version 2", 8, 10, " 2        "},
        {"Version 2", 20, 3, "   "},
        {"Version 2", 0, 4, "    "},
        {"Version 2", -3, 2, "  "},
        {"Version 2", 1, 0, ""},
        {"Version 2", 1, -5, ""},
        {"Version 2", 1, 7, "Version"},
        {"Version 2", 9, 1, "2"},
        {"Version 2", 2147483647, 2, "  "},
        {"", 1, 2, "  "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TMainSpaltwerk::SUBSTR(c.text, c.start, c.len), c.piece) << c.text << " " << c.start << " " << c.len;
}

TEST(TrimTest, RemovesOnlyBlanksAtBothEnds) {
    EXPECT_EQ(TMainSpaltwerk::TRIM("  a b  "), "a b");
    EXPECT_EQ(TMainSpaltwerk::TRIM("   "), "");
    EXPECT_EQ(TMainSpaltwerk::TRIM(""), "");
    EXPECT_EQ(TMainSpaltwerk::TRIM("\tx "), "\tx");
    EXPECT_EQ(TMainSpaltwerk::TRIM(" x\r"), "x\r");
}

TEST(StringToIntTest, ReadsDigitsAndSignsAndSkipsTheRest) {
    struct Case { std::string text; int value; };
    const Case cases[] = {
        {" 42 ", 42},          {"1-2", -12},  {"--5", 5},      {"1.5", 15},      {"1 000", 1000},
        {"12abc3", 123},       {"abc", 0},    {"", 0},         {"-", 0},         {"2147483647", 2147483647},
        {"\t-7\r\n", -7},      {"+8", 8},     {"-2147483647", -2147483647},
    };
    for (const Case& c : cases) EXPECT_EQ(StringToInt_(c.text), c.value) << '"' << c.text << '"';
}

TEST(StringToIntTest, OverflowIsAnErrorWhateverTheSign) {
    for (const char* text : {"2147483648", "-2147483648", "99999999999", "1-0000000000000000000000"})
        EXPECT_THROW(StringToInt_(text), vcl::EIntOverflow) << text;
}

TEST(StringToFloatTest, LastSeparatorIsTheDecimalOne) {
    struct Case { std::string text; double value; };
    const Case cases[] = {
        {"1,5", 1.5},  {"1.5", 1.5},  {"-1,5", -1.5}, {"1.2,5", 12.5}, {"1,2.5", 12.5}, {".5", 0.5},
        {"5.", 5.0},   {"1e3", 13.0}, {"1-", -1.0},   {"", 0.0},       {"abc", 0.0},    {" 2,25 ", 2.25},
    };
    for (const Case& c : cases) EXPECT_EQ(StringToFLOAT_(c.text), c.value) << '"' << c.text << '"';
}

TEST(StringToFloatTest, RoundsAfterEveryStepWithAnExtendedTenth) {
    // Values that neither a decimal parser nor plain double arithmetic give.
    struct Case { const char* text; double value; };
    const Case cases[] = {
        {"0,07", 0x1.1eb851eb851ebp-4},
        {"0,011", 0x1.6872b020c49bbp-7},
        {"0.007", 0x1.cac083126e978p-8},
        {"123456789,123456789", 0x1.d6f34547e6b75p+26},
    };
    for (const Case& c : cases) EXPECT_EQ(StringToFLOAT_(c.text), c.value) << c.text;
}

TEST(StringToFloatTest, OverflowIsAnErrorNotInfinity) {
    const std::string largest = "1" + std::string(308, '0');  // 1e308 still fits
    EXPECT_EQ(StringToFLOAT_(largest), 0x1.1ccf385ebc89fp+1023);  // one step below 1e308, by the rounding
    EXPECT_THROW(StringToFLOAT_("2" + std::string(308, '0')), vcl::EOverflow);
    EXPECT_THROW(StringToFLOAT_("-" + std::string(400, '9') + ",5"), vcl::EOverflow);
    EXPECT_EQ(StringToFLOAT_("0," + std::string(400, '0') + "1"), 0.0);  // underflow is no error
}

TEST(StringToBoolTest, TrueWhenATOccursInEitherCase) {
    for (const char* text : {"T", "t", "True", "Richtig"}) EXPECT_TRUE(StringToBool_(text)) << text;
    for (const char* text : {"F", "Falsch", "Ja", ""}) EXPECT_FALSE(StringToBool_(text)) << text;
}

}  // namespace
