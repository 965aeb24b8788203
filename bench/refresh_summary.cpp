// RefreshSummary over a million rows against a bare loop that only sums the four columns of the
// same rows, in one pass that the compiler turns into two vector additions per row. The ratio
// counter of the second benchmark is the figure to watch (target <= 1.5).

#include <benchmark/benchmark.h>

#include <ctime>
#include <cmath>

#include "recording/RecordingView.h"
#include "tests/TestRecordings.h"
#include "bench/ThreadClock.h"

namespace shakemeter {
namespace {

constexpr std::size_t kRows = 1000000;

const Recording& MillionRows()
{
    static const Recording recording = [] {
        // 50 ms from 05/03/23 14:00:00
        return testing::MakeRecording(testing::HeaderAt(2023, 3, 5, 14, 0, 0, 200), testing::RandomCountRows(kRows, 7));
    }();
    return recording;
}

double g_baselineNsPerRun = 0.0;

void BM_BareColumnSums(benchmark::State& state)
{
    const Recording& recording = MillionRows();
    std::int64_t runs = 0;
    const double start = ThreadCpuNs();
    for (auto _ : state) {
        double sum[4] = {0, 0, 0, 0};
        for (const SampleRow& row : recording.m_pSamples)
            for (int c = 0; c < 4; ++c)
                sum[c] += row[c];
        benchmark::DoNotOptimize(sum);
        ++runs;
    }
    const double elapsed = ThreadCpuNs() - start;
    g_baselineNsPerRun = elapsed / static_cast<double>(runs);
}

void BM_RefreshSummary(benchmark::State& state)
{
    const Recording& recording = MillionRows();
    RecordingView view;
    view.m_recHeader = recording.m_header;
    std::int64_t runs = 0;
    const double start = ThreadCpuNs();
    for (auto _ : state) {
        view.RefreshSummary(recording);
        benchmark::DoNotOptimize(view.m_stats);
        ++runs;
    }
    const double elapsed = ThreadCpuNs() - start;
    if (g_baselineNsPerRun > 0)
        state.counters["ratio_to_bare_sums"] = elapsed / static_cast<double>(runs) / g_baselineNsPerRun;
}

BENCHMARK(BM_BareColumnSums)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshSummary)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace shakemeter

BENCHMARK_MAIN();
