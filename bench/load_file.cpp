// Loading a recording of 1,000,000 rows (32 MB) against reading the same bytes into a buffer with
// plain read() calls. Both are timed in the same iterations, interleaved, so the ratio is measured
// under the same cache and machine load; the goal is a ratio of at most 1.2 into new memory (the
// FreshMemory cases, as for the first recording a program opens). The ratio counter
// compares thread CPU times (kernel time included), which other processes on a busy machine do
// not inflate; wall_ratio compares elapsed times.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <memory>
#include <string>
#include <time.h>

#include "bench/PlainRead.h"
#include "bench/TempFolder.h"
#include "recording/RecordingFile.h"

namespace {

using shakemeter::Recording;
using shakemeter::bench::PlainRead;

constexpr int kRows = 1'000'000;

// A temporary folder holding one generated recording per mode, removed at exit.
class BenchFiles {
public:
    BenchFiles()
    {
        write(logged(), 0);
        write(motion(), shakemeter::MODE_MOTION);
    }

    std::string logged() const { return m_folder.File("logged.Vibration"); }
    std::string motion() const { return m_folder.File("motion.Vibration"); }

private:
    static void write(const std::string& path, std::uint8_t mode)
    {
        Recording rec;
        rec.m_header.dwSampleCount = kRows;
        rec.m_header.wInterval = 50 * 4;
        rec.m_header.byMode = mode;
        rec.m_header.wYear = 2026;
        rec.m_header.byMonth = 1;
        rec.m_header.byDay = 1;
        rec.m_pSamples.resize(kRows);
        for (int k = 0; k < kRows; ++k)
            rec.m_pSamples[k] = {(k % 50) * 0.01, -(k % 7) * 0.01, 1.0, 1.0 + (k % 3) * 0.01};
        if (mode & shakemeter::MODE_MOTION) {
            rec.m_pSampleTicks.resize(kRows);
            for (int k = 0; k < kRows; ++k)
                rec.m_pSampleTicks[k] = 2 * k;
        }
        if (!shakemeter::WriteRecordingFile(path, rec, kRows))
            std::abort();
    }

    shakemeter::bench::TempFolder m_folder{"shakemeter-bench-load"};
};

const BenchFiles& Files()
{
    static const BenchFiles files;
    return files;
}

double Seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// CPU time of this thread, kernel time included: on a shared machine it is not inflated by the
// time other processes hold the processor, unlike the wall clock.
double ThreadSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void LoadAgainstPlainRead(benchmark::State& state, const std::string& path)
{
    double plainWall = 0;
    double loadWall = 0;
    double plainCpu = 0;
    double loadCpu = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = ThreadSeconds();
        benchmark::DoNotOptimize(PlainRead(path));
        const auto t1 = std::chrono::steady_clock::now();
        const double c1 = ThreadSeconds();
        shakemeter::RecordingFileResult result = shakemeter::ReadRecordingFile(path);
        benchmark::DoNotOptimize(result.recording.m_pSamples.data());
        const auto t2 = std::chrono::steady_clock::now();
        const double c2 = ThreadSeconds();
        if (!result.ok() || result.recording.m_pSamples.size() != static_cast<std::size_t>(kRows))
            state.SkipWithError("the recording did not load");
        plainWall += Seconds(t1 - t0);
        loadWall += Seconds(t2 - t1);
        plainCpu += c1 - c0;
        loadCpu += c2 - c1;
        state.SetIterationTime(Seconds(t2 - t1));
    }
    state.counters["plain_read_ms"] = benchmark::Counter(plainWall * 1000, benchmark::Counter::kAvgIterations);
    state.counters["plain_cpu_ms"] = benchmark::Counter(plainCpu * 1000, benchmark::Counter::kAvgIterations);
    state.counters["load_cpu_ms"] = benchmark::Counter(loadCpu * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio_to_plain_read"] = plainCpu > 0 ? loadCpu / plainCpu : 0;
    state.counters["wall_ratio"] = plainWall > 0 ? loadWall / plainWall : 0;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

// Large blocks recycled by the heap: the buffers are already mapped, so each side's cost is its
// copying alone. Besides the same copy, the loader zeroes the rows it grows (a std::vector
// cannot hold unconstructed rows) and checks every value, which is what its ratio measures here.
void BM_LoadLoggedRecording(benchmark::State& state)
{
    LoadAgainstPlainRead(state, Files().logged());
}
BENCHMARK(BM_LoadLoggedRecording)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LoadMotionRecording(benchmark::State& state)
{
    LoadAgainstPlainRead(state, Files().motion());
}
BENCHMARK(BM_LoadMotionRecording)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Every large block fresh from the system, as for the first recording a program opens: both sides
// pay for mapping their 32 MB, and the loader's extra work runs in the processor's cache.
void UseFreshMemory()
{
    static const bool once = [] {
        const bool set = ::mallopt(M_MMAP_THRESHOLD, 1 << 20) == 1 && ::mallopt(M_TRIM_THRESHOLD, 1 << 20) == 1;
        ::malloc_trim(0);  // the heap must not keep serving large blocks it already holds
        return set;
    }();
    benchmark::DoNotOptimize(once);
}

void BM_LoadLoggedRecordingFreshMemory(benchmark::State& state)
{
    UseFreshMemory();
    LoadAgainstPlainRead(state, Files().logged());
}
BENCHMARK(BM_LoadLoggedRecordingFreshMemory)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LoadMotionRecordingFreshMemory(benchmark::State& state)
{
    UseFreshMemory();
    LoadAgainstPlainRead(state, Files().motion());
}
BENCHMARK(BM_LoadMotionRecordingFreshMemory)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
