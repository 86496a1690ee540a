// What a binding does when it, its dataset, its form or its store goes away, and entries
// that another binding deletes. Run under AddressSanitizer, these also prove that nothing
// freed is touched.
#include <gtest/gtest.h>

#include "binding_fixture.h"

namespace bindingtest {
namespace {

struct Log {
    std::vector<std::string> lines;
    void Install(vcl::TDataSet& ds, vcl::TForm& form, const std::string& tag) {
        ds.AfterOpen = [this, tag](vcl::TDataSet*) { lines.push_back(tag + " open"); };
        ds.BeforeClose = [this, tag](vcl::TDataSet*) { lines.push_back(tag + " close"); };
        form.OnKeyDown = [this, tag](vcl::TObject*, vcl::Word&, vcl::TShiftState) { lines.push_back(tag + " key"); };
    }
};

TEST_F(BindingTest, ADestroyedBindingGivesBackTheHandlersAndTellsTheEditor) {
    struct Case {
        const char* name;
        vcl::TDBDataSet* dataSet;
        const char* op;
    };
    for (const Case c : {Case{"query", query, "OUT"}, Case{"table", table, "OUTT"}}) {
        SCOPED_TRACE(c.name);
        Log log;
        log.Install(*c.dataSet, *form, "app");
        auto* bound = new TSpaltwerk(form);
        bound->SetDataSet(c.dataSet);
        editor->Calls.clear();
        delete bound;
        EXPECT_EQ(editor->Calls, (std::vector<EditorCall>{{c.op, c.dataSet, nullptr}}));
        EXPECT_EQ(c.dataSet->AfterOpen.target<BindingAfterOpenHandler>(), nullptr);
        EXPECT_EQ(c.dataSet->BeforeClose.target<BindingBeforeCloseHandler>(), nullptr);
        EXPECT_EQ(form->OnKeyDown.target<BindingKeyHandler>(), nullptr);
        c.dataSet->Open();
        c.dataSet->Close();
        form->PressKey(vcl::VK_F1, {});
        EXPECT_EQ(log.lines, (std::vector<std::string>{"app open", "app close", "app key"}));
    }
}

TEST_F(BindingTest, ADestroyedBindingLeavesHandlersTheApplicationInstalledSince) {
    binding->SetDataSet(query);
    Log log;
    log.Install(*query, *form, "later");
    delete binding;
    binding = nullptr;
    query->Open();
    query->Close();
    form->PressKey(vcl::VK_F1, {});
    EXPECT_EQ(log.lines, (std::vector<std::string>{"later open", "later close", "later key"}));
}

TEST_F(BindingTest, TheDataSetGoingFirstIsForgotten) {
    Log log;
    log.Install(*query, *form, "app");
    binding->SetDataSet(query);
    main->Status = fsWORK;
    delete query;
    query = nullptr;
    EXPECT_EQ(binding->DataSet(), nullptr);
    EXPECT_FALSE(binding->OldAfterOpen);
    form->PressKey(vcl::VK_F9, kHotShift);  // the form's handler still runs; no editor
    EXPECT_EQ(log.lines, (std::vector<std::string>{"app key"}));
    delete binding;
    binding = nullptr;
    EXPECT_TRUE(editor->Calls.empty());  // no OUT with a freed dataset
    main->Status = fsOFF;
}

TEST_F(BindingTest, TheFormOfTheBindingGoingFirstIsSafe) {
    // Binding and its own form apart from the dataset's form.
    auto* bindingForm = new vcl::TForm(&app);
    auto* bound = new TSpaltwerk(bindingForm);
    bound->SetDataSet(query);
    main->Status = fsWORK;
    query->Open();
    delete bindingForm;  // takes the binding with it
    EXPECT_EQ(query->AfterOpen.target<BindingAfterOpenHandler>(), nullptr);
    EXPECT_EQ(editor->Calls, (std::vector<EditorCall>{{"OUT", query, nullptr}}));
    query->Close();
    main->Status = fsOFF;
}

TEST_F(BindingTest, TheFormOfTheDataSetGoingFirstIsSafe) {
    auto* dataForm = new vcl::TForm(&app);
    dataForm->SetName("Daten");
    auto* q = new vcl::TQuery(dataForm);
    q->SetDatabase(db);
    q->SetSQL("SELECT * FROM Kunden");
    binding->SetDataSet(q);
    main->Status = fsWORK;
    q->Open();
    delete dataForm;
    EXPECT_EQ(binding->DataSet(), nullptr);
    EXPECT_EQ(binding->CurrentFelder(), nullptr);
    form->PressKey(vcl::VK_F9, kHotShift);
    main->Status = fsOFF;
}

TEST_F(BindingTest, DestroyingTheWholeFormInOneGoIsSafe) {
    binding->SetDataSet(query);
    main->Status = fsWORK;
    query->Open();
    delete form;  // store, database, datasets and binding, last made first
    form = nullptr;
}

TEST_F(BindingTest, TheStoreGoingFirstIsForgottenAndTheNextOpenSearchesAgain) {
    binding->SetDataSet(query);
    StoreEntry(*main, "QUERY1", 0, "FORM1", kAllCustomerFields);
    main->Status = fsWORK;
    query->Open();
    ASSERT_NE(binding->CurrentFelder(), nullptr);
    delete main;  // writes its file into the test's drive root
    main = nullptr;
    EXPECT_EQ(binding->Main(), nullptr);
    EXPECT_FALSE(binding->IsActive());
    EXPECT_EQ(binding->CurrentFelder(), nullptr);
    form->PressKey(vcl::VK_F9, kHotShift);
    query->Close();

    main = new TMainSpaltwerk(form);
    editor = InstallRecordingEditor(main);
    main->Status = fsWORK;
    main->AutoEdit = true;
    query->Open();
    EXPECT_EQ(binding->Main(), main);
    EXPECT_EQ(EditCalls().size(), 1u);
    delete binding;  // the binding before the store this time
    binding = nullptr;
    main->Status = fsOFF;
}

TEST_F(BindingTest, ABindingDestroyedBeforeAnotherOnTheSameFormLeavesNoGapInTheChain) {
    Log log;
    log.Install(*query, *form, "app");
    binding->SetDataSet(query);
    auto* second = new TSpaltwerk(form);
    second->SetDataSet(table);  // keeps the first binding's key handler
    auto* third = new TSpaltwerk(form);
    third->SetDataSet(query);  // keeps the first binding's dataset handlers
    delete binding;  // not the last one installed: its handlers stay in the others' keeping
    binding = nullptr;
    query->Open();
    query->Close();
    form->PressKey(vcl::VK_F1, {});
    EXPECT_EQ(log.lines, (std::vector<std::string>{"app open", "app close", "app key"}));
    delete third;
    delete second;
    log.lines.clear();
    query->Open();
    query->Close();
    form->PressKey(vcl::VK_F1, {});
    EXPECT_EQ(log.lines, (std::vector<std::string>{"app open", "app close", "app key"}));
    EXPECT_EQ(form->OnKeyDown.target<BindingKeyHandler>(), nullptr);
}

TEST_F(BindingTest, AKeptHandlerMayDestroyTheBinding) {
    form->OnKeyDown = [this](vcl::TObject*, vcl::Word&, vcl::TShiftState) {
        delete binding;
        binding = nullptr;
    };
    query->AfterOpen = [this](vcl::TDataSet*) { delete binding; binding = nullptr; };
    binding->SetDataSet(query);
    main->Status = fsWORK;
    form->PressKey(vcl::VK_F9, kHotShift);
    EXPECT_EQ(binding, nullptr);
    EXPECT_EQ(EditCalls().size(), 0u);

    binding = new TSpaltwerk(form);
    binding->SetDataSet(query);
    query->Open();
    EXPECT_EQ(binding, nullptr);
    EXPECT_TRUE(main->FelderList().empty());  // the destroyed binding added nothing
    main->Status = fsOFF;
}

TEST_F(BindingTest, AnEntryDeletedByAnotherBindingWithTheSameKeyIsNeverUsed) {
    // Two forms of the same name, each with a query of the same name and tag.
    auto* twin = new vcl::TForm(&app);
    twin->SetName("Form1");
    auto* twinQuery = new vcl::TQuery(twin);
    twinQuery->SetName("Query1");
    twinQuery->SetDatabase(db);
    twinQuery->SetSQL("SELECT * FROM Kunden");
    auto* twinBinding = new TSpaltwerk(twin);
    twinBinding->SetDataSet(twinQuery);
    binding->SetDataSet(query);
    TFelder* shared = StoreEntry(*main, "QUERY1", 0, "FORM1", kAllCustomerFields);
    shared->Fields.front().Color = 255;

    main->Status = fsWORK;
    query->Open();
    twinQuery->Open();
    ASSERT_EQ(binding->CurrentFelder(), shared);
    main->Status = fsLEARN;
    twinQuery->Close();  // deletes the shared entry and learns a new one under the same key

    TFelder* learnt = main->FindFelder("Form1", "Query1", 0);
    ASSERT_NE(learnt, nullptr);
    ASSERT_TRUE(main->Holds(learnt));
    EXPECT_EQ(binding->CurrentFelder(), learnt);  // looked up again, never the freed one
    EXPECT_EQ(binding->CurrentFelder()->Fields.front().Color, -1);

    main->DeleteFelder(learnt);
    EXPECT_EQ(binding->CurrentFelder(), nullptr);
    main->Status = fsOFF;
}

}  // namespace
}  // namespace bindingtest
