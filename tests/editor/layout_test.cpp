// The editor window's layout, control by control.
#include <gtest/gtest.h>

#include <iostream>
#include <set>

#include "editor/editor_fixture.h"
#include "package/pictures.h"

namespace editor_test {
namespace {

using namespace spaltwerk;

TEST(EditorWindowTest, TheWindowItself) {
    TMainSpaltwerkEdtior window(nullptr);
    EXPECT_EQ(window.Caption, "Tabulon ");
    EXPECT_EQ(window.ClientWidth, 266);
    EXPECT_EQ(window.ClientHeight, 434);
    EXPECT_EQ(window.BorderStyle, vcl::bsSingle);
    EXPECT_TRUE(window.BorderIcons.Empty());
    EXPECT_EQ(window.FormStyle, vcl::fsStayOnTop);
    EXPECT_EQ(window.Position, vcl::poScreenCenter);
    EXPECT_EQ(window.Font.Name, "System");
    EXPECT_EQ(window.Font.Height, -13);
    EXPECT_EQ(window.Font.Charset, vcl::DEFAULT_CHARSET);
    EXPECT_EQ(window.Font.Color, vcl::clWindowText);
    EXPECT_TRUE(window.Font.Style.Empty());
    EXPECT_FALSE(window.Scaled);
    EXPECT_EQ(window.PixelsPerInch, 96);
    EXPECT_EQ(window.TextHeight, 16);
    EXPECT_TRUE(window.ShowHint);
    EXPECT_EQ(window.HelpContext, 3579);
    EXPECT_FALSE(window.Visible());
    EXPECT_EQ(window.Query, nullptr);
    EXPECT_EQ(window.Table, nullptr);
    EXPECT_EQ(window.Felder, nullptr);
    EXPECT_EQ(window.Editor, nullptr);
    EXPECT_FALSE(window.Busy);
    EXPECT_TRUE(window.WorkFields.empty());
    EXPECT_EQ(TMainSpaltwerkEdtior::TRIM("  a b  "), "a b");
    EXPECT_EQ(TMainSpaltwerkEdtior::TRIM("\ta "), "\ta");
    EXPECT_EQ(TMainSpaltwerkEdtior::TRIM("   "), "");
}

// One control: where it sits, its tab order (-1: none), hint, text or caption and items.
struct ControlCase {
    const char* name;
    int left, top, width, height;
    int tabOrder;
    std::string hint;
    std::string text;
    Texts items;
};

TEST(EditorWindowTest, EveryControlInCreationOrder) {
    const std::vector<ControlCase> cases = {
        {"ComboBox4", 1, 0, 265, 24, 19, "Alle Tabellen", "", {}},
        {"ListBox1", 0, 32, 265, 98, 20, "Alle Felder", "", {}},
        {"Bevel1", 0, 136, 265, 297, -1, "", "", {}},
        {"Edit1", 8, 144, 121, 24, 12, "", "Index", {}},
        {"Edit2", 136, 144, 121, 24, 0, "Felderreihenfolge (0... 999)", "", {}},
        {"Edit3", 8, 168, 121, 24, 13, "", "Caption", {}},
        {"Edit4", 136, 168, 121, 24, 1, "Feld\xFC" "berschrift", "", {}},
        {"Edit5", 8, 192, 121, 24, 14, "", "EditMask", {}},
        {"Edit6", 136, 192, 121, 24, 2, "Bearbeitungsmaske (##,#0.00)", "", {}},
        {"Edit7", 8, 216, 121, 24, 15, "", "DisplayMask", {}},
        {"Edit8", 136, 216, 121, 24, 3, "Anzeigemaske (#,##0,00)", "", {}},
        {"Edit9", 8, 240, 121, 24, 16, "", "Visible", {}},
        {"ComboBox2", 136, 240, 121, 24, 4, "Sichtbar", "", {"FALSE", "TRUE"}},
        {"Edit11", 8, 264, 121, 24, 17, "", "Readonly", {}},
        {"ComboBox3", 136, 264, 121, 24, 5, "Nurlesen", "", {"FALSE", "TRUE"}},
        {"Edit13", 8, 288, 121, 24, 18, "", "Length", {}},
        {"Edit14", 136, 288, 121, 24, 6, "L\xE4" "nge", "", {}},
        {"Edit10", 8, 312, 121, 24, 21, "", "Color", {}},
        {"Edit12", 136, 312, 97, 24, 7, "", "", {}},
        {"Edit15", 8, 336, 121, 24, 22, "", "Function", {}},
        {"ComboBox5", 136, 336, 121, 24, 8, "", "",
         {"False", "True", "Lower", "LowerEqual", "Equal", "Higher", "HigherEqual", "Not"}},
        {"Edit16", 8, 360, 121, 24, 23, "", "Value", {}},
        {"Edit17", 136, 360, 121, 24, 9, "", "", {}},
        {"SpeedButton1", 232, 312, 25, 25, -1, "", "", {}},
        {"Button1", 8, 392, 121, 33, 10, "Einstellungen Speichern", "Save", {}},
        {"Button2", 136, 392, 121, 33, 11, "Schlie\xDF" "en", "Close", {}},
    };
    TMainSpaltwerkEdtior window(nullptr);
    ASSERT_EQ(window.ControlCount(), static_cast<int>(cases.size()));
    for (int i = 0; i < window.ControlCount(); ++i) {
        const ControlCase& c = cases[static_cast<std::size_t>(i)];
        SCOPED_TRACE(c.name);
        const vcl::TControl* control = window.Controls(i);
        EXPECT_EQ(control->Name(), c.name);
        EXPECT_EQ(window.FindComponent(c.name), control);
        EXPECT_EQ((std::vector<int>{control->Left, control->Top, control->Width, control->Height}),
                  (std::vector<int>{c.left, c.top, c.width, c.height}));
        EXPECT_EQ(control->Hint, c.hint);
        EXPECT_TRUE(control->Visible);
        if (const auto* win = dynamic_cast<const vcl::TWinControl*>(control)) {
            EXPECT_EQ(win->TabOrder, c.tabOrder);
        } else {
            EXPECT_EQ(c.tabOrder, -1) << "a graphic control has no tab order";
        }
        if (const auto* text = dynamic_cast<const vcl::TTextControl*>(control)) {
            EXPECT_EQ(text->Text(), c.text);
        }
        if (const auto* button = dynamic_cast<const vcl::TButton*>(control)) {
            EXPECT_EQ(button->Caption, c.text);
        }
        if (const auto* combo = dynamic_cast<const vcl::TComboBox*>(control)) {
            EXPECT_EQ(ItemsOf(combo->Items), c.items);
            EXPECT_EQ(combo->Style, vcl::csDropDown);  // the text can be typed
            EXPECT_EQ(combo->ItemHeight, 16);
            EXPECT_TRUE(combo->Ctl3D);
            EXPECT_TRUE(combo->OnChange);
        }
        // A caption cell: disabled, borderless, read-only, on the button face.
        if (const auto* edit = dynamic_cast<const vcl::TEdit*>(control)) {
            const bool caption = !c.text.empty();
            EXPECT_EQ(edit->Enabled, !caption);
            EXPECT_EQ(edit->ReadOnly, caption);
            EXPECT_EQ(edit->BorderStyle, caption ? vcl::bsNone : vcl::bsSingle);
            EXPECT_EQ(edit->Color, caption ? vcl::clBtnFace : vcl::clWindow);
            EXPECT_EQ(static_cast<bool>(edit->OnChange), !caption);
            if (!caption) {
                EXPECT_TRUE(edit->Ctl3D);  // a value control has its own 3-D border
            }
        }
    }
    EXPECT_EQ(window.ComponentCount(), static_cast<int>(cases.size()) + 1);
    EXPECT_EQ(window.FindComponent("ColorDialog1"), window.ColorDialog1);

    EXPECT_TRUE(window.ListBox1->MultiSelect());
    EXPECT_TRUE(window.ListBox1->ExtendedSelect);
    EXPECT_EQ(window.ListBox1->ItemHeight, 16);
    EXPECT_TRUE(window.ListBox1->OnClick);
    EXPECT_TRUE(window.ComboBox2->OnDblClick);
    EXPECT_TRUE(window.ComboBox3->OnDblClick);
    EXPECT_TRUE(window.SpeedButton1->OnClick);
    EXPECT_TRUE(window.Button1->OnClick);
    EXPECT_TRUE(window.Button2->OnClick);
}

TEST(EditorWindowTest, TheKeyboardVisitsTheValuesThenTheButtonsThenTheLists) {
    TMainSpaltwerkEdtior window(nullptr);
    Texts names;
    for (const vcl::TWinControl* c : window.FocusOrder()) names.push_back(c->Name());
    EXPECT_EQ(names, (Texts{"Edit2", "Edit4", "Edit6", "Edit8", "ComboBox2", "ComboBox3", "Edit14", "Edit12",
                            "ComboBox5", "Edit17", "Button1", "Button2", "ComboBox4", "ListBox1"}));
}

TEST(EditorWindowTest, TheColourButtonShowsColouredPatches) {
    TMainSpaltwerkEdtior window(nullptr);
    const vcl::TBitmap& glyph = window.SpeedButton1->Glyph;
    EXPECT_EQ(glyph.Width, 16);
    EXPECT_EQ(glyph.Height, 16);
    EXPECT_EQ(glyph.Palette, vcl::kStandardPalette);
    EXPECT_EQ(glyph.Pixels, ColorButtonGlyph().Pixels);
    const std::set<std::uint8_t> colours(glyph.Pixels.begin(), glyph.Pixels.end());
    EXPECT_GE(colours.size(), 4u);
    for (std::uint8_t index : colours) EXPECT_LT(index, 16);
    EXPECT_TRUE(window.SpeedButton1->Caption.empty());
}

TEST_F(EditorFixture, TheWindowAsText) {
    Store(*entry, "KDNR", "Kunden-Nr.").Color = 255;
    Editor().EDIT(query, entry);
    vcl::User::ClickItem(*W().ListBox1, kKdnr);
    const std::string text = vcl::RenderFormText(W());
    std::cout << text;  // to look at
    EXPECT_NE(text.find("Tabulon"), std::string::npos);
    EXPECT_NE(text.find("Kunden-Nr."), std::string::npos);
    EXPECT_NE(text.find("[ Save ]"), std::string::npos);
    EXPECT_NE(text.find("Form1.Query1"), std::string::npos);
}

}  // namespace
}  // namespace editor_test
