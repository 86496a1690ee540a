// The colour decision on the paint path. First COLOR for one cell with a warm colour table,
// for a numeric, a text and a date rule, beside reading the same cell's value alone. Then a
// screen of 50 rows x 20 columns (rows already read) painted with a colour component and
// four rules, beside the same paint without one. Prints the ratios.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench_tables.h"
#include "binding/color_spaltwerk.h"
#include "binding/spaltwerk.h"
#include "store/main_spaltwerk.h"
#include "store/records.h"
#include "vcl/dbgrids.h"
#include "vcl/forms.h"

namespace {

using spaltwerk::TFeld;
using spaltwerk::TFelder;

constexpr int kRows = 5000;
constexpr int kScreenRows = 50;
constexpr vcl::TColor kRuleColour = 0x00C0FF;

bench::PeopleDatabase& Bench() {
    static bench::PeopleDatabase instance(kRows, "color");
    return instance;
}

struct RuleSpec {
    const char* field;
    spaltwerk::TFFUNKTION condition;
    const char* value;
};

// Rules that hold for part of the first screen: a number, an amount, a text and a date.
constexpr RuleSpec kRules[] = {
    {"qty", spaltwerk::cfHigher, "25"},
    {"amount", spaltwerk::cfHigher, "5"},
    {"name", spaltwerk::cfLower, "Name 3"},
    {"born", spaltwerk::cfLower, "01.01.1990"},
};

// An application with the store and a grid of "people" whose table is bound by a
// binding that applied an entry naming all 20 fields (in table order) with the rules.
class ColouredScreen {
public:
    explicit ColouredScreen(bool withColour) : screen_(Bench().Database(), kScreenRows) {
        form_ = new vcl::TForm(&app_);
        store_ = new spaltwerk::TMainSpaltwerk(form_);
        StoreEntry();
        store_->Status = spaltwerk::fsWORK;
        binding_ = new spaltwerk::TSpaltwerk(form_);
        vcl::TTable& table = screen_.table;
        table.SetName("People");
        binding_->SetDataSet(&table);
        table.Close();
        table.Open();  // the binding applies the entry
        table.Last();
        table.First();
        if (withColour) {
            auto* colour = new spaltwerk::TColorSpaltwerk(form_);
            colour->SETDBG(&screen_.grid);
            colour->SETFST(binding_);
        }
    }
    ~ColouredScreen() {
        store_->Status = spaltwerk::fsOFF;  // nothing to write
        delete form_;  // its components let go of the grid and the table first
    }
    ColouredScreen(const ColouredScreen&) = delete;
    ColouredScreen& operator=(const ColouredScreen&) = delete;

    vcl::TDBGrid& Grid() { return screen_.grid; }
    vcl::TTable& Table() { return screen_.table; }
    spaltwerk::TSpaltwerk& Binding() { return *binding_; }

private:
    void StoreEntry() {
        auto entry = std::make_unique<TFelder>();
        entry->DataSetName = "People";
        TFelder* stored = store_->FELDER_ADD(std::move(entry));
        for (const bench::Column& column : bench::kColumns) {
            auto feld = std::make_unique<TFeld>();
            feld->FieldName = column.name;
            feld->Caption = column.name;
            feld->Visible = true;
            feld->Length = 12;
            for (const RuleSpec& rule : kRules)
                if (std::string(rule.field) == column.name) {
                    feld->Function = rule.condition;
                    feld->Value = rule.value;
                    feld->Color = kRuleColour;
                }
            store_->FELD_ADD(stored, std::move(feld));
        }
    }

    vcl::TApplication app_;
    bench::PeopleGrid screen_;
    vcl::TForm* form_ = nullptr;
    spaltwerk::TMainSpaltwerk* store_ = nullptr;
    spaltwerk::TSpaltwerk* binding_ = nullptr;
};

// COLOR for the cell of one field on record 20, the table warm.
void ColorOfOneCell(benchmark::State& state, const char* fieldName) {
    ColouredScreen screen(true);
    screen.Table().SetRecNo(20);
    vcl::TField* field = screen.Table().FindField(fieldName);
    vcl::TDBGrid* grid = &screen.Grid();
    screen.Binding().COLOR(field, grid);  // builds the table
    for (auto _ : state) benchmark::DoNotOptimize(screen.Binding().COLOR(field, grid));
}

void BM_ColorNumeric(benchmark::State& state) { ColorOfOneCell(state, "qty"); }
void BM_ColorText(benchmark::State& state) { ColorOfOneCell(state, "name"); }
void BM_ColorDate(benchmark::State& state) { ColorOfOneCell(state, "born"); }

// The baseline: the same numeric cell's value alone.
void BM_ReadNumericValue(benchmark::State& state) {
    ColouredScreen screen(false);
    screen.Table().SetRecNo(20);
    vcl::TField* field = screen.Table().FindField("qty");
    for (auto _ : state) benchmark::DoNotOptimize(field->AsFloat());
}

void PaintScreen(benchmark::State& state, bool withColour) {
    ColouredScreen screen(withColour);
    for (auto _ : state) {
        screen.Grid().Paint();
        benchmark::ClobberMemory();
    }
    const vcl::TCanvasCell* born = screen.Grid().Canvas().Cell(9, 2);
    if (born == nullptr || (born->BrushColor == kRuleColour) != withColour)
        state.SkipWithError("the screen was not painted as expected");
    state.SetItemsProcessed(state.iterations() * kScreenRows * static_cast<long long>(std::size(bench::kColumns)));
}

void BM_PaintWithColour(benchmark::State& state) { PaintScreen(state, true); }
void BM_PaintWithoutColour(benchmark::State& state) { PaintScreen(state, false); }

BENCHMARK(BM_ColorNumeric);
BENCHMARK(BM_ColorText);
BENCHMARK(BM_ColorDate);
BENCHMARK(BM_ReadNumericValue);
BENCHMARK(BM_PaintWithColour)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintWithoutColour)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    auto times = bench::RunBenchmarks(argc, argv, kRows, [] { Bench(); });
    auto& t = times;
    const double read = t["BM_ReadNumericValue"];
    for (const char* name : {"BM_ColorNumeric", "BM_ColorText", "BM_ColorDate"})
        if (t[name] > 0 && read > 0)
            std::printf("%s: %.1f ns per cell, %.2f x reading the value alone%s\n", name, t[name], t[name] / read,
                        std::string(name) == "BM_ColorNumeric" ? " (target < 50 ns)" : "");
    const double with = t["BM_PaintWithColour"], without = t["BM_PaintWithoutColour"];
    if (with > 0 && without > 0)
        std::printf("ratio (paint 50 x 20 with colouring / without): %.2f (target <= 1.5)\n", with / without);
    return 0;
}
