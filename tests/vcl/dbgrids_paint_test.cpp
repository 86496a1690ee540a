// The data grid: what a paint shows, how it walks the dataset, the draw-cell event, the
// selected cell, lifetimes, and rendering as terminal text.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "vcl/db.h"
#include "vcl/dbgrids.h"
#include "vcl/dbtables.h"
#include "vcl/forms.h"
#include "vcl/terminal.h"

namespace {

using namespace vcl;

using Texts = std::vector<std::vector<std::string>>;

Texts TextsOf(const TTextGrid& grid) {
    Texts texts;
    for (const auto& row : grid.Rows) {
        texts.emplace_back();
        for (const TTextCell& cell : row) texts.back().push_back(cell.Text);
    }
    return texts;
}

// A form with a dataset of five people, a data source and a grid showing them.
class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        FormatSettings = TFormatSettings{};
        Build();
    }
    void TearDown() override { FormatSettings = TFormatSettings{}; }

    // A new form with everything on it (the old one, if any, goes with what it owns).
    void Build() {
        form = std::make_unique<TForm>(nullptr);
        ds = new TMemDataSet(form.get());
        source = new TDataSource(form.get());
        grid = new TDBGrid(form.get());
        ds->SetName("People");
        ds->AddFieldDef("Id", ftInteger);
        ds->AddFieldDef("Name", ftString, 8);
        ds->AddFieldDef("Amount", ftCurrency);
        ds->AddFieldDef("Born", ftDate);
        ds->AppendRecord({1LL, "Anna", 1234.5, "1980-05-17"});
        ds->AppendRecord({2LL, "Bert", -3.0, Null});
        ds->AppendRecord({3LL, "Cleo", 0.0, "1999-12-31"});
        ds->AppendRecord({4LL, "Dora", 99.99, "2001-01-01"});
        ds->AppendRecord({5LL, "Emil", Null, "2024-02-29"});
        ds->Open();
        source->SetDataSet(ds);
        grid->SetDataSource(source);
    }

    TField* F(const char* name) const { return ds->FieldByName(name); }
    Texts Painted() {
        grid->Paint();
        return TextsOf(grid->PaintedScreen());
    }

    std::unique_ptr<TForm> form;
    TMemDataSet* ds = nullptr;
    TDataSource* source = nullptr;
    TDBGrid* grid = nullptr;
};

TEST_F(GridTest, Defaults) {
    TDBGrid fresh(nullptr);
    EXPECT_EQ(fresh.DataSource(), nullptr);
    EXPECT_EQ(fresh.DataSet(), nullptr);
    EXPECT_EQ(fresh.FixedColor, clBtnFace);
    EXPECT_LT(fresh.FixedColor, 0) << "a system colour";
    EXPECT_EQ(fresh.Color, clWindow);
    EXPECT_EQ(fresh.Font.Color, clWindowText);
    EXPECT_EQ(fresh.TopRow(), 1);
    EXPECT_EQ(fresh.VisibleRowCount(), 10);
    EXPECT_EQ(fresh.SelectedIndex(), 0);
    EXPECT_EQ(fresh.SelectedRow(), 0);
    EXPECT_EQ(fresh.SelectedField(), nullptr);
    EXPECT_FALSE(fresh.OnDrawDataCell);
    EXPECT_EQ(grid->Parent(), form.get()) << "a control on its owner form";
}

TEST_F(GridTest, TitlesWidthsAndColours) {
    F("Amount")->SetDisplayLabel("Betrag");
    F("Name")->SetDisplayWidth(12);
    const Texts texts = Painted();
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[0], (std::vector<std::string>{"Id", "Name", "Betrag", "Born"}));
    EXPECT_EQ(texts[1], (std::vector<std::string>{"1", "Anna", "1.234,50", "17.05.1980"}));
    EXPECT_EQ(texts[2], (std::vector<std::string>{"2", "Bert", "-3,00", ""}));
    EXPECT_EQ(texts[5], (std::vector<std::string>{"5", "Emil", "", "29.02.2024"}));

    const TTextGrid screen = grid->PaintedScreen();
    EXPECT_EQ(screen.ColWidths, (std::vector<int>{11, 12, 10, 10}));
    for (const TTextCell& title : screen.Rows[0]) {
        EXPECT_EQ(title.BrushColor, clBtnFace);
        EXPECT_EQ(title.FontColor, clWindowText);
        EXPECT_FALSE(title.RightAlign);
    }
    const TTextCell& plain = screen.Rows[2][1];
    EXPECT_EQ(plain.BrushColor, clWindow);
    EXPECT_EQ(plain.FontColor, clWindowText);
    EXPECT_TRUE(screen.Rows[2][0].RightAlign) << "numbers stand at the right";
    EXPECT_TRUE(screen.Rows[2][2].RightAlign);
    EXPECT_FALSE(screen.Rows[2][1].RightAlign);

    // The grid's own colours and font colour are what cells are drawn with.
    grid->FixedColor = clGray;
    grid->Color = clYellow;
    grid->Font.Color = clNavy;
    grid->Paint();
    const TTextGrid recoloured = grid->PaintedScreen();
    EXPECT_EQ(recoloured.Rows[0][3].BrushColor, clGray);
    EXPECT_EQ(recoloured.Rows[3][3].BrushColor, clYellow);
    EXPECT_EQ(recoloured.Rows[3][3].FontColor, clNavy);
}

TEST_F(GridTest, HiddenFieldsAreSkippedAndColumnsFollowFieldOrder) {
    F("Born")->SetVisible(false);
    F("Amount")->SetIndex(0);
    Texts texts = Painted();
    EXPECT_EQ(texts[0], (std::vector<std::string>{"Amount", "Id", "Name"}));
    EXPECT_EQ(texts[4], (std::vector<std::string>{"99,99", "4", "Dora"}));
    EXPECT_EQ(grid->PaintedScreen().ColWidths, (std::vector<int>{10, 11, 8}));

    for (int i = 0; i < ds->FieldCount(); ++i) ds->Fields(i)->SetVisible(false);
    EXPECT_TRUE(Painted().empty()) << "no visible field: nothing to show";
}

TEST_F(GridTest, RowsRunFromTopRowAndStopAtTheEndOfTheData) {
    const struct {
        int top, visible;
        std::vector<std::string> ids;
    } cases[] = {
        {1, 10, {"1", "2", "3", "4", "5"}},
        {1, 3, {"1", "2", "3"}},
        {4, 3, {"4", "5"}},
        {5, 1, {"5"}},
        {6, 10, {}},
        {1, 0, {}},
        {-7, 2, {"1", "2"}},  // taken as 1
    };
    for (const auto& c : cases) {
        grid->SetTopRow(c.top);
        grid->SetVisibleRowCount(c.visible);
        const Texts texts = Painted();
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts[0][0], "Id") << "titles are always there";
        std::vector<std::string> ids;
        for (std::size_t r = 1; r < texts.size(); ++r) ids.push_back(texts[r][0]);
        EXPECT_EQ(ids, c.ids) << "TopRow " << c.top << ", " << c.visible << " rows";
    }
}

TEST_F(GridTest, EachRowIsDrawnOnItsRecordAndTheCursorIsPutBackExactly) {
    std::vector<std::string> seen;
    grid->OnDrawDataCell = [&](TObject*, const TRect&, TField* field, TGridDrawState) {
        if (field->FieldName() == "Name") seen.push_back(IntToStr(field->DataSet()->RecNo()) + ":" + field->AsString());
    };
    // Where the cursor may stand when a paint begins, including on either edge.
    const struct {
        const char* name;
        std::function<void()> place;
    } places[] = {
        {"just opened", [&] { ds->First(); }},
        {"middle", [&] { ds->SetRecNo(3); }},
        {"past the end", [&] { ds->Last(); ds->Next(); }},
        {"on the last, not past it", [&] { ds->Last(); ds->Prior(); ds->Next(); }},
        {"before the start", [&] { ds->SetRecNo(2); ds->Prior(); ds->Prior(); }},
    };
    grid->SetTopRow(2);
    grid->SetVisibleRowCount(3);
    for (const auto& p : places) {
        p.place();
        const TDataSet::TBookmark before = ds->GetBookmark();
        seen.clear();
        grid->Paint();
        EXPECT_EQ(seen, (std::vector<std::string>{"2:Bert", "3:Cleo", "4:Dora"})) << p.name;
        const TDataSet::TBookmark after = ds->GetBookmark();
        EXPECT_EQ(after.Record, before.Record) << p.name;
        EXPECT_EQ(after.Eof, before.Eof) << p.name;
        EXPECT_EQ(after.Bof, before.Bof) << p.name;
    }
    ds->Close();
    EXPECT_THROW(ds->GotoBookmark({}), EDatabaseError);
}

TEST_F(GridTest, DrawDataCellIsCalledForEveryDataCellWithItsRectFieldAndState) {
    F("Born")->SetVisible(false);
    ds->SetRecNo(2);
    grid->SetSelectedIndex(1);
    struct Call {
        TObject* sender;
        TRect rect;
        TField* field;
        TGridDrawState state;
        int recNo;
    };
    std::vector<Call> calls;
    grid->OnDrawDataCell = [&](TObject* sender, const TRect& rect, TField* field, TGridDrawState state) {
        calls.push_back({sender, rect, field, state, ds->RecNo()});
    };
    grid->Paint();
    ASSERT_EQ(calls.size(), 15u) << "5 rows of 3 columns, no title cells";
    const TField* columns[] = {F("Id"), F("Name"), F("Amount")};
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const Call& call = calls[i];
        const int row = static_cast<int>(i / 3) + 1, col = static_cast<int>(i % 3);
        EXPECT_EQ(call.sender, grid);
        EXPECT_EQ(call.field, columns[col]);
        EXPECT_EQ(call.recNo, row);
        const TCanvasCell* drawn = grid->Canvas().Cell(col, row);
        ASSERT_NE(drawn, nullptr);
        EXPECT_EQ(call.rect, drawn->Rect) << "the rectangle the grid drew the cell in";
        const bool selected = row == 2 && col == 1;
        EXPECT_EQ(call.state.Contains(gdSelected), selected) << "row " << row << " col " << col;
        EXPECT_FALSE(call.state.Contains(gdFixed));
        EXPECT_FALSE(call.state.Contains(gdFocused));
    }
}

TEST_F(GridTest, SelectedCellIsDrawnInHighlightColours) {
    ds->SetRecNo(3);
    grid->SetSelectedField(F("Amount"));
    EXPECT_EQ(grid->SelectedIndex(), 2);
    EXPECT_EQ(grid->SelectedField(), F("Amount"));
    EXPECT_EQ(grid->SelectedRow(), 3);
    grid->Paint();
    const TTextGrid screen = grid->PaintedScreen();
    for (std::size_t r = 1; r < screen.Rows.size(); ++r)
        for (std::size_t c = 0; c < screen.Rows[r].size(); ++c) {
            const bool selected = r == 3 && c == 2;
            EXPECT_EQ(screen.Rows[r][c].BrushColor, selected ? clHighlight : clWindow) << r << "," << c;
            EXPECT_EQ(screen.Rows[r][c].FontColor, selected ? clHighlightText : clWindowText) << r << "," << c;
        }

    // Selecting a row moves the dataset, as any data-aware control does.
    grid->SetSelectedRow(5);
    EXPECT_EQ(ds->RecNo(), 5);
    grid->SetSelectedIndex(99);
    EXPECT_EQ(grid->SelectedField(), F("Born")) << "beyond the last column: the last column";
    grid->Paint();
    EXPECT_EQ(grid->PaintedScreen().Rows[5][3].BrushColor, clHighlight);

    F("Name")->SetVisible(false);
    EXPECT_THROW(grid->SetSelectedField(F("Name")), EInvalidOperation);
    EXPECT_THROW(grid->SetSelectedField(nullptr), EInvalidOperation);
    ds->Close();
    EXPECT_EQ(grid->SelectedRow(), 0);
    EXPECT_EQ(grid->SelectedField(), nullptr);
    EXPECT_THROW(grid->SetSelectedRow(1), EDatabaseError);
    grid->SetDataSource(nullptr);
    EXPECT_THROW(grid->SetSelectedRow(1), EDatabaseError);
}

TEST_F(GridTest, HandlerRepaintingWithOtherColoursShowsInThePaintedScreen) {
    // A colouring handler as an application writes it: negative amounts on red, and the
    // selected cell's text in red instead.
    ds->SetRecNo(2);
    grid->SetSelectedField(F("Amount"));
    grid->OnDrawDataCell = [&](TObject* sender, const TRect& rect, TField* field, TGridDrawState state) {
        auto* g = static_cast<TDBGrid*>(sender);
        if (field->FieldName() != "Amount" || field->IsNull() || field->AsFloat() >= 0) return;
        if (state.Contains(gdSelected))
            g->Canvas().Font.Color = clRed;
        else
            g->Canvas().Brush.Color = clRed;
        g->DefaultDrawDataCell(rect, field, state);
    };
    ds->AppendRecord({6LL, "Fritz", -10.0, Null});
    grid->Paint();
    const TTextGrid screen = grid->PaintedScreen();
    ASSERT_EQ(screen.Rows.size(), 7u) << "the record appended while open is shown too";
    const TTextCell& selectedNegative = screen.Rows[2][2];
    EXPECT_EQ(selectedNegative.Text, "-3,00");
    EXPECT_EQ(selectedNegative.FontColor, clRed);
    EXPECT_EQ(selectedNegative.BrushColor, clHighlight);
    const TTextCell& negative = screen.Rows[6][2];
    EXPECT_EQ(negative.Text, "-10,00");
    EXPECT_EQ(negative.BrushColor, clRed);
    EXPECT_EQ(negative.FontColor, clWindowText);
    EXPECT_EQ(screen.Rows[1][2].BrushColor, clWindow) << "cells the rule leaves alone";
}

TEST_F(GridTest, DefaultDrawDataCellUsesTheCanvasColoursAndAlignsByField) {
    grid->Canvas().Font.Color = clLime;
    grid->Canvas().Brush.Color = clPurple;
    const TRect r = Rect(10, 20, 80, 35);
    ds->SetRecNo(1);
    grid->DefaultDrawDataCell(r, F("Amount"), {});
    const TCanvasCell* cell = grid->Canvas().CellAt(r);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->Text, "1.234,50");
    EXPECT_EQ(cell->FontColor, clLime);
    EXPECT_EQ(cell->BrushColor, clPurple);
    EXPECT_EQ(cell->TextX + cell->TextWidth, r.Right - 2) << "numbers end at the right edge";
    grid->DefaultDrawDataCell(r, F("Name"), {});
    EXPECT_EQ(cell->Text, "Anna");
    EXPECT_EQ(cell->TextX, r.Left + 2);
    grid->DefaultDrawDataCell(r, nullptr, {});
    EXPECT_EQ(cell->Text, "") << "no field: an empty cell";
}

TEST_F(GridTest, WithoutAnOpenDatasetTheGridIsEmpty) {
    grid->Paint();
    ASSERT_FALSE(grid->PaintedScreen().Rows.empty());
    ds->Close();
    EXPECT_TRUE(Painted().empty());
    EXPECT_EQ(RenderGridText(*grid, false), "");
    ds->Open();
    source->SetDataSet(nullptr);
    EXPECT_TRUE(Painted().empty());
    source->SetDataSet(ds);
    grid->SetDataSource(nullptr);
    EXPECT_TRUE(Painted().empty());
}

TEST_F(GridTest, LinkedComponentsDestroyedFirstLeaveNothingDangling) {
    delete ds;
    EXPECT_EQ(source->DataSet(), nullptr);
    EXPECT_EQ(grid->DataSet(), nullptr);
    EXPECT_TRUE(Painted().empty());
    delete source;
    EXPECT_EQ(grid->DataSource(), nullptr);
    EXPECT_TRUE(Painted().empty());

    // And the other way round: a grid and source going first unlink themselves.
    auto other = std::make_unique<TMemDataSet>(nullptr);
    other->AddFieldDef("X", ftInteger);
    other->Open();
    auto src = std::make_unique<TDataSource>(nullptr);
    src->SetDataSet(other.get());
    auto g = std::make_unique<TDBGrid>(nullptr);
    g->SetDataSource(src.get());
    g.reset();
    src.reset();
    other.reset();  // would touch freed listeners if any were left registered
}

// What a draw-cell handler may do to the things being painted, and how far the paint gets.
TEST_F(GridTest, HandlerFreeingOrClosingWhatIsPaintedStopsThePaint) {
    const struct {
        const char* name;
        std::function<void()> act;
        bool gridSurvives;
        bool cursorKept;
    } cases[] = {
        {"closes the dataset", [this] { ds->Close(); }, true, false},
        {"closes and reopens the dataset", [this] { ds->Close(); ds->Open(); }, true, false},
        {"frees the dataset", [this] { delete ds; ds = nullptr; }, true, false},
        {"frees the data source", [this] { delete source; source = nullptr; }, true, true},
        {"unlinks the grid", [this] { grid->SetDataSource(nullptr); }, true, true},
        {"frees the grid", [this] { delete grid; grid = nullptr; }, false, true},
        {"frees the whole form", [this] {
             form.reset();
             ds = nullptr;
             source = nullptr;
             grid = nullptr;
         }, false, false},
    };
    for (const auto& c : cases) {
        Build();
        ds->SetRecNo(4);
        int calls = 0;
        grid->OnDrawDataCell = [&, act = c.act](TObject*, const TRect&, TField*, TGridDrawState) {
            if (++calls == 6) act();  // the second row's second cell
        };
        TDataSet* const watched = ds;
        grid->Paint();
        EXPECT_EQ(calls, 6) << c.name << ": nothing is painted after the handler";
        EXPECT_EQ(grid != nullptr, c.gridSurvives) << c.name;
        if (c.cursorKept) {
            EXPECT_EQ(watched->RecNo(), 4) << c.name;
        }
        if (grid != nullptr) {
            const Texts texts = TextsOf(grid->PaintedScreen());
            ASSERT_GE(texts.size(), 3u) << c.name << ": what was painted stays";
            EXPECT_EQ(texts[2][0], "2") << c.name;
            grid->OnDrawDataCell = nullptr;
            grid->Paint();  // and the grid still paints
        }
    }
}

TEST_F(GridTest, HandlerErrorsGoToTheApplicationOrPropagate) {
    ds->SetRecNo(2);
    int calls = 0;
    grid->OnDrawDataCell = [&](TObject*, const TRect&, TField*, TGridDrawState) {
        ++calls;
        throw EConvertError("bad cell");
    };
    {
        TApplication app;
        std::vector<std::string> reported;
        app.OnException = [&](TObject* sender, const std::exception& e) {
            EXPECT_EQ(sender, grid);
            reported.push_back(e.what());
        };
        grid->Paint();
        EXPECT_EQ(calls, 20) << "every cell is still painted";
        EXPECT_EQ(reported.size(), 20u);
        EXPECT_EQ(ds->RecNo(), 2);
    }
    ASSERT_EQ(Application, nullptr);
    calls = 0;
    EXPECT_THROW(grid->Paint(), EConvertError);
    EXPECT_EQ(calls, 1) << "without an application the first error ends the paint";
    EXPECT_EQ(ds->RecNo(), 2) << "the cursor is back where it was";
    grid->OnDrawDataCell = nullptr;
    EXPECT_EQ(Painted().size(), 6u) << "the grid paints again";
}

TEST_F(GridTest, APaintKeepsTheSettingsItBeganWith) {
    grid->OnDrawDataCell = [&](TObject*, const TRect&, TField*, TGridDrawState) {
        grid->SetVisibleRowCount(1);
        grid->SetTopRow(3);
        grid->Color = clRed;
        grid->Font.Color = clBlue;
    };
    const TTextGrid screen = (grid->Paint(), grid->PaintedScreen());
    ASSERT_EQ(screen.Rows.size(), 6u);
    EXPECT_EQ(screen.Rows[5][0].Text, "5");
    EXPECT_EQ(screen.Rows[5][1].BrushColor, clWindow);
    EXPECT_EQ(screen.Rows[5][1].FontColor, clWindowText);
    EXPECT_EQ(Painted().size(), 2u) << "the next paint takes the new settings";
    EXPECT_EQ(grid->PaintedScreen().Rows[1][1].BrushColor, clRed);
}

TEST_F(GridTest, PaintFromInsideAHandlerDoesNothing) {
    int calls = 0;
    grid->OnDrawDataCell = [&](TObject*, const TRect&, TField*, TGridDrawState) {
        ++calls;
        grid->Paint();
    };
    const Texts texts = Painted();
    EXPECT_EQ(calls, 20);
    EXPECT_EQ(texts.size(), 6u) << "the outer paint is whole";
}

TEST_F(GridTest, RendersAsPlainOrColouredTerminalText) {
    F("Born")->SetVisible(false);
    F("Id")->SetDisplayWidth(3);
    F("Name")->SetDisplayWidth(6);
    F("Name")->SetDisplayLabel("N\xE4me");
    grid->SetVisibleRowCount(2);
    ds->SetRecNo(1);
    grid->SetSelectedIndex(1);
    grid->Paint();
    const std::string plain = RenderGridText(*grid, false);
    EXPECT_EQ(plain,
              "Id |N\xC3\xA4me  |Amount    \n"
              "  1|Anna  |  1.234,50\n"
              "  2|Bert  |     -3,00\n");
    const std::string colour = RenderGridText(*grid, true);
    EXPECT_EQ(StripEscapes(colour), plain);
    EXPECT_NE(colour.find("\x1b[38;2;0;0;0m\x1b[48;2;192;192;192mId "), std::string::npos) << "title on button face";
    EXPECT_NE(colour.find("\x1b[38;2;255;255;255m\x1b[48;2;0;0;128mAnna  "), std::string::npos)
        << "selected cell in the highlight colours";
    EXPECT_NE(colour.find("\x1b[38;2;0;0;0m\x1b[48;2;255;255;255m  1"), std::string::npos) << "data on window white";
}

TEST_F(GridTest, RenderedFormShowsTheLastPaint) {
    grid->SetBounds(8, 24, 8 * 40, 24 * 3);
    EXPECT_NE(RenderFormText(*form).find("<"), std::string::npos) << "before a paint: a placeholder";
    F("Id")->SetDisplayWidth(3);
    grid->Paint();
    const std::string text = RenderFormText(*form);
    EXPECT_NE(text.find("Id |Name    |"), std::string::npos) << text;
    EXPECT_NE(text.find("  1|Anna    |"), std::string::npos) << text;
}

TEST(GridOnSQLiteTest, ShowsATableThroughItsDeclaredTypes) {
    FormatSettings = TFormatSettings{};
    TDatabase db(nullptr, ":memory:");
    db.ExecSQL(
        "CREATE TABLE orders(id INTEGER, customer VARCHAR(10), total CURRENCY, paid BOOLEAN, due DATE);"
        "INSERT INTO orders VALUES (1, 'K\xF6nig', 1999.9, 1, '2024-03-01');"
        "INSERT INTO orders VALUES (2, 'Wei\xDF', NULL, 0, NULL);");
    TTable table(nullptr);
    table.SetDatabase(&db);
    table.SetTableName("orders");
    table.Open();
    static_cast<TBooleanField*>(table.FieldByName("paid"))->SetDisplayValues("Ja;Nein");
    TDataSource source(nullptr);
    source.SetDataSet(&table);
    TDBGrid grid(nullptr);
    grid.SetDataSource(&source);
    grid.Paint();
    EXPECT_EQ(TextsOf(grid.PaintedScreen()), (Texts{{"id", "customer", "total", "paid", "due"},
                                                    {"1", "K\xF6nig", "1.999,90", "Ja", "01.03.2024"},
                                                    {"2", "Wei\xDF", "", "Nein", ""}}));
    EXPECT_EQ(grid.PaintedScreen().ColWidths, (std::vector<int>{11, 10, 10, 5, 10}));
}

}  // namespace
