// The text a grid shows for a field's value: display formats and display values by kind.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "vcl/db.h"
#include "vcl/sysutils.h"

namespace {

using namespace vcl;

struct DisplayCase {
    TFieldType type;
    TFieldValue value;
    std::string format;  // DisplayFormat, or DisplayValues of a Boolean field
    std::string expected;
};

// Opens a one-column, one-record dataset and applies the case's format to its field.
class DisplayTextTest : public ::testing::Test {
protected:
    void SetUp() override { FormatSettings = TFormatSettings{}; }
    void TearDown() override { FormatSettings = TFormatSettings{}; }

    TField& Show(const DisplayCase& c) {
        ds = std::make_unique<TMemDataSet>(nullptr);
        ds->AddFieldDef("Value", c.type);
        ds->AppendRecord({c.value});
        ds->Open();
        TField* field = ds->Fields(0);
        if (auto* numeric = dynamic_cast<TNumericField*>(field)) numeric->SetDisplayFormat(c.format);
        if (auto* moment = dynamic_cast<TDateTimeField*>(field)) moment->SetDisplayFormat(c.format);
        if (auto* flag = dynamic_cast<TBooleanField*>(field)) flag->SetDisplayValues(c.format);
        return *field;
    }

    std::unique_ptr<TMemDataSet> ds;
};

TEST_F(DisplayTextTest, EachKindShowsItsValueByItsFormat) {
    const DisplayCase cases[] = {
        // Text and binary data.
        {ftString, "M\xFCller", "", "M\xFCller"},
        {ftString, Null, "", ""},
        {ftMemo, "a longer text", "", "a longer text"},
        {ftBlob, TBlobData{"\x01\x02"}, "", "(BLOB)"},
        {ftBlob, Null, "", ""},
        // Whole numbers.
        {ftInteger, 1234567LL, "", "1234567"},
        {ftInteger, -1234567LL, "#,##0", "-1.234.567"},
        {ftInteger, 9007199254740993LL, "", "9007199254740993"},
        {ftInteger, 2.5, "", "2,5"},
        {ftInteger, "42", "", "42"},
        {ftInteger, "abc", "0.00", "abc"},
        {ftInteger, Null, "0.00", ""},
        {ftSmallint, 42LL, "000", "042"},
        {ftAutoInc, 7LL, "", "7"},
        // Real numbers.
        {ftFloat, 1234.5, "", "1234,5"},
        {ftFloat, 0.1, "0.00", "0,10"},
        {ftFloat, -3.0, "0.0;(0.0)", "(3,0)"},
        {ftFloat, 0.001, "0.00;-0.00;'null'", "null"},
        {ftFloat, "12.5", "", "12,5"},
        {ftFloat, TBlobData{"x"}, "0.0", "(BLOB)"},
        {ftBCD, 12.5, "", "12,5"},
        {ftCurrency, 1234.5, "", "1.234,50"},
        {ftCurrency, -0.5, "", "-0,50"},
        {ftCurrency, 1234567LL, "", "1.234.567,00"},
        {ftCurrency, 1234.5, "0.0", "1234,5"},
        // Booleans.
        {ftBoolean, 1LL, "", "True"},
        {ftBoolean, 0LL, "", "False"},
        {ftBoolean, 1LL, "Ja;Nein", "Ja"},
        {ftBoolean, 0LL, "Ja;Nein", "Nein"},
        {ftBoolean, "t", "Ja;Nein", "Ja"},
        {ftBoolean, 0LL, "Ja", ""},
        {ftBoolean, 1LL, ";Nein", ""},
        {ftBoolean, "vielleicht", "Ja;Nein", "vielleicht"},
        {ftBoolean, Null, "Ja;Nein", ""},
        // Dates and times.
        {ftDate, "1980-05-17", "", "17.05.1980"},
        {ftDate, "1980-05-17", "d/m/yy", "17.5.80"},
        {ftDate, 29646.0, "yyyy-mm-dd", "1981-03-01"},
        {ftTime, "12:34:56", "", "12:34:56"},
        {ftTime, "12:34:56", "hh:nn", "12:34"},
        {ftDateTime, "2024-02-29 18:30:15", "", "29.02.2024 18:30:15"},
        {ftDateTime, "2024-02-29", "", "29.02.2024"},
        {ftDateTime, "2024-02-29 18:30:15", "dddd", "Donnerstag"},
        {ftDateTime, 3000000.0, "", "3e+06"},  // beyond the year 9999: as AsString gives it
        {ftDate, "not a date", "dd.mm.yyyy", "not a date"},
        {ftDate, Null, "", ""},
    };
    for (const DisplayCase& c : cases) {
        const TField& field = Show(c);
        EXPECT_EQ(field.DisplayText(), c.expected)
            << FieldTypeName(c.type) << " with format '" << c.format << "', AsString '" << field.AsString() << "'";
    }
}

TEST_F(DisplayTextTest, FormatsChangeTheShownTextOnly) {
    TField& field = Show({ftFloat, 1234.5, "#,##0.00", ""});
    EXPECT_EQ(field.DisplayText(), "1.234,50");
    EXPECT_EQ(field.AsString(), "1234.5") << "the plain value stays as it is stored";
    EXPECT_DOUBLE_EQ(field.AsFloat(), 1234.5);

    TField& date = Show({ftDate, "1980-05-17", "", ""});
    EXPECT_EQ(date.AsString(), "1980-05-17");
}

TEST_F(DisplayTextTest, FollowsTheFormatSettings) {
    FormatSettings.DecimalSeparator = '.';
    FormatSettings.ThousandSeparator = ',';
    FormatSettings.ShortDateFormat = "mm/dd/yyyy";
    FormatSettings.DateSeparator = '/';
    FormatSettings.LongTimeFormat = "h:nn am/pm";
    EXPECT_EQ(Show({ftCurrency, 1234.5, "", ""}).DisplayText(), "1,234.50");
    EXPECT_EQ(Show({ftFloat, 0.25, "", ""}).DisplayText(), "0.25");
    EXPECT_EQ(Show({ftDateTime, "2024-02-29 18:30:00", "", ""}).DisplayText(), "02/29/2024 6:30 pm");
}

TEST_F(DisplayTextTest, NumbersStandRightEverythingElseLeft) {
    const struct {
        TFieldType type;
        TAlignment alignment;
    } cases[] = {
        {ftInteger, taRightJustify}, {ftSmallint, taRightJustify}, {ftAutoInc, taRightJustify},
        {ftFloat, taRightJustify},   {ftCurrency, taRightJustify}, {ftBCD, taRightJustify},
        {ftString, taLeftJustify},   {ftBoolean, taLeftJustify},   {ftDate, taLeftJustify},
        {ftDateTime, taLeftJustify}, {ftMemo, taLeftJustify},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CreateField(c.type)->Alignment(), c.alignment) << FieldTypeName(c.type);
}

TEST(DisplayTextNoRecordTest, FieldWithoutCurrentRecordShowsNothing) {
    TMemDataSet ds(nullptr);
    ds.AddFieldDef("Amount", ftCurrency);
    ds.AddFieldDef("Flag", ftBoolean);
    ds.Open();  // no records
    EXPECT_EQ(ds.Fields(0)->DisplayText(), "");
    EXPECT_EQ(ds.Fields(1)->DisplayText(), "");
}

}  // namespace
