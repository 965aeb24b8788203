#pragma once
// The largest recording a logger holds, as the benchmarks of the analysis read it: at rest on Z
// with 0.3 g of noise in 0.01 g steps, a shock or a short fall now and then, as a parcel on a
// truck records them. Logged at 50 ms from 1 January 2026.

#include <cmath>
#include <cstddef>
#include <random>

#include "recording/Recording.h"

namespace shakemeter {

inline constexpr std::size_t kLargestRecordingRows = 2750000;

inline Recording MakeLargestRecording()
{
    Recording r;
    r.m_header.dwSampleCount = kLargestRecordingRows;
    r.m_header.wInterval = 200;  // 50 ms
    r.m_header.wYear = 2026;
    r.m_header.byMonth = 1;
    r.m_header.byDay = 1;
    r.m_pSamples.resize(kLargestRecordingRows);
    std::mt19937_64 random(7);
    std::normal_distribution<double> noise(0.0, 0.3);
    for (SampleRow& row : r.m_pSamples) {
        row[0] = std::trunc(noise(random) * 100) * 0.01;
        row[1] = std::trunc(noise(random) * 100) * 0.01;
        row[2] = std::trunc((1.0 + noise(random)) * 100) * 0.01;
        row[3] = std::trunc(std::sqrt(row[0] * row[0] + row[1] * row[1] + row[2] * row[2]) * 100) * 0.01;
    }
    return r;
}

}  // namespace shakemeter
