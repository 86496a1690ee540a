#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "vcl/controls_fixture.h"
#include "vcl/stdctrls.h"

namespace controls_test {
namespace {

using vcl::TShiftState;
using Texts = std::vector<std::string>;
namespace User = vcl::User;

// ---- TStrings -----------------------------------------------------------------------

TEST(StringsTest, AddInsertDeleteAndIndexOf) {
    vcl::TStrings s;
    EXPECT_EQ(s.Add("b"), 0);
    EXPECT_EQ(s.Add("\xE4pfel"), 1);  // "äpfel"
    s.Insert(0, "a");
    s.Insert(3, "z");
    EXPECT_EQ(Texts(s.begin(), s.end()), (Texts{"a", "b", "\xE4pfel", "z"}));
    s.Delete(1);
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(s[1], "\xE4pfel");
    EXPECT_EQ(s.IndexOf("Z"), 2);            // a-z compare without case
    EXPECT_EQ(s.IndexOf("\xC4PFEL"), -1);   // other letters keep their case
    EXPECT_EQ(s.IndexOf("\xE4PFEL"), 1);
    EXPECT_EQ(s.IndexOf("y"), -1);
    s.Assign(Texts{"x"});
    EXPECT_EQ(Texts(s.begin(), s.end()), Texts{"x"});
}

TEST(StringsTest, BadIndexesRaiseListError) {
    vcl::TStrings s;
    s.Add("a");
    EXPECT_THROW(s.Strings(1), vcl::EListError);
    EXPECT_THROW(s[-1], vcl::EListError);
    EXPECT_THROW(s.Insert(2, "x"), vcl::EListError);
    EXPECT_THROW(s.Delete(1), vcl::EListError);
    EXPECT_THROW(s.SetStrings(1, "x"), vcl::EListError);
    EXPECT_EQ(s.Count(), 1);
}

// ---- Text controls: OnChange ------------------------------------------------------

class TextControlTest : public FormFixture {
protected:
    // The same checks run on an edit field and on an editable combo box.
    std::vector<vcl::TTextControl*> Both() { return {Add<vcl::TEdit>("Edit1"), Add<vcl::TComboBox>("ComboBox1")}; }
};

TEST_F(TextControlTest, SetTextRaisesOnChangeOnlyWhenTheTextChanges) {
    for (vcl::TTextControl* c : Both()) {
        changes.clear();
        RecordChanges(*c);
        c->SetText("abc");
        c->SetText("abc");
        c->SetText("");
        c->SetText("");
        EXPECT_EQ(changes, (Texts{"abc", ""})) << c->Name();
    }
}

struct TypingCase {
    const char* before;
    const char* typed;
    bool paste;
    Texts changes;
};

TEST_F(TextControlTest, TypingRaisesOnChangePerKeystrokeAndPastingOnce) {
    const TypingCase cases[] = {
        {"", "ab", false, {"a", "ab"}},
        {"xyz", "ab", false, {"a", "ab"}},      // the first key replaces the selected text
        {"a", "abc", false, {"ab", "abc"}},     // the first key gives the same text: no change
        {"ab", "ab", false, {"a", "ab"}},
        {"abc", "", false, {""}},              // emptying is one change
        {"", "", false, {}},
        {"xyz", "ab", true, {"ab"}},
        {"ab", "ab", true, {}},
        {"ab", "", true, {""}},
    };
    for (vcl::TTextControl* c : Both()) {
        for (const auto& tc : cases) {
            c->SetText(tc.before);
            changes.clear();
            RecordChanges(*c);
            if (tc.paste)
                User::PasteText(*c, tc.typed);
            else
                User::TypeText(*c, tc.typed);
            EXPECT_EQ(changes, tc.changes) << c->Name() << " '" << tc.before << "' <- '" << tc.typed << "'";
            EXPECT_EQ(c->Text(), tc.typed);
            c->OnChange = nullptr;
        }
    }
}

TEST_F(TextControlTest, ReadOnlyEditIgnoresKeysButNotTheProgram) {
    auto* edit = Add<vcl::TEdit>("Edit1");
    edit->SetText("old");
    edit->ReadOnly = true;
    RecordChanges(*edit);
    User::TypeText(*edit, "new");
    User::PasteText(*edit, "new");
    EXPECT_EQ(edit->Text(), "old");
    EXPECT_TRUE(changes.empty());
    edit->SetText("set");
    EXPECT_EQ(changes, Texts{"set"});
}

TEST_F(TextControlTest, InputForAnUnreachableControlIsRefused) {
    struct Case {
        const char* what;
        std::function<void(vcl::TEdit&)> makeUnreachable;
        const char* reason;
    };
    const Case cases[] = {
        {"disabled", [](vcl::TEdit& e) { e.Enabled = false; }, "it is disabled"},
        {"hidden", [](vcl::TEdit& e) { e.Visible = false; }, "it is hidden"},
        {"form closed", [](vcl::TEdit& e) { e.Parent()->Close(); }, "its form is not shown"},
        {"no form", [](vcl::TEdit& e) { e.SetParent(nullptr); }, "it is on no form"},
    };
    for (const auto& tc : cases) {
        auto* edit = Add<vcl::TEdit>("Edit1");
        RecordChanges(*edit);
        tc.makeUnreachable(*edit);
        try {
            User::TypeText(*edit, "x");
            ADD_FAILURE() << tc.what << ": no error";
        } catch (const vcl::EInvalidOperation& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Edit1 cannot take user input: ") + tc.reason);
        }
        EXPECT_THROW(User::DblClick(*edit), vcl::EInvalidOperation) << tc.what;
        EXPECT_EQ(edit->Text(), "") << tc.what;
        EXPECT_TRUE(changes.empty()) << tc.what;
        delete edit;
        form->Show();
    }
}

TEST_F(TextControlTest, TypingStopsWhenAHandlerFreesTheControl) {
    auto* edit = Add<vcl::TEdit>("Edit1");
    int calls = 0;
    edit->OnChange = [&](vcl::TObject*) {
        ++calls;
        delete edit;
    };
    User::TypeText(*edit, "abc");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(form->ControlCount(), 0);
}

TEST_F(TextControlTest, AHandlerWritingIntoItsOwnControlEnds) {
    // As a Visible row does: whatever is typed, the handler writes back TRUE or FALSE. The
    // keys still give the text typed so far.
    auto* combo = Add<vcl::TComboBox>("ComboBox2");
    combo->OnChange = [&](vcl::TObject*) {
        changes.push_back(combo->Text());
        combo->SetText(combo->Text().find_first_of("Tt") != std::string::npos ? "TRUE" : "FALSE");
    };
    User::TypeText(*combo, "yt");
    EXPECT_EQ(changes, (Texts{"y", "FALSE", "yt", "TRUE"}));
    EXPECT_EQ(combo->Text(), "TRUE");
}

// ---- Combo box ----------------------------------------------------------------------

class ComboBoxTest : public FormFixture {
protected:
    ComboBoxTest() {
        combo->Items.Assign(Texts{"False", "True", "Lower"});
        RecordChanges(*combo);
    }
    vcl::TComboBox* combo = Add<vcl::TComboBox>("ComboBox5");
};

TEST_F(ComboBoxTest, PickingAnItemSetsTheTextAndRaisesOnChangeWhenItChanges) {
    User::PickItem(*combo, 1);
    EXPECT_EQ(combo->Text(), "True");
    EXPECT_EQ(combo->ItemIndex(), 1);
    User::PickItem(*combo, "TRUE");  // the same item again: no change
    User::PickItem(*combo, "lower");
    EXPECT_EQ(changes, (Texts{"True", "Lower"}));
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_THROW(User::PickItem(*combo, 3), vcl::EListError);
    EXPECT_THROW(User::PickItem(*combo, "Higher"), vcl::EListError);
    EXPECT_THROW(User::PickItem(*combo, -1), vcl::EListError);
    EXPECT_EQ(combo->Text(), "Lower");
}

TEST_F(ComboBoxTest, ItemIndexFollowsTheTextAndTheItems) {
    combo->SetText("True");
    EXPECT_EQ(combo->ItemIndex(), 1);
    User::TypeText(*combo, "Tru");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetItemIndex(2);
    combo->Items.Insert(0, "Not");
    EXPECT_EQ(combo->ItemIndex(), 3);
    combo->Items.Delete(1);
    EXPECT_EQ(combo->ItemIndex(), 2);
    combo->Items.Clear();
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "Lower");  // clearing the list leaves the text alone
    EXPECT_THROW(combo->SetItemIndex(0), vcl::EListError);
}

TEST_F(ComboBoxTest, SettingItemIndexShowsTheItemAndMinusOneEmptiesTheText) {
    combo->SetItemIndex(0);
    combo->SetItemIndex(0);
    combo->SetItemIndex(-1);
    EXPECT_EQ(changes, (Texts{"False", ""}));
}

TEST_F(ComboBoxTest, ADropDownListShowsOnlyItsItems) {
    combo->Style = vcl::csDropDownList;
    combo->SetText("True");
    combo->SetText("Maybe");
    EXPECT_EQ(combo->Text(), "");
    User::TypeText(*combo, "Lower");
    EXPECT_EQ(combo->Text(), "");
    User::PickItem(*combo, 2);
    EXPECT_EQ(changes, (Texts{"True", "", "Lower"}));
}

// ---- List box -----------------------------------------------------------------------

class ListBoxTest : public FormFixture {
protected:
    ListBoxTest() {
        list->Items.Assign(Texts{"ID", "NAME", "CITY", "ZIP", "PHONE"});
        list->OnClick = [this](vcl::TObject* sender) {
            EXPECT_EQ(sender, list);
            ++clicks;
        };
    }
    std::set<int> SelectedItems() const {
        std::set<int> result;
        for (int i = 0; i < list->Items.Count(); ++i)
            if (list->Selected(i)) result.insert(i);
        return result;
    }

    vcl::TListBox* list = Add<vcl::TListBox>("ListBox1");
    int clicks = 0;
};

struct ClickCase {
    const char* what;
    bool multiSelect;
    bool extendedSelect;
    std::vector<std::pair<int, TShiftState>> clicks;
    std::set<int> selected;
    int itemIndex;
};

TEST_F(ListBoxTest, ClicksSelectByShiftStateAndMode) {
    const TShiftState none, ctrl{vcl::ssCtrl}, shift{vcl::ssShift}, both{vcl::ssCtrl, vcl::ssShift};
    const ClickCase cases[] = {
        {"single: the last click wins", false, true, {{1, none}, {3, ctrl}}, {3}, 3},
        {"single: Shift selects one item", false, true, {{0, none}, {2, shift}}, {2}, 2},
        {"plain click selects only the item", true, true, {{1, none}, {3, ctrl}, {4, none}}, {4}, 4},
        {"Ctrl adds", true, true, {{1, none}, {3, ctrl}}, {1, 3}, 3},
        {"Ctrl removes", true, true, {{1, none}, {3, ctrl}, {1, ctrl}}, {3}, 1},
        {"Shift selects the range down", true, true, {{1, none}, {3, shift}}, {1, 2, 3}, 3},
        {"Shift selects the range up", true, true, {{3, none}, {1, shift}}, {1, 2, 3}, 1},
        {"Shift keeps the anchor", true, true, {{1, none}, {3, shift}, {0, shift}}, {0, 1}, 0},
        {"Ctrl moves the anchor", true, true, {{0, none}, {4, ctrl}, {2, shift}}, {2, 3, 4}, 2},
        {"Ctrl+Shift adds the range", true, true, {{0, none}, {4, ctrl}, {2, both}}, {0, 2, 3, 4}, 2},
        {"Shift without an anchor", true, true, {{2, shift}}, {2}, 2},
        {"simple multi-select toggles", true, false, {{1, none}, {3, none}, {1, shift}}, {3}, 1},
    };
    for (const auto& tc : cases) {
        list->SetMultiSelect(tc.multiSelect);
        list->ExtendedSelect = tc.extendedSelect;
        list->SetItemIndex(-1);
        clicks = 0;
        for (const auto& [index, state] : tc.clicks) User::ClickItem(*list, index, state);
        EXPECT_EQ(SelectedItems(), tc.selected) << tc.what;
        EXPECT_EQ(list->SelCount(), static_cast<int>(tc.selected.size())) << tc.what;
        EXPECT_EQ(list->ItemIndex(), tc.itemIndex) << tc.what;
        EXPECT_EQ(clicks, static_cast<int>(tc.clicks.size())) << tc.what;
    }
}

TEST_F(ListBoxTest, ProgramChangesRaiseNoClick) {
    list->SetMultiSelect(true);
    list->SetSelected(0, true);
    list->SetSelected(2, true);
    list->SetItemIndex(1);
    list->Items.Add("FAX");
    list->ClearSelection();
    list->Items.Clear();
    EXPECT_EQ(clicks, 0);
}

TEST_F(ListBoxTest, TheSelectionFollowsTheItems) {
    list->SetMultiSelect(true);
    list->SetSelected(1, true);
    list->SetSelected(3, true);
    list->Items.Insert(0, "KEY");   // marks move down with their items
    list->Items.Delete(2);          // NAME (was 1) goes with its mark
    list->Items.SetStrings(3, "POSTCODE");  // a renamed item keeps its mark
    EXPECT_EQ(SelectedItems(), std::set<int>{3});
    EXPECT_EQ(Texts(list->Items.begin(), list->Items.end()), (Texts{"KEY", "ID", "CITY", "POSTCODE", "PHONE"}));
    list->Items.Clear();
    EXPECT_EQ(list->SelCount(), 0);
    EXPECT_EQ(list->ItemIndex(), -1);
    list->Items.Add("A");
    EXPECT_FALSE(list->Selected(0));
    EXPECT_THROW(list->Selected(1), vcl::EListError);
    EXPECT_THROW(User::ClickItem(*list, 1), vcl::EListError);
    EXPECT_EQ(clicks, 0);
}

TEST_F(ListBoxTest, SingleSelectionKeepsOneItem) {
    list->SetSelected(1, true);
    list->SetSelected(3, true);
    EXPECT_EQ(SelectedItems(), std::set<int>{3});
    EXPECT_EQ(list->ItemIndex(), 3);
    list->SetSelected(3, false);
    EXPECT_EQ(list->ItemIndex(), -1);

    list->SetMultiSelect(true);
    User::ClickItem(*list, 0);
    User::ClickItem(*list, 4, {vcl::ssCtrl});
    User::ClickItem(*list, 2, {vcl::ssCtrl});
    list->SetMultiSelect(false);  // the current item stays selected
    EXPECT_EQ(SelectedItems(), std::set<int>{2});
    EXPECT_EQ(list->ItemIndex(), 2);
}

// ---- Buttons, clicks and errors in handlers -----------------------------------------

TEST_F(FormFixture, ButtonsRaiseOnClickOnlyWhenTheUserCanReachThem) {
    auto* button = Add<vcl::TButton>("Button1");
    auto* speed = Add<vcl::TSpeedButton>("SpeedButton1");
    std::vector<vcl::TObject*> senders;
    button->OnClick = speed->OnClick = [&](vcl::TObject* sender) { senders.push_back(sender); };
    User::Click(*button);
    User::Click(*speed);
    button->Enabled = false;
    EXPECT_THROW(User::Click(*button), vcl::EInvalidOperation);
    EXPECT_EQ(senders, (std::vector<vcl::TObject*>{button, speed}));
}

TEST_F(FormFixture, AHandlerMayFreeItsForm) {
    auto* button = Add<vcl::TButton>("Button2");
    button->OnClick = [&](vcl::TObject*) { delete form; };
    User::Click(*button);
    EXPECT_EQ(app.ComponentCount(), 0);
}

// Hears a control go and reads its state at that moment.
class Listener : public vcl::TComponent {
public:
    Listener(vcl::TComponent* watched, std::function<void()> onRemove)
        : vcl::TComponent(nullptr), onRemove_(std::move(onRemove)) {
        FreeNotification(watched);
    }

protected:
    void Notification(vcl::TComponent* c, vcl::TOperation op) override {
        vcl::TComponent::Notification(c, op);
        if (op == vcl::TOperation::opRemove) onRemove_();
    }

private:
    std::function<void()> onRemove_;
};

TEST_F(FormFixture, ListenersMayReadAControlThatIsGoing) {
    auto* list = Add<vcl::TListBox>("ListBox1");
    auto* combo = Add<vcl::TComboBox>("ComboBox4");
    list->Items.Add("ID");
    combo->SetText("Kunden.Query1");
    Texts heard;
    Listener a(list, [&] { heard.push_back(list->Items[0]); });
    Listener b(combo, [&] { heard.push_back(combo->Text()); });
    delete form;  // the controls go with it
    EXPECT_EQ(heard, (Texts{"Kunden.Query1", "ID"}));
}

TEST_F(FormFixture, HandlerErrorsGoToTheApplication) {
    auto* edit = Add<vcl::TEdit>("Edit14");
    auto* combo = Add<vcl::TComboBox>("ComboBox2");
    auto* list = Add<vcl::TListBox>("ListBox1");
    auto* button = Add<vcl::TButton>("Button1");
    combo->Items.Add("TRUE");
    list->Items.Add("ID");
    auto fail = [](vcl::TObject* sender) {
        throw vcl::EConvertError("'" + dynamic_cast<vcl::TComponent*>(sender)->Name() + "' failed");
    };
    edit->OnChange = combo->OnChange = combo->OnDblClick = list->OnClick = button->OnClick = fail;
    form->OnKeyDown = [](vcl::TObject*, vcl::Word&, TShiftState) { throw std::logic_error("key"); };

    User::TypeText(*edit, "ab");  // each keystroke reports, and typing goes on
    edit->SetText("x");           // a change made by the program reports the same way
    User::PickItem(*combo, 0);
    User::DblClick(*combo);
    User::ClickItem(*list, 0);
    User::Click(*button);
    form->PressKey(vcl::VK_F9, {});
    EXPECT_EQ(errors, (Texts{"'Edit14' failed", "'Edit14' failed", "'Edit14' failed", "'ComboBox2' failed",
                             "'ComboBox2' failed", "'ListBox1' failed", "'Button1' failed", "key"}));
    EXPECT_EQ(edit->Text(), "x");
    EXPECT_EQ(list->SelCount(), 1);  // the click's selection happened before its handler failed
}

TEST(HandlerErrorTest, WithoutAnApplicationTheErrorPropagates) {
    ASSERT_EQ(vcl::Application, nullptr);
    vcl::TForm form(nullptr);
    form.Show();
    auto* edit = new vcl::TEdit(&form);
    int calls = 0;
    edit->OnChange = [&](vcl::TObject*) {
        ++calls;
        throw vcl::EConvertError("bad");
    };
    EXPECT_THROW(User::TypeText(*edit, "abc"), vcl::EConvertError);
    EXPECT_EQ(calls, 1);  // the error ends the typing
    EXPECT_EQ(edit->Text(), "a");
}

TEST(StripAcceleratorTest, RemovesTheMarks) {
    const std::pair<const char*, const char*> cases[] = {
        {"&Save", "Save"}, {"Save && Close", "Save & Close"}, {"Clos&e", "Close"}, {"End&", "End&"}, {"", ""}};
    for (const auto& [caption, shown] : cases) EXPECT_EQ(vcl::StripAccelerator(caption), shown) << caption;
}

}  // namespace
}  // namespace controls_test
