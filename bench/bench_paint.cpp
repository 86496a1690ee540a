// Painting a screen of the data grid: 50 rows of 20 columns of a SQLite table whose rows
// are already read, with no draw-cell handler (the plain paint that colouring is compared
// with). Measured beside the same 1,000 cell texts produced without a grid (moving the
// cursor row by row and asking each field for its DisplayText); prints the ratio.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_tables.h"
#include "vcl/db.h"
#include "vcl/dbgrids.h"

namespace {

constexpr int kRows = 5000;
constexpr int kScreenRows = 50;

bench::PeopleDatabase& Bench() {
    static bench::PeopleDatabase instance(kRows, "paint");
    return instance;
}

void BM_GridPaint(benchmark::State& state) {
    bench::PeopleGrid screen(Bench().Database(), kScreenRows);
    for (auto _ : state) {
        screen.grid.Paint();
        benchmark::ClobberMemory();
    }
    const vcl::TTextGrid painted = screen.grid.PaintedScreen();
    if (painted.Rows.size() != kScreenRows + 1 || painted.ColWidths.size() != std::size(bench::kColumns))
        state.SkipWithError("the grid did not paint a full screen");
    state.SetItemsProcessed(state.iterations() * kScreenRows * static_cast<long long>(std::size(bench::kColumns)));
}

void BM_CellTextsWithoutGrid(benchmark::State& state) {
    bench::PeopleGrid screen(Bench().Database(), kScreenRows);
    vcl::TTable& table = screen.table;
    std::vector<std::string> texts(kScreenRows * std::size(bench::kColumns));
    for (auto _ : state) {
        std::size_t k = 0;
        table.First();
        for (int row = 0; row < kScreenRows && !table.Eof(); ++row) {
            for (int i = 0; i < table.FieldCount(); ++i) texts[k++] = table.Fields(i)->DisplayText();
            table.Next();
        }
        benchmark::DoNotOptimize(texts.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kScreenRows * static_cast<long long>(std::size(bench::kColumns)));
}

BENCHMARK(BM_GridPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CellTextsWithoutGrid)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    auto times = bench::RunBenchmarks(argc, argv, kRows, [] { Bench(); });
    const double a = times["BM_GridPaint"];
    const double b = times["BM_CellTextsWithoutGrid"];
    if (a > 0 && b > 0)
        std::printf("ratio A/B (grid paint of 50 x 20 cells / the same cell texts without a grid): %.2f\n", a / b);
    return 0;
}
