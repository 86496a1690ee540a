// Colours and small palette pictures.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "vcl/classes.h"

namespace vcl {

// A colour: 0 or more is explicit (red in the lowest byte, green next, blue third);
// a negative value names a system colour.
using TColor = std::int32_t;

constexpr TColor RGB(int r, int g, int b) { return static_cast<TColor>(r | (g << 8) | (b << 16)); }

inline constexpr TColor clBlack = RGB(0, 0, 0);
inline constexpr TColor clMaroon = RGB(128, 0, 0);
inline constexpr TColor clGreen = RGB(0, 128, 0);
inline constexpr TColor clOlive = RGB(128, 128, 0);
inline constexpr TColor clNavy = RGB(0, 0, 128);
inline constexpr TColor clPurple = RGB(128, 0, 128);
inline constexpr TColor clTeal = RGB(0, 128, 128);
inline constexpr TColor clGray = RGB(128, 128, 128);
inline constexpr TColor clSilver = RGB(192, 192, 192);
inline constexpr TColor clRed = RGB(255, 0, 0);
inline constexpr TColor clLime = RGB(0, 255, 0);
inline constexpr TColor clYellow = RGB(255, 255, 0);
inline constexpr TColor clBlue = RGB(0, 0, 255);
inline constexpr TColor clFuchsia = RGB(255, 0, 255);
inline constexpr TColor clAqua = RGB(0, 255, 255);
inline constexpr TColor clWhite = RGB(255, 255, 255);

// The standard 16-colour palette, in the order of the class library's 16-colour pictures.
inline constexpr std::array<TColor, 16> kStandardPalette = {
    clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clGray,
    clSilver, clRed, clLime, clYellow, clBlue, clFuchsia, clAqua, clWhite};

// A 16-colour picture: each pixel is an index into Palette, rows from the top.
struct TBitmap {
    int Width = 0;
    int Height = 0;
    std::array<TColor, 16> Palette = kStandardPalette;
    std::vector<std::uint8_t> Pixels;  // Width * Height palette indices

    TBitmap() = default;
    TBitmap(int width, int height, std::uint8_t fill = 0);
    std::uint8_t Pixel(int x, int y) const { return Pixels.at(static_cast<std::size_t>(y * Width + x)); }
    void SetPixel(int x, int y, std::uint8_t index) { Pixels.at(static_cast<std::size_t>(y * Width + x)) = index; }
    // Writes a 4-bit Windows bitmap file; EInOutError on failure.
    void SaveToFile(const std::string& path) const;
};

// ---- System colours ---------------------------------------------------------------------
// A system colour names the colour of a screen element rather than a colour: 0x80000000
// with the element's Windows COLOR_* index in the low byte. ColorToRGB gives the real one.

constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }

inline constexpr TColor clScrollBar = SystemColor(0);
inline constexpr TColor clBackground = SystemColor(1);
inline constexpr TColor clActiveCaption = SystemColor(2);
inline constexpr TColor clInactiveCaption = SystemColor(3);
inline constexpr TColor clMenu = SystemColor(4);
inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowFrame = SystemColor(6);
inline constexpr TColor clMenuText = SystemColor(7);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clCaptionText = SystemColor(9);
inline constexpr TColor clActiveBorder = SystemColor(10);
inline constexpr TColor clInactiveBorder = SystemColor(11);
inline constexpr TColor clAppWorkSpace = SystemColor(12);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clGrayText = SystemColor(17);
inline constexpr TColor clBtnText = SystemColor(18);
inline constexpr TColor clInactiveCaptionText = SystemColor(19);
inline constexpr TColor clBtnHighlight = SystemColor(20);
inline constexpr TColor cl3DDkShadow = SystemColor(21);
inline constexpr TColor cl3DLight = SystemColor(22);
inline constexpr TColor clInfoText = SystemColor(23);
inline constexpr TColor clInfoBk = SystemColor(24);

// The colour to render: an explicit colour as it is (its low three bytes), a system colour
// by the classic Windows scheme (grey buttons, white windows, navy selection). A negative
// value that names no known element renders black.
TColor ColorToRGB(TColor color);

// ---- Canvas -----------------------------------------------------------------------------
// A headless drawing surface. It draws nothing; it records, per rectangle drawn into, what
// a user would see there: the last text with its font colour and the brush colour. A grid
// names the rectangle of each of its cells (SetCellRect) so the record can be read by
// column and row as well.

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

using TFontCharset = Byte;
inline constexpr TFontCharset ANSI_CHARSET = 0;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;

// The font of a form or control. Height is in pixels: a negative value is the height of
// the characters themselves, a positive one the height of the character cell.
struct TFont {
    std::string Name = "MS Sans Serif";
    int Height = -11;
    TColor Color = clWindowText;
    TFontStyles Style;
    TFontCharset Charset = DEFAULT_CHARSET;
    friend bool operator==(const TFont&, const TFont&) = default;
};

struct TBrush {
    TColor Color = clWhite;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }

// What was last drawn into one rectangle.
struct TCanvasCell {
    TRect Rect;
    int Col = -1;  // the grid cell this rectangle belongs to; -1 when none was named
    int Row = -1;
    std::string Text;  // Windows-1252; empty after FillRect
    TColor FontColor = clWindowText;
    TColor BrushColor = clWhite;
    int TextX = 0;      // where the text starts, and how wide it is, in pixels
    int TextY = 0;
    int TextWidth = 0;
};

class TCanvas {
public:
    TFont Font;
    TBrush Brush;

    // Fills the rectangle with the brush colour; the rectangle holds no text afterwards.
    void FillRect(const TRect& rect);
    // Fills the rectangle with the brush colour and writes the text at (x, y) in the font
    // colour, clipped to the rectangle.
    void TextRect(const TRect& rect, int x, int y, std::string_view text);

    // Names the rectangle of a grid cell for this paint. Drawing into exactly that rectangle
    // (before or after) is what Cell(col, row) shows. A cell or rectangle named again
    // replaces its earlier pairing.
    void SetCellRect(int col, int row, const TRect& rect);

    // What was last drawn into the rectangle, or null when nothing was.
    const TCanvasCell* CellAt(const TRect& rect) const;
    // What was last drawn into the named cell's rectangle, or null.
    const TCanvasCell* Cell(int col, int row) const;
    // Every rectangle drawn into, top to bottom, left to right.
    std::vector<TCanvasCell> Cells() const;

    // Forgets what was drawn and the named cells, to start a new paint.
    void Clear();

    // A fixed-pitch model of the font, so a grid can lay out cells without a screen.
    int TextWidth(std::string_view text) const;
    int TextHeight(std::string_view text) const;

private:
    using TRectKey = std::tuple<int, int, int, int>;  // top, left, bottom, right: reading order
    static TRectKey KeyOf(const TRect& r) { return {r.Top, r.Left, r.Bottom, r.Right}; }
    TCanvasCell& Record(const TRect& rect);

    std::map<TRectKey, TCanvasCell> cells_;
    std::map<std::pair<int, int>, TRectKey> rectOfCell_;  // (col, row) -> rectangle
    std::map<TRectKey, std::pair<int, int>> cellOfRect_;  // rectangle -> (col, row)
};

}  // namespace vcl
