#include "binding/spaltwerk.h"

namespace spaltwerk {

TSpaltwerk::TSpaltwerk(vcl::TComponent* owner) : vcl::TComponent(owner) {}

void TSpaltwerk::SetColorOff() { ColorOn = false; }

}  // namespace spaltwerk
