#pragma once
// The clocks every benchmark measures with.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>

namespace shakemeter {

inline double CpuClockNs(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

// CPU time of this thread: the machine may be busy with other work while the benchmarks run,
// and wall time would charge that work to whichever benchmark happened to be running.
inline double ThreadCpuNs()
{
    return CpuClockNs(CLOCK_THREAD_CPUTIME_ID);
}

// CPU time of the whole process, for work that also runs on other threads.
inline double ProcessCpuNs()
{
    return CpuClockNs(CLOCK_PROCESS_CPUTIME_ID);
}

// Thread CPU time of one run of `body`, over the benchmark's iterations.
template <typename Body>
double ThreadNsPerIteration(benchmark::State& state, Body body)
{
    std::int64_t runs = 0;
    const double start = ThreadCpuNs();
    for (auto _ : state) {
        body();
        ++runs;
    }
    return (ThreadCpuNs() - start) / static_cast<double>(runs);
}

// A figure against a baseline that an earlier benchmark of the same run measured; none when the
// baseline was not run.
inline void ReportRatio(benchmark::State& state, double measured, double baseline, const char* counter = "ratio")
{
    if (baseline > 0.0)
        state.counters[counter] = measured / baseline;
}

}  // namespace shakemeter
