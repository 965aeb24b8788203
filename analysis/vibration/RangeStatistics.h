#pragma once
// Extremes, mean, RMS, AC RMS, peak-to-peak and crest factor of X, Y, Z and the vector sum over
// a row range, in one pass with compensated sums (exact for a constant over millions of rows).

#include <array>
#include <cstddef>
#include <optional>

#include "analysis/vibration/TimeRows.h"
#include "analysis/vibration/Units.h"

namespace shakemeter::vibration {

struct ColumnStatistics {
    double max = 0.0;
    double min = 0.0;
    std::size_t maxRow = 0;  // the later row on ties, as in the summary
    std::size_t minRow = 0;
    double mean = 0.0;
    double rms = 0.0;                   // sqrt(mean(v^2))
    double acRms = 0.0;                 // population standard deviation
    double peakToPeak = 0.0;            // max - min
    std::optional<double> crestFactor;  // max(|max|, |min|) / rms; none when rms is 0
};

struct RangeStatistics {
    RowRange range;
    Unit unit = Unit::G;
    std::array<ColumnStatistics, 4> columns{};  // X, Y, Z, vector sum

    // The same statistics in another unit (the crest factor has none).
    RangeStatistics converted(Unit to) const;
};

// Statistics of rows[range.from..range.to], in g; the range must lie within the rows.
RangeStatistics ComputeRangeStatistics(const SampleRow* rows, RowRange range);

// The statistics of two adjacent ranges taken together (after.range.from == before.range.to + 1,
// both in the same unit): a range that grows at its end costs only its new rows. The means and
// spreads are pooled, so the result differs from a fresh computation only by rounding.
RangeStatistics JoinRangeStatistics(const RangeStatistics& before, const RangeStatistics& after);

}  // namespace shakemeter::vibration
