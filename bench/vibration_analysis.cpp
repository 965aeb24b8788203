// The vibration analysis over the largest recording a logger holds (2.75 million rows): range
// statistics and event detection against a bare single pass that sums the four columns, and the
// Welch PSD with L = 256 against kissfft's plain loop over the same segments (copy, transform).
// The ratio counters are the figures to watch (target <= 1.5 each); they compare thread CPU times.

#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <ctime>
#include <random>
#include <vector>

#include <kissfft/kissfft.hh>

#include "analysis/vibration/EventDetector.h"
#include "analysis/vibration/RangeStatistics.h"
#include "analysis/vibration/WelchPsd.h"
#include "bench/LargestRecording.h"
#include "bench/PairTiming.h"
#include "bench/ThreadClock.h"

namespace shakemeter {
namespace {

using namespace vibration;

constexpr std::size_t kRows = kLargestRecordingRows;
constexpr std::size_t kSegment = 256;

const Recording& LargestRecording()
{
    static const Recording recording = MakeLargestRecording();
    return recording;
}

// Each iteration runs the baseline and then the subject on the same rows, timing both, so that
// the ratio is measured under the same cache state and machine load (the reported time is that
// of the pair).
template <typename Baseline, typename Subject>
void Compare(benchmark::State& state, const char* counter, Baseline baseline, Subject subject)
{
    const PairTimes times = TimeInPairs(state, ThreadCpuNs, baseline, subject);
    state.counters["baseline_ms"] = times.firstMs;
    state.counters["subject_ms"] = times.secondMs;
    state.counters[counter] = times.ratio;
}

// The bare single pass: the four columns of every row read and summed.
void BarePass(const Recording& recording)
{
    double sum[4] = {0, 0, 0, 0};
    for (const SampleRow& row : recording.m_pSamples)
        for (int c = 0; c < 4; ++c)
            sum[c] += row[c];
    benchmark::DoNotOptimize(sum);
}

void BM_RangeStatistics(benchmark::State& state)
{
    const Recording& recording = LargestRecording();
    const TimeRows rows = TimeRowsOf(recording);
    Compare(
        state, "ratio_to_bare_pass", [&] { BarePass(recording); },
        [&] {
            RangeStatistics s = ComputeRangeStatistics(rows.rows, RowRange{0, rows.count - 1});
            benchmark::DoNotOptimize(s);
        });
}

void BM_DetectEvents(benchmark::State& state)
{
    const Recording& recording = LargestRecording();
    const TimeRows rows = TimeRowsOf(recording);
    std::size_t found = 0;
    Compare(
        state, "ratio_to_bare_pass", [&] { BarePass(recording); },
        [&] {
            Events events = DetectEvents(rows, EventOptions{});
            found = events.shocks.size() + events.freeFalls.size();
            benchmark::DoNotOptimize(events);
        });
    state.counters["events"] = static_cast<double>(found);
}

// kissfft's plain loop over the PSD's segments: each axis copied out and transformed.
struct PlainFftLoop {
    kissfft<double> fft{kSegment / 2, false};
    std::vector<double> in = std::vector<double>(kSegment);
    std::vector<std::complex<double>> out = std::vector<std::complex<double>>(kSegment / 2);

    void run(const Recording& recording)
    {
        const SampleRow* rows = recording.m_pSamples.data();
        const std::size_t segments = WelchPsd::SegmentsIn(RowRange{0, kRows - 1}, kSegment);
        for (std::size_t s = 0; s < segments; ++s) {
            const SampleRow* first = rows + s * (kSegment / 2);
            for (int axis = 0; axis < 3; ++axis) {
                for (std::size_t n = 0; n < kSegment; ++n)
                    in[n] = first[n][axis];
                fft.transform_real(in.data(), out.data());
                benchmark::DoNotOptimize(out.data());
            }
        }
    }
};

void BM_WelchPsd256(benchmark::State& state)
{
    const Recording& recording = LargestRecording();
    PlainFftLoop plain;
    Compare(
        state, "ratio_to_plain_fft", [&] { plain.run(recording); },
        [&] {
            WelchPsd welch(kSegment);
            welch.AddSegments(recording.m_pSamples.data(), RowRange{0, kRows - 1});
            PsdResult result = welch.Result(20.0);
            benchmark::DoNotOptimize(result);
        });
}

BENCHMARK(BM_RangeStatistics)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetectEvents)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WelchPsd256)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace shakemeter

BENCHMARK_MAIN();
