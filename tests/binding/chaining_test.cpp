// Taking over the dataset's and the form's events, finding the store, the hot key.
#include <gtest/gtest.h>

#include "binding_fixture.h"

namespace bindingtest {
namespace {

using vcl::ssAlt;
using vcl::ssCtrl;
using vcl::ssLeft;
using vcl::ssShift;

// Counts how often each of the three chained handlers ran.
struct Counters {
    int afterOpen = 0;
    int beforeClose = 0;
    int keyDown = 0;
};

void InstallCounters(vcl::TDataSet& ds, vcl::TForm& form, Counters& n) {
    ds.AfterOpen = [&n](vcl::TDataSet*) { ++n.afterOpen; };
    ds.BeforeClose = [&n](vcl::TDataSet*) { ++n.beforeClose; };
    form.OnKeyDown = [&n](vcl::TObject*, vcl::Word&, vcl::TShiftState) { ++n.keyDown; };
}

TEST_F(BindingTest, ConstructionFindsTheStoreOnAFormOfTheApplication) {
    EXPECT_TRUE(binding->IsActive());
    EXPECT_EQ(binding->Main(), main);
    EXPECT_EQ(binding->DataSet(), nullptr);
    EXPECT_FALSE(binding->ColorOn);
    EXPECT_EQ(binding->CurrentFelder(), nullptr);
}

struct HotKeyCase {
    const char* name;
    vcl::Word key;
    vcl::TShiftState shift;
    TFSTATUS status;
    bool formSwallows;  // the form's own handler sets the key to 0
    bool opensEditor;
};

TEST_F(BindingTest, HotKeyOpensTheEditorOnlyForCtrlAltShiftF9InWork) {
    const HotKeyCase cases[] = {
        {"hot key", vcl::VK_F9, kHotShift, fsWORK, false, true},
        {"mouse button held", vcl::VK_F9, {ssShift, ssAlt, ssCtrl, ssLeft}, fsWORK, false, true},
        {"without shift", vcl::VK_F9, {ssAlt, ssCtrl}, fsWORK, false, false},
        {"without alt", vcl::VK_F9, {ssShift, ssCtrl}, fsWORK, false, false},
        {"other key", vcl::VK_F1, kHotShift, fsWORK, false, false},
        {"learning", vcl::VK_F9, kHotShift, fsLEARN, false, false},
        {"opened", vcl::VK_F9, kHotShift, fsGO, false, false},
        {"off", vcl::VK_F9, kHotShift, fsOFF, false, false},
        {"form swallows the key", vcl::VK_F9, kHotShift, fsWORK, true, false},
    };
    TFelder* entry = StoreEntry(*main, "QUERY1", 0, "FORM1", kAllCustomerFields);
    int formCalls = 0;
    bool swallow = false;
    form->OnKeyDown = [&](vcl::TObject* sender, vcl::Word& key, vcl::TShiftState) {
        ++formCalls;
        EXPECT_EQ(sender, form);
        if (swallow) key = 0;
    };
    binding->SetDataSet(query);
    for (const HotKeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        formCalls = 0;
        swallow = c.formSwallows;
        main->Status = c.status;
        editor->Calls.clear();
        const vcl::Word left = form->PressKey(c.key, c.shift);
        EXPECT_EQ(formCalls, 1);
        // The key goes on as the form's handler left it: the binding passes the same variable.
        EXPECT_EQ(left, c.formSwallows ? 0 : c.key);
        if (c.opensEditor)
            EXPECT_EQ(editor->Calls, (std::vector<EditorCall>{{"EDIT", query, entry}}));
        else
            EXPECT_TRUE(editor->Calls.empty());
    }
    main->Status = fsOFF;
}

TEST_F(BindingTest, HotKeyCallsTheEditorByDataSetKind) {
    main->Status = fsWORK;
    binding->SetDataSet(table);
    form->PressKey(vcl::VK_F9, kHotShift);  // no entry stored: the editor is still called
    EXPECT_EQ(EditCalls(), (std::vector<EditorCall>{{"EDITT", table, nullptr}}));

    auto* memory = new vcl::TMemDataSet(form);
    binding->SetDataSet(memory);
    form->PressKey(vcl::VK_F9, kHotShift);
    EXPECT_EQ(EditCalls().size(), 1u);

    binding->SetDataSet(nullptr);
    form->PressKey(vcl::VK_F9, kHotShift);
    EXPECT_EQ(EditCalls().size(), 1u);
}

TEST_F(BindingTest, SettingTheSameDataSetTwiceChainsOneDeep) {
    Counters n;
    InstallCounters(*query, *form, n);
    binding->SetDataSet(query);
    binding->SetDataSet(query);
    query->Open();
    query->Close();
    form->PressKey(vcl::VK_F1, {});
    EXPECT_EQ(n.afterOpen, 1);
    EXPECT_EQ(n.beforeClose, 1);
    EXPECT_EQ(n.keyDown, 1);
    EXPECT_NE(query->AfterOpen.target<BindingAfterOpenHandler>(), nullptr);
    EXPECT_NE(form->OnKeyDown.target<BindingKeyHandler>(), nullptr);
}

TEST_F(BindingTest, SwitchingDataSetsGivesTheFirstItsHandlersBack) {
    Counters first, second;
    InstallCounters(*query, *form, first);
    table->AfterOpen = [&](vcl::TDataSet*) { ++second.afterOpen; };
    table->BeforeClose = [&](vcl::TDataSet*) { ++second.beforeClose; };
    binding->SetDataSet(query);
    binding->SetDataSet(table);
    EXPECT_EQ(query->AfterOpen.target<BindingAfterOpenHandler>(), nullptr);
    EXPECT_EQ(query->BeforeClose.target<BindingBeforeCloseHandler>(), nullptr);
    ASSERT_TRUE(query->AfterOpen);

    main->Status = fsWORK;
    query->Open();
    query->Close();
    table->Open();
    table->Close();
    form->PressKey(vcl::VK_F1, {});
    EXPECT_EQ(first.afterOpen, 1);
    EXPECT_EQ(first.beforeClose, 1);
    EXPECT_EQ(first.keyDown, 1);
    EXPECT_EQ(second.afterOpen, 1);
    EXPECT_EQ(second.beforeClose, 1);
    // Only the bound table was configured (an empty entry added for it, by AutoLearn).
    EXPECT_NE(main->FindFelder("Form1", "Table1", 0), nullptr);
    EXPECT_EQ(main->FindFelder("Form1", "Query1", 0), nullptr);
    main->Status = fsOFF;
}

TEST_F(BindingTest, SettingNoDataSetLeavesTheBindingWithoutOne) {
    Counters n;
    InstallCounters(*query, *form, n);
    binding->SetDataSet(query);
    binding->SetDataSet(nullptr);
    EXPECT_EQ(binding->DataSet(), nullptr);
    EXPECT_EQ(query->AfterOpen.target<BindingAfterOpenHandler>(), nullptr);
    query->Open();
    EXPECT_EQ(n.afterOpen, 1);
}

TEST_F(BindingTest, ABindingWithoutDataSetHasNotTakenTheFormsKey) {
    main->Status = fsWORK;
    int formCalls = 0;
    form->OnKeyDown = [&](vcl::TObject*, vcl::Word&, vcl::TShiftState) { ++formCalls; };
    form->PressKey(vcl::VK_F9, kHotShift);
    EXPECT_EQ(formCalls, 1);
    EXPECT_EQ(form->OnKeyDown.target<BindingKeyHandler>(), nullptr);
    EXPECT_TRUE(editor->Calls.empty());
    main->Status = fsOFF;
}

TEST_F(BindingTest, SettingsKeyNamesTheDataSetsOwnerFormOnlyWhenItIsAForm) {
    query->SetTag(7);
    binding->SetDataSet(query);
    TSettingsKey key = binding->SettingsKey();
    EXPECT_EQ(key.FormName, "Form1");
    EXPECT_EQ(key.DataSetName, "Query1");
    EXPECT_EQ(key.Tag, 7);

    vcl::TComponent holder(nullptr);
    auto* loose = new vcl::TQuery(&holder);
    loose->SetName("Loose");
    binding->SetDataSet(loose);
    key = binding->SettingsKey();
    EXPECT_EQ(key.FormName, "");
    EXPECT_EQ(key.DataSetName, "Loose");
    binding->SetDataSet(nullptr);
}

TEST_F(BindingTest, TheStoreOnTheLaterFormWins) {
    auto* second = new vcl::TForm(&app);
    new TMainSpaltwerk(second);
    auto* later = new TMainSpaltwerk(second);  // of one form, the later component wins
    auto* other = new TSpaltwerk(second);
    EXPECT_EQ(other->Main(), later);
    EXPECT_TRUE(other->IsActive());
    EXPECT_EQ(binding->Main(), main);  // an active binding does not search again by itself
}

TEST_F(BindingTest, ABindingMadeBeforeTheStoreFindsItAtTheNextOpenOrClose) {
    struct Case {
        const char* name;
        bool onOpen;
    };
    for (const Case c : {Case{"open", true}, Case{"close", false}}) {
        SCOPED_TRACE(c.name);
        auto* lateForm = new vcl::TForm(&app);
        delete main;  // no store anywhere now
        main = nullptr;
        auto* early = new TSpaltwerk(lateForm);
        EXPECT_FALSE(early->IsActive());
        early->SetDataSet(query);
        if (!c.onOpen) query->Open();
        main = new TMainSpaltwerk(lateForm);
        editor = InstallRecordingEditor(main);
        main->Status = fsWORK;
        c.onOpen ? query->Open() : query->Close();
        EXPECT_TRUE(early->IsActive());
        EXPECT_EQ(early->Main(), main);
        main->Status = fsOFF;
        query->Close();
        delete lateForm;
        main = nullptr;
    }
}

TEST_F(BindingTest, AnotherKindOfDataSetIsChainedButNeverConfigured) {
    auto* memory = new vcl::TMemDataSet(form);
    memory->SetName("Memory1");
    memory->AddFieldDef("Name", vcl::ftString);
    memory->AppendRecord({std::string("x")});
    Counters n;
    InstallCounters(*memory, *form, n);
    StoreEntry(*main, "MEMORY1", 0, "FORM1", {});  // would hide every field if applied
    main->AutoEdit = true;
    binding->SetDataSet(memory);

    main->Status = fsWORK;
    memory->Open();
    EXPECT_TRUE(memory->Fields(0)->Visible());
    EXPECT_EQ(binding->CurrentFelder(), nullptr);
    form->PressKey(vcl::VK_F9, kHotShift);
    main->Status = fsLEARN;
    memory->Close();
    EXPECT_EQ(n.afterOpen, 1);
    EXPECT_EQ(n.beforeClose, 1);
    EXPECT_EQ(n.keyDown, 1);
    EXPECT_TRUE(main->FindFelder("Form1", "Memory1", 0)->Fields.empty());  // nothing learnt
    EXPECT_EQ(main->FelderList().size(), 1u);
    delete binding;
    binding = nullptr;
    EXPECT_TRUE(editor->Calls.empty());  // neither edited nor told to forget
    main->Status = fsOFF;
}

TEST_F(BindingTest, KeptHandlersRunBeforeTheBindingAndTheirErrorsReachTheCaller) {
    StoreEntry(*main, "QUERY1", 0, "FORM1", {"NAME"});
    query->AfterOpen = [](vcl::TDataSet* ds) {
        EXPECT_TRUE(ds->Fields(0)->Visible());  // nothing applied yet
        throw vcl::EDatabaseError("refused");
    };
    binding->SetDataSet(query);
    main->Status = fsWORK;
    EXPECT_THROW(query->Open(), vcl::EDatabaseError);
    // The error ended the handler: nothing was applied.
    EXPECT_TRUE(query->FindField("Id")->Visible());
    main->Status = fsOFF;
}

}  // namespace
}  // namespace bindingtest
