#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "vcl/controls_fixture.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"

namespace controls_test {
namespace {

using Texts = std::vector<std::string>;

Texts Lines(const std::string& text) {
    Texts lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

template <class T>
std::vector<std::string> Names(const std::vector<T*>& controls) {
    std::vector<std::string> names;
    for (const auto* c : controls) names.push_back(c->Name());
    return names;
}

// ---- Showing and closing ------------------------------------------------------------

TEST(FormTest, ShowCloseAndTheFrontForm) {
    vcl::TApplication app;
    auto* a = new vcl::TForm(&app);
    auto* b = new vcl::TForm(&app);
    EXPECT_FALSE(a->Visible());  // forms start hidden
    EXPECT_EQ(vcl::FrontForm(), nullptr);
    a->Show();
    b->Show();
    EXPECT_TRUE(a->Visible());
    EXPECT_EQ(vcl::FrontForm(), b);
    a->Show();  // shown again: comes to the front
    EXPECT_EQ(vcl::FrontForm(), a);
    b->FormStyle = vcl::fsStayOnTop;
    EXPECT_EQ(vcl::FrontForm(), b);
    b->Close();
    EXPECT_FALSE(b->Visible());
    EXPECT_EQ(vcl::FrontForm(), a);
    b->Show();
    delete b;
    EXPECT_EQ(vcl::FrontForm(), a);
    a->Close();
    EXPECT_EQ(vcl::FrontForm(), nullptr);
}

// ---- Controls on forms --------------------------------------------------------------

TEST(FormTest, ControlsSitOnTheirOwnerFormOrTheFormTheyAreMovedTo) {
    vcl::TApplication app;
    auto* a = new vcl::TForm(&app);
    auto* b = new vcl::TForm(&app);
    auto* edit = new vcl::TEdit(a);
    auto* button = new vcl::TButton(a);
    EXPECT_EQ(edit->Parent(), a);
    EXPECT_EQ(a->ControlCount(), 2);
    EXPECT_EQ(a->Controls(1), button);
    EXPECT_THROW(a->Controls(2), vcl::EListError);

    edit->SetParent(b);
    EXPECT_EQ(a->ControlCount(), 1);
    EXPECT_EQ(b->Controls(0), edit);
    delete edit;  // owned by a, shown on b: leaves both
    EXPECT_EQ(b->ControlCount(), 0);
    EXPECT_EQ(a->ComponentCount(), 1);

    // A control owned elsewhere outlives the form it was shown on.
    vcl::TComponent holder(nullptr);
    auto* list = new vcl::TListBox(&holder);
    EXPECT_EQ(list->Parent(), nullptr);
    list->SetParent(b);
    delete b;
    EXPECT_EQ(list->Parent(), nullptr);
    EXPECT_EQ(holder.ComponentCount(), 1);
}

TEST_F(FormFixture, ControlsInTabOrderAndTheFocusCycle) {
    auto* save = Add<vcl::TButton>("Save");
    auto* caption = Add<vcl::TEdit>("Caption");
    Add<vcl::TBevel>("Bevel");  // no window: never in the tab order
    auto* index = Add<vcl::TEdit>("Index");
    auto* list = Add<vcl::TListBox>("List");
    auto* combo = Add<vcl::TComboBox>("Combo");
    auto* hidden = Add<vcl::TEdit>("Hidden");
    save->TabOrder = 10;
    caption->TabOrder = 12;
    index->TabOrder = 0;
    list->TabOrder = 12;  // a tie keeps creation order
    combo->TabOrder = 1;
    hidden->TabOrder = 2;
    caption->Enabled = false;
    hidden->Visible = false;
    combo->TabStop = false;
    EXPECT_EQ(Names(form->ControlsInTabOrder()), (Texts{"Index", "Combo", "Hidden", "Save", "Caption", "List"}));
    EXPECT_EQ(Names(form->FocusOrder()), (Texts{"Index", "Save", "List"}));
    EXPECT_EQ(form->FindComponent("list"), list);
}

// ---- Cells --------------------------------------------------------------------------

TEST(CellsTest, PixelsMapToCharacterCells) {
    struct Case {
        int left, top, width, height;
        vcl::TCellRect inner, outer;
    };
    const Case cases[] = {
        {136, 144, 121, 24, {17, 6, 15, 1}, {17, 6, 16, 1}},  // a property row
        {1, 0, 265, 24, {0, 0, 33, 1}, {0, 0, 34, 1}},
        {0, 32, 265, 98, {0, 1, 33, 4}, {0, 1, 34, 5}},       // a list box of four lines
        {0, 136, 265, 297, {0, 6, 33, 12}, {0, 5, 34, 14}},   // a bevel frames the rows outside them
        {232, 312, 25, 25, {29, 13, 3, 1}, {29, 13, 4, 2}},   // one pixel more stays on its line
        {8, 392, 121, 33, {1, 16, 15, 2}, {1, 16, 16, 2}},
        {0, 0, 2, 2, {0, 0, 1, 1}, {0, 0, 1, 1}},             // never less than a cell
        {-16, -24, 16, 24, {-2, -1, 2, 1}, {-2, -1, 2, 1}},   // left of and above the client area
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vcl::InnerCells(c.left, c.top, c.width, c.height), c.inner) << c.left << "," << c.top;
        EXPECT_EQ(vcl::OuterCells(c.left, c.top, c.width, c.height), c.outer) << c.left << "," << c.top;
    }
}

// ---- Rendering ----------------------------------------------------------------------

TEST_F(FormFixture, RendersASmallFormExactly) {
    form->Caption = "Kunde";
    form->ClientWidth = 160;  // 20 columns
    form->ClientHeight = 96;  // 4 lines
    form->BorderIcons = {vcl::biSystemMenu};
    auto* label = Add<vcl::TEdit>("Label");
    label->SetBounds(8, 0, 64, 24);
    label->BorderStyle = vcl::bsNone;
    label->SetText("Name");
    auto* edit = Add<vcl::TEdit>("Edit");
    edit->SetBounds(80, 0, 72, 24);
    edit->SetText("Gr\xFC\xDF" "e");  // Windows-1252
    auto* combo = Add<vcl::TComboBox>("Combo");
    combo->SetBounds(8, 24, 144, 24);
    combo->SetText("TRUE");
    auto* save = Add<vcl::TButton>("Save");
    save->SetBounds(8, 72, 64, 24);
    save->Caption = "&Save";
    auto* hidden = Add<vcl::TButton>("Hidden");
    hidden->SetBounds(80, 72, 72, 24);
    hidden->Caption = "Hidden";
    hidden->Visible = false;

    EXPECT_EQ(Lines(vcl::RenderFormText(*form)), (Texts{
                                                     "┌─ Kunde ───────── × ┐",
                                                     "│ Name     [Grüße  ] │",
                                                     "│ [TRUE           ▾] │",
                                                     "│                    │",
                                                     "│ [ Save ]           │",
                                                     "└────────────────────┘",
                                                 }));
}

TEST_F(FormFixture, LongTextsAreCutAndControlsOutsideTheClientAreaClipped) {
    form->Caption = "A caption far too long for this small window";
    form->ClientWidth = 160;  // 20 columns
    form->ClientHeight = 48;  // 2 lines
    auto* edit = Add<vcl::TEdit>("Edit");
    edit->SetBounds(0, 0, 80, 24);
    edit->SetText("tab\there and more");
    auto* outside = Add<vcl::TButton>("Outside");
    outside->SetBounds(40, 24, 200, 48);
    outside->Caption = "Wide";
    EXPECT_EQ(Lines(vcl::RenderFormText(*form)), (Texts{
                                                     "┌─ A captio… ─ _ □ × ┐",
                                                     "│[tab?her…]          │",
                                                     "│             [ Wide │",
                                                     "└────────────────────┘",
                                                 }));
}

// A window laid out like the field editor: a table box, a field list, ten property rows in
// a bevel, a colour button and two push buttons, on rows 24 pixels apart.
class SampleWindowTest : public FormFixture {
protected:
    SampleWindowTest() {
        form->Caption = "Tabulon ";
        form->ClientWidth = 266;
        form->ClientHeight = 434;
        form->BorderIcons = {};
        table = Add<vcl::TComboBox>("ComboBox4");
        table->SetBounds(1, 0, 265, 24);
        table->SetText("Kunden.Query1");
        fields = Add<vcl::TListBox>("ListBox1");
        fields->SetBounds(0, 32, 265, 98);
        fields->SetMultiSelect(true);
        fields->Items.Assign(Texts{"ID", "NAME", "STREET", "CITY", "ZIP", "PHONE", "BIRTHDAY"});
        Add<vcl::TBevel>("Bevel1")->SetBounds(0, 136, 265, 297);
        const char* rows[] = {"Index", "Caption", "EditMask", "DisplayMask", "Visible",
                              "Readonly", "Length", "Color", "Function", "Value"};
        for (int i = 0; i < 10; ++i) {
            auto* cell = Add<vcl::TEdit>(std::string("Cell") + rows[i]);
            cell->SetBounds(8, 144 + 24 * i, 121, 24);
            cell->BorderStyle = vcl::bsNone;
            cell->Enabled = false;
            cell->SetText(rows[i]);
            const bool drop = i == 4 || i == 5 || i == 8;
            vcl::TTextControl* value = drop ? static_cast<vcl::TTextControl*>(Add<vcl::TComboBox>(rows[i]))
                                            : Add<vcl::TEdit>(rows[i]);
            value->SetBounds(136, 144 + 24 * i, i == 7 ? 97 : 121, 24);
        }
        auto* colour = Add<vcl::TSpeedButton>("SpeedButton1");
        colour->SetBounds(232, 312, 25, 25);
        colour->Glyph = vcl::TBitmap(16, 16, 9);
        Add<vcl::TButton>("Button1")->SetBounds(8, 392, 121, 33);
        Add<vcl::TButton>("Button2")->SetBounds(136, 392, 121, 33);
        dynamic_cast<vcl::TButton*>(form->FindComponent("Button1"))->Caption = "Save";
        dynamic_cast<vcl::TButton*>(form->FindComponent("Button2"))->Caption = "Close";
    }
    vcl::TTextControl& Value(const char* row) { return *dynamic_cast<vcl::TTextControl*>(form->FindComponent(row)); }

    vcl::TComboBox* table = nullptr;
    vcl::TListBox* fields = nullptr;
};

TEST_F(SampleWindowTest, EachRowLandsOnItsOwnLine) {
    fields->SetSelected(1, true);
    fields->SetSelected(2, true);
    Value("Index").SetText("1");
    Value("Caption").SetText("Name of the customer");
    Value("Visible").SetText("TRUE");
    Value("Color").SetText("-1");
    const Texts lines = Lines(vcl::RenderFormText(*form));
    ASSERT_EQ(lines.size(), 21u);  // 19 lines of 24 pixels for 434, and the frame
    EXPECT_EQ(lines[0], "┌─ Tabulon  ───────────────────────┐");
    EXPECT_EQ(lines[1], "│[Kunden.Query1                 ▾] │");
    EXPECT_EQ(lines[2], "│  ID                            │ │");
    EXPECT_EQ(lines[3], "│■ NAME                          │ │");
    EXPECT_EQ(lines[4], "│■ STREET                        │ │");
    EXPECT_EQ(lines[5], "│  CITY                          ↓ │");
    EXPECT_EQ(lines[6], "│┌────────────────────────────────┐│");
    EXPECT_EQ(lines[7], "││Index           [1            ] ││");
    EXPECT_EQ(lines[8], "││Caption         [Name of the …] ││");
    EXPECT_EQ(lines[11], "││Visible         [TRUE        ▾] ││");
    EXPECT_EQ(lines[14], "││Color           [-1        ][▦] ││");
    EXPECT_EQ(lines[16], "││Value           [             ] ││");
    EXPECT_EQ(lines[17], "││   [ Save ]        [ Close ]    ││");
    EXPECT_EQ(lines[19], "│└────────────────────────────────┘│");
    EXPECT_EQ(lines[20], "└──────────────────────────────────┘");
}

TEST_F(SampleWindowTest, TheFieldListScrollsToItsCurrentItem) {
    fields->SetItemIndex(5);
    const Texts lines = Lines(vcl::RenderFormText(*form));
    EXPECT_EQ(lines[2], "│  STREET                        ↑ │");
    EXPECT_EQ(lines[4], "│  ZIP                           │ │");
    EXPECT_EQ(lines[5], "│■ PHONE                         ↓ │");
}

}  // namespace
}  // namespace controls_test
