// "Save", "Close", and what the window does when the store or the datasets change beneath it.
#include <gtest/gtest.h>

#include "binding/spaltwerk.h"
#include "editor/editor_fixture.h"

namespace editor_test {
namespace {

using namespace spaltwerk;

TEST_F(EditorFixture, SaveReplacesTheStoredFieldsByAnExactCopyOfTheWorkingList) {
    auto* binding = new TSpaltwerk(form1);
    TFeld& stored = Store(*entry, "kdnr", "Nummer");
    stored.Index = 9;
    Store(*entry, "ALT", "vorbei");
    Editor().EDIT(query, entry);
    Select({kUmsatz});
    vcl::User::PasteText(*W().Edit17, "100");
    binding->ColorOn = true;
    const auto generation = main->Generation();

    for (int save = 0; save < 2; ++save) vcl::User::Click(*W().Button1);
    EXPECT_EQ(StoredNames(*entry), (Texts{"NAME", "kdnr", "UMSATZ", "GEBURT", "AKTIV", "NOTIZ"}));
    EXPECT_EQ(std::next(entry->Fields.begin())->Index, 9);  // not renumbered
    EXPECT_EQ(std::next(entry->Fields.begin(), 2)->Value, "100");
    EXPECT_FALSE(binding->ColorOn);  // every binding rebuilds its colour rules
    EXPECT_GT(main->Generation(), generation);
    EXPECT_TRUE(W().Visible());  // the window stays open
    EXPECT_TRUE(tableEntry->Fields.empty());
}

TEST_F(EditorFixture, SavingAnEmptyWorkingListLeavesTheEntryWithoutFields) {
    Store(*entry, "NAME", "Kunde");
    query->Close();
    Editor().EDIT(query, entry);
    ASSERT_TRUE(W().WorkFields.empty());
    vcl::User::Click(*W().Button1);
    EXPECT_TRUE(entry->Fields.empty());
}

TEST_F(EditorFixture, CloseHidesAndTheNextOpeningDropsUnsavedWorkingChanges) {
    Editor().EDIT(query, entry);
    Select({kName});
    vcl::User::PasteText(*W().Edit4, "Kunde");
    vcl::User::PasteText(*W().Edit12, "255");
    vcl::User::Click(*W().Button2);
    EXPECT_FALSE(W().Visible());
    EXPECT_TRUE(entry->Fields.empty());  // nothing saved

    Editor().EDIT(query, entry);
    EXPECT_EQ(Work("NAME").Color, -1);
    EXPECT_EQ(Work("NAME").Caption, "Kunde");  // read again from the live field, which kept it
    EXPECT_EQ(Rows()[1], "Kunde");
}

// ---- Entries the store replaces -----------------------------------------------------

// Learning on close destroys the dataset's entry and adds a new one under the same key.
TFelder* Relearn(TMainSpaltwerk& main, TFelder* old) {
    auto fresh = std::make_unique<TFelder>();
    fresh->DataSetName = old->DataSetName;
    fresh->Tag = old->Tag;
    fresh->FormName = old->FormName;
    main.DeleteFelder(old);
    TFelder* added = main.FELDER_ADD(std::move(fresh));
    auto learnt = std::make_unique<TFeld>();
    learnt->FieldName = "NAME";
    learnt->Caption = "gelernt";
    main.FELD_ADD(added, std::move(learnt));
    return added;
}

TEST_F(EditorFixture, SaveAfterLearningWritesIntoTheNewEntry) {
    Store(*entry, "NAME", "alt");
    Editor().EDIT(query, entry);
    Editor().EDITT(table, tableEntry);
    vcl::User::PickItem(*W().ComboBox4, "Form1.Query1");
    Select({kKdnr});
    vcl::User::PasteText(*W().Edit4, "Nummer");

    TFelder* fresh = Relearn(*main, entry);
    entry = nullptr;
    vcl::User::Click(*W().Button1);
    EXPECT_EQ(W().Felder, fresh);
    EXPECT_EQ(StoredNames(*fresh), kFieldNames);
    EXPECT_EQ(std::next(fresh->Fields.begin())->Caption, "Nummer");

    // The record follows too: choosing the query again reads the new entry.
    TFelder* again = Relearn(*main, fresh);
    vcl::User::PickItem(*W().ComboBox4, "Form1.Table1");
    vcl::User::PickItem(*W().ComboBox4, "Form1.Query1");
    EXPECT_EQ(W().Felder, again);
    EXPECT_EQ(Work("NAME").Caption, "gelernt");
    ASSERT_EQ(Editor().MerkenList().size(), 2u);
    EXPECT_EQ(Editor().MerkenList()[0]->Felder, again);

    // Opening with the new entry finds the followed record: no second one.
    Editor().EDIT(query, again);
    EXPECT_EQ(Editor().MerkenList().size(), 2u);
    EXPECT_EQ(ItemsOf(W().ComboBox4->Items), (Texts{"Form1.Query1", "Form1.Table1"}));
    EXPECT_TRUE(errors.empty());
}

TEST_F(EditorFixture, SaveAfterTheEntryWasDeletedAddsItAgain) {
    Editor().EDIT(query, entry);
    main->DeleteFelder(entry);
    entry = nullptr;
    vcl::User::Click(*W().Button1);
    TFelder* added = main->FindFelder("FORM1", "QUERY1", 0);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(W().Felder, added);
    EXPECT_EQ(StoredNames(*added), kFieldNames);
    EXPECT_TRUE(errors.empty());
}

TEST_F(EditorFixture, RecordsWhoseEntryIsGoneForGoodAreDropped) {
    Editor().EDITT(table, tableEntry);
    Editor().EDIT(query, entry);
    main->DeleteFelder(entry);
    entry = nullptr;
    vcl::User::PickItem(*W().ComboBox4, "Form1.Table1");
    EXPECT_EQ(ItemsOf(W().ComboBox4->Items), Texts{"Form1.Table1"});
    EXPECT_EQ(W().ComboBox4->Text(), "Form1.Table1");
    EXPECT_EQ(W().Table, table);
    ASSERT_EQ(Editor().MerkenList().size(), 1u);
    EXPECT_EQ(Editor().MerkenList()[0]->Table, table);
    Editor().EDITT(table, tableEntry);
    EXPECT_EQ(ItemsOf(W().ComboBox4->Items), Texts{"Form1.Table1"});
}

// ---- Datasets that go away ----------------------------------------------------------

TEST_F(EditorFixture, ADatasetDestroyedBesideTheShownOneLosesItsRecords) {
    Editor().EDIT(query, entry);
    Editor().EDITT(table, tableEntry);  // shown
    delete query;
    query = nullptr;
    EXPECT_EQ(ItemsOf(W().ComboBox4->Items), Texts{"Form1.Table1"});
    EXPECT_EQ(W().ComboBox4->Text(), "Form1.Table1");
    ASSERT_EQ(Editor().MerkenList().size(), 1u);
    EXPECT_EQ(W().Table, table);
    EXPECT_EQ(W().ListBox1->Items.Count(), 6);
}

TEST_F(EditorFixture, TheShownDatasetDestroyedLeavesTheWindowEmpty) {
    Editor().EDIT(query, entry);
    Select({kKdnr, kAktiv});
    Editor().EDITT(table, tableEntry);
    Editor().EDIT(query, entry);  // shown again
    delete query;
    query = nullptr;

    EXPECT_EQ(W().Query, nullptr);
    EXPECT_EQ(W().Table, nullptr);
    EXPECT_EQ(W().Felder, nullptr);
    EXPECT_TRUE(W().WorkFields.empty());
    EXPECT_EQ(W().ListBox1->Items.Count(), 0);
    EXPECT_EQ(Rows(), Texts(10, ""));
    EXPECT_EQ(ItemsOf(W().ComboBox4->Items), Texts{"Form1.Table1"});
    EXPECT_EQ(W().ComboBox4->Text(), "");
    EXPECT_FALSE(W().Busy);

    // The rows and "Save" reach nothing; the table can still be chosen.
    vcl::User::PasteText(*W().Edit4, "ins Leere");
    vcl::User::Click(*W().Button1);
    EXPECT_TRUE(entry->Fields.empty());
    vcl::User::PickItem(*W().ComboBox4, "Form1.Table1");
    EXPECT_EQ(W().Table, table);
    EXPECT_EQ(W().ListBox1->Items.Count(), 6);
    EXPECT_TRUE(errors.empty());
}

TEST_F(EditorFixture, ADatasetForgottenByOutAndThenDestroyedIsNotKept) {
    Editor().EDIT(query, entry);
    Editor().OUT(query);
    EXPECT_EQ(W().Query, query);  // the hidden window still names it
    delete query;
    query = nullptr;
    EXPECT_EQ(W().Query, nullptr);
    Editor().EDITT(table, tableEntry);
    EXPECT_EQ(W().Table, table);
    EXPECT_EQ(ItemsOf(W().ListBox1->Items), kFieldNames);
}

}  // namespace
}  // namespace editor_test
