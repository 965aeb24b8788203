#include "analysis/vibration/RangeStatistics.h"

#include <algorithm>
#include <cmath>

namespace shakemeter::vibration {

namespace {

// Neumaier's compensated addition: the running sum and the rounding it lost so far.
struct CompensatedSum {
    double sum = 0.0;
    double lost = 0.0;
    void add(double x)
    {
        const double t = sum + x;
        lost += std::fabs(sum) >= std::fabs(x) ? (sum - t) + x : (x - t) + sum;
        sum = t;
    }
    double value() const { return sum + lost; }
};

// Rows are summed in short blocks without compensation (a block's rounding is tiny and the loop
// stays as cheap as a bare sum), and only the block sums go through the compensated addition.
constexpr std::size_t kBlock = 64;

}  // namespace

RangeStatistics ComputeRangeStatistics(const SampleRow* rows, RowRange range)
{
    RangeStatistics result;
    result.range = range;
    const std::size_t n = range.size();
    // Sums of v - shift and its square: shifting by a value of the data keeps the variance from
    // cancelling away when the mean is large against the spread.
    double shift[4];
    double max[4];
    double min[4];
    std::size_t maxRow[4];
    std::size_t minRow[4];
    CompensatedSum linear[4];
    CompensatedSum square[4];
    for (int c = 0; c < 4; ++c) {
        shift[c] = std::isfinite(rows[range.from][c]) ? rows[range.from][c] : 0.0;
        max[c] = -HUGE_VAL;
        min[c] = HUGE_VAL;
        maxRow[c] = minRow[c] = range.from;
    }
    for (std::size_t first = range.from; first <= range.to; first += kBlock) {
        const std::size_t end = std::min(range.to + 1, first + kBlock);
        double s1[4] = {0, 0, 0, 0};
        double s2[4] = {0, 0, 0, 0};
        double blockMax[4] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
        double blockMin[4] = {HUGE_VAL, HUGE_VAL, HUGE_VAL, HUGE_VAL};
        for (std::size_t i = first; i < end; ++i) {
            const SampleRow& row = rows[i];
            for (int c = 0; c < 4; ++c) {
                const double v = row[c];
                const double d = v - shift[c];
                s1[c] += d;
                s2[c] += d * d;
                blockMax[c] = v > blockMax[c] ? v : blockMax[c];
                blockMin[c] = v < blockMin[c] ? v : blockMin[c];
            }
        }
        for (int c = 0; c < 4; ++c) {
            linear[c].add(s1[c]);
            square[c].add(s2[c]);
            // Ties go to the later row: the block's own extreme is looked up from its end, which
            // for flat data is found at once. A block of nothing but NaN stops at its first row.
            if (blockMax[c] >= max[c]) {
                std::size_t i = end - 1;
                while (i > first && rows[i][c] != blockMax[c])
                    --i;
                max[c] = blockMax[c];
                maxRow[c] = i;
            }
            if (blockMin[c] <= min[c]) {
                std::size_t i = end - 1;
                while (i > first && rows[i][c] != blockMin[c])
                    --i;
                min[c] = blockMin[c];
                minRow[c] = i;
            }
        }
    }
    const double count = static_cast<double>(n);
    for (int c = 0; c < 4; ++c) {
        ColumnStatistics& s = result.columns[c];
        const double meanOffset = linear[c].value() / count;
        const double variance = std::max(0.0, square[c].value() / count - meanOffset * meanOffset);
        s.max = max[c];
        s.min = min[c];
        s.maxRow = maxRow[c];
        s.minRow = minRow[c];
        s.mean = shift[c] + meanOffset;
        s.acRms = std::sqrt(variance);
        s.rms = std::sqrt(variance + s.mean * s.mean);
        s.peakToPeak = max[c] - min[c];
        if (s.rms > 0.0)
            s.crestFactor = std::max(std::fabs(max[c]), std::fabs(min[c])) / s.rms;
    }
    return result;
}

RangeStatistics RangeStatistics::converted(Unit to) const
{
    RangeStatistics out = *this;
    out.unit = to;
    const double factor = UnitScale(to) / UnitScale(unit);
    for (ColumnStatistics& s : out.columns) {
        s.max *= factor;
        s.min *= factor;
        s.mean *= factor;
        s.rms *= factor;
        s.acRms *= factor;
        s.peakToPeak *= factor;
    }
    return out;
}

}  // namespace shakemeter::vibration
