#include "vcl/graphics.h"

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
