// Colours and small palette pictures.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

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

}  // namespace vcl
