#include "vcl/forms.h"

#include <algorithm>
#include <stdexcept>

#include "vcl/dialogs.h"

namespace vcl {

TApplication* Application = nullptr;

TApplication::TApplication() : TComponent(nullptr) {
    if (Application == nullptr) Application = this;
}

TApplication::~TApplication() {
    BeforeDestruction();  // the forms go while the application object is still reachable
    if (Application == this) Application = nullptr;
}

void TApplication::HandleException(TObject* Sender, const std::exception& E) {
    if (OnException) {
        OnException(Sender, E);
        return;
    }
    ShowMessage(E.what());
}

void TApplication::HandleCurrentException(TObject* Sender) {
    try {
        throw;
    } catch (const std::exception& e) {
        HandleException(Sender, e);
    } catch (...) {
        HandleException(Sender, std::runtime_error("Unknown error"));
    }
}

// ---- Controls -----------------------------------------------------------------------

namespace {
// Division rounding towards minus infinity, so that controls left of or above the
// client area map to negative cells.
int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int RoundDiv(int a, int b) { return FloorDiv(a + b / 2, b); }

TCellRect Span(int col0, int col1, int row0, int row1) {
    return TCellRect{col0, row0, std::max(1, col1 - col0), std::max(1, row1 - row0)};
}
}  // namespace

TCellRect InnerCells(int left, int top, int width, int height) {
    return Span(RoundDiv(left, kCellWidthPx), RoundDiv(left + width, kCellWidthPx),
                RoundDiv(top, kCellHeightPx), RoundDiv(top + height, kCellHeightPx));
}

TCellRect OuterCells(int left, int top, int width, int height) {
    return Span(FloorDiv(left, kCellWidthPx), FloorDiv(left + std::max(width, 1) - 1, kCellWidthPx) + 1,
                FloorDiv(top, kCellHeightPx), FloorDiv(top + std::max(height, 1) - 1, kCellHeightPx) + 1);
}

TControl::TControl(TComponent* owner) : TComponent(owner) {
    SetParent(dynamic_cast<TForm*>(owner));
}

TControl::~TControl() {
    BeforeDestruction();
    SetParent(nullptr);
}

void TControl::SetParent(TForm* parent) {
    if (parent == parent_) return;
    if (parent_ != nullptr) std::erase(parent_->controls_, this);
    parent_ = parent;
    if (parent_ != nullptr) parent_->controls_.push_back(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    Left = left;
    Top = top;
    Width = width;
    Height = height;
}

bool TControl::CanTakeUserInput() const {
    return Visible && Enabled && parent_ != nullptr && parent_->Visible();
}

void TControl::CheckUserCanReach() const {
    const char* reason = nullptr;
    if (parent_ == nullptr)
        reason = "it is on no form";
    else if (!parent_->Visible())
        reason = "its form is not shown";
    else if (!Visible)
        reason = "it is hidden";
    else if (!Enabled)
        reason = "it is disabled";
    if (reason == nullptr) return;
    const std::string name = Name().empty() ? std::string("The control") : Name();
    throw EInvalidOperation(name + " cannot take user input: " + reason);
}

TCellRect TControl::TextCells() const { return InnerCells(Left, Top, Width, Height); }

void TControl::RenderText(TTextCanvas& canvas, const TCellRect& r) const {
    canvas.FillBlank(r);
    canvas.PutText(r.Col, r.Row + (r.Rows - 1) / 2, "<" + Name() + ">", r.Cols);
}

// ---- Forms --------------------------------------------------------------------------

namespace {
std::vector<TForm*>& allForms() {
    static std::vector<TForm*> forms;
    return forms;
}
std::uint64_t showCounter = 0;
}  // namespace

TForm::TForm(TComponent* owner) : TComponent(owner) { allForms().push_back(this); }

TForm::~TForm() {
    std::erase(allForms(), this);
    visible_ = false;
    BeforeDestruction();  // owned controls leave controls_ as they go
    for (TControl* c : controls_) c->parent_ = nullptr;
    controls_.clear();
}

void TForm::Show() {
    visible_ = true;
    shownAt_ = ++showCounter;
}

void TForm::Close() { visible_ = false; }

TControl* TForm::Controls(int index) const {
    if (index < 0 || index >= ControlCount())
        throw EListError("Control index out of bounds (" + IntToStr(index) + ")");
    return controls_[static_cast<std::size_t>(index)];
}

std::vector<TWinControl*> TForm::ControlsInTabOrder() const {
    std::vector<TWinControl*> result;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) result.push_back(w);
    std::stable_sort(result.begin(), result.end(),
                     [](const TWinControl* a, const TWinControl* b) { return a->TabOrder < b->TabOrder; });
    return result;
}

std::vector<TWinControl*> TForm::FocusOrder() const {
    std::vector<TWinControl*> result = ControlsInTabOrder();
    std::erase_if(result, [](const TWinControl* c) { return !c->Visible || !c->Enabled || !c->TabStop; });
    return result;
}

Word TForm::PressKey(Word key, TShiftState shift) {
    CallHandler(this, OnKeyDown, this, key, shift);
    return key;
}

TForm* FrontForm() {
    TForm* front = nullptr;
    auto before = [](const TForm* a, const TForm* b) {
        const bool aTop = a->FormStyle == fsStayOnTop, bTop = b->FormStyle == fsStayOnTop;
        return aTop != bTop ? aTop : a->shownAt_ > b->shownAt_;
    };
    for (TForm* f : allForms())
        if (f->Visible() && (front == nullptr || before(f, front))) front = f;
    return front;
}

}  // namespace vcl
