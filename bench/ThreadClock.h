#pragma once
// The clock every benchmark measures with.

#include <ctime>

namespace shakemeter {

// CPU time of this thread: the machine may be busy with other work while the benchmarks run,
// and wall time would charge that work to whichever benchmark happened to be running.
inline double ThreadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

}  // namespace shakemeter
