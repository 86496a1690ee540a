// Opening a table of a million rows and showing its first screen, as a bound dataset does:
// open, apply a stored layout to all 20 fields, read 50 rows, close. Measured beside SQLite
// alone preparing the same SELECT and reading 50 rows as text; prints the ratio.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "vcl/db.h"
#include "vcl/dbtables.h"

namespace {

constexpr int kRows = 1000000;
constexpr int kScreenRows = 50;

struct Column {
    const char* name;
    const char* declared;
};

constexpr Column kColumns[] = {
    {"id", "INTEGER PRIMARY KEY AUTOINCREMENT"}, {"name", "VARCHAR(30)"}, {"city", "VARCHAR(20)"},
    {"amount", "CURRENCY"}, {"price", "DECIMAL(10,2)"}, {"qty", "SMALLINT"}, {"flags", "WORD"},
    {"ratio", "REAL"}, {"active", "BOOLEAN"}, {"born", "DATE"}, {"at", "TIME"}, {"stamp", "DATETIME"},
    {"note", "TEXT"}, {"memo", "MEMO"}, {"code", "CHAR(4)"}, {"score", "FLOAT"}, {"big", "BIGINT"},
    {"weight", "DOUBLE"}, {"created", "TIMESTAMP"}, {"data", "BLOB"},
};

// The benchmark's database: made once per run in a temporary file, removed at exit.
class BenchDatabase {
public:
    BenchDatabase()
        : path_(std::filesystem::temp_directory_path() /
                ("spaltwerk-bench-dataset-" + std::to_string(::getpid()) + ".db")) {
        std::filesystem::remove(path_);
        db_ = std::make_unique<vcl::TDatabase>(nullptr, path_.string());
        Fill();
    }
    ~BenchDatabase() {
        db_.reset();
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }

    vcl::TDatabase& Database() { return *db_; }

private:
    void Fill() {
        std::string create = "CREATE TABLE people(", insert = "INSERT INTO people VALUES (";
        for (std::size_t i = 0; i < std::size(kColumns); ++i) {
            create += std::string(i ? ", " : "") + kColumns[i].name + " " + kColumns[i].declared;
            insert += i ? ", ?" : "?";
        }
        db_->ExecSQL(create + ")");
        db_->ExecSQL("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF");
        db_->StartTransaction();
        vcl::TSQLStatement statement(*db_, insert + ")");
        static const char* const kCities[] = {"Berlin", "K\xF6ln", "M\xFCnchen", "Hamburg", "Essen"};
        for (int r = 1; r <= kRows; ++r) {
            int p = 1;
            statement.BindInteger(p++, r);
            statement.BindText(p++, "Name " + std::to_string(r));
            statement.BindText(p++, kCities[r % 5]);
            statement.BindFloat(p++, r * 0.25);
            statement.BindFloat(p++, r % 1000 + 0.5);
            statement.BindInteger(p++, r % 300);
            statement.BindInteger(p++, r % 65536);
            statement.BindFloat(p++, 1.0 / r);
            statement.BindInteger(p++, r % 2);
            statement.BindText(p++, "1980-05-17");
            statement.BindText(p++, "12:34:56");
            statement.BindText(p++, "2024-02-29 18:30:15");
            statement.BindText(p++, "a note");
            statement.BindText(p++, "a longer memo text for row " + std::to_string(r));
            statement.BindText(p++, "C" + std::to_string(r % 1000));
            statement.BindFloat(p++, r * 1.5);
            statement.BindInteger(p++, 10000000000LL + r);
            statement.BindFloat(p++, r / 7.0);
            statement.BindFloat(p++, 45351.5);
            statement.BindBlob(p++, "\x01\x02\x03\x04");
            statement.ExecSQL();
        }
        db_->Commit();
    }

    std::filesystem::path path_;
    std::unique_ptr<vcl::TDatabase> db_;
};

BenchDatabase& Bench() {
    static BenchDatabase instance;
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
    const int n = static_cast<int>(std::size(kColumns));
    for (int i = 0; i < n; ++i) {
        std::string name = vcl::UpperCase(kColumns[n - 1 - i].name);
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
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT * FROM \"people\"", -1, &stmt, nullptr);
        const int columns = sqlite3_column_count(stmt);
        for (int row = 0; row < kScreenRows && sqlite3_step(stmt) == SQLITE_ROW; ++row)
            for (int i = 0; i < columns; ++i) {
                sqlite3_column_text(stmt, i);
                bytes += static_cast<std::size_t>(sqlite3_column_bytes(stmt, i));
            }
        sqlite3_finalize(stmt);
    }
    benchmark::DoNotOptimize(bytes);
}

BENCHMARK(BM_TableOpenLayoutFirstScreen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SQLitePrepareFirstScreen)->Unit(benchmark::kMicrosecond);

// Prints the runs as usual and keeps each benchmark's time per iteration for the ratio
// (the median when repetitions are asked for).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Color : OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string& name = run.run_name.function_name;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && !medians.contains(name)))
                times[name] = run.GetAdjustedRealTime();
            if (median) medians.insert(name);
        }
    }

    std::map<std::string, double> times;

private:
    std::set<std::string> medians;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::fprintf(stderr, "Creating %d rows of %zu columns...\n", kRows, std::size(kColumns));
    Bench();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double a = reporter.times["BM_TableOpenLayoutFirstScreen"];
    const double b = reporter.times["BM_SQLitePrepareFirstScreen"];
    if (a > 0 && b > 0)
        std::printf("ratio A/B (dataset open + layout + 50 rows / SQLite prepare + 50 rows): %.2f (target <= 2)\n",
                    a / b);
    benchmark::Shutdown();
    return 0;
}
