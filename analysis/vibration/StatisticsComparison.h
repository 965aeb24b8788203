#pragma once
// The statistics of the rows a graph shows of one recording beside those of the rows another
// recording has in the same time span, and their difference, compared minus shown, for every
// figure of the statistics table.

#include <array>
#include <optional>

#include "analysis/vibration/RangeStatistics.h"
#include "analysis/vibration/StatisticsTable.h"

namespace shakemeter::vibration {

struct StatisticsComparison {
    RangeStatistics shown;
    std::optional<RangeStatistics> compared;  // none when the compared recording has no rows there
    Unit unit = Unit::G;                      // of the difference, the shown statistics' unit
    // Compared minus shown, per column (X, Y, Z, vector sum) and line of the table; none where
    // either side has no figure (no compared rows, no crest factor).
    std::array<StatisticsFigures, 4> difference{};

    // Both sides and their difference in another unit.
    StatisticsComparison converted(Unit to) const;
};

// The compared statistics are taken in the shown statistics' unit whatever their own.
StatisticsComparison CompareStatistics(const RangeStatistics& shown, const std::optional<RangeStatistics>& compared);

// The three column groups the statistics dock shows side by side. Without compared rows the
// compared and difference groups are all "-" and count no rows; the difference group counts none
// in any case.
struct ComparisonTable {
    StatisticsTable shown;
    StatisticsTable compared;
    StatisticsTable difference;
};

ComparisonTable ComparisonTableOf(const StatisticsComparison& comparison, Unit unit);

}  // namespace shakemeter::vibration
