// RefreshSummary over a million rows against a bare loop that only sums the four columns of the
// same rows. The ratio counter of the second benchmark is the figure to watch (target <= 3).

#include <benchmark/benchmark.h>

#include <ctime>
#include <cmath>
#include <random>

#include "recording/RecordingView.h"

namespace shakemeter {
namespace {

constexpr std::size_t kRows = 1000000;

const Recording& MillionRows()
{
    static const Recording recording = [] {
        Recording r;
        r.m_header.dwSampleCount = kRows;
        r.m_header.wInterval = 200;  // 50 ms
        r.m_header.wYear = 2023;
        r.m_header.byMonth = 3;
        r.m_header.byDay = 5;
        r.m_header.byHour = 14;
        r.m_pSamples.resize(kRows);
        std::mt19937_64 random(7);
        std::uniform_int_distribution<int> counts(-1600, 1600);
        for (SampleRow& row : r.m_pSamples) {
            for (int c = 0; c < 3; ++c)
                row[c] = counts(random) * 0.01;
            row[3] = std::trunc(std::sqrt(row[0] * row[0] + row[1] * row[1] + row[2] * row[2]) * 100) * 0.01;
        }
        return r;
    }();
    return recording;
}

// CPU time of this thread: the machine may be busy with other work while the benchmarks run,
// and wall time would charge that work to whichever benchmark happened to be running.
double ThreadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
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
