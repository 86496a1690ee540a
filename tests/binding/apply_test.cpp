// Applying the stored settings when a bound dataset opens.
#include <gtest/gtest.h>

#include "binding_fixture.h"
#include "store/field_masks.h"
#include "vcl/db_support.h"

namespace bindingtest {
namespace {

class ApplyTest : public BindingTest {
protected:
    ApplyTest() {
        binding->SetDataSet(query);
        main->Status = fsWORK;
    }
    ~ApplyTest() override { main->Status = fsOFF; }
};

enum class Stored { None, Fitting, NotFitting };

struct CompletionCase {
    const char* name;
    Stored stored;
    bool autoLearn;
    bool autoEdit;
    bool entryAdded;
    bool editorOpens;
};

TEST_F(ApplyTest, CompletesAMissingOrUnfittingEntryAsAutoEditAndAutoLearnAsk) {
    const CompletionCase cases[] = {
        {"none, neither", Stored::None, false, false, false, false},
        {"none, learn", Stored::None, true, false, true, false},
        {"none, edit", Stored::None, false, true, true, true},
        {"none, both", Stored::None, true, true, true, true},
        {"fits, both", Stored::Fitting, true, true, false, false},
        {"fits, neither", Stored::Fitting, false, false, false, false},
        {"does not fit, learn", Stored::NotFitting, true, false, false, false},
        {"does not fit, neither", Stored::NotFitting, false, false, false, false},
        {"does not fit, edit", Stored::NotFitting, false, true, false, true},
    };
    for (const CompletionCase& c : cases) {
        SCOPED_TRACE(c.name);
        while (!main->FelderList().empty()) main->DeleteFelder(main->FelderList().front().get());
        TFelder* found = nullptr;
        if (c.stored == Stored::Fitting) found = StoreEntry(*main, "QUERY1", 0, "FORM1", kAllCustomerFields);
        if (c.stored == Stored::NotFitting) found = StoreEntry(*main, "QUERY1", 0, "FORM1", {"NAME", "GONE"});
        main->AutoLearn = c.autoLearn;
        main->AutoEdit = c.autoEdit;
        editor->Calls.clear();

        query->Open();
        TFelder* now = main->FindFelder("Form1", "Query1", 0);
        if (c.stored == Stored::None) {
            EXPECT_EQ(now != nullptr, c.entryAdded);
            if (now != nullptr) {
                EXPECT_TRUE(now->Fields.empty());
                EXPECT_EQ(now->DataSetName, "QUERY1");
                EXPECT_EQ(now->FormName, "FORM1");
            }
            EXPECT_EQ(binding->CurrentFelder(), nullptr);  // the new entry applies from the next open
        } else {
            EXPECT_EQ(now, found);
            EXPECT_EQ(binding->CurrentFelder(), found);
        }
        EXPECT_EQ(main->FelderList().size(), (c.stored != Stored::None || c.entryAdded) ? 1u : 0u);
        if (c.editorOpens)
            EXPECT_EQ(editor->Calls, (std::vector<EditorCall>{{"EDIT", query, now}}));
        else
            EXPECT_TRUE(editor->Calls.empty());
        EXPECT_FALSE(binding->ColorOn);
        query->Close();
    }
}

TEST_F(ApplyTest, ATableOpensTheEditorWithEDITT) {
    binding->SetDataSet(table);
    main->AutoEdit = true;
    table->Open();
    TFelder* added = main->FindFelder("Form1", "Table1", 0);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(editor->Calls, (std::vector<EditorCall>{{"EDITT", table, added}}));
}

TEST_F(ApplyTest, PresentsTheFieldsAsStored) {
    TFelder* entry = main->FELDER_ADD(Entry("query1", 0, "form1"));
    struct Setting {
        const char* name;
        const char* caption;
        const char* mask;
        bool visible;
        bool readOnly;
        int length;
    };
    // Stored in the order the dataset should show them; Id is not named.
    const Setting settings[] = {
        {"CITY", "Ort", "", true, false, 12},
        {"NAME", "Kunde", ">LLL", true, true, 25},
        {"AMOUNT", "Betrag", "", false, false, 9},
        {"ACTIVE", "", "", true, false, 3},
        {"BORN", "Geboren", "99.99.9999", true, true, 11},
    };
    for (const Setting& s : settings) {
        auto feld = Feld(s.name, s.length);
        feld->Caption = s.caption;
        feld->EditMask = s.mask;
        feld->Visible = s.visible;
        feld->Readonly = s.readOnly;
        main->FELD_ADD(entry, std::move(feld));
    }
    query->Open();
    EXPECT_EQ(dbtest::FieldOrder(*query), "City,Name,Amount,Active,Born,Id");
    for (const Setting& s : settings) {
        SCOPED_TRACE(s.name);
        const vcl::TField* f = query->FindField(s.name);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->DisplayLabel(), *s.caption ? s.caption : f->FieldName());
        EXPECT_EQ(f->EditMask(), s.mask);
        EXPECT_EQ(f->Visible(), s.visible);
        EXPECT_EQ(f->ReadOnly(), s.readOnly);
        EXPECT_EQ(f->DisplayWidth(), s.length);
    }
    EXPECT_FALSE(query->FindField("Id")->Visible());  // not named: hidden
    EXPECT_EQ(binding->CurrentFelder(), entry);
}

TEST_F(ApplyTest, CarriesTheDisplayMaskOnlyToTheKindsThatHaveOne) {
    query->Close();
    db->ExecSQL(
        "CREATE TABLE Kinds(Auto INTEGER PRIMARY KEY AUTOINCREMENT, Small SMALLINT, Whole INTEGER, Real1 REAL, "
        "Money CURRENCY, Dec DECIMAL(10,2), Day DATE, Clock TIME, Moment DATETIME, Flag BOOLEAN, Word1 WORD, "
        "Txt VARCHAR(10), Memo1 MEMO)");
    query->SetSQL("SELECT * FROM Kinds");
    struct Case {
        const char* field;
        bool takesFormat;
    };
    const Case cases[] = {{"AUTO", true},  {"SMALL", true},  {"WHOLE", true}, {"REAL1", true}, {"MONEY", true},
                          {"DEC", true},   {"DAY", true},    {"CLOCK", true}, {"MOMENT", true}, {"WORD1", true},
                          {"FLAG", false}, {"TXT", false},   {"MEMO1", false}};
    TFelder* entry = main->FELDER_ADD(Entry("Query1", 0, "Form1"));
    for (const Case& c : cases) {
        auto feld = Feld(c.field);
        feld->DisplayMask = "#0.0;J;N";
        main->FELD_ADD(entry, std::move(feld));
    }
    query->Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        vcl::TField* f = query->FindField(c.field);
        ASSERT_NE(f, nullptr);
        std::string format = "-";
        if (auto* n = dynamic_cast<vcl::TNumericField*>(f)) format = n->DisplayFormat();
        if (auto* d = dynamic_cast<vcl::TDateTimeField*>(f)) format = d->DisplayFormat();
        if (auto* b = dynamic_cast<vcl::TBooleanField*>(f)) {
            EXPECT_EQ(b->DisplayValues(), "#0.0;J;N");
        }
        EXPECT_EQ(format, c.takesFormat ? "#0.0;J;N" : "-");
    }
    // A stored empty mask clears what the field had.
    query->Close();
    for (TFeld& feld : entry->Fields) feld.DisplayMask = "";
    query->Open();
    EXPECT_EQ(static_cast<vcl::TNumericField*>(query->FindField("WHOLE"))->DisplayFormat(), "");
    EXPECT_EQ(static_cast<vcl::TBooleanField*>(query->FindField("FLAG"))->DisplayValues(), "");
}

TEST_F(ApplyTest, AnEntryWithoutFieldsHidesEverythingAndDoesNotFit) {
    TFelder* entry = StoreEntry(*main, "QUERY1", 0, "FORM1", {});
    main->AutoEdit = true;
    query->Open();
    for (int i = 0; i < query->FieldCount(); ++i) EXPECT_FALSE(query->Fields(i)->Visible()) << i;
    EXPECT_EQ(EditCalls(), (std::vector<EditorCall>{{"EDIT", query, entry}}));
}

TEST_F(ApplyTest, AFieldTheDataSetGainedStaysHiddenAndTheEntryDoesNotFit) {
    StoreEntry(*main, "QUERY1", 0, "FORM1", {"ID", "NAME", "CITY", "AMOUNT", "ACTIVE"});
    main->AutoEdit = true;
    query->Open();
    EXPECT_FALSE(query->FindField("Born")->Visible());
    EXPECT_TRUE(query->FindField("Name")->Visible());
    EXPECT_EQ(EditCalls().size(), 1u);
}

TEST_F(ApplyTest, ASettingForAFieldTheDataSetLacksIsSkippedAndTheEntryDoesNotFit) {
    // As many settings as the dataset has fields, but one names a field it no longer has.
    TFelder* entry = StoreEntry(*main, "QUERY1", 0, "FORM1", {"ID", "NAME", "GONE", "CITY", "AMOUNT", "ACTIVE"});
    main->AutoEdit = true;
    query->Open();
    ASSERT_EQ(entry->Fields.size(), static_cast<std::size_t>(query->FieldCount()));
    EXPECT_TRUE(query->FindField("City")->Visible());
    EXPECT_FALSE(query->FindField("Born")->Visible());
    EXPECT_EQ(EditCalls(), (std::vector<EditorCall>{{"EDIT", query, entry}}));
}

TEST_F(ApplyTest, StoredEmptyTextsClearWhatTheFieldHad) {
    // The application's own handler gives the fresh fields a presentation first.
    binding->SetDataSet(nullptr);
    query->AfterOpen = [](vcl::TDataSet* ds) {
        for (int i = 0; i < ds->FieldCount(); ++i) {
            vcl::TField* f = ds->Fields(i);
            f->SetDisplayLabel("Vorher");
            f->SetEditMask("999");
            SetDisplayMask(*f, "0.00");
        }
    };
    binding->SetDataSet(query);
    TFelder* entry = StoreEntry(*main, "QUERY1", 0, "FORM1", kAllCustomerFields);
    for (TFeld& feld : entry->Fields) feld.Caption = "";
    query->Open();
    for (int i = 0; i < query->FieldCount(); ++i) {
        const vcl::TField* f = query->Fields(i);
        SCOPED_TRACE(f->FieldName());
        EXPECT_EQ(f->DisplayLabel(), f->FieldName());
        EXPECT_EQ(f->EditMask(), "");
        EXPECT_EQ(DisplayMaskOf(*f).value_or(""), "");
    }
}

TEST_F(ApplyTest, OutsideWorkNothingIsAppliedAddedOrOpened) {
    main->AutoEdit = true;
    StoreEntry(*main, "QUERY1", 0, "FORM1", {"NAME"});
    for (TFSTATUS status : {fsOFF, fsGO, fsLEARN}) {
        SCOPED_TRACE(int(status));
        main->Status = status;
        query->Open();
        EXPECT_TRUE(query->FindField("Id")->Visible());
        EXPECT_EQ(binding->CurrentFelder(), nullptr);
        query->Close();
    }
    EXPECT_TRUE(editor->Calls.empty());
    EXPECT_EQ(main->FelderList().size(), 1u);
}

TEST_F(ApplyTest, AnEntryAddedByAutoLearnHidesEverythingFromTheNextOpen) {
    query->Open();
    EXPECT_TRUE(query->FindField("Name")->Visible());
    ASSERT_NE(main->FindFelder("Form1", "Query1", 0), nullptr);
    query->Close();
    query->Open();
    for (int i = 0; i < query->FieldCount(); ++i) EXPECT_FALSE(query->Fields(i)->Visible()) << i;
}

TEST_F(ApplyTest, ANameLongerThanThirtyIsNeverFoundAndOnlyAddedOnce) {
    const std::string longName(31, 'Q');
    query->SetName(longName);
    main->AutoEdit = true;
    query->Open();
    query->Close();
    query->Open();
    ASSERT_EQ(main->FelderList().size(), 1u);
    EXPECT_EQ(main->FelderList().front()->DataSetName, std::string(30, 'Q'));
    // The second open made an entry the store discarded: the editor got none.
    EXPECT_EQ(EditCalls(), (std::vector<EditorCall>{{"EDIT", query, main->FelderList().front().get()},
                                                    {"EDIT", query, nullptr}}));
}

}  // namespace
}  // namespace bindingtest
