// The statistics dock's update over a recording as long as the largest a logger holds (2.75 million rows):
// after a zoom onto nearly every row (the worst case: the dock's range is the zoom's), the
// visible rows, their statistics, the table's texts and the range's time labels, against a bare
// single pass summing the four columns of the same rows in the same run. Target: under 20 ms per
// update. The second benchmark is a reading's tick: one row more at the end of 2.75 million,
// which the dock adds to what it had.

#include <benchmark/benchmark.h>

#include "analysis/vibration/RangeStatisticsCache.h"
#include "analysis/vibration/StatisticsTable.h"
#include "bench/GraphBench.h"
#include "bench/ThreadClock.h"
#include "graph/core/VisibleRows.h"

namespace shakemeter {
namespace {

constexpr int kRows = 2750000;

// The graph of a long recording as the pane shows it, drawn once.
struct ShownRecording : bench::PaintedRecording {
    ShownRecording() : PaintedRecording(kRows)
    {
        model.state().m_rcPlot = {60, 20, 1880, 1000};
        Paint();
    }
    void Paint()
    {
        model.PrepareDrawing(false, false);
        model.FinishDrawing();
    }
};

void BarePass(const SampleRow* rows, vibration::RowRange range)
{
    double sum[4] = {0, 0, 0, 0};
    for (std::size_t r = range.from; r <= range.to; ++r)
        for (int c = 0; c < 4; ++c)
            sum[c] += rows[r][c];
    benchmark::DoNotOptimize(sum);
}

// What the dock does at a tick: the rows on screen, their statistics, the texts.
vibration::StatisticsTable PanelUpdate(const ShownRecording& shown, vibration::RangeStatisticsCache& cache,
                                       std::string& labels)
{
    const vibration::TimeRows rows = vibration::TimeRowsOf(shown.doc);
    const vibration::RowRange range = VisibleRows(shown.model).value();
    const vibration::RangeStatistics& statistics = cache.Update(rows, range, false);
    labels = shown.model.SampleTimeText(static_cast<int>(range.from)) +
             shown.model.SampleTimeText(static_cast<int>(range.to));
    return vibration::StatisticsTableOf(statistics, vibration::Unit::MetresPerSecondSquared);
}

void BM_StatisticsAfterZoom(benchmark::State& state)
{
    static ShownRecording shown;
    vibration::RangeStatisticsCache cache;
    std::string labels;
    double baselineNs = 0.0;
    double subjectNs = 0.0;
    std::size_t rowsCounted = 0;
    int zoom = 0;
    for (auto _ : state) {
        // Two zooms in turn, so that every update finds a new range; the zoom and its paint are
        // the graph's work, not the dock's.
        state.PauseTiming();
        shown.model.ZoomOntoRows(1000 + zoom, kRows - 1000 - zoom, false);
        shown.Paint();
        zoom = zoom == 0 ? 500 : 0;
        state.ResumeTiming();
        const double t0 = ThreadCpuNs();
        const vibration::RowRange range = VisibleRows(shown.model).value();
        BarePass(shown.doc.m_pSamples.data(), range);
        const double t1 = ThreadCpuNs();
        benchmark::DoNotOptimize(PanelUpdate(shown, cache, labels));
        const double t2 = ThreadCpuNs();
        if (cache.lastWork() != vibration::RangeStatisticsCache::Work::Full)
            state.SkipWithError("the zoom did not change the range");
        baselineNs += t1 - t0;
        subjectNs += t2 - t1;
        rowsCounted = range.size();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["baseline_ms"] = baselineNs / runs / 1e6;
    state.counters["update_ms"] = subjectNs / runs / 1e6;
    state.counters["ratio_to_bare_pass"] = subjectNs / baselineNs;
    state.counters["rows"] = static_cast<double>(rowsCounted);
}

void BM_StatisticsReadingTick(benchmark::State& state)
{
    static ShownRecording shown;
    vibration::RangeStatisticsCache cache;
    std::size_t to = kRows - 100000;
    const vibration::TimeRows rows = vibration::TimeRowsOf(shown.doc);
    cache.Update(rows, {0, to}, true);
    for (auto _ : state) {
        if (to + 1 >= static_cast<std::size_t>(kRows)) {
            state.PauseTiming();
            to = kRows - 100000;
            cache.Update(rows, {0, to}, true);
            state.ResumeTiming();
        }
        ++to;
        benchmark::DoNotOptimize(cache.Update(rows, {0, to}, true));
    }
    if (cache.lastWork() != vibration::RangeStatisticsCache::Work::Appended)
        state.SkipWithError("the tick computed more than its new row");
}

BENCHMARK(BM_StatisticsAfterZoom)->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_StatisticsReadingTick)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace shakemeter

BENCHMARK_MAIN();
