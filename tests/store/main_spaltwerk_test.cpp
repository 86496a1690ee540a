#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "binding/spaltwerk.h"
#include "editor/editor.h"
#include "store/main_spaltwerk.h"
#include "vcl/forms.h"

namespace {

using namespace spaltwerk;

std::unique_ptr<TFelder> Entry(std::string_view dataSet, int tag, std::string_view form) {
    auto entry = std::make_unique<TFelder>();
    entry->DataSetName = dataSet;
    entry->Tag = tag;
    entry->FormName = form;
    return entry;
}

std::unique_ptr<TFeld> Field(std::string_view name, int index = 99) {
    auto field = std::make_unique<TFeld>();
    field->FieldName = name;
    field->Index = index;
    return field;
}

std::vector<std::string> DataSetNames(const TMainSpaltwerk& store) {
    std::vector<std::string> names;
    for (const auto& entry : store.FelderList()) names.push_back(entry->DataSetName.str());
    return names;
}

class StoreTest : public ::testing::Test {
protected:
    TMainSpaltwerk store{nullptr};
};

TEST(FixedStringTest, KeepsAtMostItsCapacityAndComparesWithLength) {
    String20 s = std::string(25, 'x');
    EXPECT_EQ(s.size(), 20u);
    EXPECT_EQ(s, std::string(20, 'x'));
    String30 a = "ab";
    EXPECT_EQ(a, "ab");
    EXPECT_NE(a, "ab ");
    EXPECT_NE(a, String30("a"));
    EXPECT_EQ(String30(std::string("a\0b", 3)).size(), 3u);  // bytes, not C strings
    String20 fromLonger = String30(std::string(30, 'y'));
    EXPECT_EQ(fromLonger.view(), std::string(20, 'y'));
    EXPECT_TRUE(String20().empty());
    String30 cleared = "abc";
    cleared = std::string_view();  // an empty view without an address
    EXPECT_TRUE(cleared.empty());
    EXPECT_EQ(static_cast<std::string>(a), "ab");
}

TEST(RecordTest, NewRecordsCarryNoColourRule) {
    const TFeld field;
    EXPECT_EQ(field.Color, -1);
    EXPECT_EQ(field.Function, cfFalse);
    EXPECT_TRUE(field.Value.empty());
    EXPECT_EQ(sizeof(TFFUNKTION), 1u);
    EXPECT_EQ(sizeof(TFSTATUS), 1u);
    EXPECT_EQ(static_cast<int>(cfNot), 7);
    EXPECT_EQ(static_cast<int>(fsWORK), 3);
}

TEST_F(StoreTest, ConstructionSetsTheDefaultsAndOwnsTheEditor) {
    EXPECT_EQ(store.Status, fsOFF);
    EXPECT_FALSE(store.AutoEdit);
    EXPECT_TRUE(store.AutoLearn);
    EXPECT_EQ(store.FileName, "ZRKFIELD.INI");
    EXPECT_TRUE(store.FelderList().empty());
    ASSERT_NE(store.Editor, nullptr);
    EXPECT_EQ(store.Editor->Owner(), &store);
    EXPECT_EQ(store.ComponentCount(), 1);
}

TEST_F(StoreTest, NewEntriesGoToTheHeadWithUpperCaseNames) {
    store.FELDER_ADD(Entry("a", 0, "f"));
    store.FELDER_ADD(Entry("b", 0, "f"));
    TFelder* c = store.FELDER_ADD(Entry("c\xE4x", 0, "Form1"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(DataSetNames(store), (std::vector<std::string>{"C\xE4X", "B", "A"}));
    EXPECT_EQ(c->FormName, "FORM1");
    EXPECT_EQ(store.FelderList().front().get(), c);
    EXPECT_EQ(store.FELDER_ADD(nullptr), nullptr);
}

TEST_F(StoreTest, AnEntryWhoseKeyIsStoredIsRejected) {
    TFelder* stored = store.FELDER_ADD(Entry("KUNDEN", 0, "FORM1"));
    EXPECT_EQ(store.FELDER_ADD(Entry("kunden", 0, "Form1")), nullptr);
    EXPECT_EQ(store.FelderList().size(), 1u);
    EXPECT_EQ(store.FelderList().front().get(), stored);
    TFelder* otherTag = store.FELDER_ADD(Entry("kunden", 1, "Form1"));
    ASSERT_NE(otherTag, nullptr);
    EXPECT_EQ(store.FelderList().front().get(), otherTag);
    EXPECT_NE(store.FELDER_ADD(Entry("KUNDEN", 0, "")), nullptr);  // another form name
}

TEST_F(StoreTest, FindFelderUpperCasesButDoesNotCut) {
    TFelder* kunden = store.FELDER_ADD(Entry("KUNDEN", 0, "FORM1"));
    TFelder* baecker = store.FELDER_ADD(Entry("b\xE4" "cker", 0, ""));
    const std::string name31(31, 'N');
    TFelder* longName = store.FELDER_ADD(Entry(name31, 0, "F"));
    ASSERT_NE(longName, nullptr);
    EXPECT_EQ(longName->DataSetName, std::string(30, 'N'));

    struct Case { std::string form, dataSet; int tag; TFelder* found; };
    const Case cases[] = {
        {"form1", "kunden", 0, kunden},
        {"FORM1", "KUNDEN", 0, kunden},
        {"form1", "kunden", 1, nullptr},
        {"", "kunden", 0, nullptr},
        {"form1", "kunden ", 0, nullptr},
        {"", "B\xE4" "CKER", 0, baecker},
        {"", "B\xC4" "CKER", 0, nullptr},  // only a to z change case
        {"F", name31, 0, nullptr},          // longer than the stored, cut name
        {"f", std::string(30, 'n'), 0, longName},
    };
    for (const Case& c : cases)
        EXPECT_EQ(store.FindFelder(c.form, c.dataSet, c.tag), c.found) << c.form << "/" << c.dataSet << "/" << c.tag;
    // The cut names are equal, so a second entry for the long name is a duplicate.
    EXPECT_EQ(store.FELDER_ADD(Entry(name31 + "X", 0, "F")), nullptr);
}

TEST_F(StoreTest, FieldsAreNumberedByPositionWhateverIndexTheyCarry) {
    TFelder* entry = store.FELDER_ADD(Entry("Q", 0, "F"));
    for (const char* name : {"kdnr", "name", "ort"}) ASSERT_NE(store.FELD_ADD(entry, Field(name, 7)), nullptr);
    std::vector<int> indexes;
    std::vector<std::string> names;
    for (const TFeld& f : entry->Fields) {
        indexes.push_back(f.Index);
        names.push_back(f.FieldName.str());
    }
    EXPECT_EQ(indexes, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(names, (std::vector<std::string>{"KDNR", "NAME", "ORT"}));
}

TEST_F(StoreTest, FieldDuplicateCheckUsesTheNameAsHandedIn) {
    TFelder* entry = store.FELDER_ADD(Entry("Q", 0, "F"));
    TFeld* name = store.FELD_ADD(entry, Field("NAME"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(store.FELD_ADD(entry, Field("NAME")), nullptr);
    TFeld* mixed = store.FELD_ADD(entry, Field("Name"));
    ASSERT_NE(mixed, nullptr);
    EXPECT_EQ(mixed->FieldName, "NAME");
    EXPECT_EQ(mixed->Index, 1);
    EXPECT_EQ(entry->Fields.size(), 2u);
    EXPECT_EQ(&entry->Fields.front(), name);  // appending keeps earlier records in place
}

TEST_F(StoreTest, FieldAddWithoutEntryOrFieldRejects) {
    EXPECT_EQ(store.FELD_ADD(nullptr, Field("A")), nullptr);
    TFelder* entry = store.FELDER_ADD(Entry("Q", 0, "F"));
    EXPECT_EQ(store.FELD_ADD(entry, nullptr), nullptr);
    EXPECT_TRUE(entry->Fields.empty());
}

TEST_F(StoreTest, FieldAddContinuesAfterTheLastIndexOfAReplacedList) {
    TFelder* entry = store.FELDER_ADD(Entry("Q", 0, "F"));
    entry->Fields.clear();
    TFeld kept;
    kept.FieldName = "X";
    kept.Index = 4;
    entry->Fields.push_back(kept);
    store.FieldsReplaced();
    EXPECT_EQ(store.FELD_ADD(entry, Field("Y"))->Index, 5);
}

TEST_F(StoreTest, DeleteFelderUnlinksAndFreesTheEntry) {
    TFelder* a = store.FELDER_ADD(Entry("A", 0, ""));
    TFelder* b = store.FELDER_ADD(Entry("B", 0, ""));
    TFelder* c = store.FELDER_ADD(Entry("C", 0, ""));
    store.FELD_ADD(b, Field("X"));

    store.DeleteFelder(nullptr);
    EXPECT_EQ(DataSetNames(store), (std::vector<std::string>{"C", "B", "A"}));
    store.DeleteFelder(c);  // the head: its successor becomes the head
    EXPECT_EQ(DataSetNames(store), (std::vector<std::string>{"B", "A"}));
    store.DeleteFelder(b);
    EXPECT_EQ(DataSetNames(store), (std::vector<std::string>{"A"}));
    EXPECT_FALSE(store.Holds(b));
    EXPECT_TRUE(store.Holds(a));
    EXPECT_EQ(store.FindFelder("", "b", 0), nullptr);
    EXPECT_NE(store.FELDER_ADD(Entry("B", 0, "")), nullptr);  // the key is free again

    TFelder foreign;
    store.DeleteFelder(&foreign);  // not the store's: ignored
    EXPECT_EQ(store.FelderList().size(), 2u);
}

TEST_F(StoreTest, GenerationMovesWhenPointersMayGoStale) {
    TFelder* a = store.FELDER_ADD(Entry("A", 0, ""));
    const auto start = store.Generation();
    store.FELD_ADD(a, Field("X"));
    store.FELDER_ADD(Entry("B", 0, ""));
    EXPECT_EQ(store.Generation(), start) << "adding keeps every pointer valid";
    store.FieldsReplaced();
    EXPECT_GT(store.Generation(), start);
    auto g = store.Generation();
    store.DeleteFelder(a);
    EXPECT_GT(store.Generation(), g);
    g = store.Generation();
    store.SetAllColorOff();
    EXPECT_GT(store.Generation(), g);
    g = store.Generation();
    store.DeleteFelder(nullptr);
    EXPECT_EQ(store.Generation(), g);
    EXPECT_FALSE(store.Holds(nullptr));
}

TEST_F(StoreTest, LearnAndRunFollowTheStatusCycle) {
    struct Case { TFSTATUS before, afterLearn, afterRun; };
    const Case cases[] = {
        {fsOFF, fsOFF, fsOFF},
        {fsGO, fsLEARN, fsWORK},
        {fsLEARN, fsLEARN, fsWORK},
        {fsWORK, fsLEARN, fsWORK},
    };
    for (const Case& c : cases) {
        store.Status = c.before;
        store.Learn();
        EXPECT_EQ(store.Status, c.afterLearn) << "Learn from " << int(c.before);
        store.Status = c.before;
        store.run();
        EXPECT_EQ(store.Status, c.afterRun) << "run from " << int(c.before);
    }
    store.Status = fsOFF;
}

TEST(SetAllColorOffTest, ReachesBindingsOnFormsOfTheApplicationOnly) {
    TMainSpaltwerk store(nullptr);
    {
        vcl::TApplication app;
        auto* form = new vcl::TForm(&app);
        auto* onForm = new TSpaltwerk(form);
        auto* inner = new vcl::TForm(form);
        auto* onInnerForm = new TSpaltwerk(inner);
        auto* onApp = new TSpaltwerk(&app);
        auto* plain = new vcl::TComponent(&app);
        auto* onPlain = new TSpaltwerk(plain);
        for (TSpaltwerk* b : {onForm, onInnerForm, onApp, onPlain}) b->ColorOn = true;
        store.SetAllColorOff();
        EXPECT_FALSE(onForm->ColorOn);
        EXPECT_TRUE(onInnerForm->ColorOn);
        EXPECT_TRUE(onApp->ColorOn);
        EXPECT_TRUE(onPlain->ColorOn);
    }
    store.SetAllColorOff();  // without an application: nothing to reach, no failure
}

// Hears the editor go and checks what is left of the store at that moment.
class EditorWatch : public vcl::TComponent {
public:
    EditorWatch(TMainSpaltwerk* store) : vcl::TComponent(nullptr), store_(store) { FreeNotification(store->Editor); }
    std::vector<std::string> events;

protected:
    void Notification(vcl::TComponent* c, vcl::TOperation op) override {
        if (op != vcl::TOperation::opRemove) return;
        if (c == store_->Editor) {
            events.push_back(store_->FelderList().empty() ? "editor after entries" : "editor before entries");
            FreeNotification(store_);  // hear the store itself go next
        } else if (c == store_) {
            events.push_back("store");
        }
    }

private:
    TMainSpaltwerk* store_;
};

TEST(StoreLifetimeTest, DestructionFreesEntriesThenTheEditorThenTellsListeners) {
    auto* store = new TMainSpaltwerk(nullptr);
    store->FELD_ADD(store->FELDER_ADD(Entry("A", 0, "")), Field("X"));
    EditorWatch watch(store);
    delete store;
    EXPECT_EQ(watch.events, (std::vector<std::string>{"editor after entries", "store"}));
}

TEST(StoreLifetimeTest, AnEditorDestroyedFromOutsideIsForgotten) {
    auto* store = new TMainSpaltwerk(nullptr);
    delete store->Editor;
    EXPECT_EQ(store->Editor, nullptr);
    EXPECT_EQ(store->ComponentCount(), 0);
    delete store;  // frees nothing twice
}

TEST(StoreLifetimeTest, OwnerDestroysTheStoreWithTheEditor) {
    vcl::TApplication app;
    auto* form = new vcl::TForm(&app);
    auto* store = new TMainSpaltwerk(form);
    EditorWatch watch(store);
    delete form;
    EXPECT_EQ(watch.events, (std::vector<std::string>{"editor after entries", "store"}));
}

}  // namespace
