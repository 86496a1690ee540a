#include "package/pictures.h"

#include <array>
#include <stdexcept>
#include <string>

#include "vcl/sysutils.h"

namespace spaltwerk {

namespace {

using TRows = std::array<std::string_view, 16>;

// The store: a database cylinder.
constexpr TRows kMainSpaltwerk = {
    "................",
    "....44444444....",
    "..44EEEEEEEE44..",
    ".4EEEEEEEEEEEE4.",
    ".466EEEEEEEE664.",
    ".4F666666666664.",
    ".4F666666666664.",
    ".4F666666666664.",
    ".4F666666666664.",
    ".4F666666666664.",
    ".4F666666666664.",
    ".4F666666666664.",
    ".4F666666666664.",
    ".46666666666664.",
    "..446666666644..",
    "....44444444....",
};

// The binding: a table whose middle column is marked.
constexpr TRows kSpaltwerk = {
    "................",
    "0000000000000000",
    "0CCCC0CCCC0CCCC0",
    "0CCCC0CCCC0CCCC0",
    "0000000000000000",
    "0FFFF0BBBB0FFFF0",
    "0FFFF0BBBB0FFFF0",
    "0000000000000000",
    "0FFFF0BBBB0FFFF0",
    "0FFFF0BBBB0FFFF0",
    "0000000000000000",
    "0FFFF0BBBB0FFFF0",
    "0FFFF0BBBB0FFFF0",
    "0000000000000000",
    "................",
    "................",
};

// The grid colouring: a table with coloured cells.
constexpr TRows kColorSpaltwerk = {
    "................",
    "0000000000000000",
    "0CCCC0CCCC0CCCC0",
    "0CCCC0CCCC0CCCC0",
    "0000000000000000",
    "0FFFF099990FFFF0",
    "0FFFF099990FFFF0",
    "0000000000000000",
    "0AAAA0FFFF0BBBB0",
    "0AAAA0FFFF0BBBB0",
    "0000000000000000",
    "0FFFF0FFFF0DDDD0",
    "0FFFF0FFFF0DDDD0",
    "0000000000000000",
    "................",
    "................",
};

// Four colour patches.
constexpr TRows kColorButton = {
    "0000000000000000",
    "099999900CCCCCC0",
    "099999900CCCCCC0",
    "099999900CCCCCC0",
    "099999900CCCCCC0",
    "099999900CCCCCC0",
    "099999900CCCCCC0",
    "0000000000000000",
    "0000000000000000",
    "0AAAAAA00BBBBBB0",
    "0AAAAAA00BBBBBB0",
    "0AAAAAA00BBBBBB0",
    "0AAAAAA00BBBBBB0",
    "0AAAAAA00BBBBBB0",
    "0AAAAAA00BBBBBB0",
    "0000000000000000",
};

std::uint8_t PaletteIndex(char digit) {
    if (digit == '.') return 8;  // silver
    if (digit >= '0' && digit <= '9') return static_cast<std::uint8_t>(digit - '0');
    if (digit >= 'A' && digit <= 'F') return static_cast<std::uint8_t>(digit - 'A' + 10);
    throw std::invalid_argument(std::string("no palette digit: '") + digit + "'");
}

struct TNamedPicture {
    std::string_view Name;
    vcl::TBitmap Picture;
};

const std::array<TNamedPicture, 3>& PalettePictures() {
    static const std::array<TNamedPicture, 3> pictures = {{
        {"TMAINSPALTWERK", PictureFromRows(kMainSpaltwerk)},
        {"TSPALTWERK", PictureFromRows(kSpaltwerk)},
        {"TCOLORSPALTWERK", PictureFromRows(kColorSpaltwerk)},
    }};
    return pictures;
}

}  // namespace

vcl::TBitmap PictureFromRows(std::span<const std::string_view> rows) {
    const int width = rows.empty() ? 0 : static_cast<int>(rows.front().size());
    vcl::TBitmap picture(width, static_cast<int>(rows.size()));
    for (int y = 0; y < picture.Height; ++y) {
        const std::string_view row = rows[static_cast<std::size_t>(y)];
        if (static_cast<int>(row.size()) != width)
            throw std::invalid_argument("row " + std::to_string(y) + " is " + std::to_string(row.size()) +
                                        " pixels wide, not " + std::to_string(width));
        for (int x = 0; x < width; ++x) picture.SetPixel(x, y, PaletteIndex(row[static_cast<std::size_t>(x)]));
    }
    return picture;
}

const vcl::TBitmap* PalettePicture(std::string_view name) {
    const std::string wanted = vcl::UpperCase(name);
    for (const TNamedPicture& p : PalettePictures())
        if (p.Name == wanted) return &p.Picture;
    return nullptr;
}

const vcl::TBitmap& ColorButtonGlyph() {
    static const vcl::TBitmap glyph = PictureFromRows(kColorButton);
    return glyph;
}

}  // namespace spaltwerk
