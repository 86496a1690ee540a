// Opening a bound table of a million rows in fsWORK: the binding applies a stored entry
// naming all 20 fields, then the first 50 rows are read. Measured beside SQLite alone
// preparing the same SELECT and stepping 50 rows; prints the ratio.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench_tables.h"
#include "binding/spaltwerk.h"
#include "store/main_spaltwerk.h"
#include "store/records.h"
#include "vcl/dbtables.h"
#include "vcl/forms.h"

namespace {

using bench::kColumns;
using spaltwerk::TFeld;
using spaltwerk::TFelder;

constexpr int kRows = 1000000;
constexpr int kScreenRows = 50;

bench::PeopleDatabase& Bench() {
    static bench::PeopleDatabase instance(kRows, "apply");
    return instance;
}

// Reversed order, captions, every third field hidden, widths and display formats.
void StoreLayout(spaltwerk::TMainSpaltwerk& store) {
    auto entry = std::make_unique<TFelder>();
    entry->DataSetName = "People";
    entry->FormName = "Form1";
    TFelder* stored = store.FELDER_ADD(std::move(entry));
    const int n = static_cast<int>(std::size(kColumns));
    for (int i = 0; i < n; ++i) {
        auto feld = std::make_unique<TFeld>();
        feld->FieldName = kColumns[n - 1 - i].name;
        feld->Caption = std::string("Caption ") + kColumns[n - 1 - i].name;
        feld->DisplayMask = "#,##0.00";
        feld->Visible = i % 3 != 0;
        feld->Length = 8 + i;
        store.FELD_ADD(stored, std::move(feld));
    }
}

void BM_BoundTableOpenFirstScreen(benchmark::State& state) {
    vcl::TApplication app;
    auto* form = new vcl::TForm(&app);
    form->SetName("Form1");
    auto* store = new spaltwerk::TMainSpaltwerk(form);
    StoreLayout(*store);
    store->Status = spaltwerk::fsWORK;
    auto* table = new vcl::TTable(form);
    table->SetName("People");
    table->SetDatabase(&Bench().Database());
    table->SetTableName("people");
    auto* binding = new spaltwerk::TSpaltwerk(form);
    binding->SetDataSet(table);

    std::size_t bytes = 0;
    for (auto _ : state) {
        table->Open();
        for (int row = 0; row < kScreenRows && !table->Eof(); ++row) {
            for (int i = 0; i < table->FieldCount(); ++i) bytes += table->Fields(i)->AsString().size();
            table->Next();
        }
        table->Close();
    }
    if (binding->CurrentFelder() != nullptr || table->Active()) state.SkipWithError("not closed");
    store->Status = spaltwerk::fsOFF;  // nothing to write
    benchmark::DoNotOptimize(bytes);
}

void BM_SQLiteFirstScreen(benchmark::State& state) {
    sqlite3* db = Bench().Database().Handle();
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes += bench::SQLiteFirstScreen(db, kScreenRows);
    }
    benchmark::DoNotOptimize(bytes);
}

BENCHMARK(BM_BoundTableOpenFirstScreen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SQLiteFirstScreen)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    auto times = bench::RunBenchmarks(argc, argv, kRows, [] { Bench(); });
    const double a = times["BM_BoundTableOpenFirstScreen"];
    const double b = times["BM_SQLiteFirstScreen"];
    if (a > 0 && b > 0)
        std::printf("ratio (bound open + apply + 50 rows / SQLite 50 rows): %.2f (target <= 2)\n", a / b);
    return 0;
}
