#include <gtest/gtest.h>

#include "vcl/graphics.h"

namespace {

using vcl::TCanvas;
using vcl::TColor;
using vcl::TRect;

TEST(ColorTest, SystemColoursAreNegativeAndRenderByTheClassicScheme) {
    EXPECT_EQ(vcl::clBtnFace, static_cast<TColor>(0x8000000F));
    EXPECT_EQ(vcl::clWindow, static_cast<TColor>(0x80000005));
    EXPECT_LT(vcl::clInfoBk, 0);
    struct Case { TColor color; TColor rgb; };
    const Case cases[] = {
        {vcl::clBtnFace, vcl::RGB(192, 192, 192)},  {vcl::clWindow, vcl::clWhite},
        {vcl::clWindowText, vcl::clBlack},          {vcl::clHighlight, vcl::clNavy},
        {vcl::clHighlightText, vcl::clWhite},       {vcl::clBtnText, vcl::clBlack},
        {vcl::clGrayText, vcl::clGray},             {vcl::clBtnShadow, vcl::clGray},
        {vcl::clBtnHighlight, vcl::clWhite},        {vcl::clInfoBk, vcl::RGB(255, 255, 225)},
        {vcl::clActiveCaption, vcl::clNavy},        {vcl::clScrollBar, vcl::clSilver},
        // explicit colours stand for themselves, without their flag byte
        {vcl::clRed, vcl::clRed},                   {vcl::RGB(1, 2, 3), vcl::RGB(1, 2, 3)},
        {0x02000000 | vcl::RGB(10, 20, 30), vcl::RGB(10, 20, 30)},
        // negative values that name no screen element
        {-1, vcl::clBlack},                         {vcl::SystemColor(99), vcl::clBlack},
    };
    for (const Case& c : cases) EXPECT_EQ(vcl::ColorToRGB(c.color), c.rgb) << std::hex << c.color;
}

TEST(CanvasTest, FontAndBrushStartWithTheClassLibraryDefaults) {
    TCanvas canvas;
    EXPECT_EQ(canvas.Font, vcl::TFont{});
    EXPECT_EQ(canvas.Font.Color, vcl::clWindowText);
    EXPECT_TRUE(canvas.Font.Style.Empty());
    EXPECT_EQ(canvas.Brush.Color, vcl::clWhite);
}

TEST(CanvasTest, ACellDrawnTwiceShowsTheLastDrawing) {
    TCanvas canvas;
    const TRect r = vcl::Rect(10, 20, 90, 38);
    canvas.SetCellRect(1, 2, r);
    canvas.Font.Color = vcl::clWindowText;
    canvas.Brush.Color = vcl::clWindow;
    canvas.TextRect(r, 12, 22, "Alpha");
    canvas.Brush.Color = vcl::clRed;  // a colour rule repaints the same cell
    canvas.TextRect(r, 12, 22, "Alpha");

    const vcl::TCanvasCell* cell = canvas.Cell(1, 2);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->Text, "Alpha");
    EXPECT_EQ(cell->BrushColor, vcl::clRed);
    EXPECT_EQ(cell->FontColor, vcl::clWindowText);
    EXPECT_EQ(cell->Col, 1);
    EXPECT_EQ(cell->Row, 2);
    EXPECT_EQ(canvas.CellAt(r), cell);
    EXPECT_EQ(canvas.Cells().size(), 1u);

    canvas.Font.Color = vcl::clYellow;
    canvas.FillRect(r);
    EXPECT_EQ(cell->Text, "") << "a fill covers the text";
    EXPECT_EQ(cell->BrushColor, vcl::clRed);
}

TEST(CanvasTest, CellsAreFoundByRectangleOrByName) {
    TCanvas canvas;
    const TRect a = vcl::Rect(0, 0, 50, 18), b = vcl::Rect(51, 0, 100, 18), c = vcl::Rect(0, 19, 50, 37);
    canvas.TextRect(c, 2, 21, "c");
    canvas.TextRect(b, 53, 2, "b");
    canvas.TextRect(a, 2, 2, "a");
    EXPECT_EQ(canvas.Cell(0, 0), nullptr) << "no cell named yet";
    ASSERT_NE(canvas.CellAt(b), nullptr);
    EXPECT_EQ(canvas.CellAt(b)->Col, -1);

    canvas.SetCellRect(0, 1, a);  // naming after drawing works too
    ASSERT_NE(canvas.Cell(0, 1), nullptr);
    EXPECT_EQ(canvas.Cell(0, 1)->Text, "a");
    canvas.SetCellRect(0, 1, c);  // the cell moved: a is nobody's now
    EXPECT_EQ(canvas.Cell(0, 1)->Text, "c");
    EXPECT_EQ(canvas.CellAt(a)->Col, -1);
    canvas.SetCellRect(5, 5, c);  // the rectangle renamed
    EXPECT_EQ(canvas.Cell(0, 1), nullptr);
    EXPECT_EQ(canvas.Cell(5, 5)->Text, "c");
    canvas.SetCellRect(3, 3, vcl::Rect(200, 200, 210, 210));
    EXPECT_EQ(canvas.Cell(3, 3), nullptr) << "named but never drawn";

    std::string order;
    for (const auto& cell : canvas.Cells()) order += cell.Text;
    EXPECT_EQ(order, "abc") << "reading order: top to bottom, left to right";

    canvas.Clear();
    EXPECT_TRUE(canvas.Cells().empty());
    EXPECT_EQ(canvas.Cell(5, 5), nullptr);
    canvas.TextRect(c, 2, 21, "new paint");
    EXPECT_EQ(canvas.CellAt(c)->Col, -1) << "names belong to one paint";
}

TEST(CanvasTest, TextMetricsAreFixedPitchAndFollowTheFont) {
    TCanvas canvas;
    const int one = canvas.TextWidth("0");
    EXPECT_GT(one, 0);
    EXPECT_EQ(canvas.TextWidth("M\xFCller"), 6 * one);
    EXPECT_EQ(canvas.TextWidth(""), 0);
    EXPECT_EQ(canvas.TextHeight("x"), -vcl::TFont{}.Height);
    canvas.Font.Height = -26;
    EXPECT_GT(canvas.TextWidth("0"), one);
    EXPECT_EQ(canvas.TextHeight("x"), 26);
}

}  // namespace
