#pragma once
// Recordings built in memory, shared by the tests and the benchmarks: a header at a given local
// start, a recording of given rows (motion detection when ticks are given), flat rows and rows of
// random logger counts.

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "recording/Recording.h"
#include "recording/RecordingView.h"

namespace shakemeter::testing {

// A header starting at the given local time.
inline RecordingHeader HeaderAt(int year, int month, int day, int hour, int minute, int second, std::uint16_t interval)
{
    RecordingHeader h;
    h.wInterval = interval;
    StampHeaderStart(h, CalendarFields{year, month, day, hour, minute, second});
    return h;
}

// The start most tests use: 5 March 2023 14:07:09, at the given interval code (count * 4 + unit;
// 200 is 50 ms).
inline RecordingHeader MarchHeader(std::uint16_t interval = 200)
{
    return HeaderAt(2023, 3, 5, 14, 7, 9, interval);
}

inline Recording MakeRecording(RecordingHeader header, std::vector<SampleRow> rows,
                               std::vector<std::int32_t> ticks = {}, bool realTime = false)
{
    Recording r;
    header.dwSampleCount = static_cast<std::uint32_t>(rows.size());
    if (!ticks.empty())
        header.byMode |= MODE_MOTION;
    r.m_header = header;
    r.m_pSamples = std::move(rows);
    r.m_pSampleTicks = std::move(ticks);
    r.m_bRealTime = realTime ? 1 : 0;
    return r;
}

// Rows whose values are all v.
inline std::vector<SampleRow> FlatRows(std::size_t count, double v = 0.0)
{
    return std::vector<SampleRow>(count, SampleRow{v, v, v, v});
}

// Rows of evenly spread logger counts (-16.00 to 16.00 g on each axis) with the vector sum
// truncated to 0.01 g as the logger's decoding does; the same seed gives the same rows.
inline std::vector<SampleRow> RandomCountRows(std::size_t count, std::uint64_t seed)
{
    std::vector<SampleRow> rows(count);
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> counts(-1600, 1600);
    for (SampleRow& row : rows) {
        for (int c = 0; c < 3; ++c)
            row[c] = counts(random) * 0.01;
        row[3] = std::trunc(std::sqrt(row[0] * row[0] + row[1] * row[1] + row[2] * row[2]) * 100) * 0.01;
    }
    return rows;
}

// The companions of a graph showing the first `shown` rows of doc whole, at `interval` seconds a
// row, between -valueRange and valueRange g: what the graph tests and benchmarks draw.
inline void ShowInGraph(RecordingView& view, const Recording& doc, int shown, double interval, double valueRange)
{
    view.m_recHeader = doc.m_header;
    view.m_dInterval = interval;
    view.m_nShownCount = shown;
    view.m_nRangeFirst = 1;
    view.m_nRangeLast = shown;
    view.m_nDisplayMode = 1;
    view.m_dYMin = -valueRange;
    view.m_dYMax = valueRange;
}

}  // namespace shakemeter::testing
