#include "analysis/vibration/RangeStatistics.h"

#include <algorithm>
#include <cmath>

#include "recording/ColumnPairs.h"

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

struct Block {
    double s1[4];
    double s2[4];
    double max[4];
    double min[4];
};

// Each step works on X and Y, then Z and the sum, at once; two rows at a time keep two chains of
// additions going, as the bare sum of the same rows does.
Block SumBlock(const SampleRow* rows, std::size_t count, const double* shiftBy)
{
    const ColumnPair shiftLo = {shiftBy[0], shiftBy[1]};
    const ColumnPair shiftHi = {shiftBy[2], shiftBy[3]};
    const ColumnPair zero = {0, 0};
    const ColumnPair low = {-HUGE_VAL, -HUGE_VAL};
    const ColumnPair high = {HUGE_VAL, HUGE_VAL};
    ColumnPair s1[4] = {zero, zero, zero, zero};  // [row parity * 2 + half]
    ColumnPair s2[4] = {zero, zero, zero, zero};
    ColumnPair mx[4] = {low, low, low, low};
    ColumnPair mn[4] = {high, high, high, high};
    const auto add = [&](int lane, ColumnPair v, ColumnPair shift) {
        const ColumnPair d = v - shift;
        s1[lane] += d;
        s2[lane] += d * d;
        mx[lane] = PairMax(v, mx[lane]);
        mn[lane] = PairMin(v, mn[lane]);
    };
    std::size_t i = 0;
    for (; i + 1 < count; i += 2) {
        const RowLanes a = LoadRow(rows[i]);
        const RowLanes b = LoadRow(rows[i + 1]);
        add(0, a.lo, shiftLo);
        add(1, a.hi, shiftHi);
        add(2, b.lo, shiftLo);
        add(3, b.hi, shiftHi);
    }
    if (i < count) {
        const RowLanes a = LoadRow(rows[i]);
        add(0, a.lo, shiftLo);
        add(1, a.hi, shiftHi);
    }
    Block block;
    StoreRow(block.s1, {s1[0] + s1[2], s1[1] + s1[3]});
    StoreRow(block.s2, {s2[0] + s2[2], s2[1] + s2[3]});
    StoreRow(block.max, {PairMax(mx[0], mx[2]), PairMax(mx[1], mx[3])});
    StoreRow(block.min, {PairMin(mn[0], mn[2]), PairMin(mn[1], mn[3])});
    return block;
}

// The figures that follow from the extremes, the mean and the variance.
void FinishColumn(ColumnStatistics& s, double mean, double variance)
{
    s.mean = mean;
    s.acRms = std::sqrt(variance);
    s.rms = std::sqrt(variance + s.mean * s.mean);
    s.peakToPeak = s.max - s.min;
    s.crestFactor.reset();
    if (s.rms > 0.0)
        s.crestFactor = std::max(std::fabs(s.max), std::fabs(s.min)) / s.rms;
}

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
        const Block block = SumBlock(rows + first, end - first, shift);
        const double* s1 = block.s1;
        const double* s2 = block.s2;
        const double* blockMax = block.max;
        const double* blockMin = block.min;
        for (int c = 0; c < 4; ++c) {
            linear[c].add(s1[c]);
            square[c].add(s2[c]);
            // Ties go to the later row: the block's own extreme is looked up from its end, which
            // for flat data is found at once. A block of nothing but NaN stops at its first row.
            if (blockMax[c] >= max[c]) {
                max[c] = blockMax[c];
                maxRow[c] = LastRowHolding(rows, first, end, static_cast<std::size_t>(c), blockMax[c]);
            }
            if (blockMin[c] <= min[c]) {
                min[c] = blockMin[c];
                minRow[c] = LastRowHolding(rows, first, end, static_cast<std::size_t>(c), blockMin[c]);
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
        FinishColumn(s, shift[c] + meanOffset, variance);
    }
    return result;
}

RangeStatistics JoinRangeStatistics(const RangeStatistics& before, const RangeStatistics& after)
{
    RangeStatistics result;
    result.unit = before.unit;
    result.range = {before.range.from, after.range.to};
    const double na = static_cast<double>(before.range.size());
    const double nb = static_cast<double>(after.range.size());
    const double n = na + nb;
    for (std::size_t c = 0; c < 4; ++c) {
        const ColumnStatistics& a = before.columns[c];
        const ColumnStatistics& b = after.columns[c];
        ColumnStatistics& s = result.columns[c];
        // Ties go to the later row, as within one range.
        const bool maxAfter = b.max >= a.max || std::isnan(a.max);
        const bool minAfter = b.min <= a.min || std::isnan(a.min);
        s.max = maxAfter ? b.max : a.max;
        s.maxRow = maxAfter ? b.maxRow : a.maxRow;
        s.min = minAfter ? b.min : a.min;
        s.minRow = minAfter ? b.minRow : a.minRow;
        // Pooled variance (Chan et al.): each part's spread about its own mean, plus the spread
        // of the two means about the joint one.
        const double delta = b.mean - a.mean;
        const double mean = a.mean + delta * nb / n;
        const double spread = a.acRms * a.acRms * na + b.acRms * b.acRms * nb + delta * delta * na * nb / n;
        FinishColumn(s, mean, std::max(0.0, spread / n));
    }
    return result;
}

RangeStatistics RangeStatistics::converted(Unit to) const
{
    return InUnit(*this, to, [](RangeStatistics& out, double factor) {
        for (ColumnStatistics& s : out.columns) {
            for (double* v : {&s.max, &s.min, &s.mean, &s.rms, &s.acRms, &s.peakToPeak})
                *v *= factor;
        }
    });
}

}  // namespace shakemeter::vibration
