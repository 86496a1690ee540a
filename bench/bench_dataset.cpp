// Opening a table of a million rows and showing its first screen, as a bound dataset does:
// open, apply a stored layout to all 20 fields, read 50 rows, close. Measured beside SQLite
// alone preparing the same SELECT and reading 50 rows as text; prints the ratio.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_tables.h"
#include "vcl/db.h"
#include "vcl/dbtables.h"

namespace {

constexpr int kRows = 1000000;
constexpr int kScreenRows = 50;

bench::PeopleDatabase& Bench() {
    static bench::PeopleDatabase instance(kRows, "dataset");
    return instance;
}

// A stored layout as the package keeps it: upper-case names, reversed order, captions,
// every third field hidden, widths and display formats.
struct StoredField {
    std::string name, caption, format;
    int index;
    bool visible;
    int width;
};

std::vector<StoredField> StoredLayout() {
    std::vector<StoredField> layout;
    const int n = static_cast<int>(std::size(bench::kColumns));
    for (int i = 0; i < n; ++i) {
        std::string name = vcl::UpperCase(bench::kColumns[n - 1 - i].name);
        layout.push_back({name, "Caption " + name, "#,##0.00", i, i % 3 != 0, 8 + i});
    }
    return layout;
}

void BM_TableOpenLayoutFirstScreen(benchmark::State& state) {
    vcl::TDatabase& db = Bench().Database();
    const std::vector<StoredField> layout = StoredLayout();
    vcl::TTable table(nullptr);
    table.SetDatabase(&db);
    table.SetTableName("people");
    std::size_t bytes = 0;
    for (auto _ : state) {
        table.Open();
        for (int i = 0; i < table.FieldCount(); ++i) table.Fields(i)->SetVisible(false);
        for (const StoredField& s : layout) {
            vcl::TField* f = table.FindField(s.name);
            if (f == nullptr) continue;
            f->SetIndex(s.index);
            f->SetEditMask("");
            f->SetDisplayLabel(s.caption);
            f->SetReadOnly(false);
            f->SetVisible(s.visible);
            f->SetDisplayWidth(s.width);
            if (auto* numeric = dynamic_cast<vcl::TNumericField*>(f))
                numeric->SetDisplayFormat(s.format);
            else if (auto* moment = dynamic_cast<vcl::TDateTimeField*>(f))
                moment->SetDisplayFormat(s.format);
            else if (auto* flag = dynamic_cast<vcl::TBooleanField*>(f))
                flag->SetDisplayValues("Ja;Nein");
        }
        for (int row = 0; row < kScreenRows && !table.Eof(); ++row) {
            for (int i = 0; i < table.FieldCount(); ++i) bytes += table.Fields(i)->AsString().size();
            table.Next();
        }
        table.Close();
    }
    benchmark::DoNotOptimize(bytes);
}

void BM_SQLitePrepareFirstScreen(benchmark::State& state) {
    sqlite3* db = Bench().Database().Handle();
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes += bench::SQLiteFirstScreen(db, kScreenRows);
    }
    benchmark::DoNotOptimize(bytes);
}

BENCHMARK(BM_TableOpenLayoutFirstScreen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SQLitePrepareFirstScreen)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    auto times = bench::RunBenchmarks(argc, argv, kRows, [] { Bench(); });
    const double a = times["BM_TableOpenLayoutFirstScreen"];
    const double b = times["BM_SQLitePrepareFirstScreen"];
    if (a > 0 && b > 0)
        std::printf("ratio A/B (dataset open + layout + 50 rows / SQLite prepare + 50 rows): %.2f (target <= 2)\n",
                    a / b);
    return 0;
}
