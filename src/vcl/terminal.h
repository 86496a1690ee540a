// Recorded grid cells as lines of terminal text, with or without 24-bit colours.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/graphics.h"

namespace vcl {

struct TTextCell {
    std::string Text;  // Windows-1252
    TColor FontColor = clWindowText;
    TColor BrushColor = clWindow;
    bool RightAlign = false;
};

struct TTextGrid {
    // Width of each column in characters. A column without a width here (or with a
    // negative one) is as wide as its longest text.
    std::vector<int> ColWidths;
    // Rows of cells; a short row is filled with blank cells.
    std::vector<std::vector<TTextCell>> Rows;
};

enum class TRenderMode { rmPlain, rmColor };

// One UTF-8 line per row: each cell padded or cut to its column width (counted in
// characters), columns separated by '|'. In colour mode each cell is written in its font
// and brush colours and the line ends with a colour reset. Control characters in a text
// are shown as '?' (blanks for tabs and line breaks), so no text can steer the terminal.
std::vector<std::string> RenderLines(const TTextGrid& grid, TRenderMode mode);
// The same lines, each ending in '\n'.
std::string RenderGrid(const TTextGrid& grid, TRenderMode mode);

// The named cells of a canvas (SetCellRect) from the top-left named one on: their text
// and colours, columns as wide as their rectangles hold characters of the canvas font, a
// text that stands nearer the right edge of its rectangle aligned right.
TTextGrid GridFromCanvas(const TCanvas& canvas);

// The text without terminal escape sequences.
std::string StripEscapes(std::string_view text);

bool IsTerminal(std::FILE* file);
// Whether to write colours to this stream: it is a terminal, NO_COLOR is not set and
// TERM is not "dumb".
bool ColorWanted(std::FILE* file);

}  // namespace vcl
