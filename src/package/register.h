// Puts the package's three components on the component palette.
#pragma once

namespace spaltwerk {

// The palette page of the package.
inline constexpr const char* kPalettePage = "ZRK";

// Registers TMainSpaltwerk, TSpaltwerk and TColorSpaltwerk, in this order, each on its own
// call, on the page "ZRK" with their published properties. Their pictures are found with
// PalettePicture (package/pictures.h) under the class names in capitals.
void Register();

}  // namespace spaltwerk
