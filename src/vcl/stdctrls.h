// Standard controls: edit fields, combo boxes, list boxes, buttons, speed buttons and
// bevels, and simulated user input on them. Each control class tells its listeners of its
// end (BeforeDestruction) before its own members go, so a listener may still read them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vcl/classes.h"
#include "vcl/forms.h"
#include "vcl/graphics.h"

namespace vcl {

class TTextControl;
class TComboBox;
class TListBox;

// What a user does with the mouse and keyboard, delivered as the window would deliver it.
// Each operation first checks that the user could reach the control (it and its form are
// shown and it is enabled) and raises EInvalidOperation otherwise; a bad item index raises
// EListError. Errors raised by the event handlers go to Application->HandleException, or
// propagate when there is no application object.
namespace User {
// Selects the whole text and types `text` key by key: OnChange fires once for each
// keystroke that changes the text, with the text so far ("ab" into an empty field: "a",
// then "ab"), also when a handler rewrites the text meanwhile. An empty `text` deletes
// the selection: one change to "". Typing stops
// when a handler frees, hides or disables the control. A read-only edit and a drop-down
// list ignore the keys.
void TypeText(TTextControl& control, std::string_view text);
// Selects the whole text and pastes `text` over it: one change at most.
void PasteText(TTextControl& control, std::string_view text);
// Opens the list and picks an item: the text becomes the item's (OnChange when it changes).
void PickItem(TComboBox& combo, int index);
// The same, naming the item (letters a-z compared without case).
void PickItem(TComboBox& combo, std::string_view item);
// Clicks an item. Without MultiSelect, the item becomes the selected one. With
// MultiSelect and ExtendedSelect: a plain click selects only the item, Ctrl toggles it,
// Shift selects the range from the anchor (the item clicked last without Shift) to it,
// Ctrl+Shift adds that range. With MultiSelect alone each click toggles the item.
// Then OnClick fires.
void ClickItem(TListBox& list, int index, TShiftState shift = {});
// Clicks the control (presses a button): OnClick fires.
void Click(TControl& control);
void Click(TListBox& list) = delete;  // a list box is clicked on an item: ClickItem
// Double-clicks the control: OnDblClick fires.
void DblClick(TControl& control);
}  // namespace User

// A windowed control with a line of text the user may type into.
class TTextControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    ~TTextControl() override { BeforeDestruction(); }

    const std::string& Text() const noexcept { return text_; }
    // Sets the text and raises OnChange, as typing does; an unchanged text raises nothing.
    void SetText(std::string text);
    TNotifyEvent OnChange;

    // Whether keystrokes change the text.
    virtual bool AcceptsTyping() const { return true; }

protected:
    // The text the control takes when given `text`.
    virtual std::string AcceptedText(std::string text) const { return text; }
    // Called when the text has changed, before OnChange.
    virtual void TextChanged() {}
    // Stores a new text; false when it equals the present one.
    bool StoreText(std::string text);
    void Change() { CallHandler(this, OnChange, this); }

private:
    std::string text_;
};

// A one-line edit field.
class TEdit : public TTextControl {
public:
    explicit TEdit(TComponent* owner) : TTextControl(owner) {}
    ~TEdit() override { BeforeDestruction(); }

    bool ReadOnly = false;
    TBorderStyle BorderStyle = bsSingle;

    bool AcceptsTyping() const override { return !ReadOnly; }
    void RenderText(TTextCanvas& canvas, const TCellRect& cells) const override;
};

enum TComboBoxStyle : std::uint8_t { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

// A text with a list of items to pick from. With csDropDownList the text is always one
// of the items (or empty) and cannot be typed; the other styles have an editable text.
class TComboBox : public TTextControl {
public:
    explicit TComboBox(TComponent* owner);
    ~TComboBox() override { BeforeDestruction(); }

    TStrings Items;
    TComboBoxStyle Style = csDropDown;
    int ItemHeight = 16;

    // The item shown in the text: the one picked or set, or the first item equal to a
    // text typed or set; -1 when the text is no item. Item changes keep it on its item.
    int ItemIndex() const noexcept { return itemIndex_; }
    // Shows item `index` in the text (-1: an empty text), raising OnChange when the text
    // changes. A bad index raises EListError.
    void SetItemIndex(int index);

    bool AcceptsTyping() const override { return Style != csDropDownList; }
    void RenderText(TTextCanvas& canvas, const TCellRect& cells) const override;

protected:
    std::string AcceptedText(std::string text) const override;
    void TextChanged() override;

private:
    void ItemsChanged(TStrings::TChange change, int index);
    int ExactIndex(const std::string& text) const;

    int itemIndex_ = -1;
};

// A list of items of which the user selects one or, with MultiSelect, several. Program
// changes of the items or the selection raise no event; user clicks raise OnClick. The
// selection follows the items: clearing them clears it, deleting an item drops its mark.
class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);
    ~TListBox() override { BeforeDestruction(); }

    TStrings Items;
    // Shift and Ctrl extend the selection of a multi-select list (see User::ClickItem).
    bool ExtendedSelect = true;
    int ItemHeight = 16;

    bool MultiSelect() const noexcept { return multiSelect_; }
    // Turning it off keeps one selected item at most (the current one when selected).
    void SetMultiSelect(bool on);

    // Index checks raise EListError.
    bool Selected(int index) const;
    // Without MultiSelect, selecting an item deselects the others.
    void SetSelected(int index, bool selected);
    int SelCount() const;
    void ClearSelection();

    // The current item: the one clicked or set last (in a multi-select list it may have
    // been deselected since), else the first selected one; -1 when there is none.
    int ItemIndex() const;
    // Makes the item the only selected one and the current one; -1 clears the selection.
    void SetItemIndex(int index);

    void RenderText(TTextCanvas& canvas, const TCellRect& cells) const override;

private:
    friend void User::ClickItem(TListBox& list, int index, TShiftState shift);
    void ItemsChanged(TStrings::TChange change, int index);
    void CheckIndex(int index) const;
    int FirstSelected() const;
    void SelectOnly(int index);
    void SelectRange(int from, int to);
    void Click(int index, TShiftState shift);

    std::vector<bool> selected_;  // one mark per item
    bool multiSelect_ = false;
    int current_ = -1;
    int anchor_ = -1;
};

// A push button.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner) : TWinControl(owner) { Color = clBtnFace; }
    ~TButton() override { BeforeDestruction(); }

    std::string Caption;  // '&' marks the accelerator key; "&&" is an ampersand

    void RenderText(TTextCanvas& canvas, const TCellRect& cells) const override;
};

// A button drawn on the form, showing a picture; it never takes the focus.
class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner) : TGraphicControl(owner) { Color = clBtnFace; }
    ~TSpeedButton() override { BeforeDestruction(); }

    TBitmap Glyph;
    std::string Caption;

    void RenderText(TTextCanvas& canvas, const TCellRect& cells) const override;
};

enum TBevelShape : std::uint8_t { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle : std::uint8_t { bsLowered, bsRaised };

// A sunken or raised frame or line that groups other controls.
class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* owner) : TGraphicControl(owner) { Color = clBtnFace; }
    ~TBevel() override { BeforeDestruction(); }

    TBevelShape Shape = bsBox;
    TBevelStyle Style = bsLowered;

    // The frame lies on the outermost cells the bevel touches, around what it groups.
    TCellRect TextCells() const override;
    void RenderText(TTextCanvas& canvas, const TCellRect& cells) const override;
};

// The caption without its accelerator marks: "&Save" gives "Save", "&&" gives "&".
std::string StripAccelerator(std::string_view caption);

}  // namespace vcl
