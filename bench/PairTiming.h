#pragma once
// Two pieces of work timed against each other: each iteration runs the first and then the second,
// so that both meet the same cache state and machine load, and their ratio is measured fairly.

#include <benchmark/benchmark.h>

namespace shakemeter {

struct PairTimes {
    double firstMs = 0.0;  // per iteration
    double secondMs = 0.0;
    double ratio = 0.0;  // second / first
};

// nowNs: the clock to read, in nanoseconds (thread CPU time, or wall time for work that waits).
template <typename Clock, typename First, typename Second>
PairTimes TimeInPairs(benchmark::State& state, Clock nowNs, First first, Second second)
{
    double firstNs = 0.0;
    double secondNs = 0.0;
    for (auto _ : state) {
        const double t0 = nowNs();
        first();
        const double t1 = nowNs();
        second();
        const double t2 = nowNs();
        firstNs += t1 - t0;
        secondNs += t2 - t1;
    }
    const double runs = static_cast<double>(state.iterations());
    return {firstNs / runs / 1e6, secondNs / runs / 1e6, secondNs / firstNs};
}

}  // namespace shakemeter
