#include "vcl/stdctrls.h"

#include <algorithm>

#include "vcl/sysutils.h"

namespace vcl {

namespace {

// The line a one-line control writes on: the middle of its cells.
int MiddleRow(const TCellRect& r) { return r.Row + (r.Rows - 1) / 2; }

}  // namespace

std::string StripAccelerator(std::string_view caption) {
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

// ---- TTextControl -------------------------------------------------------------------

bool TTextControl::StoreText(std::string text) {
    if (text == text_) return false;
    text_ = std::move(text);
    return true;
}

void TTextControl::SetText(std::string text) {
    if (!StoreText(AcceptedText(std::move(text)))) return;
    TextChanged();
    Change();
}

// ---- TEdit --------------------------------------------------------------------------

void TEdit::RenderText(TTextCanvas& canvas, const TCellRect& r) const {
    canvas.FillBlank(r);
    const int row = MiddleRow(r);
    if (BorderStyle == bsNone || r.Cols < 3) {
        canvas.PutText(r.Col, row, Text(), r.Cols);
        return;
    }
    canvas.PutGlyph(r.Col, row, "[");
    canvas.PutText(r.Col + 1, row, Text(), r.Cols - 2);
    canvas.PutGlyph(r.Col + r.Cols - 1, row, "]");
}

// ---- TComboBox ----------------------------------------------------------------------

TComboBox::TComboBox(TComponent* owner)
    : TTextControl(owner), Items([this](TStrings::TChange change, int index) { ItemsChanged(change, index); }) {}

int TComboBox::ExactIndex(const std::string& text) const {
    auto it = std::find(Items.begin(), Items.end(), text);
    return it == Items.end() ? -1 : static_cast<int>(it - Items.begin());
}

std::string TComboBox::AcceptedText(std::string text) const {
    // A drop-down list shows one of its items or nothing.
    if (Style == csDropDownList && ExactIndex(text) < 0) return {};
    return text;
}

void TComboBox::TextChanged() { itemIndex_ = ExactIndex(Text()); }

void TComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= Items.Count())
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    const bool changed = StoreText(index < 0 ? std::string() : Items[index]);
    itemIndex_ = index;
    if (changed) Change();
}

void TComboBox::ItemsChanged(TStrings::TChange change, int index) {
    switch (change) {
        case TStrings::TChange::Cleared:
            itemIndex_ = -1;
            break;
        case TStrings::TChange::Inserted:
            if (itemIndex_ >= index) ++itemIndex_;
            break;
        case TStrings::TChange::Deleted:
            if (itemIndex_ == index)
                itemIndex_ = -1;
            else if (itemIndex_ > index)
                --itemIndex_;
            break;
        case TStrings::TChange::Replaced:
            if (itemIndex_ == index && Items[index] != Text()) itemIndex_ = -1;
            break;
    }
}

void TComboBox::RenderText(TTextCanvas& canvas, const TCellRect& r) const {
    canvas.FillBlank(r);
    const int row = MiddleRow(r);
    if (r.Cols < 4) {
        canvas.PutText(r.Col, row, Text(), r.Cols);
        return;
    }
    canvas.PutGlyph(r.Col, row, "[");
    canvas.PutText(r.Col + 1, row, Text(), r.Cols - 3);
    canvas.PutGlyph(r.Col + r.Cols - 2, row, "▾");
    canvas.PutGlyph(r.Col + r.Cols - 1, row, "]");
}

// ---- TListBox -----------------------------------------------------------------------

TListBox::TListBox(TComponent* owner)
    : TWinControl(owner), Items([this](TStrings::TChange change, int index) { ItemsChanged(change, index); }) {}

void TListBox::ItemsChanged(TStrings::TChange change, int index) {
    auto follow = [&](int& i) {
        if (change == TStrings::TChange::Cleared || (change == TStrings::TChange::Deleted && i == index))
            i = -1;
        else if (change == TStrings::TChange::Deleted && i > index)
            --i;
        else if (change == TStrings::TChange::Inserted && i >= index && i >= 0)
            ++i;
    };
    follow(current_);
    follow(anchor_);
    switch (change) {
        case TStrings::TChange::Cleared: selected_.clear(); break;
        case TStrings::TChange::Inserted: selected_.insert(selected_.begin() + index, false); break;
        case TStrings::TChange::Deleted: selected_.erase(selected_.begin() + index); break;
        case TStrings::TChange::Replaced: break;  // a renamed item keeps its mark
    }
}

void TListBox::CheckIndex(int index) const {
    if (index < 0 || index >= Items.Count())
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

bool TListBox::Selected(int index) const {
    CheckIndex(index);
    return selected_[static_cast<std::size_t>(index)];
}

void TListBox::SetSelected(int index, bool selected) {
    CheckIndex(index);
    if (!multiSelect_) {
        if (selected) {
            SelectOnly(index);
            current_ = anchor_ = index;
        } else if (current_ == index) {
            current_ = -1;
        }
    }
    selected_[static_cast<std::size_t>(index)] = selected;
}

int TListBox::SelCount() const { return static_cast<int>(std::count(selected_.begin(), selected_.end(), true)); }

void TListBox::ClearSelection() {
    std::fill(selected_.begin(), selected_.end(), false);
    if (!multiSelect_) current_ = -1;
}

void TListBox::SetMultiSelect(bool on) {
    multiSelect_ = on;
    if (on || SelCount() <= 1) return;
    const bool currentSelected = current_ >= 0 && selected_[static_cast<std::size_t>(current_)];
    const int keep = currentSelected ? current_ : FirstSelected();
    SelectOnly(keep);
    current_ = keep;
}

int TListBox::FirstSelected() const {
    auto it = std::find(selected_.begin(), selected_.end(), true);
    return it == selected_.end() ? -1 : static_cast<int>(it - selected_.begin());
}

int TListBox::ItemIndex() const { return current_ >= 0 ? current_ : FirstSelected(); }

void TListBox::SetItemIndex(int index) {
    if (index == -1) {
        ClearSelection();
        current_ = anchor_ = -1;
        return;
    }
    CheckIndex(index);
    SelectOnly(index);
    current_ = anchor_ = index;
}

void TListBox::SelectOnly(int index) {
    std::fill(selected_.begin(), selected_.end(), false);
    selected_[static_cast<std::size_t>(index)] = true;
}

void TListBox::SelectRange(int from, int to) {
    if (from > to) std::swap(from, to);
    for (int i = from; i <= to; ++i) selected_[static_cast<std::size_t>(i)] = true;
}

void TListBox::Click(int index, TShiftState shift) {
    CheckIndex(index);
    auto toggle = [&] { selected_[static_cast<std::size_t>(index)] = !selected_[static_cast<std::size_t>(index)]; };
    if (!multiSelect_) {
        SelectOnly(index);
        anchor_ = index;
    } else if (!ExtendedSelect) {
        toggle();
        anchor_ = index;
    } else if (shift.Contains(ssShift) && anchor_ >= 0) {
        if (!shift.Contains(ssCtrl)) std::fill(selected_.begin(), selected_.end(), false);
        SelectRange(anchor_, index);  // the anchor stays for the next Shift click
    } else if (shift.Contains(ssCtrl)) {
        toggle();
        anchor_ = index;
    } else {
        SelectOnly(index);
        anchor_ = index;
    }
    current_ = index;
}

void TListBox::RenderText(TTextCanvas& canvas, const TCellRect& r) const {
    canvas.FillBlank(r);
    // Scroll so that the current item shows, as the window keeps it in view.
    const int count = Items.Count();
    const int current = ItemIndex();
    const int first = std::clamp(current - r.Rows + 1, 0, std::max(0, count - r.Rows));
    // Each line: the selection mark, a blank, the item; the last column is the scroll bar.
    const int textCols = r.Cols - 3;
    for (int line = 0; line < r.Rows; ++line) {
        const int row = r.Row + line, item = first + line;
        if (item < count) {
            canvas.PutGlyph(r.Col, row, selected_[static_cast<std::size_t>(item)] ? "■" : " ");
            canvas.PutText(r.Col + 2, row, Items[item], textCols);
        }
        const char* edge = "│";
        if (line == 0 && first > 0) edge = "↑";
        if (line == r.Rows - 1 && first + r.Rows < count) edge = "↓";
        canvas.PutGlyph(r.Col + r.Cols - 1, row, edge);
    }
}

// ---- Buttons and bevels -------------------------------------------------------------

void TButton::RenderText(TTextCanvas& canvas, const TCellRect& r) const {
    canvas.FillBlank(r);
    const int row = MiddleRow(r);
    const std::string caption = StripAccelerator(Caption);
    const int cols = r.Cols;
    if (static_cast<int>(caption.size()) + 4 <= cols) {
        canvas.PutCentred(r.Col, row, "[ " + caption + " ]", cols);
    } else if (cols >= 3) {
        canvas.PutGlyph(r.Col, row, "[");
        canvas.PutText(r.Col + 1, row, caption, cols - 2);
        canvas.PutGlyph(r.Col + cols - 1, row, "]");
    } else {
        canvas.PutText(r.Col, row, caption, cols);
    }
}

void TSpeedButton::RenderText(TTextCanvas& canvas, const TCellRect& r) const {
    canvas.FillBlank(r);
    const int row = MiddleRow(r);
    const std::string caption = StripAccelerator(Caption);
    if (!caption.empty()) {
        canvas.PutCentred(r.Col, row, "[" + caption + "]", r.Cols);
        return;
    }
    // A picture: a patterned square between brackets, centred.
    const int col = r.Col + std::max(0, (r.Cols - 3) / 2);
    canvas.PutGlyph(col, row, "[");
    canvas.PutGlyph(col + 1, row, Glyph.Pixels.empty() ? " " : "▦");
    canvas.PutGlyph(col + 2, row, "]");
}

TCellRect TBevel::TextCells() const { return OuterCells(Left, Top, Width, Height); }

void TBevel::RenderText(TTextCanvas& canvas, const TCellRect& r) const {
    const int right = r.Col + r.Cols - 1, bottom = r.Row + r.Rows - 1;
    auto hline = [&](int row) {
        for (int x = r.Col; x <= right; ++x) canvas.PutGlyph(x, row, "─");
    };
    auto vline = [&](int col) {
        for (int y = r.Row; y <= bottom; ++y) canvas.PutGlyph(col, y, "│");
    };
    switch (Shape) {
        case bsBox:
        case bsFrame: canvas.DrawFrame(r); break;
        case bsTopLine: hline(r.Row); break;
        case bsBottomLine: hline(bottom); break;
        case bsLeftLine: vline(r.Col); break;
        case bsRightLine: vline(right); break;
        case bsSpacer: break;
    }
}

// ---- Simulated user input -----------------------------------------------------------

namespace User {

void TypeText(TTextControl& control, std::string_view text) {
    control.CheckUserCanReach();
    if (!control.AcceptsTyping()) return;
    if (text.empty()) {
        control.SetText({});
        return;
    }
    TFreeWatch watch{&control};
    for (std::size_t typed = 1; typed <= text.size(); ++typed) {
        // The first key replaces the selected text, each further key appends.
        control.SetText(std::string(text.substr(0, typed)));
        if (watch.Gone() || !control.CanTakeUserInput() || !control.AcceptsTyping()) return;
    }
}

void PasteText(TTextControl& control, std::string_view text) {
    control.CheckUserCanReach();
    if (control.AcceptsTyping()) control.SetText(std::string(text));
}

void PickItem(TComboBox& combo, int index) {
    combo.CheckUserCanReach();
    if (index < 0 || index >= combo.Items.Count())
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    combo.SetItemIndex(index);
}

void PickItem(TComboBox& combo, std::string_view item) {
    const int index = combo.Items.IndexOf(item);
    if (index < 0) throw EListError("\"" + std::string(item) + "\" is not in the list of " + combo.Name());
    PickItem(combo, index);
}

void ClickItem(TListBox& list, int index, TShiftState shift) {
    list.CheckUserCanReach();
    list.Click(index, shift);
    CallHandler(&list, list.OnClick, &list);
}

void Click(TControl& control) {
    control.CheckUserCanReach();
    CallHandler(&control, control.OnClick, &control);
}

void DblClick(TControl& control) {
    control.CheckUserCanReach();
    CallHandler(&control, control.OnDblClick, &control);
}

}  // namespace User

}  // namespace vcl
