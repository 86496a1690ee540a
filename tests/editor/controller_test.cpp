// Opening the editor, its records, and forgetting datasets.
#include <gtest/gtest.h>

#include "editor/editor_fixture.h"

namespace editor_test {
namespace {

using spaltwerk::DataSetKey;
using spaltwerk::TMerken;

Texts RecordKeys(const spaltwerk::TEditor& editor) {
    Texts keys;
    for (const TMerken* record : editor.MerkenList()) keys.push_back(record->Key());
    return keys;
}

TEST_F(EditorFixture, FirstOpeningCreatesTheShownWindowForTheQuery) {
    EXPECT_EQ(Editor().Form(), nullptr);
    Editor().EDIT(query, entry);

    TMainSpaltwerkEdtior* window = Editor().Form();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Owner(), &Editor());
    EXPECT_TRUE(window->Visible());
    EXPECT_EQ(window->Caption, "Tabulon ");
    EXPECT_EQ(window->Editor, &Editor());
    EXPECT_EQ(window->Query, query);
    EXPECT_EQ(window->Table, nullptr);
    EXPECT_EQ(window->Felder, entry);
    EXPECT_FALSE(window->Busy);

    ASSERT_EQ(Editor().MerkenList().size(), 1u);
    const TMerken& record = *Editor().MerkenList()[0];
    EXPECT_EQ(record.Owner(), &Editor());
    EXPECT_EQ(record.Query, query);
    EXPECT_EQ(record.Table, nullptr);
    EXPECT_EQ(record.Felder, entry);

    EXPECT_EQ(ItemsOf(window->ComboBox4->Items), Texts{"Form1.Query1"});
    EXPECT_EQ(window->ComboBox4->Text(), "Form1.Query1");
    EXPECT_EQ(ItemsOf(window->ListBox1->Items), kFieldNames);
    EXPECT_EQ(window->ListBox1->SelCount(), 1);
    EXPECT_TRUE(window->ListBox1->Selected(0));
    // The rows show the first field as it is live: no stored settings yet.
    EXPECT_EQ(Rows(), (Texts{"0", "NAME", "", "", "TRUE", "FALSE", "40", "-1", "FALSE", ""}));
    EXPECT_TRUE(errors.empty());
}

TEST_F(EditorFixture, NothingHappensWithoutDatasetOrEntry) {
    Editor().EDIT(nullptr, entry);
    Editor().EDIT(query, nullptr);
    Editor().EDITT(nullptr, tableEntry);
    Editor().EDITT(table, nullptr);
    EXPECT_EQ(Editor().Form(), nullptr);
    EXPECT_TRUE(Editor().MerkenList().empty());

    // With a window: the hot key on a dataset without entry leaves it as it was.
    Editor().EDIT(query, entry);
    Select({kKdnr});
    Editor().EDITT(table, nullptr);
    EXPECT_EQ(W().Query, query);
    EXPECT_TRUE(W().ListBox1->Selected(kKdnr));
    EXPECT_EQ(Editor().MerkenList().size(), 1u);
}

TEST_F(EditorFixture, TheSameDatasetAndEntryTwiceKeepOneRecord) {
    Editor().EDIT(query, entry);
    TMainSpaltwerkEdtior* window = Editor().Form();
    W().Close();
    Editor().EDIT(query, entry);
    EXPECT_EQ(Editor().Form(), window);
    EXPECT_TRUE(window->Visible());
    EXPECT_EQ(Editor().MerkenList().size(), 1u);
    EXPECT_EQ(ItemsOf(W().ComboBox4->Items), Texts{"Form1.Query1"});
}

TEST_F(EditorFixture, TwoDatasetsShareOneWindowListedInOrderOfFirstOpening) {
    Editor().EDITT(table, tableEntry);
    TMainSpaltwerkEdtior* window = Editor().Form();
    Editor().EDIT(query, entry);
    Editor().EDITT(table, tableEntry);
    EXPECT_EQ(Editor().Form(), window);
    EXPECT_EQ(ItemsOf(W().ComboBox4->Items), (Texts{"Form1.Table1", "Form1.Query1"}));
    EXPECT_EQ(W().ComboBox4->Text(), "Form1.Table1");
    EXPECT_EQ(W().Table, table);
    EXPECT_EQ(W().Query, nullptr);
    EXPECT_EQ(W().Felder, tableEntry);
    ASSERT_EQ(Editor().MerkenList().size(), 2u);
    EXPECT_EQ(Editor().MerkenList()[0]->Table, table);
    EXPECT_EQ(Editor().MerkenList()[1]->Query, query);
}

// A second entry for the same dataset (here its Tag changed, so the store names it anew)
// adds a second record under the same key; the newer record supplies the field list.
TEST_F(EditorFixture, ANewEntryAddsASecondRecordAndTheNewerWins) {
    Store(*entry, "NAME", "Alt");
    Editor().EDIT(query, entry);
    EXPECT_EQ(Work("NAME").Caption, "Alt");

    query->SetTag(1);
    TFelder* newer = AddEntry("Form1", "Query1", 1);
    Store(*newer, "NAME", "Neu");
    Editor().EDIT(query, newer);
    EXPECT_EQ(ItemsOf(W().ComboBox4->Items), (Texts{"Form1.Query1", "Form1.Query1"}));
    EXPECT_EQ(W().Felder, newer);
    EXPECT_EQ(Work("NAME").Caption, "Neu");
    EXPECT_EQ(Rows()[1], "Neu");

    // Opening with the old entry again finds its record but the newer record still wins.
    Editor().EDIT(query, entry);
    EXPECT_EQ(Editor().MerkenList().size(), 2u);
    EXPECT_EQ(W().Felder, newer);
}

TEST_F(EditorFixture, KeysNameTheOwnerAndTheDataset) {
    vcl::TComponent dataModule(nullptr);
    dataModule.SetName("Daten");
    auto* owned = new vcl::TQuery(&dataModule);
    owned->SetName("Artikel");
    vcl::TTable ownerless(nullptr);
    ownerless.SetName("Lager");
    EXPECT_EQ(DataSetKey(query), "Form1.Query1");
    EXPECT_EQ(DataSetKey(owned), "Daten.Artikel");
    EXPECT_EQ(DataSetKey(&ownerless), "Lager");

    // A mixed list: tables and queries alike, in order of first opening.
    TFelder* a = AddEntry("", "Artikel", 0);
    TFelder* l = AddEntry("", "Lager", 0);
    Editor().EDITT(&ownerless, l);
    Editor().EDIT(query, entry);
    Editor().EDIT(owned, a);
    Editor().EDITT(table, tableEntry);
    EXPECT_EQ(ItemsOf(W().ComboBox4->Items), (Texts{"Lager", "Form1.Query1", "Daten.Artikel", "Form1.Table1"}));
    EXPECT_EQ(RecordKeys(Editor()), ItemsOf(W().ComboBox4->Items));
}

TEST_F(EditorFixture, OutHidesTheWindowAndForgetsOnlyItsDataset) {
    Editor().EDIT(query, entry);
    Editor().EDITT(table, tableEntry);
    Editor().EDIT(query, entry);  // the window shows the query

    Editor().OUTT(table);
    EXPECT_FALSE(W().Visible());
    EXPECT_EQ(RecordKeys(Editor()), Texts{"Form1.Query1"});

    Editor().EDIT(query, entry);
    Editor().OUTT(table);  // no record left for it: only hides
    EXPECT_FALSE(W().Visible());
    EXPECT_EQ(RecordKeys(Editor()), Texts{"Form1.Query1"});

    Editor().OUT(nullptr);  // names no dataset: forgets nothing
    EXPECT_EQ(RecordKeys(Editor()), Texts{"Form1.Query1"});

    Editor().OUT(query);
    EXPECT_TRUE(Editor().MerkenList().empty());
    EXPECT_NE(Editor().Form(), nullptr);  // the window stays, hidden
}

// An error while the editor opens never reaches the caller; what was done stays done, and
// the window does not stay deaf to the user's edits.
TEST_F(EditorFixture, AnErrorWhileOpeningIsDroppedAndTheWindowStaysUsable) {
    Editor().EDIT(query, entry);
    const auto keep = W().ComboBox4->OnChange;
    W().ComboBox4->OnChange = [](vcl::TObject*) { throw vcl::Exception("kaputt"); };
    vcl::TApplication* application = vcl::Application;
    vcl::Application = nullptr;  // without an application a handler's error leaves the handler
    EXPECT_NO_THROW(Editor().EDITT(table, tableEntry));
    vcl::Application = application;
    W().ComboBox4->OnChange = keep;

    EXPECT_EQ(RecordKeys(Editor()), (Texts{"Form1.Query1", "Form1.Table1"}));
    EXPECT_EQ(W().Table, table);
    EXPECT_FALSE(W().Busy);
    EXPECT_TRUE(errors.empty());

    EXPECT_EQ(W().ComboBox4->Text(), "Form1.Table1");  // the opening stopped after showing the key
    vcl::User::PickItem(*W().ComboBox4, "Form1.Query1");
    vcl::User::PickItem(*W().ComboBox4, "Form1.Table1");
    EXPECT_EQ(W().Felder, tableEntry);
    EXPECT_EQ(W().Query, nullptr);
    Select({kKdnr});
    vcl::User::PasteText(*W().Edit4, "Nummer");
    EXPECT_EQ(table->FieldByName("KDNR")->DisplayLabel(), "Nummer");
}

TEST_F(EditorFixture, OutBeforeAnyOpeningChangesNothing) {
    Editor().OUT(query);
    Editor().OUTT(table);
    EXPECT_EQ(Editor().Form(), nullptr);
    EXPECT_TRUE(Editor().MerkenList().empty());
}

TEST_F(EditorFixture, DestroyingTheStoreFreesTheControllerWithWindowAndRecords) {
    Editor().EDIT(query, entry);
    Editor().EDITT(table, tableEntry);
    delete main;
    main = nullptr;
    // The datasets outlive the editor and must not call back into it.
    delete query;
    query = nullptr;
    table->Close();
    EXPECT_TRUE(errors.empty());
}

TEST_F(EditorFixture, ARecordFreedFromOutsideLeavesTheList) {
    Editor().EDIT(query, entry);
    Editor().EDITT(table, tableEntry);
    delete Editor().MerkenList()[0];
    EXPECT_EQ(RecordKeys(Editor()), Texts{"Form1.Table1"});
}

TEST_F(EditorFixture, AWindowFreedFromOutsideIsMadeAgainAtTheNextOpening) {
    Editor().EDIT(query, entry);
    delete Editor().Form();
    EXPECT_EQ(Editor().Form(), nullptr);
    Editor().EDIT(query, entry);
    ASSERT_NE(Editor().Form(), nullptr);
    EXPECT_EQ(ItemsOf(W().ListBox1->Items), kFieldNames);
}

}  // namespace
}  // namespace editor_test
