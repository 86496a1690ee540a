// The binding of one dataset to the settings store.
#pragma once

#include "vcl/classes.h"

namespace spaltwerk {

// For now only what the store reaches: the switch of the colour table.
class TSpaltwerk : public vcl::TComponent {
public:
    explicit TSpaltwerk(vcl::TComponent* owner);

    // False makes the binding rebuild its colour table from the store before it paints.
    bool ColorOn = false;
    void SetColorOff();
};

}  // namespace spaltwerk
