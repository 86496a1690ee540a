// Shared by the benchmark programs: a SQLite table of people with 20 columns of every kind,
// a grid showing a screen of it, and a console reporter that keeps each benchmark's time
// so that a program can print the ratio of two.
#pragma once

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
#include "vcl/dbgrids.h"
#include "vcl/dbtables.h"

namespace bench {

struct Column {
    const char* name;
    const char* declared;
};

// The columns of "people": one of each declared type the datasets map to a field class.
inline constexpr Column kColumns[] = {
    {"id", "INTEGER PRIMARY KEY AUTOINCREMENT"}, {"name", "VARCHAR(30)"}, {"city", "VARCHAR(20)"},
    {"amount", "CURRENCY"}, {"price", "DECIMAL(10,2)"}, {"qty", "SMALLINT"}, {"flags", "WORD"},
    {"ratio", "REAL"}, {"active", "BOOLEAN"}, {"born", "DATE"}, {"at", "TIME"}, {"stamp", "DATETIME"},
    {"note", "TEXT"}, {"memo", "MEMO"}, {"code", "CHAR(4)"}, {"score", "FLOAT"}, {"big", "BIGINT"},
    {"weight", "DOUBLE"}, {"created", "TIMESTAMP"}, {"data", "BLOB"},
};

// A database file in the temporary folder holding "people" with the given number of rows,
// made when constructed and removed when destroyed. `tag` keeps programs' files apart.
class PeopleDatabase {
public:
    PeopleDatabase(int rows, const std::string& tag)
        : path_(std::filesystem::temp_directory_path() /
                ("spaltwerk-bench-" + tag + "-" + std::to_string(::getpid()) + ".db")) {
        std::filesystem::remove(path_);
        db_ = std::make_unique<vcl::TDatabase>(nullptr, path_.string());
        Fill(rows);
    }
    ~PeopleDatabase() {
        db_.reset();
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    PeopleDatabase(const PeopleDatabase&) = delete;
    PeopleDatabase& operator=(const PeopleDatabase&) = delete;

    vcl::TDatabase& Database() { return *db_; }

private:
    void Fill(int rows) {
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
        for (int r = 1; r <= rows; ++r) {
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

// "people" opened in a table, every row read, shown by a grid of `screenRows` rows from
// the first record on. The grid has no draw-cell handler; a program may install one.
class PeopleGrid {
public:
    PeopleGrid(vcl::TDatabase& db, int screenRows) {
        table.SetDatabase(&db);
        table.SetTableName("people");
        table.Open();
        table.Last();  // every row fetched: a paint measures drawing, not reading
        table.First();
        source.SetDataSet(&table);
        grid.SetDataSource(&source);
        grid.SetVisibleRowCount(screenRows);
    }

    vcl::TTable table{nullptr};
    vcl::TDataSource source{nullptr};
    vcl::TDBGrid grid{nullptr};
};

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

// SQLite's own work for a first screen, the baseline of opening a dataset: prepare
// SELECT * FROM people and step `rows` rows, reading every column as text. Returns the
// bytes read.
inline std::size_t SQLiteFirstScreen(sqlite3* db, int rows) {
    std::size_t bytes = 0;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM \"people\"", -1, &stmt, nullptr);
    const int columns = sqlite3_column_count(stmt);
    for (int row = 0; row < rows && sqlite3_step(stmt) == SQLITE_ROW; ++row)
        for (int i = 0; i < columns; ++i) {
            sqlite3_column_text(stmt, i);
            bytes += static_cast<std::size_t>(sqlite3_column_bytes(stmt, i));
        }
    sqlite3_finalize(stmt);
    return bytes;
}

// The main of a benchmark program: makes the people database of `rows` rows first (by
// `prepare`), runs the benchmarks and returns each one's time per iteration, so the
// program can print the ratios it is about.
template <class Prepare>
std::map<std::string, double> RunBenchmarks(int argc, char** argv, int rows, Prepare prepare) {
    benchmark::Initialize(&argc, argv);
    std::fprintf(stderr, "Creating %d rows of %zu columns...\n", rows, std::size(kColumns));
    prepare();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.times;
}

}  // namespace bench
