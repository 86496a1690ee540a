// The property rows: every edit acts on the live fields and the working records of all
// selected fields.
#include <gtest/gtest.h>

#include <functional>

#include "editor/editor_fixture.h"
#include "store/field_masks.h"
#include "vcl/db.h"

namespace editor_test {
namespace {

using namespace spaltwerk;

class HandlersTest : public EditorFixture {
protected:
    HandlersTest() { Editor().EDIT(query, entry); }

    // The value control of a row, by its name.
    vcl::TTextControl& Row(const std::string& name) {
        TMainSpaltwerkEdtior& w = W();
        const std::vector<std::pair<std::string, vcl::TTextControl*>> rows = {
            {"Index", w.Edit2},      {"Caption", w.Edit4},    {"EditMask", w.Edit6}, {"DisplayMask", w.Edit8},
            {"Visible", w.ComboBox2}, {"Readonly", w.ComboBox3}, {"Length", w.Edit14}, {"Color", w.Edit12},
            {"Function", w.ComboBox5}, {"Value", w.Edit17}};
        for (const auto& [rowName, control] : rows)
            if (rowName == name) return *control;
        throw std::runtime_error("no row " + name);
    }
    void Enter(const std::string& row, const std::string& text) { vcl::User::PasteText(Row(row), text); }
};

// ---- Rows that store a text or a number --------------------------------------------

// One edit on the fields NAME, GEBURT and AKTIV (all selected), and what each of them then
// has live and in its working record, as text. An empty expectation for `live` means the
// row has no live property.
struct RowCase {
    std::string row;
    std::string typed;
    std::function<std::string(vcl::TField&)> live;
    std::function<std::string(const TFeld&)> work;
    Texts liveAfter;  // NAME, GEBURT, AKTIV
    Texts workAfter;
};

std::string Label(vcl::TField& f) { return f.DisplayLabel(); }
std::string Mask(vcl::TField& f) { return f.EditMask(); }
std::string DisplayMask(vcl::TField& f) { return DisplayMaskOf(f).value_or("(none)"); }
std::string Width(vcl::TField& f) { return vcl::IntToStr(f.DisplayWidth()); }
std::string Shown(vcl::TField& f) { return f.Visible() ? "visible" : "hidden"; }
std::string Locked(vcl::TField& f) { return f.ReadOnly() ? "read-only" : "writable"; }

const std::string k40(40, 'x');
const std::string k25(25, 'y');

TEST_F(HandlersTest, EachRowSetsTheLiveFieldsAndTheWorkingRecords) {
    const RowCase cases[] = {
        {"Caption", "Kunde", Label, [](const TFeld& f) { return f.Caption.str(); },
         {"Kunde", "Kunde", "Kunde"}, {"Kunde", "Kunde", "Kunde"}},
        {"Caption", k40, Label, [](const TFeld& f) { return f.Caption.str(); },
         {k40, k40, k40}, {k40.substr(0, 30), k40.substr(0, 30), k40.substr(0, 30)}},
        {"Caption", "", Label, [](const TFeld& f) { return f.Caption.str(); },
         {"NAME", "GEBURT", "AKTIV"}, {"", "", ""}},  // an empty label shows the field name
        {"Caption", "x<?>", Label, [](const TFeld& f) { return f.Caption.str(); },
         {"x<?>", "x<?>", "x<?>"}, {"x<?>", "x<?>", "x<?>"}},
        {"EditMask", k25, Mask, [](const TFeld& f) { return f.EditMask.str(); },
         {k25, k25, k25}, {k25.substr(0, 20), k25.substr(0, 20), k25.substr(0, 20)}},
        {"EditMask", "", Mask, [](const TFeld& f) { return f.EditMask.str(); }, {"", "", ""}, {"", "", ""}},
        // Text fields have no display mask; dates take a format, Booleans display values.
        {"DisplayMask", "dd.mm.yy;Ja;Nein", DisplayMask, [](const TFeld& f) { return f.DisplayMask.str(); },
         {"(none)", "dd.mm.yy;Ja;Nein", "dd.mm.yy;Ja;Nein"}, {"", "dd.mm.yy;Ja;Nein", "dd.mm.yy;Ja;Nein"}},
        {"DisplayMask", k25, DisplayMask, [](const TFeld& f) { return f.DisplayMask.str(); },
         {"(none)", k25, k25}, {"", k25.substr(0, 20), k25.substr(0, 20)}},
        {"DisplayMask", "", DisplayMask, [](const TFeld& f) { return f.DisplayMask.str(); },
         {"(none)", "", ""}, {"", "", ""}},  // an empty row clears the mask
        {"Visible", "yes", Shown, [](const TFeld& f) { return f.Visible ? "visible" : "hidden"; },
         {"hidden", "hidden", "hidden"}, {"hidden", "hidden", "hidden"}},
        {"Visible", "t", Shown, [](const TFeld& f) { return f.Visible ? "visible" : "hidden"; },
         {"visible", "visible", "visible"}, {"visible", "visible", "visible"}},
        {"Visible", "", Shown, [](const TFeld& f) { return f.Visible ? "visible" : "hidden"; },
         {"hidden", "hidden", "hidden"}, {"hidden", "hidden", "hidden"}},
        {"Readonly", "Richtig", Locked, [](const TFeld& f) { return f.Readonly ? "read-only" : "writable"; },
         {"read-only", "read-only", "read-only"}, {"read-only", "read-only", "read-only"}},
        {"Readonly", "", Locked, [](const TFeld& f) { return f.Readonly ? "read-only" : "writable"; },
         {"writable", "writable", "writable"}, {"writable", "writable", "writable"}},
        {"Length", " 12 ", Width, [](const TFeld& f) { return vcl::IntToStr(f.Length); },
         {"12", "12", "12"}, {"12", "12", "12"}},
        // 0 is no width: each field goes back to its kind's own, and that is stored.
        {"Length", "0", Width, [](const TFeld& f) { return vcl::IntToStr(f.Length); },
         {"40", "10", "5"}, {"40", "10", "5"}},
        {"Color", "12a", nullptr, [](const TFeld& f) { return vcl::IntToStr(f.Color); }, {}, {"12", "12", "12"}},
        {"Color", "-1", nullptr, [](const TFeld& f) { return vcl::IntToStr(f.Color); }, {}, {"-1", "-1", "-1"}},
        {"Function", "lowerequal", nullptr, [](const TFeld& f) { return vcl::IntToStr(f.Function); }, {},
         {"3", "3", "3"}},
        {"Function", " Lower", nullptr, [](const TFeld& f) { return vcl::IntToStr(f.Function); }, {},
         {"0", "0", "0"}},
        {"Function", "HigherEqual", nullptr, [](const TFeld& f) { return vcl::IntToStr(f.Function); }, {},
         {"6", "6", "6"}},
        {"Value", "  Meier  ", nullptr, [](const TFeld& f) { return f.Value.str(); }, {}, {"Meier", "Meier", "Meier"}},
        {"Value", k25, nullptr, [](const TFeld& f) { return f.Value.str(); }, {},
         {k25.substr(0, 20), k25.substr(0, 20), k25.substr(0, 20)}},
    };
    const Texts names = {"NAME", "GEBURT", "AKTIV"};
    for (const RowCase& c : cases) {
        SCOPED_TRACE(c.row + " <- \"" + c.typed + "\"");
        Select({kName, kGeburt, kAktiv});
        if (Row(c.row).Text() == c.typed) Enter(c.row, "0");  // make sure the text changes
        Enter(c.row, c.typed);
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (c.live) {
                EXPECT_EQ(c.live(Live(names[i])), c.liveAfter[i]) << names[i];
            }
            EXPECT_EQ(c.work(Work(names[i])), c.workAfter[i]) << names[i];
        }
        EXPECT_EQ(Work("KDNR").Caption, "KDNR");  // not selected: untouched
        EXPECT_TRUE(errors.empty());
    }
}

TEST_F(HandlersTest, VisibleAndReadonlyShowTheValueTheyApplied) {
    Select({kName, kKdnr});
    Enter("Visible", "yes");
    EXPECT_EQ(Row("Visible").Text(), "FALSE");
    vcl::User::TypeText(Row("Visible"), "t");
    EXPECT_EQ(Row("Visible").Text(), "TRUE");
    EXPECT_TRUE(Live("KDNR").Visible());
    vcl::User::PickItem(*W().ComboBox3, "TRUE");
    EXPECT_EQ(Row("Readonly").Text(), "TRUE");
    EXPECT_TRUE(Live("NAME").ReadOnly());
    EXPECT_TRUE(Work("KDNR").Readonly);

    // Without a field to apply it to, the row keeps what was typed.
    SelectNothing();
    Enter("Visible", "yes");
    EXPECT_EQ(Row("Visible").Text(), "yes");
}

TEST_F(HandlersTest, TheRowsKeepWhatWasTypedUntilTheSelectionIsShownAgain) {
    Select({kKdnr});
    Enter("Length", "0");
    EXPECT_EQ(Row("Length").Text(), "0");
    EXPECT_EQ(Work("KDNR").Length, Live("KDNR").DisplayWidth());  // what the field took, not 0
    EXPECT_NE(Work("KDNR").Length, 0);
    Select({kKdnr});
    EXPECT_EQ(Row("Length").Text(), vcl::IntToStr(Work("KDNR").Length));
}

TEST_F(HandlersTest, EveryItemOfTheFunctionListGivesItsCondition) {
    // KDNR is listed under its stored name in small letters: the rows still reach it.
    Store(*entry, "kdnr", "Nummer");
    Editor().EDIT(query, entry);
    ASSERT_EQ(W().ListBox1->Items[kKdnr], "kdnr");
    Select({kKdnr});
    const Texts shown = {"FALSE", "TRUE", "LOWER", "LOWEREQUAL", "EQUAL", "HIGHER", "HIGHEREQUAL", "NOT"};
    for (int i = W().ComboBox5->Items.Count() - 1; i >= 0; --i) {
        SCOPED_TRACE(W().ComboBox5->Items[i]);
        vcl::User::PickItem(*W().ComboBox5, i);
        EXPECT_EQ(Work("KDNR").Function, static_cast<TFFUNKTION>(i));
        Select({kKdnr});
        EXPECT_EQ(Row("Function").Text(), shown[static_cast<std::size_t>(i)]);
    }
}

// ---- What the rows ignore ------------------------------------------------------------

// While program code fills the window, the change handlers do nothing; the double clicks
// have no such guard.
TEST_F(HandlersTest, WhileBusyOnlyTheDoubleClicksAct) {
    Select({kKdnr});
    const TFeld before = Work("KDNR");
    W().Busy = true;
    const std::vector<std::pair<std::string, std::string>> edits = {
        {"Index", "3"},   {"Caption", "Neu"}, {"EditMask", "000"}, {"DisplayMask", "0.0"}, {"Visible", "FALSE"},
        {"Readonly", "TRUE"}, {"Length", "3"}, {"Color", "255"},  {"Function", "NOT"},      {"Value", "7"}};
    for (const auto& [row, text] : edits) Enter(row, text);
    vcl::User::PasteText(*W().ComboBox4, "Form1.Table1");
    const TFeld& after = Work("KDNR");
    EXPECT_EQ(FieldOrder(*query), kFieldNames);
    EXPECT_EQ(Live("KDNR").DisplayLabel(), "KDNR");
    EXPECT_EQ(Live("KDNR").EditMask(), "");
    EXPECT_EQ(DisplayMaskOf(Live("KDNR")), "");
    EXPECT_TRUE(Live("KDNR").Visible());
    EXPECT_FALSE(Live("KDNR").ReadOnly());
    EXPECT_EQ(Live("KDNR").DisplayWidth(), before.Length);
    EXPECT_EQ((std::vector<int>{after.Index, after.Length, after.Color, after.Function}),
              (std::vector<int>{before.Index, before.Length, before.Color, before.Function}));
    EXPECT_EQ(after.Caption, before.Caption);
    EXPECT_EQ(after.Value, "");
    EXPECT_EQ(W().Query, query);  // the table box chose nothing

    vcl::User::DblClick(*W().ComboBox3);  // "TRUE" typed above: toggles to false
    EXPECT_FALSE(Live("KDNR").ReadOnly());
    EXPECT_EQ(Row("Readonly").Text(), "FALSE");
    vcl::User::DblClick(*W().ComboBox2);  // "FALSE" typed above: toggles to true
    EXPECT_TRUE(Live("KDNR").Visible());
    vcl::User::DblClick(*W().ComboBox2);
    EXPECT_FALSE(Live("KDNR").Visible());
    EXPECT_FALSE(Work("KDNR").Visible);
    EXPECT_TRUE(W().Busy);
    EXPECT_TRUE(errors.empty());
}


TEST_F(HandlersTest, EmptyOrMarkedTextsChangeNothingWhereTheyMust) {
    Select({kKdnr});
    Enter("Index", "3");
    Enter("Length", "9");
    Enter("Color", "255");
    Enter("Function", "EQUAL");
    Enter("Value", "5");
    const TFeld before = Work("KDNR");
    const Texts order = FieldOrder(*query);

    for (const std::string row : {"Index", "Length", "Color", "Function", "Value"}) Enter(row, "   ");
    for (const std::string row : {"Index", "Caption", "EditMask", "DisplayMask", "Visible", "Readonly", "Length",
                                  "Color", "Function", "Value"}) {
        Enter(row, "<?>");
        Enter(row, " <?>  ");
    }
    const TFeld& after = Work("KDNR");
    EXPECT_EQ(after.Index, before.Index);
    EXPECT_EQ(after.Caption, before.Caption);
    EXPECT_EQ(after.Visible, before.Visible);
    EXPECT_EQ(after.Length, 9);
    EXPECT_EQ(after.Color, 255);
    EXPECT_EQ(after.Function, cfEqual);
    EXPECT_EQ(after.Value, "5");
    EXPECT_EQ(FieldOrder(*query), order);
    EXPECT_EQ(Live("KDNR").DisplayWidth(), 9);
    EXPECT_TRUE(Live("KDNR").Visible());
    EXPECT_TRUE(errors.empty());
}

TEST_F(HandlersTest, ABadNumberIsReportedAndChangesNothing) {
    Live("NOTIZ").SetIndex(0);  // the working list no longer follows the dataset's order
    Select({kKdnr, kUmsatz});
    const Texts work = WorkNames();
    for (const std::string row : {"Length", "Index"}) {
        errors.clear();
        Enter(row, "abc");
        ASSERT_EQ(errors.size(), 1u) << row;
    }
    EXPECT_EQ(Live("KDNR").DisplayWidth(), 11);
    EXPECT_EQ(Work("KDNR").Length, 11);
    EXPECT_EQ(FieldOrder(*query), (Texts{"NOTIZ", "NAME", "KDNR", "UMSATZ", "GEBURT", "AKTIV"}));
    EXPECT_EQ(WorkNames(), work);  // the re-ordering did not run

    // Without a selected field there is no conversion and so no error.
    errors.clear();
    SelectNothing();
    Enter("Length", "abc");
    EXPECT_TRUE(errors.empty());
}

TEST_F(HandlersTest, ItemsWithoutFieldAreSkippedAndFieldsWithoutRecordChangeLiveOnly) {
    Requery("SELECT NAME, KDNR, UMSATZ FROM KUNDEN");
    W().WorkFields.remove_if([](const TFeld& f) { return f.FieldName == "KDNR"; });
    Select({kName, kKdnr, kNotiz});
    Enter("Caption", "Neu");
    EXPECT_EQ(Live("NAME").DisplayLabel(), "Neu");
    EXPECT_EQ(Live("KDNR").DisplayLabel(), "Neu");
    EXPECT_EQ(Work("NAME").Caption, "Neu");
    EXPECT_EQ(Work("NOTIZ").Caption, "NOTIZ");  // its field has gone: skipped
    EXPECT_TRUE(errors.empty());
}

// ---- Index --------------------------------------------------------------------------

TEST_F(HandlersTest, SelectedFieldsMoveOneAfterAnotherToTheTypedPosition) {
    Select({kKdnr, kGeburt, kAktiv});
    Enter("Index", "0");
    // KDNR to 0, then GEBURT to 0, then AKTIV to 0.
    const Texts order = {"AKTIV", "GEBURT", "KDNR", "NAME", "UMSATZ", "NOTIZ"};
    EXPECT_EQ(FieldOrder(*query), order);
    EXPECT_EQ(WorkNames(), order);
    EXPECT_EQ(WorkIndexes(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(ItemsOf(W().ListBox1->Items), kFieldNames);  // the list keeps its order
    EXPECT_TRUE(W().ListBox1->Selected(kKdnr));

    Select({kName});
    Enter("Index", "99");  // past the end: the last position
    EXPECT_EQ(FieldOrder(*query).back(), "NAME");
    EXPECT_EQ(WorkNames().back(), "NAME");
    EXPECT_EQ(Work("NAME").Index, 5);
}

TEST_F(HandlersTest, AnIndexEditWithNothingSelectedStillReordersAndDropsVanishedFields) {
    Requery("SELECT AKTIV, NAME, KDNR FROM KUNDEN");
    SelectNothing();
    Enter("Index", "2");
    EXPECT_EQ(WorkNames(), (Texts{"AKTIV", "NAME", "KDNR"}));
    EXPECT_EQ(WorkIndexes(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(ItemsOf(W().ListBox1->Items), kFieldNames);
    EXPECT_EQ(FieldOrder(*query), (Texts{"AKTIV", "NAME", "KDNR"}));
}

TEST_F(HandlersTest, TheReorderingKeepsEveryRecordOfAName) {
    TFeld copy = Work("KDNR");
    copy.Caption = "zweite";
    W().WorkFields.push_front(copy);
    Select({kName});
    Enter("Index", " 0");  // NAME stays where it is; the pass still runs
    EXPECT_EQ(WorkNames(), (Texts{"NAME", "KDNR", "KDNR", "UMSATZ", "GEBURT", "AKTIV", "NOTIZ"}));
    EXPECT_EQ(WorkIndexes(), (std::vector<int>{0, 1, 1, 2, 3, 4, 5}));
    EXPECT_EQ(std::next(W().WorkFields.begin())->Caption, "zweite");
}

// ---- Double clicks ------------------------------------------------------------------

struct ToggleCase {
    const char* row;
    bool (vcl::TField::*live)() const noexcept;
    bool TFeld::*work;
};

TEST_F(HandlersTest, ADoubleClickTogglesTheFlagOfAllSelectedFields) {
    const ToggleCase cases[] = {{"Visible", &vcl::TField::Visible, &TFeld::Visible},
                                {"Readonly", &vcl::TField::ReadOnly, &TFeld::Readonly}};
    const Texts names = {"NAME", "KDNR", "UMSATZ"};
    for (const ToggleCase& c : cases) {
        SCOPED_TRACE(c.row);
        const_cast<TFeld&>(Work("KDNR")).*c.work = !(Work("NAME").*c.work);  // the rows differ
        Select({kName, kKdnr, kUmsatz});
        ASSERT_EQ(Row(c.row).Text(), "<?>");
        vcl::User::DblClick(Row(c.row));
        EXPECT_EQ(Row(c.row).Text(), "TRUE");
        for (const std::string& name : names) {
            EXPECT_TRUE((Live(name).*c.live)()) << name;
            EXPECT_TRUE(Work(name).*c.work) << name;
        }
        vcl::User::DblClick(Row(c.row));
        EXPECT_EQ(Row(c.row).Text(), "FALSE");
        for (const std::string& name : names) {
            EXPECT_FALSE((Live(name).*c.live)()) << name;
            EXPECT_FALSE(Work(name).*c.work) << name;
        }
        SelectNothing();
        vcl::User::PasteText(Row(c.row), "");
        vcl::User::DblClick(Row(c.row));  // an empty row turns the flag on; nothing is selected
        EXPECT_EQ(Row(c.row).Text(), "");
    }
}

// ---- Colour button ------------------------------------------------------------------

TEST_F(HandlersTest, TheColourButtonPutsThePickedColourIntoTheColorRow) {
    std::vector<vcl::TColor> openedWith;
    std::optional<vcl::TColor> answer = vcl::clRed;
    const auto previous = vcl::SetColorDialogHook([&](vcl::TColor current) {
        openedWith.push_back(current);
        return answer;
    });
    Select({kKdnr, kAktiv});
    vcl::User::Click(*W().SpeedButton1);
    EXPECT_EQ(Row("Color").Text(), "255");
    EXPECT_EQ(Work("KDNR").Color, 255);
    EXPECT_EQ(Work("AKTIV").Color, 255);

    answer.reset();  // the user cancels
    Enter("Color", "7");
    vcl::User::Click(*W().SpeedButton1);
    EXPECT_EQ(Row("Color").Text(), "7");
    EXPECT_EQ(Work("KDNR").Color, 7);
    EXPECT_EQ(openedWith, (std::vector<vcl::TColor>{vcl::clBlack, vcl::clRed}));  // the last colour chosen
    vcl::SetColorDialogHook(previous);
    EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace editor_test
