// The field list and the working list of the dataset shown.
#include <gtest/gtest.h>

#include "editor/editor_fixture.h"
#include "vcl/db.h"

namespace editor_test {
namespace {

using spaltwerk::cfEqual;
using spaltwerk::cfFalse;

TEST_F(EditorFixture, WorkingRecordsStartFromTheLiveFields) {
    Live("UMSATZ").SetIndex(0);  // the list follows the present field order
    dynamic_cast<vcl::TCurrencyField&>(Live("UMSATZ")).SetDisplayFormat("#,##0.00");
    dynamic_cast<vcl::TBooleanField&>(Live("AKTIV")).SetDisplayValues("Ja, sicher;Nein, niemals doch");
    dynamic_cast<vcl::TDateField&>(Live("GEBURT")).SetDisplayFormat("dd.mm.yyyy");
    Live("NAME").SetDisplayLabel("Kunde");
    Live("NAME").SetEditMask(">ccc");
    Live("KDNR").SetVisible(false);
    Live("KDNR").SetReadOnly(true);
    Live("KDNR").SetDisplayWidth(7);
    Editor().EDIT(query, entry);

    EXPECT_EQ(ItemsOf(W().ListBox1->Items), (Texts{"UMSATZ", "NAME", "KDNR", "GEBURT", "AKTIV", "NOTIZ"}));
    EXPECT_EQ(WorkNames(), ItemsOf(W().ListBox1->Items));
    EXPECT_EQ(WorkIndexes(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(Work("UMSATZ").DisplayMask, "#,##0.00");
    EXPECT_EQ(Work("AKTIV").DisplayMask, "Ja, sicher;Nein, nie");  // cut to 20
    EXPECT_EQ(Work("GEBURT").DisplayMask, "dd.mm.yyyy");
    EXPECT_EQ(Work("NOTIZ").DisplayMask, "");
    EXPECT_EQ(Work("NAME").Caption, "Kunde");
    EXPECT_EQ(Work("NAME").EditMask, ">ccc");
    EXPECT_EQ(Work("NAME").Length, 40);
    EXPECT_EQ(Work("KDNR").Caption, "KDNR");  // no label: the field name
    EXPECT_FALSE(Work("KDNR").Visible);
    EXPECT_TRUE(Work("KDNR").Readonly);
    EXPECT_EQ(Work("KDNR").Length, 7);
    for (const TFeld& f : W().WorkFields) {
        EXPECT_EQ(f.Color, -1);
        EXPECT_EQ(f.Function, cfFalse);
        EXPECT_EQ(f.Value, "");
    }
}

TEST_F(EditorFixture, StoredSettingsAreLaidOverTheLastMatchWinning) {
    TFeld& kdnr = Store(*entry, "kdnr", "Nummer");  // letter case differs from the live name
    kdnr.Index = 17;
    kdnr.Color = 255;
    kdnr.Function = cfEqual;
    kdnr.Value = "5";
    Store(*entry, "NAME", "erster");
    Store(*entry, "NAME", "zweiter");
    Store(*entry, "GONE", "vorbei");  // the dataset has no such field
    Store(*entry, "NOTIZ", "Notiz").DisplayMask = "@";  // a memo field has a mask only when stored
    Editor().EDIT(query, entry);

    EXPECT_EQ(ItemsOf(W().ListBox1->Items), (Texts{"NAME", "kdnr", "UMSATZ", "GEBURT", "AKTIV", "NOTIZ"}));
    EXPECT_EQ(WorkNames(), ItemsOf(W().ListBox1->Items));
    const TFeld& work = Work("KDNR");
    EXPECT_EQ(work.FieldName, "kdnr");
    EXPECT_EQ(work.Index, 17);  // the stored index, not the live position
    EXPECT_EQ(work.Caption, "Nummer");
    EXPECT_EQ(work.Color, 255);
    EXPECT_EQ(work.Function, cfEqual);
    EXPECT_EQ(work.Value, "5");
    EXPECT_EQ(Work("NAME").Caption, "zweiter");
    EXPECT_EQ(Work("NOTIZ").DisplayMask, "@");
    EXPECT_EQ(W().WorkRecord("GONE"), nullptr);
}

TEST_F(EditorFixture, ANameLongerThanThirtyCharactersIsListedCutAndNeverMatches) {
    const std::string longName = "EIN_SEHR_LANGER_FELDNAME_MIT_35_ZEI";
    ASSERT_EQ(longName.size(), 35u);
    Requery("SELECT NAME, KDNR AS " + longName + " FROM KUNDEN");
    Store(*entry, longName.substr(0, 30), "gespeichert");
    Editor().EDIT(query, entry);
    EXPECT_EQ(ItemsOf(W().ListBox1->Items), (Texts{"NAME", longName.substr(0, 30)}));
    EXPECT_EQ(W().WorkFields.back().Caption, longName.substr(0, 30));  // the live label, cut

    // Edits skip it: the cut name finds no field.
    Select({0, 1});
    vcl::User::PasteText(*W().Edit4, "Titel");
    EXPECT_EQ(Live("NAME").DisplayLabel(), "Titel");
    EXPECT_EQ(query->Fields(1)->DisplayLabel(), longName);
    // An Index edit drops its working record: its cut name equals no field's name.
    vcl::User::PasteText(*W().Edit2, " 0");  // the row shows NAME's 0: a change all the same
    EXPECT_EQ(WorkNames(), Texts{"NAME"});
    EXPECT_EQ(W().ListBox1->Items.Count(), 2);
    EXPECT_TRUE(errors.empty());
}

TEST_F(EditorFixture, AClosedDatasetHasNoFieldsButIsShown) {
    query->Close();
    Store(*entry, "NAME", "Kunde");
    Editor().EDIT(query, entry);
    EXPECT_EQ(W().ListBox1->Items.Count(), 0);
    EXPECT_TRUE(W().WorkFields.empty());
    EXPECT_EQ(W().Query, query);
    EXPECT_EQ(W().Felder, entry);
    EXPECT_EQ(Rows(), Texts(10, ""));
}

TEST_F(EditorFixture, KeysAreComparedWithoutLetterCase) {
    Editor().EDIT(query, entry);
    Editor().EDITT(table, tableEntry);
    Editor().refresh_query("form1.QUERY1");
    EXPECT_EQ(W().Query, query);
    EXPECT_EQ(W().Table, nullptr);
    EXPECT_EQ(W().Felder, entry);
    EXPECT_EQ(W().ListBox1->Items.Count(), 6);
}

TEST_F(EditorFixture, AnUnknownKeyEmptiesTheListButKeepsTheWorkingList) {
    Store(*entry, "NAME", "Kunde");
    Editor().EDIT(query, entry);
    Editor().refresh_query("Form1.Nichts");
    EXPECT_EQ(W().ListBox1->Items.Count(), 0);
    EXPECT_EQ(W().Query, query);
    EXPECT_EQ(W().WorkFields.size(), 6u);

    // "Save" then writes the working list back into the query's own entry.
    vcl::User::Click(*W().Button1);
    EXPECT_EQ(StoredNames(*entry), kFieldNames);
    EXPECT_EQ(entry->Fields.front().Caption, "Kunde");
    EXPECT_TRUE(tableEntry->Fields.empty());
}

TEST_F(EditorFixture, RefreshDoesNothingWhileTheWindowIsBusy) {
    Editor().EDIT(query, entry);
    Editor().EDITT(table, tableEntry);
    W().Busy = true;
    Editor().refresh_query("Form1.Query1");
    EXPECT_EQ(W().Table, table);
    EXPECT_EQ(W().ListBox1->Items.Count(), 6);
    EXPECT_TRUE(W().Busy);
}

TEST_F(EditorFixture, TypingIntoTheTableBoxShowsTheDatasetOnceItsKeyIsComplete) {
    Editor().EDIT(query, entry);
    Editor().EDITT(table, tableEntry);
    Store(*entry, "KDNR", "Nummer");
    vcl::User::TypeText(*W().ComboBox4, "Form1.Que");
    EXPECT_EQ(W().ListBox1->Items.Count(), 0);
    EXPECT_EQ(Rows(), Texts(10, ""));
    EXPECT_EQ(W().Table, table);  // still the previous dataset

    vcl::User::TypeText(*W().ComboBox4, "form1.query1");
    EXPECT_EQ(W().Query, query);
    EXPECT_EQ(ItemsOf(W().ListBox1->Items), kFieldNames);
    EXPECT_TRUE(W().ListBox1->Selected(0));
    EXPECT_EQ(Rows()[1], "NAME");
    EXPECT_EQ(Work("KDNR").Caption, "Nummer");

    vcl::User::PickItem(*W().ComboBox4, 1);
    EXPECT_EQ(W().Table, table);
    EXPECT_EQ(W().Query, nullptr);
    EXPECT_EQ(W().Felder, tableEntry);
    EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace editor_test
