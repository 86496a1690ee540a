// Colours and small palette pictures.
#pragma once

#include <array>
#include <cstdint>
#include <string>
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

// System colours: the colour the desktop scheme gives an element, named by the
// high bit plus the Windows COLOR_* index of that element.
constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }
inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clGrayText = SystemColor(17);
inline constexpr TColor clBtnText = SystemColor(18);

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

// ---- Fonts --------------------------------------------------------------------------

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

}  // namespace vcl
