// Datasets and fields without a database: the in-memory dataset, field properties,
// value conversions and the declared-type table.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "vcl/db.h"
#include "vcl/dbtables.h"
#include "vcl/db_support.h"

namespace {

using namespace vcl;

// A dataset of three columns and three records.
class MemDataSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ds.SetName("People");
        ds.AddFieldDef("Id", ftInteger);
        ds.AddFieldDef("Name", ftString, 20);
        ds.AddFieldDef("Born", ftDate);
        ds.AppendRecord({1LL, "Anna", "1980-05-17"});
        ds.AppendRecord({2LL, "Bert", Null});
        ds.AppendRecord({3LL, "Cleo", 30000.0});
    }

    TMemDataSet ds{nullptr};
};

TEST_F(MemDataSetTest, OpensWithFreshFieldsEachTime) {
    EXPECT_EQ(ds.FieldCount(), 0);
    ds.Open();
    ASSERT_EQ(dbtest::FieldOrder(ds), "Id,Name,Born");
    TField* name = ds.FieldByName("name");
    name->SetDisplayLabel("Vorname");
    name->SetVisible(false);
    name->SetIndex(0);
    ds.Close();
    EXPECT_EQ(ds.FieldCount(), 0);
    ds.Open();
    name = ds.FieldByName("NAME");
    EXPECT_EQ(name->DisplayLabel(), "Name");
    EXPECT_TRUE(name->Visible());
    EXPECT_EQ(name->Index(), 1);
}

TEST_F(MemDataSetTest, IsNeitherTableNorQuery) {
    TDataSet* base = &ds;
    EXPECT_NE(dynamic_cast<TMemDataSet*>(base), nullptr);
    EXPECT_EQ(dynamic_cast<TTable*>(base), nullptr);
    EXPECT_EQ(dynamic_cast<TQuery*>(base), nullptr);
    EXPECT_EQ(dynamic_cast<TDBDataSet*>(base), nullptr);
}

TEST_F(MemDataSetTest, EventsInOrderWithFieldsPresentBeforeClose) {
    std::vector<std::string> log;
    dbtest::RecordEvents(ds, log);
    ds.Open();
    ds.Close();
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeOpen inactive fields=0", "AfterOpen active fields=3",
                                              "BeforeClose active fields=3", "AfterClose inactive fields=0"}));
}

TEST_F(MemDataSetTest, RecordsReadThroughTheFields) {
    ds.Open();
    TField* id = ds.FieldByName("Id");
    TField* born = ds.FieldByName("Born");
    EXPECT_EQ(born->AsString(), "1980-05-17");
    ds.Next();
    EXPECT_TRUE(born->IsNull());
    EXPECT_EQ(born->AsString(), "");
    ds.Next();
    EXPECT_EQ(id->AsInteger(), 3);
    EXPECT_EQ(born->AsString(), "1982-02-18");
}

TEST_F(MemDataSetTest, RecordAppendedWhileOpenIsReachedAtTheEnd) {
    ds.Open();
    ds.Last();
    ASSERT_TRUE(ds.Eof());
    ds.AppendRecord({4LL, "Dora", Null});
    ds.Next();
    EXPECT_FALSE(ds.Eof());
    EXPECT_EQ(ds.FieldByName("Name")->AsString(), "Dora");
    EXPECT_EQ(ds.RecordCount(), 4);
}

TEST_F(MemDataSetTest, DefinitionErrorsAreReported) {
    EXPECT_THROW(ds.AddFieldDef("ID", ftFloat), EDatabaseError);      // duplicate, letter case ignored
    EXPECT_THROW(ds.AddFieldDef("Raw", ftBytes), EDatabaseError);     // no field class
    EXPECT_THROW(ds.AddFieldDef("", ftString), EDatabaseError);
    EXPECT_THROW(ds.AppendRecord({1LL, "too few"}), EDatabaseError);
    ds.Open();
    EXPECT_THROW(ds.AddFieldDef("Later", ftString), EDatabaseError);
    EXPECT_THROW(ds.ClearRecords(), EDatabaseError);
    EXPECT_EQ(ds.FieldDefCount(), 3);
    EXPECT_EQ(ds.StoredRecordCount(), 3);
}

TEST_F(MemDataSetTest, FieldAddedLaterIsNullInEarlierRecords) {
    ds.AddFieldDef("Note", ftMemo);
    ds.Open();
    EXPECT_TRUE(ds.FieldByName("Note")->IsNull());
    EXPECT_NE(dynamic_cast<TMemoField*>(ds.FieldByName("Note")), nullptr);
}

TEST(DataSetTest, ErrorInBeforeOpenLeavesClosedAndInBeforeCloseLeavesOpen) {
    TMemDataSet ds(nullptr);
    ds.AddFieldDef("A", ftInteger);
    bool refuse = true;
    ds.BeforeOpen = [&](TDataSet*) {
        if (refuse) throw EDatabaseError("not now");
    };
    EXPECT_THROW(ds.Open(), EDatabaseError);
    EXPECT_FALSE(ds.Active());
    EXPECT_EQ(ds.FieldCount(), 0);
    refuse = false;
    ds.Open();
    ds.BeforeClose = [](TDataSet*) { throw EDatabaseError("stay"); };
    EXPECT_THROW(ds.Close(), EDatabaseError);
    EXPECT_TRUE(ds.Active());
    EXPECT_EQ(ds.FieldCount(), 1);
    ds.BeforeClose = nullptr;
    ds.SetActive(false);
    EXPECT_FALSE(ds.Active());
}

TEST(DataSetTest, HandlersOpeningOrClosingAgainDoNothingMore) {
    TMemDataSet ds(nullptr);
    ds.AddFieldDef("A", ftInteger);
    int afterOpen = 0, afterClose = 0;
    ds.BeforeOpen = [](TDataSet* d) { d->Open(); };
    ds.AfterOpen = [&](TDataSet*) { ++afterOpen; };
    ds.BeforeClose = [](TDataSet* d) { d->Close(); };
    ds.AfterClose = [&](TDataSet*) { ++afterClose; };
    ds.Open();
    ds.Close();
    EXPECT_EQ(afterOpen, 1);
    EXPECT_EQ(afterClose, 1);
}

TEST(DataSetTest, HandlerMayReplaceItsSlotAndAfterCloseMayDestroyTheDataset) {
    auto* ds = new TMemDataSet(nullptr);
    ds->AddFieldDef("A", ftInteger);
    std::string seen;
    // A capture too large for the slot's own storage, so losing it would be noticed.
    ds->AfterOpen = [ds, &seen, tag = std::string(64, 'x')](TDataSet*) {
        ds->AfterOpen = nullptr;
        seen = tag;
    };
    ds->AfterClose = [](TDataSet* d) { delete d; };
    ds->Open();
    EXPECT_EQ(seen, std::string(64, 'x'));
    EXPECT_FALSE(ds->AfterOpen);
    ds->Close();  // deletes it; the sanitizer build sees any later touch
}

TEST(DataSetTest, DestructorRaisesNoEvents) {
    int events = 0;
    {
        TMemDataSet ds(nullptr);
        ds.AddFieldDef("A", ftInteger);
        ds.Open();
        ds.BeforeClose = [&](TDataSet*) { ++events; };
        ds.AfterClose = [&](TDataSet*) { ++events; };
    }
    EXPECT_EQ(events, 0);
}

TEST(DataSetTest, ListenerOfAFieldHearsItGoWhenTheDatasetCloses) {
    // A component that forgets a field it was told about.
    struct Watcher : TComponent {
        Watcher() : TComponent(nullptr) {}
        TComponent* watched = nullptr;
        void Notification(TComponent* c, TOperation op) override {
            TComponent::Notification(c, op);
            if (op == TOperation::opRemove && c == watched) watched = nullptr;
        }
    };
    TMemDataSet ds(nullptr);
    ds.AddFieldDef("A", ftInteger);
    ds.Open();
    Watcher w;
    w.watched = ds.Fields(0);
    w.FreeNotification(ds.Fields(0));
    ds.Close();
    EXPECT_EQ(w.watched, nullptr);
}

// ---- Field properties ---------------------------------------------------------------------------

class FieldOrderTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"A", "B", "C", "D", "E"}) ds.AddFieldDef(name, ftInteger);
        ds.Open();
    }
    TMemDataSet ds{nullptr};
};

TEST_F(FieldOrderTest, SettingIndexMovesTheFieldAndShiftsTheOthers) {
    struct Case {
        const char* field;
        int index;
        const char* order;
    };
    const Case cases[] = {
        {"A", 3, "B,C,D,A,E"},   // forward: those between move up
        {"E", 0, "E,B,C,D,A"},   // backward: those between move down
        {"C", 2, "E,B,C,D,A"},   // same place
        {"B", 99, "E,C,D,A,B"},  // past the end: last
        {"D", -4, "D,E,C,A,B"},  // before the start: first
    };
    for (const Case& c : cases) {
        ds.FieldByName(c.field)->SetIndex(c.index);
        EXPECT_EQ(dbtest::FieldOrder(ds), c.order) << c.field << " to " << c.index;
        for (int i = 0; i < ds.FieldCount(); ++i) EXPECT_EQ(ds.Fields(i)->Index(), i);
    }
    EXPECT_EQ(ds.FieldByName("A")->FieldNo(), 1);  // the source column does not move
}

TEST_F(FieldOrderTest, FindFieldIgnoresLetterCase) {
    EXPECT_EQ(ds.FindField("c"), ds.Fields(2));
    EXPECT_EQ(ds.FindField("X"), nullptr);
    EXPECT_EQ(ds.FindField(""), nullptr);
    try {
        ds.SetName("Numbers");
        ds.FieldByName("X");
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Numbers: Field 'X' not found");
    }
    EXPECT_THROW(ds.Fields(5), EListError);
}

TEST_F(FieldOrderTest, PresentationPropertiesFallBackToDefaults) {
    TField* f = ds.Fields(0);
    EXPECT_EQ(f->DisplayLabel(), "A");
    f->SetDisplayLabel("Alpha");
    EXPECT_EQ(f->DisplayLabel(), "Alpha");
    f->SetDisplayLabel("");
    EXPECT_EQ(f->DisplayLabel(), "A");
    EXPECT_EQ(f->DisplayWidth(), 11);
    f->SetDisplayWidth(4);
    EXPECT_EQ(f->DisplayWidth(), 4);
    f->SetDisplayWidth(0);
    EXPECT_EQ(f->DisplayWidth(), 11);
    f->SetDisplayWidth(-7);
    EXPECT_EQ(f->DisplayWidth(), 11);
    f->SetEditMask("999;0;_");
    f->SetReadOnly(true);
    EXPECT_EQ(f->EditMask(), "999;0;_");
    EXPECT_TRUE(f->ReadOnly());
    auto* numeric = dynamic_cast<TNumericField*>(f);
    ASSERT_NE(numeric, nullptr);
    numeric->SetDisplayFormat("#,##0");
    EXPECT_EQ(numeric->DisplayFormat(), "#,##0");
}

TEST(FieldKindTest, DefaultWidthsAndClassTree) {
    struct Case {
        TFieldType type;
        int size;
        int width;
        bool numeric, dateTime, integer, blob;
    };
    const Case cases[] = {
        {ftString, 30, 30, false, false, false, false},  {ftString, 0, 255, false, false, false, false},
        {ftInteger, 0, 11, true, false, true, false},    {ftAutoInc, 0, 11, true, false, true, false},
        {ftSmallint, 0, 6, true, false, true, false},    {ftWord, 0, 5, true, false, true, false},
        {ftFloat, 0, 10, true, false, false, false},     {ftCurrency, 0, 10, true, false, false, false},
        {ftBCD, 2, 20, true, false, false, false},       {ftBoolean, 0, 5, false, false, false, false},
        {ftDate, 0, 10, false, true, false, false},      {ftTime, 0, 8, false, true, false, false},
        {ftDateTime, 0, 19, false, true, false, false},  {ftMemo, 0, 10, false, false, false, true},
        {ftBlob, 0, 10, false, false, false, true},
    };
    TMemDataSet ds(nullptr);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        ds.AddFieldDef("F" + std::to_string(i), cases[i].type, cases[i].size);
    ds.Open();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        TField* f = ds.Fields(static_cast<int>(i));
        SCOPED_TRACE(FieldTypeName(c.type));
        EXPECT_EQ(f->DataType(), c.type);
        EXPECT_EQ(f->DisplayWidth(), c.width);
        EXPECT_EQ(dynamic_cast<TNumericField*>(f) != nullptr, c.numeric);
        EXPECT_EQ(dynamic_cast<TDateTimeField*>(f) != nullptr, c.dateTime);
        EXPECT_EQ(dynamic_cast<TIntegerField*>(f) != nullptr, c.integer);
        EXPECT_EQ(dynamic_cast<TBlobField*>(f) != nullptr, c.blob);
    }
    EXPECT_NE(dynamic_cast<TFloatField*>(ds.Fields(7)), nullptr);  // currency is a float field
    EXPECT_EQ(ds.Fields(8)->Size(), 2);
    EXPECT_EQ(dynamic_cast<TBCDField*>(ds.Fields(8))->Precision(), 18);
}

// ---- Values -------------------------------------------------------------------------------------

// One stored value read through one kind of field.
struct ValueCase {
    TFieldType type;
    TFieldValue value;
    std::string asString;
};

class FieldValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(FieldValueTest, AsStringGivesThePlainValue) {
    const ValueCase& c = GetParam();
    TMemDataSet ds(nullptr);
    ds.AddFieldDef("V", c.type);
    ds.AppendRecord({c.value});
    ds.Open();
    EXPECT_EQ(ds.Fields(0)->AsString(), c.asString);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FieldValueTest,
    ::testing::Values(ValueCase{ftInteger, 42LL, "42"}, ValueCase{ftInteger, -9000000000LL, "-9000000000"},
                      ValueCase{ftInteger, Null, ""}, ValueCase{ftInteger, 2.5, "2.5"},
                      ValueCase{ftFloat, 0.1, "0.1"}, ValueCase{ftFloat, 3.0, "3"},
                      ValueCase{ftFloat, 1e20, "1e+20"}, ValueCase{ftFloat, 1.0 / 3, "0.3333333333333333"},
                      ValueCase{ftCurrency, 1234.5, "1234.5"}, ValueCase{ftString, "B\xE4r \x80", "B\xE4r \x80"},
                      ValueCase{ftString, 7LL, "7"}, ValueCase{ftBoolean, 1LL, "True"},
                      ValueCase{ftBoolean, 0LL, "False"}, ValueCase{ftBoolean, "t", "True"},
                      ValueCase{ftBoolean, "false", "False"}, ValueCase{ftBoolean, "maybe", "maybe"},
                      ValueCase{ftDate, "2024-02-29", "2024-02-29"}, ValueCase{ftDate, 45351.75, "2024-02-29"},
                      ValueCase{ftTime, "07:05", "07:05:00"}, ValueCase{ftTime, 0.5, "12:00:00"},
                      ValueCase{ftDateTime, "2024-02-29 18:30:15.250", "2024-02-29 18:30:15.250"},
                      ValueCase{ftDateTime, "2024-02-29T18:30:15", "2024-02-29 18:30:15"},
                      ValueCase{ftDateTime, 45351LL, "2024-02-29 00:00:00"},
                      ValueCase{ftDateTime, "last tuesday", "last tuesday"},
                      ValueCase{ftDateTime, 1e300, "1e+300"},
                      ValueCase{ftBlob, TBlobData{std::string("\0\x01\xFF", 3)}, std::string("\0\x01\xFF", 3)},
                      ValueCase{ftMemo, "lang\r\nText", "lang\r\nText"}));

TEST(FieldConversionTest, ConvertsOrRaisesEConvertError) {
    TMemDataSet ds(nullptr);
    ds.AddFieldDef("S", ftString);
    for (const char* text : {" 12 ", "+7", "2.5", "1e3", "T", "no", "2024-01-02 03:04:05", "99:00"})
        ds.AppendRecord({text});
    ds.AppendRecord({9000000000LL});
    ds.AppendRecord({TBlobData{"x"}});
    ds.Open();
    TField* f = ds.Fields(0);
    EXPECT_EQ(f->AsInteger(), 12);
    ds.Next();
    EXPECT_EQ(f->AsInteger(), 7);
    ds.Next();
    EXPECT_THROW(f->AsInteger(), EConvertError);
    EXPECT_EQ(f->AsFloat(), 2.5);
    ds.Next();
    EXPECT_EQ(f->AsFloat(), 1000.0);
    ds.Next();
    EXPECT_TRUE(f->AsBoolean());
    EXPECT_THROW(f->AsFloat(), EConvertError);
    ds.Next();
    EXPECT_THROW(f->AsBoolean(), EConvertError);
    try {
        f->AsDateTime();
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Field 'S': 'no' is not a valid date and time value");
    }
    ds.Next();
    EXPECT_DOUBLE_EQ(f->AsDateTime(), EncodeDate(2024, 1, 2) + EncodeTime(3, 4, 5, 0));
    ds.Next();
    EXPECT_THROW(f->AsDateTime(), EConvertError);  // no 99th hour
    ds.Next();
    EXPECT_THROW(f->AsInteger(), EConvertError);   // beyond 32 bits
    EXPECT_EQ(f->AsLargeInt(), 9000000000LL);
    ds.Next();
    EXPECT_THROW(f->AsFloat(), EConvertError);
    EXPECT_EQ(f->AsString(), "x");
}

TEST(FieldConversionTest, NullAndNoCurrentRecordReadAsEmpty) {
    TMemDataSet ds(nullptr);
    ds.AddFieldDef("N", ftFloat);
    ds.Open();  // no records
    TField* f = ds.Fields(0);
    EXPECT_TRUE(f->IsNull());
    EXPECT_EQ(f->AsString(), "");
    EXPECT_EQ(f->AsInteger(), 0);
    EXPECT_EQ(f->AsFloat(), 0.0);
    EXPECT_FALSE(f->AsBoolean());
    EXPECT_EQ(f->AsDateTime(), 0.0);
}

// ---- Declared types -----------------------------------------------------------------------------

TEST(DeclaredTypeTest, ReadsSizesAndPrecisions) {
    struct Case {
        const char* declared;
        TFieldType type;
        int size, precision;
    };
    const Case cases[] = {
        {"varchar( 30 )", ftString, 30, 0}, {"NVARCHAR(7)", ftString, 7, 0},
        {"CHARACTER", ftString, 255, 0},    {"VARCHAR(x)", ftString, 255, 0},
        {"DECIMAL(10, 2)", ftBCD, 2, 10},   {"NUMERIC", ftBCD, 0, 0},
        {"UNSIGNED BIG INT", ftInteger, 0, 0}, {"DOUBLE PRECISION", ftFloat, 0, 0},
        {"DATETIME", ftDateTime, 0, 0},     {"date", ftDate, 0, 0},
        {"", ftUnknown, 0, 0},              {"GEOMETRY", ftUnknown, 0, 0},
    };
    for (const Case& c : cases) {
        const TFieldDef def = FieldDefForDeclaredType(c.declared);
        EXPECT_EQ(def.DataType, c.type) << c.declared;
        EXPECT_EQ(def.Size, c.size) << c.declared;
        EXPECT_EQ(def.Precision, c.precision) << c.declared;
    }
}

TEST(DeclaredTypeTest, QuotableTableAgreesWithTheFieldClasses) {
    const auto rows = FieldTypeMappings();
    ASSERT_FALSE(rows.empty());
    bool sawChar = false, sawAutoInc = false;
    for (const auto& row : rows) {
        EXPECT_EQ(row.ClassName, CreateField(row.DataType)->ClassName()) << row.DeclaredType;
        sawChar = sawChar || (row.DeclaredType == "*CHAR*(n)" && row.ClassName == "TStringField");
        sawAutoInc = sawAutoInc || row.ClassName == "TAutoIncField";
    }
    EXPECT_TRUE(sawChar);
    EXPECT_TRUE(sawAutoInc);
}

}  // namespace
