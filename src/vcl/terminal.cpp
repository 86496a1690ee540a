#include "vcl/terminal.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "vcl/sysutils.h"

namespace vcl {

namespace {

constexpr char kEsc = '\x1b';
constexpr const char* kReset = "\x1b[0m";

// Bytes a terminal would obey rather than show: the C0 controls, DEL, and the five bytes
// Windows-1252 leaves undefined (they become C1 controls in UTF-8).
bool IsControl(unsigned char b) {
    return b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

std::string Printable(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (IsControl(b)) c = (b >= '\t' && b <= '\r') ? ' ' : '?';
    }
    return out;
}

// Single-byte text has one character per byte, so width is counted on it before it
// becomes UTF-8.
std::string Fit(std::string_view text, int width, bool rightAlign) {
    const auto w = static_cast<std::size_t>(std::max(0, width));
    std::string s = Printable(text);
    if (s.size() > w) s = rightAlign ? s.substr(s.size() - w) : s.substr(0, w);  // clipped as drawn
    const std::string pad(w - s.size(), ' ');
    return Win1252ToUtf8(rightAlign ? pad + s : s + pad);
}

void AppendColor(std::string& out, int layer, TColor color) {
    const TColor rgb = ColorToRGB(color);
    out += kEsc;
    out += '[' + std::to_string(layer) + ";2;" + std::to_string(rgb & 0xFF) + ';' + std::to_string((rgb >> 8) & 0xFF) +
           ';' + std::to_string((rgb >> 16) & 0xFF) + 'm';
}

std::size_t ColumnCount(const TTextGrid& grid) {
    std::size_t n = grid.ColWidths.size();
    for (const auto& row : grid.Rows) n = std::max(n, row.size());
    return n;
}

std::vector<int> ColumnWidths(const TTextGrid& grid) {
    std::vector<int> widths(ColumnCount(grid), -1);
    std::copy(grid.ColWidths.begin(), grid.ColWidths.end(), widths.begin());
    for (std::size_t c = 0; c < widths.size(); ++c) {
        if (widths[c] >= 0) continue;
        widths[c] = 0;
        for (const auto& row : grid.Rows)
            if (c < row.size()) widths[c] = std::max(widths[c], static_cast<int>(row[c].Text.size()));
    }
    return widths;
}

}  // namespace

std::vector<std::string> RenderLines(const TTextGrid& grid, TRenderMode mode) {
    const bool color = mode == TRenderMode::rmColor;
    const std::vector<int> widths = ColumnWidths(grid);
    const TTextCell blank;
    std::vector<std::string> lines;
    lines.reserve(grid.Rows.size());
    for (const auto& row : grid.Rows) {
        std::string line;
        for (std::size_t c = 0; c < widths.size(); ++c) {
            const TTextCell& cell = c < row.size() ? row[c] : blank;
            if (c > 0) {
                if (color) line += kReset;  // the separator in the terminal's own colours
                line += '|';
            }
            if (color) {
                AppendColor(line, 38, cell.FontColor);
                AppendColor(line, 48, cell.BrushColor);
            }
            line += Fit(cell.Text, widths[c], cell.RightAlign);
        }
        if (color) line += kReset;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string RenderGrid(const TTextGrid& grid, TRenderMode mode) {
    std::string out;
    for (const std::string& line : RenderLines(grid, mode)) {
        out += line;
        out += '\n';
    }
    return out;
}

TTextGrid GridFromCanvas(const TCanvas& canvas) {
    std::vector<TCanvasCell> named;
    for (TCanvasCell& c : canvas.Cells())
        if (c.Col >= 0 && c.Row >= 0) named.push_back(std::move(c));
    TTextGrid grid;
    if (named.empty()) return grid;
    int minCol = named[0].Col, maxCol = minCol, minRow = named[0].Row, maxRow = minRow;
    for (const TCanvasCell& c : named) {
        minCol = std::min(minCol, c.Col);
        maxCol = std::max(maxCol, c.Col);
        minRow = std::min(minRow, c.Row);
        maxRow = std::max(maxRow, c.Row);
    }
    const int charWidth = std::max(1, canvas.TextWidth("0"));
    grid.ColWidths.assign(static_cast<std::size_t>(maxCol - minCol + 1), 0);
    grid.Rows.assign(static_cast<std::size_t>(maxRow - minRow + 1),
                     std::vector<TTextCell>(static_cast<std::size_t>(maxCol - minCol + 1)));
    for (const TCanvasCell& c : named) {
        const auto col = static_cast<std::size_t>(c.Col - minCol);
        grid.ColWidths[col] = std::max(grid.ColWidths[col], c.Rect.Width() / charWidth);
        const int leftGap = c.TextX - c.Rect.Left;
        const int rightGap = c.Rect.Right - (c.TextX + c.TextWidth);
        grid.Rows[static_cast<std::size_t>(c.Row - minRow)][col] =
            TTextCell{c.Text, c.FontColor, c.BrushColor, !c.Text.empty() && rightGap >= 0 && leftGap > rightGap};
    }
    return grid;
}

std::string StripEscapes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != kEsc) {
            out += text[i++];
            continue;
        }
        ++i;
        if (i < text.size() && text[i] == '[') {
            // Control sequence: parameters and intermediates up to a final byte @ to ~.
            for (++i; i < text.size() && !(text[i] >= '@' && text[i] <= '~'); ++i) {
            }
            if (i < text.size()) ++i;
        } else if (i < text.size()) {
            ++i;  // a two-character escape
        }
    }
    return out;
}

bool IsTerminal(std::FILE* file) { return file != nullptr && isatty(fileno(file)) == 1; }

bool ColorWanted(std::FILE* file) {
    const char* noColor = std::getenv("NO_COLOR");
    const char* term = std::getenv("TERM");
    return IsTerminal(file) && (noColor == nullptr || *noColor == '\0') && !(term && std::strcmp(term, "dumb") == 0);
}

}  // namespace vcl
