// The package's small pictures: the palette pictures of the three components and the glyph
// of the editor's colour button, each 16 by 16 pixels in the standard 16 colours.
#pragma once

#include <span>
#include <string_view>

#include "vcl/graphics.h"

namespace spaltwerk {

// A picture drawn as rows of palette digits, top row first: "0" to "9" and "A" to "F" index
// vcl::kStandardPalette, "." is the silver of the button face. Every row must be as long
// as the first; std::invalid_argument otherwise, or for any other character.
vcl::TBitmap PictureFromRows(std::span<const std::string_view> rows);

// The palette picture stored under a class name in capitals ("TMAINSPALTWERK",
// "TSPALTWERK", "TCOLORSPALTWERK"). Letters a-z of the name are taken as capitals. Null for
// any other name.
const vcl::TBitmap* PalettePicture(std::string_view name);

// The glyph of the editor window's colour button: coloured patches.
const vcl::TBitmap& ColorButtonGlyph();

}  // namespace spaltwerk
