#include "vcl/graphics.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "vcl/sysutils.h"

namespace vcl {

TBitmap::TBitmap(int width, int height, std::uint8_t fill)
    : Width(width), Height(height), Pixels(static_cast<std::size_t>(width * height), fill) {}

namespace {
void Put16(std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, unsigned v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
}  // namespace

void TBitmap::SaveToFile(const std::string& path) const {
    const unsigned rowBytes = static_cast<unsigned>(((Width + 1) / 2 + 3) / 4 * 4);
    const unsigned imageSize = rowBytes * static_cast<unsigned>(Height);
    const unsigned offset = 14 + 40 + 16 * 4;
    std::string out;
    out += "BM";
    Put32(out, offset + imageSize);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, static_cast<unsigned>(Width));
    Put32(out, static_cast<unsigned>(Height));
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);
    Put32(out, imageSize);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 16);
    Put32(out, 16);
    for (TColor c : Palette) {  // stored blue, green, red, reserved
        out += static_cast<char>((c >> 16) & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
        out += static_cast<char>(c & 0xFF);
        out += '\0';
    }
    for (int y = Height - 1; y >= 0; --y) {  // bottom row first
        std::string row(rowBytes, '\0');
        for (int x = 0; x < Width; ++x) {
            const auto v = static_cast<unsigned char>(Pixel(x, y) & 0x0F);
            row[static_cast<std::size_t>(x / 2)] |= static_cast<char>(x % 2 == 0 ? v << 4 : v);
        }
        out += row;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(MapPath(path).c_str(), "wb"), &std::fclose);
    if (!f || std::fwrite(out.data(), 1, out.size(), f.get()) != out.size())
        throw EInOutError("Cannot write " + path);
}

}  // namespace vcl

// ---- System colours and the canvas ------------------------------------------------------

namespace vcl {

namespace {
// The classic Windows scheme, by COLOR_* index.
constexpr std::array<TColor, 25> kClassicScheme = {
    RGB(192, 192, 192),  // scroll bar
    RGB(0, 128, 128),    // desktop
    RGB(0, 0, 128),      // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(192, 192, 192),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(192, 192, 192),  // active border
    RGB(192, 192, 192),  // inactive border
    RGB(128, 128, 128),  // application workspace
    RGB(0, 0, 128),      // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(192, 192, 192),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(192, 192, 192),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(0, 0, 0),        // 3D dark shadow
    RGB(192, 192, 192),  // 3D light
    RGB(0, 0, 0),        // tooltip text
    RGB(255, 255, 225),  // tooltip background
};
}  // namespace

TColor ColorToRGB(TColor color) {
    if (color >= 0) return color & 0xFFFFFF;
    const auto bits = static_cast<std::uint32_t>(color);
    const std::uint32_t index = bits & 0xFF;
    if ((bits & 0x7FFFFF00u) != 0 || index >= kClassicScheme.size()) return clBlack;
    return kClassicScheme[index];
}

TCanvasCell& TCanvas::Record(const TRect& rect) {
    const TRectKey key = KeyOf(rect);
    auto [it, added] = cells_.try_emplace(key);
    if (added) {
        it->second.Rect = rect;
        if (auto named = cellOfRect_.find(key); named != cellOfRect_.end())
            std::tie(it->second.Col, it->second.Row) = named->second;
    }
    return it->second;
}

void TCanvas::FillRect(const TRect& rect) {
    TCanvasCell& c = Record(rect);
    c.Text.clear();
    c.FontColor = Font.Color;
    c.BrushColor = Brush.Color;
    c.TextX = rect.Left;
    c.TextY = rect.Top;
    c.TextWidth = 0;
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text) {
    TCanvasCell& c = Record(rect);
    c.Text.assign(text);
    c.FontColor = Font.Color;
    c.BrushColor = Brush.Color;
    c.TextX = x;
    c.TextY = y;
    c.TextWidth = TextWidth(text);
}

void TCanvas::SetCellRect(int col, int row, const TRect& rect) {
    const TRectKey key = KeyOf(rect);
    const std::pair<int, int> cell{col, row};
    // Undo the earlier pairings of this cell and of this rectangle.
    if (auto old = rectOfCell_.find(cell); old != rectOfCell_.end()) {
        if (auto drawn = cells_.find(old->second); drawn != cells_.end()) drawn->second.Col = drawn->second.Row = -1;
        cellOfRect_.erase(old->second);
    }
    if (auto old = cellOfRect_.find(key); old != cellOfRect_.end()) rectOfCell_.erase(old->second);
    rectOfCell_[cell] = key;
    cellOfRect_[key] = cell;
    if (auto drawn = cells_.find(key); drawn != cells_.end()) {
        drawn->second.Col = col;
        drawn->second.Row = row;
    }
}

const TCanvasCell* TCanvas::CellAt(const TRect& rect) const {
    const auto it = cells_.find(KeyOf(rect));
    return it == cells_.end() ? nullptr : &it->second;
}

const TCanvasCell* TCanvas::Cell(int col, int row) const {
    const auto named = rectOfCell_.find({col, row});
    if (named == rectOfCell_.end()) return nullptr;
    const auto it = cells_.find(named->second);
    return it == cells_.end() ? nullptr : &it->second;
}

std::vector<TCanvasCell> TCanvas::Cells() const {
    std::vector<TCanvasCell> all;
    all.reserve(cells_.size());
    for (const auto& entry : cells_) all.push_back(entry.second);
    return all;
}

void TCanvas::Clear() {
    cells_.clear();
    rectOfCell_.clear();
    cellOfRect_.clear();
}

namespace {
int FontPixels(const TFont& font) { return std::max(1, font.Height < 0 ? -font.Height : font.Height); }
}  // namespace

int TCanvas::TextWidth(std::string_view text) const {
    // An average character is about 8/13 of the font height wide.
    const int charWidth = std::max(1, (FontPixels(Font) * 8 + 6) / 13);
    return charWidth * static_cast<int>(text.size());
}

int TCanvas::TextHeight(std::string_view) const { return FontPixels(Font); }

}  // namespace vcl
