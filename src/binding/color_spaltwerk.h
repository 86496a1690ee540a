// Paints the cells of a data grid by the colour rules of a binding.
#pragma once

#include <memory>

#include "binding/spaltwerk.h"
#include "vcl/classes.h"
#include "vcl/dbgrids.h"

namespace spaltwerk {

class TColorSpaltwerk;

// The handler a colour component installs in the grid's OnDrawDataCell; its type tells
// whether the slot still holds a colour component's handler, and whose.
struct ColorDrawCellHandler {
    TColorSpaltwerk* self;
    void operator()(vcl::TObject* Sender, const vcl::TRect& Rect, vcl::TField* Field, vcl::TGridDrawState State) const;
};

// Linked to one grid and one binding: repaints each data cell of the grid that the
// binding's COLOR gives a colour. The two properties are named after the types they hold;
// inside this class the types are therefore always written with their namespace.
class TColorSpaltwerk : public vcl::TComponent {
public:
    explicit TColorSpaltwerk(vcl::TComponent* owner);
    // Gives the grid its handler back when its slot still holds this component's.
    ~TColorSpaltwerk() override;

    vcl::TDBGrid* TDBGrid() const noexcept { return grid_; }
    // Gives the old grid its handler back and takes over the new grid's OnDrawDataCell.
    void SETDBG(vcl::TDBGrid* Value);
    spaltwerk::TSpaltwerk* TSpaltwerk() const noexcept { return binding_; }
    // Only stores the reference.
    void SETFST(spaltwerk::TSpaltwerk* Value);

    // The grid's OnDrawDataCell as it was before this component took it over; called first.
    vcl::TDrawDataCellEvent OldDrawDataCell;

    // The handler in the grid's OnDrawDataCell.
    void DBGridDrawDataCell(vcl::TObject* Sender, const vcl::TRect& Rect, vcl::TField* Field,
                            vcl::TGridDrawState State);

protected:
    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

private:
    vcl::TDBGrid* grid_ = nullptr;
    spaltwerk::TSpaltwerk* binding_ = nullptr;
    // Goes false when the component is destroyed, so a handler whose kept handler
    // destroyed it stops before touching it again.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace spaltwerk
