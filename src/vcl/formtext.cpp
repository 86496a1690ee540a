// Drawing forms as character cells for terminals and tests.
#include <algorithm>
#include <vector>

#include "vcl/forms.h"

namespace vcl {

namespace {
// The UTF-8 glyph for one Windows-1252 byte; controls (C0, DEL, C1) show as '?'.
std::string Glyph(char byte) {
    const auto code = static_cast<unsigned char>(byte);
    if (code < 0x20 || code == 0x7F) return "?";
    std::string utf8 = Win1252ToUtf8(std::string_view(&byte, 1));
    // The undefined bytes map to C1 controls: U+0080..U+009F are C2 80..C2 9F.
    if (utf8.size() == 2 && static_cast<unsigned char>(utf8[0]) == 0xC2 && static_cast<unsigned char>(utf8[1]) < 0xA0)
        return "?";
    return utf8;
}
}  // namespace

TTextCanvas::TTextCanvas(int cols, int rows)
    : cols_(std::max(cols, 0)), rows_(std::max(rows, 0)), clip_{0, 0, cols_, rows_},
      cells_(static_cast<std::size_t>(cols_ * rows_), " ") {}

bool TTextCanvas::Inside(int col, int row) const {
    return col >= 0 && row >= 0 && col < cols_ && row < rows_ && col >= clip_.Col && row >= clip_.Row &&
           col < clip_.Col + clip_.Cols && row < clip_.Row + clip_.Rows;
}

void TTextCanvas::PutGlyph(int col, int row, std::string_view utf8) {
    if (Inside(col, row)) cells_[static_cast<std::size_t>(row * cols_ + col)] = std::string(utf8);
}

void TTextCanvas::PutText(int col, int row, std::string_view text, int width) {
    if (width <= 0) return;
    const bool cut = static_cast<int>(text.size()) > width;
    for (int i = 0; i < width; ++i) {
        if (cut && i == width - 1)
            PutGlyph(col + i, row, "…");
        else
            PutGlyph(col + i, row, i < static_cast<int>(text.size()) ? Glyph(text[static_cast<std::size_t>(i)]) : " ");
    }
}

void TTextCanvas::PutCentred(int col, int row, std::string_view text, int width) {
    const int pad = std::max(0, (width - static_cast<int>(text.size())) / 2);
    FillBlank(TCellRect{col, row, width, 1});
    PutText(col + pad, row, text, width - pad);
}

void TTextCanvas::FillBlank(const TCellRect& r) {
    for (int y = r.Row; y < r.Row + r.Rows; ++y)
        for (int x = r.Col; x < r.Col + r.Cols; ++x) PutGlyph(x, y, " ");
}

void TTextCanvas::DrawFrame(const TCellRect& r) {
    if (r.Cols <= 0 || r.Rows <= 0) return;
    const int right = r.Col + r.Cols - 1, bottom = r.Row + r.Rows - 1;
    for (int x = r.Col + 1; x < right; ++x) {
        PutGlyph(x, r.Row, "─");
        PutGlyph(x, bottom, "─");
    }
    for (int y = r.Row + 1; y < bottom; ++y) {
        PutGlyph(r.Col, y, "│");
        PutGlyph(right, y, "│");
    }
    PutGlyph(r.Col, r.Row, "┌");
    PutGlyph(right, r.Row, "┐");
    PutGlyph(r.Col, bottom, "└");
    PutGlyph(right, bottom, "┘");
}

std::string TTextCanvas::Text() const {
    std::string out;
    for (int y = 0; y < rows_; ++y) {
        for (int x = 0; x < cols_; ++x) out += cells_[static_cast<std::size_t>(y * cols_ + x)];
        out += '\n';
    }
    return out;
}

namespace {
// The title bar: "┌─ Caption ──── _ □ × ┐", with the border icons the form shows.
void DrawTitle(TTextCanvas& canvas, const TForm& form) {
    std::vector<const char*> icons;
    if (form.BorderIcons.Contains(biSystemMenu)) {
        if (form.BorderIcons.Contains(biMinimize)) icons.push_back("_");
        if (form.BorderIcons.Contains(biMaximize)) icons.push_back("□");
        if (form.BorderIcons.Contains(biHelp)) icons.push_back("?");
        icons.push_back("×");
    }
    // Each icon takes a blank and its glyph; one blank separates the last from the corner.
    const int iconsAt = canvas.Cols() - 2 - 2 * static_cast<int>(icons.size());
    if (!icons.empty()) {
        int col = iconsAt;
        for (const char* icon : icons) {
            canvas.PutGlyph(col++, 0, " ");
            canvas.PutGlyph(col++, 0, icon);
        }
        canvas.PutGlyph(col, 0, " ");
    }
    // "┌─ " caption " ─" and at least one more line cell before the icons or the corner.
    const int room = (icons.empty() ? canvas.Cols() - 1 : iconsAt) - 5;
    if (form.Caption.empty() || room < 1) return;
    const int width = std::min(static_cast<int>(form.Caption.size()), room);
    canvas.PutGlyph(2, 0, " ");
    canvas.PutText(3, 0, form.Caption, width);
    canvas.PutGlyph(3 + width, 0, " ");
}
}  // namespace

std::string RenderFormText(const TForm& form) {
    const int clientCols = std::max(1, (form.ClientWidth + kCellWidthPx - 1) / kCellWidthPx);
    const int clientRows = std::max(1, (form.ClientHeight + kCellHeightPx - 1) / kCellHeightPx);
    TTextCanvas canvas(clientCols + 2, clientRows + 2);
    canvas.DrawFrame(TCellRect{0, 0, clientCols + 2, clientRows + 2});
    DrawTitle(canvas, form);

    canvas.SetClip(TCellRect{1, 1, clientCols, clientRows});
    for (const bool windowed : {false, true}) {
        for (int i = 0; i < form.ControlCount(); ++i) {
            const TControl* c = form.Controls(i);
            if (!c->Visible || c->IsWindowed() != windowed) continue;
            TCellRect r = c->TextCells();
            r.Col += 1;
            r.Row += 1;
            c->RenderText(canvas, r);
        }
    }
    return canvas.Text();
}

}  // namespace vcl
