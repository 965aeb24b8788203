// The text report of 180,000 rows against a minimal writer that puts the same row numbers and
// values, with the same separators, into a string with std::to_chars. The ratio counters are the
// figures to watch (target <= 1.5): one recording at 50 ms (twenty rows share a second) and one at
// 1 s (every row has a second of its own).

#include <benchmark/benchmark.h>

#include <charconv>
#include <ctime>
#include <cmath>
#include <cstdlib>

#include "recording/TextReport.h"
#include "tests/TestRecordings.h"
#include "bench/ThreadClock.h"

namespace shakemeter {
namespace {

constexpr std::size_t kRows = 180000;

struct ShownRecording {
    Recording document;
    RecordingView view;
};

ShownRecording MakeShown(std::uint16_t interval)
{
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    Recording r = testing::MakeRecording(testing::MarchHeader(interval), testing::RandomCountRows(kRows, 11));
    ShownRecording shown;
    InstallCompleteRecording(shown.document, shown.view, std::move(r));
    return shown;
}

const ShownRecording& Shown(std::uint16_t interval)
{
    static const ShownRecording fifty = MakeShown(200);
    static const ShownRecording second = MakeShown(5);
    return interval == 200 ? fifty : second;
}

double g_baselineNsPerRun = 0.0;

void BM_MinimalToChars(benchmark::State& state)
{
    const Recording& recording = Shown(200).document;
    std::int64_t runs = 0;
    const double start = ThreadCpuNs();
    for (auto _ : state) {
        std::string out;
        out.reserve(kRows * 64);
        char buffer[128];
        for (std::size_t i = 0; i < kRows; ++i) {
            char* p = std::to_chars(buffer, buffer + 24, i + 1).ptr;
            *p++ = '\t';
            for (int c = 0; c < 4; ++c) {
                p = std::to_chars(p, buffer + sizeof buffer, recording.m_pSamples[i][c], std::chars_format::fixed, 2)
                        .ptr;
                *p++ = '\t';
            }
            *p++ = '\r';
            *p++ = '\n';
            out.append(buffer, p);
        }
        benchmark::DoNotOptimize(out.data());
        ++runs;
    }
    const double elapsed = ThreadCpuNs() - start;
    g_baselineNsPerRun = elapsed / static_cast<double>(runs);
}

void RunReport(benchmark::State& state, std::uint16_t interval)
{
    const ShownRecording& shown = Shown(interval);
    std::int64_t runs = 0;
    const double start = ThreadCpuNs();
    for (auto _ : state) {
        std::string report = FormatTextReport(shown.document, shown.view);
        benchmark::DoNotOptimize(report.data());
        ++runs;
    }
    const double elapsed = ThreadCpuNs() - start;
    if (g_baselineNsPerRun > 0)
        state.counters["ratio_to_minimal"] = elapsed / static_cast<double>(runs) / g_baselineNsPerRun;
}

void BM_TextReport50ms(benchmark::State& state)
{
    RunReport(state, 200);
}

void BM_TextReport1s(benchmark::State& state)
{
    RunReport(state, 5);
}

BENCHMARK(BM_MinimalToChars)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextReport50ms)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextReport1s)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace shakemeter

BENCHMARK_MAIN();
