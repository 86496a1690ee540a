// The colour decision of a binding and the colour component that paints a grid with it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "binding/color_spaltwerk.h"
#include "binding_fixture.h"
#include "vcl/dbgrids.h"

namespace bindingtest {
namespace {

constexpr vcl::TColor kRule = 0x00FF00;  // explicit green

// A query over three rows whose values lie below, on and above the comparison values
// used below; a grid showing it; a colour component linking grid and binding.
class ColorTest : public BindingTest {
protected:
    ColorTest() {
        db->ExecSQL(
            "CREATE TABLE Werte(Txt VARCHAR(20), Num INTEGER, Flt REAL, Flag BOOLEAN, Day DATE, "
            "Nr INTEGER PRIMARY KEY AUTOINCREMENT);"
            "INSERT INTO Werte(Txt, Num, Flt, Flag, Day) VALUES ('Meie', 5, 2.25, 0, '2020-01-01'), "
            "('Meier', 10, 2.5, 1, '2020-06-15'), ('meier', 15, 2.75, 1, '2021-01-01')");
        query->SetSQL("SELECT * FROM Werte");
        binding->SetDataSet(query);
        source = new vcl::TDataSource(form);
        source->SetDataSet(query);
        grid = new vcl::TDBGrid(form);
        grid->SetDataSource(source);
        colour = new TColorSpaltwerk(form);
        colour->SETDBG(grid);
        colour->SETFST(binding);
        entry = StoreEntry(*main, "QUERY1", 0, "FORM1", {"TXT", "NUM", "FLT", "FLAG", "DAY", "NR"});
        main->Status = fsWORK;
    }
    ~ColorTest() override {
        if (main != nullptr) main->Status = fsOFF;
    }

    TFeld& Rule(int position) { return *std::next(entry->Fields.begin(), position); }
    void SetRule(int position, TFFUNKTION condition, std::string_view value, vcl::TColor color = kRule) {
        TFeld& rule = Rule(position);
        rule.Function = condition;
        rule.Value = value;
        rule.Color = color;
    }

    // For each row, 'x' when COLOR gives `expected` for the field, else '.'.
    std::string Coloured(std::string_view fieldName, vcl::TColor expected = kRule, TSpaltwerk* by = nullptr) {
        TSpaltwerk* b = by != nullptr ? by : binding;
        vcl::TField* field = b->DataSet()->FindField(fieldName);
        std::string marks;
        for (int row = 1; row <= b->DataSet()->RecordCount(); ++row) {
            b->DataSet()->SetRecNo(row);
            marks += b->COLOR(field, grid) == expected ? 'x' : '.';
        }
        return marks;
    }

    const vcl::TCanvasCell& PaintedCell(int col, int row) {
        const vcl::TCanvasCell* cell = grid->Canvas().Cell(col, row);
        if (cell == nullptr) throw std::runtime_error("cell not painted");
        return *cell;
    }

    vcl::TDataSource* source = nullptr;
    vcl::TDBGrid* grid = nullptr;
    TColorSpaltwerk* colour = nullptr;
    TFelder* entry = nullptr;
};

TEST_F(ColorTest, RulesHoldByTheFieldsDataType) {
    struct Column {
        const char* field;
        int position;
        const char* value;  // rows: below, equal, above
    };
    const Column columns[] = {
        {"Txt", 0, "Meier"}, {"Num", 1, "10"}, {"Flt", 2, "2,5"}, {"Day", 4, "15.06.2020"}};
    struct Condition {
        TFFUNKTION condition;
        const char* expected;
    };
    const Condition conditions[] = {
        {cfFalse, "..."},      {cfTrue, "xxx"},       {cfLower, "x.."},   {cfLowerEqual, "xx."},
        {cfEqual, ".x."},      {cfHigher, "..x"},     {cfHigherEqual, ".xx"}, {cfNot, "x.x"},
        {static_cast<TFFUNKTION>(8), "..."},
    };
    query->Open();
    for (const Column& col : columns)
        for (const Condition& c : conditions) {
            SetRule(col.position, c.condition, col.value);
            EXPECT_EQ(Coloured(col.field), c.expected) << col.field << " condition " << int(c.condition);
        }
}

TEST_F(ColorTest, MoreComparisons) {
    struct Case {
        const char* field;
        int position;
        TFFUNKTION condition;
        const char* value;
        const char* expected;
    };
    const Case cases[] = {
        // Letter case counts: capitals have the lower codes.
        {"Txt", 0, cfLower, "meier", "xx."},
        {"Txt", 0, cfEqual, "meier", "..x"},
        // Codes count unsigned: "\xC4" (an A with umlaut) lies above every ASCII letter.
        {"Txt", 0, cfLower, "\xC4pfel", "xxx"},
        {"Txt", 0, cfHigher, "\xC4pfel", "..."},
        // A Boolean compares with what StringToBool_ makes of the value (rows: F, T, T).
        {"Flag", 3, cfEqual, "true", ".xx"},
        {"Flag", 3, cfEqual, "Nein", "x.."},
        {"Flag", 3, cfLower, "T", "x.."},
        {"Flag", 3, cfHigher, "f", ".xx"},
        {"Flag", 3, cfNot, "T", "x.."},
        // A number is read leniently: letters are skipped.
        {"Num", 1, cfEqual, "1x0", ".x."},
        // A value that is no date compares with now, as an empty one does.
        {"Day", 4, cfLower, "kein Datum", "xxx"},
        {"Day", 4, cfLower, "", "xxx"},
        {"Day", 4, cfHigher, "  ", "..."},
        // An auto-increment field is never coloured.
        {"Nr", 5, cfTrue, "", "..."},
    };
    query->Open();
    for (const Case& c : cases) {
        SetRule(c.position, c.condition, c.value);
        EXPECT_EQ(Coloured(c.field), c.expected) << c.field << " " << int(c.condition) << " " << c.value;
    }
}

TEST_F(ColorTest, ADateWithoutValueIsLowerForTodayAndEarlier) {
    db->ExecSQL("CREATE TABLE Tage(Day DATE)");
    const vcl::TDateTime today = vcl::Date();
    for (int offset : {-1, 0, 1})
        db->ExecSQL("INSERT INTO Tage VALUES ('" + vcl::FormatDateTime("yyyy-mm-dd", today + offset) + "')");
    query->SetSQL("SELECT * FROM Tage");
    main->DeleteFelder(entry);
    entry = StoreEntry(*main, "QUERY1", 0, "FORM1", {"DAY"});
    SetRule(0, cfLower, "");
    query->Open();
    EXPECT_EQ(Coloured("Day"), "xx.");  // yesterday, today (midnight is before now), not tomorrow
}

TEST_F(ColorTest, NoRuleOrARuleThatFailsGivesTheGridsFixedColor) {
    query->Open();
    EXPECT_EQ(Coloured("Num", vcl::clBtnFace), "xxx");  // no rule set: cfFalse
    grid->FixedColor = 0x123456;
    SetRule(1, cfEqual, "10");
    EXPECT_EQ(Coloured("Num", 0x123456), "x.x");
    EXPECT_EQ(binding->COLOR(nullptr, grid), 0x123456);
}

TEST_F(ColorTest, AFieldPastPosition255IsNeverColoured) {
    std::string select = "SELECT ";
    std::vector<std::string> names;
    for (int i = 0; i < 258; ++i) {
        names.push_back("C" + std::to_string(i));
        select += (i ? ", " : "") + std::to_string(i) + " AS " + names.back();
    }
    query->SetSQL(select);
    main->DeleteFelder(entry);
    entry = StoreEntry(*main, "QUERY1", 0, "FORM1", names);
    for (TFeld& rule : entry->Fields) {
        rule.Function = cfTrue;
        rule.Color = kRule;
    }
    query->Open();
    EXPECT_EQ(binding->COLOR(query->FindField("C0"), grid), kRule);
    EXPECT_EQ(binding->COLOR(query->FindField("C255"), grid), kRule);
    EXPECT_EQ(binding->COLOR(query->FindField("C256"), grid), vcl::clBtnFace);
    EXPECT_EQ(binding->COLOR(query->FindField("C257"), grid), vcl::clBtnFace);
    EXPECT_EQ(binding->ColorTable()[255], &Rule(255));
}

TEST_F(ColorTest, RulesAreMatchedByPositionNotByName) {
    SetRule(0, cfTrue, "");  // stored for TXT
    query->Open();
    query->FindField("Num")->SetIndex(0);  // NUM now stands where TXT's rule applies
    EXPECT_EQ(Coloured("Num"), "xxx");
    EXPECT_EQ(Coloured("Txt"), "...");
}

TEST_F(ColorTest, NothingIsColouredWithoutAnEntryAppliedInWork) {
    SetRule(1, cfTrue, "");
    main->Status = fsLEARN;
    query->Open();
    EXPECT_EQ(Coloured("Num"), "...");
    query->Close();  // learns a new entry, without colour rules
    entry = main->FindFelder("Form1", "Query1", 0);
    SetRule(1, cfTrue, "");
    main->Status = fsWORK;
    query->Open();
    EXPECT_EQ(Coloured("Num"), "xxx");
    // Once applied, the rules paint whatever the store's status is now.
    for (TFSTATUS status : {fsLEARN, fsGO, fsOFF}) {
        main->Status = status;
        EXPECT_EQ(Coloured("Num"), "xxx") << int(status);
    }
}

TEST_F(ColorTest, PaintsTheBackgroundOrWhenSelectedTheText) {
    SetRule(1, cfHigherEqual, "10");
    query->Open();
    query->SetRecNo(2);  // the grid's selected row
    grid->SetSelectedIndex(1);
    grid->Paint();
    EXPECT_EQ(PaintedCell(1, 1).BrushColor, grid->Color);  // 5: the rule does not hold
    EXPECT_EQ(PaintedCell(1, 2).FontColor, kRule);         // selected: the text
    EXPECT_EQ(PaintedCell(1, 2).BrushColor, vcl::clHighlight);
    EXPECT_EQ(PaintedCell(1, 3).BrushColor, kRule);
    EXPECT_EQ(PaintedCell(1, 3).FontColor, grid->Font.Color);
    EXPECT_EQ(PaintedCell(1, 3).Text, "15");
    EXPECT_EQ(PaintedCell(0, 3).BrushColor, grid->Color);  // no rule, system FixedColor
    EXPECT_EQ(query->RecNo(), 2);
}

TEST_F(ColorTest, ColourMinusOneOrASystemColourLeavesCellsAsDrawnAnExplicitFixedColorPaintsThem) {
    SetRule(1, cfTrue, "", -1);
    SetRule(2, cfTrue, "", vcl::clHighlight);
    query->Open();
    grid->SetSelectedIndex(5);
    grid->Paint();
    EXPECT_EQ(PaintedCell(1, 2).BrushColor, grid->Color);
    EXPECT_EQ(PaintedCell(2, 2).BrushColor, grid->Color);

    grid->FixedColor = 0x0000FF;
    grid->SetSelectedIndex(0);
    grid->Paint();
    EXPECT_EQ(PaintedCell(0, 2).BrushColor, 0x0000FF);  // no rule: repainted with FixedColor
    EXPECT_EQ(PaintedCell(0, 1).FontColor, 0x0000FF);   // the selected cell: its text
    EXPECT_EQ(PaintedCell(1, 2).BrushColor, grid->Color);  // the rule held with -1
}

TEST_F(ColorTest, AGridShowingAnotherDataSetIsNotPainted) {
    int kept = 0;
    SetRule(1, cfTrue, "");
    grid->OnDrawDataCell = nullptr;
    colour->SETDBG(nullptr);
    grid->OnDrawDataCell = [&](vcl::TObject*, const vcl::TRect&, vcl::TField*, vcl::TGridDrawState) { ++kept; };
    colour->SETDBG(grid);
    query->Open();
    table->SetTableName("Werte");
    table->Open();
    source->SetDataSet(table);
    grid->Paint();
    EXPECT_GT(kept, 0);
    EXPECT_EQ(PaintedCell(1, 2).BrushColor, grid->Color);
    source->SetDataSet(query);
    grid->Paint();
    EXPECT_EQ(PaintedCell(1, 2).BrushColor, kRule);
}

TEST_F(ColorTest, SettingTheGridChainsItsHandlerOneDeepAndGivesItBack) {
    colour->SETDBG(nullptr);
    int kept = 0;
    grid->OnDrawDataCell = [&](vcl::TObject*, const vcl::TRect&, vcl::TField*, vcl::TGridDrawState) { ++kept; };
    colour->SETDBG(grid);
    colour->SETDBG(grid);
    query->Open();
    grid->Paint();
    const int cells = 3 * 6;
    EXPECT_EQ(kept, cells);
    auto* other = new vcl::TDBGrid(form);
    colour->SETDBG(other);
    EXPECT_EQ(grid->OnDrawDataCell.target<ColorDrawCellHandler>(), nullptr);
    grid->Paint();
    EXPECT_EQ(kept, 2 * cells);
    EXPECT_NE(other->OnDrawDataCell.target<ColorDrawCellHandler>(), nullptr);
}

TEST_F(ColorTest, NewRulesAreUsedAfterTheFieldsAreReplacedEvenByABindingSetAllColorOffMisses) {
    // A form of the same name that the application does not own, with a query of the
    // same name: its binding shares the entry, and SetAllColorOff does not reach it.
    vcl::TComponent outside(nullptr);
    auto* hidden = new vcl::TForm(&outside);
    hidden->SetName("Form1");
    auto* hiddenQuery = new vcl::TQuery(hidden);
    hiddenQuery->SetName("Query1");
    hiddenQuery->SetDatabase(db);
    hiddenQuery->SetSQL("SELECT * FROM Werte");
    auto* hiddenBinding = new TSpaltwerk(hidden);
    ASSERT_EQ(hiddenBinding->Main(), main);
    hiddenBinding->SetDataSet(hiddenQuery);
    SetRule(1, cfTrue, "");
    query->Open();
    hiddenQuery->Open();
    EXPECT_EQ(Coloured("Num"), "xxx");
    EXPECT_EQ(Coloured("Num", kRule, hiddenBinding), "xxx");

    // As the editor's Save does: new records in place of the old, then the notices.
    std::list<TFeld> replaced = entry->Fields;
    for (TFeld& f : replaced) f.Function = cfFalse;
    std::next(replaced.begin(), 1)->Function = cfEqual;
    std::next(replaced.begin(), 1)->Value = "15";
    entry->Fields = std::move(replaced);  // frees the records the colour tables point at
    main->FieldsReplaced();
    main->SetAllColorOff();
    EXPECT_TRUE(hiddenBinding->ColorOn);  // not reached
    EXPECT_EQ(Coloured("Num"), "..x");
    EXPECT_EQ(Coloured("Num", kRule, hiddenBinding), "..x");
    grid->Paint();
    EXPECT_EQ(PaintedCell(1, 3).BrushColor, kRule);
    EXPECT_EQ(PaintedCell(1, 2).BrushColor, grid->Color);
}

TEST_F(ColorTest, DestructionOrdersLeaveNothingDangling) {
    enum class First { Grid, Colour, Binding, Form };
    for (First first : {First::Grid, First::Colour, First::Binding, First::Form}) {
        SCOPED_TRACE(int(first));
        auto* screen = new vcl::TForm(&app);
        auto* g = new vcl::TDBGrid(screen);
        g->SetDataSource(source);
        int kept = 0;
        g->OnDrawDataCell = [&](vcl::TObject*, const vcl::TRect&, vcl::TField*, vcl::TGridDrawState) { ++kept; };
        auto* b = new TSpaltwerk(screen);
        b->SetDataSet(query);
        auto* c = new TColorSpaltwerk(screen);
        c->SETDBG(g);
        c->SETFST(b);
        SetRule(1, cfTrue, "");
        query->Open();
        g->Paint();
        switch (first) {
            case First::Grid:
                delete g;
                EXPECT_EQ(c->TDBGrid(), nullptr);
                break;
            case First::Colour:
                delete c;
                EXPECT_EQ(g->OnDrawDataCell.target<ColorDrawCellHandler>(), nullptr);
                kept = 0;
                g->Paint();
                EXPECT_EQ(kept, 18);  // the grid's own handler is back
                EXPECT_EQ(g->Canvas().Cell(1, 2)->BrushColor, g->Color);
                break;
            case First::Binding:
                delete b;
                EXPECT_EQ(c->TSpaltwerk(), nullptr);
                g->Paint();
                EXPECT_EQ(g->Canvas().Cell(1, 2)->BrushColor, g->Color);
                break;
            case First::Form:
                break;
        }
        query->Close();
        delete screen;
    }
}

TEST_F(ColorTest, AColourComponentDestroyedBeforeAnotherOnTheSameGridLeavesNoGap) {
    int kept = 0;
    colour->SETDBG(nullptr);
    grid->OnDrawDataCell = [&](vcl::TObject*, const vcl::TRect&, vcl::TField*, vcl::TGridDrawState) { ++kept; };
    colour->SETDBG(grid);
    auto* second = new TColorSpaltwerk(form);
    second->SETDBG(grid);  // keeps the first component's handler
    delete colour;
    colour = nullptr;
    query->Open();
    grid->Paint();
    EXPECT_EQ(kept, 18);
    delete second;
    EXPECT_EQ(grid->OnDrawDataCell.target<ColorDrawCellHandler>(), nullptr);
}

TEST(ColorNoApplicationTest, WithoutAnApplicationTheGridIsRememberedButNotHooked) {
    vcl::TDBGrid grid(nullptr);
    TColorSpaltwerk colour(nullptr);
    colour.SETDBG(&grid);
    EXPECT_EQ(colour.TDBGrid(), &grid);
    EXPECT_FALSE(grid.OnDrawDataCell);
    TSpaltwerk binding(nullptr);
    EXPECT_EQ(binding.COLOR(nullptr, &grid), grid.FixedColor);
    EXPECT_LT(binding.COLOR(nullptr, nullptr), 0);
}

}  // namespace
}  // namespace bindingtest
