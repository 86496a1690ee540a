// The cost of writing grid cell values: FormatFloat and FormatDateTime beside the C
// library's snprintf and strftime for the same values, with the ratio printed at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "vcl/sysutils.h"

namespace {

std::vector<double> Values() {
    std::vector<double> v;
    for (int i = 0; i < 256; ++i) v.push_back((i * 7919 % 100000) / 7.0 - 3000);
    return v;
}

void BM_FormatFloat(benchmark::State& state) {
    const std::vector<double> values = Values();
    for (auto _ : state)
        for (double v : values) benchmark::DoNotOptimize(vcl::FormatFloat("#,##0.00", v));
}

void BM_SnprintfFloat(benchmark::State& state) {
    const std::vector<double> values = Values();
    char buf[64];
    for (auto _ : state)
        for (double v : values) {
            std::snprintf(buf, sizeof buf, "%'.2f", v);
            benchmark::DoNotOptimize(std::string(buf));
        }
}

void BM_FormatDateTime(benchmark::State& state) {
    const std::vector<double> values = Values();
    for (auto _ : state)
        for (double v : values) benchmark::DoNotOptimize(vcl::FormatDateTime("dd.mm.yyyy hh:nn", 45000 + v / 100));
}

void BM_Strftime(benchmark::State& state) {
    const std::vector<double> values = Values();
    char buf[64];
    for (auto _ : state)
        for (double v : values) {
            const std::time_t t = static_cast<std::time_t>(1700000000 + v * 864);
            std::tm tm{};
            gmtime_r(&t, &tm);
            std::strftime(buf, sizeof buf, "%d.%m.%Y %H:%M", &tm);
            benchmark::DoNotOptimize(std::string(buf));
        }
}

BENCHMARK(BM_FormatFloat);
BENCHMARK(BM_SnprintfFloat);
BENCHMARK(BM_FormatDateTime);
BENCHMARK(BM_Strftime);

// Prints as usual and keeps each benchmark's time for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) times[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* ours, const char* base) {
        if (reporter.times.count(ours) && reporter.times.count(base) && reporter.times[base] > 0)
            std::printf("%s / %s = %.2f\n", ours, base, reporter.times[ours] / reporter.times[base]);
    };
    ratio("BM_FormatFloat", "BM_SnprintfFloat");
    ratio("BM_FormatDateTime", "BM_Strftime");
    benchmark::Shutdown();
    return 0;
}
