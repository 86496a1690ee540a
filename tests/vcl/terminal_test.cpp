#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "vcl/graphics.h"
#include "vcl/terminal.h"

namespace {

using vcl::TRenderMode;
using vcl::TTextCell;
using vcl::TTextGrid;

TTextCell Cell(std::string text, vcl::TColor font = vcl::clWindowText, vcl::TColor brush = vcl::clWindow,
               bool right = false) {
    return TTextCell{std::move(text), font, brush, right};
}

TEST(TerminalTest, PlainCellsArePaddedAndCutByCharacters) {
    TTextGrid grid;
    grid.ColWidths = {5, 4};
    grid.Rows = {
        {Cell("M\xFCller"), Cell("12", vcl::clBlack, vcl::clWhite, true)},
        {Cell("\xC4rger"), Cell("12345", vcl::clBlack, vcl::clWhite, true)},
        {Cell("x")},  // a short row gets blank cells
    };
    const std::vector<std::string> lines = vcl::RenderLines(grid, TRenderMode::rmPlain);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "M\xC3\xBClle|  12");
    EXPECT_EQ(lines[1], "\xC3\x84rger|2345") << "right-aligned text is clipped on the left, as drawn";
    EXPECT_EQ(lines[2], "x    |    ");
    EXPECT_EQ(vcl::RenderGrid(grid, TRenderMode::rmPlain), lines[0] + "\n" + lines[1] + "\n" + lines[2] + "\n");
}

TEST(TerminalTest, ColourCellsCarryTheirRgbColours) {
    TTextGrid grid;
    grid.ColWidths = {3, 2};
    grid.Rows = {{Cell("\xFC", vcl::clWindowText, vcl::clRed), Cell("b", vcl::clHighlightText, vcl::clHighlight)}};
    const std::string line = vcl::RenderLines(grid, TRenderMode::rmColor).at(0);
    EXPECT_EQ(line,
              "\x1b[38;2;0;0;0m\x1b[48;2;255;0;0m\xC3\xBC  "
              "\x1b[0m|"
              "\x1b[38;2;255;255;255m\x1b[48;2;0;0;128mb "
              "\x1b[0m");
}

TEST(TerminalTest, StrippedColourOutputIsThePlainOutput) {
    TTextGrid grid;  // no widths given: each column fits its longest text
    grid.Rows = {{Cell("Name"), Cell("Betrag")}, {Cell("Gr\xF6\xDF" "e", vcl::clBlue, vcl::clYellow), Cell("1,50")}};
    const std::vector<std::string> colour = vcl::RenderLines(grid, TRenderMode::rmColor);
    const std::vector<std::string> plain = vcl::RenderLines(grid, TRenderMode::rmPlain);
    ASSERT_EQ(colour.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(vcl::StripEscapes(colour[i]), plain[i]);
        EXPECT_TRUE(colour[i].ends_with("\x1b[0m")) << "every line resets its colours";
        EXPECT_EQ(plain[i].find('\x1b'), std::string::npos);
    }
    EXPECT_EQ(plain[1], "Gr\xC3\xB6\xC3\x9F" "e|1,50  ");
}

TEST(TerminalTest, ControlCharactersCannotReachTheTerminal) {
    TTextGrid grid;
    grid.Rows = {{Cell("a\tb\x1b[2Jc\x9D\r\n")}};
    EXPECT_EQ(vcl::RenderLines(grid, TRenderMode::rmPlain).at(0), "a b?[2Jc?  ");
}

TEST(TerminalTest, StripEscapesRemovesEscapeSequencesOnly) {
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"\x1b[38;2;1;2;3mX\x1b[0m", "X"},
        {"plain \xC3\xBC", "plain \xC3\xBC"},
        {"\x1b[1;31mred\x1b[m and \x1b[Kmore", "red and more"},
        {"a\x1b" "7b", "ab"},
        {"cut\x1b", "cut"},
        {"cut\x1b[12;3", "cut"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(vcl::StripEscapes(c.in), c.out) << c.in;
}

TEST(TerminalTest, FilesAreNoTerminals) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), &std::fclose);
    ASSERT_TRUE(file);
    EXPECT_FALSE(vcl::IsTerminal(file.get()));
    EXPECT_FALSE(vcl::ColorWanted(file.get()));
    EXPECT_FALSE(vcl::IsTerminal(nullptr));
}

TEST(TerminalTest, GridFromCanvasShowsWhatWasDrawnLast) {
    vcl::TCanvas canvas;
    const int cw = canvas.TextWidth("0");
    // Two columns of 6 and 4 characters (plus a 4-pixel margin), a title row and a data
    // row at grid coordinates starting at (1, 0); one rectangle outside the cells.
    const int x0 = 0, x1 = 6 * cw + 4, x2 = x1 + 4 * cw + 4;
    auto rect = [&](int left, int right, int row) { return vcl::Rect(left, row * 20, right, row * 20 + 19); };
    canvas.SetCellRect(1, 0, rect(x0, x1, 0));
    canvas.SetCellRect(2, 0, rect(x1, x2, 0));
    canvas.SetCellRect(1, 1, rect(x0, x1, 1));
    canvas.SetCellRect(2, 1, rect(x1, x2, 1));
    canvas.Brush.Color = vcl::clBtnFace;
    canvas.TextRect(rect(x0, x1, 0), x0 + 2, 2, "Name");
    canvas.TextRect(rect(x1, x2, 0), x1 + 2, 2, "Wert");
    canvas.Brush.Color = vcl::clWindow;
    canvas.TextRect(rect(x0, x1, 1), x0 + 2, 22, "\xC4pfel");
    canvas.TextRect(rect(x1, x2, 1), x2 - 2 - 2 * cw, 22, "12");
    canvas.Brush.Color = vcl::clLime;  // repainted by a colour rule
    canvas.TextRect(rect(x1, x2, 1), x2 - 2 - 2 * cw, 22, "12");
    canvas.TextRect(vcl::Rect(500, 500, 600, 520), 502, 502, "not a cell");

    const TTextGrid grid = vcl::GridFromCanvas(canvas);
    ASSERT_EQ(grid.Rows.size(), 2u);
    EXPECT_EQ(grid.ColWidths, (std::vector<int>{6, 4}));
    EXPECT_EQ(grid.Rows[1][1].BrushColor, vcl::clLime);
    EXPECT_TRUE(grid.Rows[1][1].RightAlign);
    EXPECT_FALSE(grid.Rows[1][0].RightAlign);
    EXPECT_EQ(vcl::RenderGrid(grid, TRenderMode::rmPlain), "Name  |Wert\n\xC3\x84pfel |  12\n");
    EXPECT_TRUE(vcl::GridFromCanvas(vcl::TCanvas{}).Rows.empty());
}

}  // namespace
