// Reading and writing a settings store of 10,000 datasets with 20 fields each (about 2.2
// million lines), each timed beside a baseline in the same iteration:
//   read:  reading the file into memory and splitting it into lines with memchr;
//   write: writing the same bytes with one buffered write, synced as the store's writer
//          syncs when it replaces the settings file (BM_Write_unsynced: both without
//          the sync, which shows the cost of formatting the lines).
// The counter "ratio" is store time / baseline time over all iterations.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "store/main_spaltwerk.h"
#include "store/settings_file.h"
#include "vcl/sysutils.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using spaltwerk::TMainSpaltwerk;

constexpr int kDataSets = 10000;
constexpr int kFields = 20;

std::string Number(const char* prefix, int n, int width) {
    std::string digits = std::to_string(n);
    return prefix + std::string(static_cast<std::size_t>(width) - digits.size(), '0') + digits;
}

void Fill(TMainSpaltwerk& store) {
    for (int d = 0; d < kDataSets; ++d) {
        auto entry = std::make_unique<spaltwerk::TFelder>();
        entry->DataSetName = Number("QUERY", d, 5);
        entry->Tag = d % 3;
        entry->FormName = Number("FORM", d % 50, 2);
        spaltwerk::TFelder* stored = store.FELDER_ADD(std::move(entry));
        for (int f = 0; f < kFields; ++f) {
            auto field = std::make_unique<spaltwerk::TFeld>();
            field->FieldName = Number("FIELD", f, 2);
            field->Caption = "Caption of field " + std::to_string(f);
            field->DisplayMask = f % 4 == 0 ? "#,##0.00" : "";
            field->Visible = f % 5 != 0;
            field->Readonly = f % 2 == 0;
            field->Length = 10 + f;
            field->Color = f % 3 == 0 ? 255 : -1;
            field->Function = f % 3 == 0 ? spaltwerk::cfEqual : spaltwerk::cfFalse;
            field->Value = f % 3 == 0 ? "Meier" : "";
            store.FELD_ADD(stored, std::move(field));
        }
    }
}

// A folder with the settings file, made once for the whole run.
struct Fixture {
    fs::path dir;
    std::string file;
    std::string bytes;
    TMainSpaltwerk store{nullptr};

    Fixture() {
        std::string pattern = (fs::temp_directory_path() / "spaltwerk-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        dir = pattern;
        file = (dir / "ZRKFIELD.INI").string();
        Fill(store);
        vcl::TTextWriter writer(file, vcl::TTextWriter::Replace::Safely);
        spaltwerk::WriteSettings(store, writer);
        writer.Commit();
        bytes = ReadAll(file);
    }
    ~Fixture() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    static std::string ReadAll(const std::string& path) {
        std::string data;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) throw std::runtime_error("cannot open " + path);
        char chunk[1 << 16];
        for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) > 0;) data.append(chunk, static_cast<std::size_t>(n));
        ::close(fd);
        return data;
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

void Report(benchmark::State& state, double ours, double baseline) {
    state.counters["store_ms"] = ours * 1000 / static_cast<double>(state.iterations());
    state.counters["baseline_ms"] = baseline * 1000 / static_cast<double>(state.iterations());
    state.counters["ratio"] = ours / baseline;
}

void BM_Read(benchmark::State& state) {
    const Fixture& f = Shared();
    double ours = 0, baseline = 0;
    std::size_t lines = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        {
            const std::string data = Fixture::ReadAll(f.file);
            std::size_t count = 0;
            for (const char *p = data.data(), *end = p + data.size(); p < end; ++count) {
                const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
                p = lf != nullptr ? static_cast<const char*>(lf) + 1 : end;
            }
            benchmark::DoNotOptimize(count);
            lines = count;
        }
        baseline += Seconds(start);

        auto store = std::make_unique<TMainSpaltwerk>(nullptr);
        start = Clock::now();
        vcl::TTextReader reader(f.file);
        const auto info = spaltwerk::ReadSettings(reader, *store);
        const double took = Seconds(start);
        ours += took;
        if (info.Datasets != kDataSets || store->FelderList().size() != kDataSets) state.SkipWithError("short read");
        state.SetIterationTime(took);
        store.reset();
    }
    state.counters["lines"] = static_cast<double>(lines);
    Report(state, ours, baseline);
}

template <bool Synced>
void BM_Write(benchmark::State& state) {
    const Fixture& f = Shared();
    const std::string target = (f.dir / "OUT.INI").string();
    double ours = 0, baseline = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        {
            std::FILE* out = std::fopen(target.c_str(), "wb");
            std::fwrite(f.bytes.data(), 1, f.bytes.size(), out);
            std::fflush(out);
            if (Synced) ::fsync(::fileno(out));
            std::fclose(out);
        }
        baseline += Seconds(start);

        start = Clock::now();
        if (Synced) {
            vcl::TTextWriter writer(target, vcl::TTextWriter::Replace::Safely);
            spaltwerk::WriteSettings(f.store, writer);
            writer.Commit();  // flush, sync, rename: what Close does
        } else {
            // Without Commit the writer never syncs; it also drops its last buffer (under
            // 1 MB of about 12), which slightly favours this side.
            vcl::TTextWriter writer(target, vcl::TTextWriter::Replace::Directly);
            spaltwerk::WriteSettings(f.store, writer);
        }
        const double took = Seconds(start);
        ours += took;
        state.SetIterationTime(took);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(f.bytes.size()));
    Report(state, ours, baseline);
}

BENCHMARK(BM_Read)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);
BENCHMARK_TEMPLATE(BM_Write, true)->Name("BM_Write")->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);
BENCHMARK_TEMPLATE(BM_Write, false)->Name("BM_Write_unsynced")->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
