#include "binding/color_spaltwerk.h"

#include "binding/chaining.h"
#include "vcl/forms.h"

namespace spaltwerk {

void ColorDrawCellHandler::operator()(vcl::TObject* Sender, const vcl::TRect& Rect, vcl::TField* Field,
                                      vcl::TGridDrawState State) const {
    self->DBGridDrawDataCell(Sender, Rect, Field, State);
}

TColorSpaltwerk::TColorSpaltwerk(vcl::TComponent* owner) : vcl::TComponent(owner) {}

TColorSpaltwerk::~TColorSpaltwerk() {
    *alive_ = false;
    if (grid_ != nullptr) chaining::GiveBack<ColorDrawCellHandler>(grid_->OnDrawDataCell, OldDrawDataCell, this);
    // Tell whoever keeps our handler (another colour component) while our kept one is here.
    BeforeDestruction();
    grid_ = nullptr;
    binding_ = nullptr;
    OldDrawDataCell = nullptr;
}

void TColorSpaltwerk::SETDBG(vcl::TDBGrid* Value) {
    // Without an application object the grid is only remembered, not hooked; a handler
    // installed earlier is still taken back, so the old grid never keeps ours.
    const bool hook = vcl::Application != nullptr;
    if (grid_ != nullptr && (hook || chaining::Holds<ColorDrawCellHandler>(grid_->OnDrawDataCell, this))) {
        grid_->OnDrawDataCell = OldDrawDataCell;
        OldDrawDataCell = nullptr;
    }
    grid_ = Value;
    if (grid_ != nullptr) FreeNotification(grid_);
    if (grid_ != nullptr && hook) {
        OldDrawDataCell = grid_->OnDrawDataCell;
        if (auto* other = chaining::OwnerIn<ColorDrawCellHandler>(OldDrawDataCell)) FreeNotification(other);
        grid_->OnDrawDataCell = ColorDrawCellHandler{this};
    } else {
        OldDrawDataCell = nullptr;
    }
}

void TColorSpaltwerk::SETFST(spaltwerk::TSpaltwerk* Value) {
    binding_ = Value;
    if (binding_ != nullptr) FreeNotification(binding_);
}

void TColorSpaltwerk::DBGridDrawDataCell(vcl::TObject* Sender, const vcl::TRect& Rect, vcl::TField* Field,
                                         vcl::TGridDrawState State) {
    if (!chaining::CallKept(OldDrawDataCell, alive_, Sender, Rect, Field, State)) return;
    if (grid_ == nullptr || binding_ == nullptr) return;
    const vcl::TDataSource* source = grid_->DataSource();
    if (source == nullptr || source->DataSet() == nullptr || source->DataSet() != binding_->DataSet()) return;
    const vcl::TColor colour = binding_->COLOR(Field, grid_);
    if (colour < 0) return;  // no colour, or a system colour: the cell stays as drawn
    if (State.Contains(vcl::gdSelected))
        grid_->Canvas().Font.Color = colour;
    else
        grid_->Canvas().Brush.Color = colour;
    grid_->DefaultDrawDataCell(Rect, Field, State);
}

void TColorSpaltwerk::Notification(vcl::TComponent* component, vcl::TOperation operation) {
    vcl::TComponent::Notification(component, operation);
    if (operation != vcl::TOperation::opRemove) return;
    if (component == grid_) {
        grid_ = nullptr;
        OldDrawDataCell = nullptr;  // it belonged to the grid's slot
    }
    if (component == binding_) binding_ = nullptr;
    chaining::SpliceOut<ColorDrawCellHandler>(OldDrawDataCell, component, &TColorSpaltwerk::OldDrawDataCell, this);
}

}  // namespace spaltwerk
