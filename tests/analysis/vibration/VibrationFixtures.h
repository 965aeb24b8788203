#pragma once
// Recordings built in memory for the analysis tests: logged, motion-detection and spectrum
// captures whose rows are given as X, Y, Z with the vector sum computed or given.

#include <cmath>
#include <cstdint>
#include <vector>

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
    Recording r;
    r.m_header.dwSampleCount = static_cast<std::uint32_t>(rows.size());
    r.m_header.wInterval = interval;
    r.m_header.wYear = 2023;
    r.m_header.byMonth = 3;
    r.m_header.byDay = 5;
    r.m_header.byHour = 14;
    r.m_header.byMinute = 7;
    r.m_header.bySecond = 9;
    if (!ticks.empty())
        r.m_header.byMode = MODE_MOTION;
    r.m_pSamples = std::move(rows);
    r.m_pSampleTicks = std::move(ticks);
    return r;
}

// A spectrum capture (1/256 s) of the given rows.
inline Recording SpectrumRecording(std::vector<SampleRow> rows)
{
    Recording r = LoggedRecording(std::move(rows), 0);
    return r;
}

}  // namespace shakemeter::testing
