#pragma once
// Recordings built in memory for the analysis tests: logged, motion-detection and spectrum
// captures whose rows are given as X, Y, Z with the vector sum computed or given.

#include <cmath>
#include <cstdint>
#include <vector>

#include "TestRecordings.h"
#include "recording/Recording.h"

namespace shakemeter::testing {

// The logger's 0.01 g steps, truncated toward zero as the logger's decoding does.
inline double Quantised(double g)
{
    return std::trunc(g * 100.0) / 100.0;
}

inline SampleRow RowWithSum(double x, double y, double z)
{
    return {x, y, z, std::sqrt(x * x + y * y + z * z)};
}

// A logged recording at the given interval code (count * 4 + unit) starting 5 March 2023 14:07:09.
inline Recording LoggedRecording(std::vector<SampleRow> rows, std::uint16_t interval = 200,
                                 std::vector<std::int32_t> ticks = {})
{
    return MakeRecording(MarchHeader(interval), std::move(rows), std::move(ticks));
}

// A spectrum capture (1/256 s) of the given rows.
inline Recording SpectrumRecording(std::vector<SampleRow> rows)
{
    Recording r = LoggedRecording(std::move(rows), 0);
    return r;
}

}  // namespace shakemeter::testing
