// Two recordings' statistics side by side: the difference against figures evaluated here row by
// row, the unit switch, a side without a crest factor or without rows, and the table texts.

#include <algorithm>
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "analysis/vibration/StatisticsComparison.h"
#include "analysis/vibration/VibrationFixtures.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::vibration;
using namespace shakemeter::testing;

// The seven figures of one column of rows[from..to], straight from their definitions.
std::array<double, kStatisticsLines> Naive(const std::vector<SampleRow>& rows, std::size_t from, std::size_t to,
                                           int column)
{
    double max = -HUGE_VAL;
    double min = HUGE_VAL;
    double sum = 0.0;
    double squares = 0.0;
    const double n = static_cast<double>(to - from + 1);
    for (std::size_t i = from; i <= to; ++i) {
        const double v = rows[i][column];
        max = std::max(max, v);
        min = std::min(min, v);
        sum += v;
        squares += v * v;
    }
    const double mean = sum / n;
    double spread = 0.0;
    for (std::size_t i = from; i <= to; ++i)
        spread += (rows[i][column] - mean) * (rows[i][column] - mean);
    const double rms = std::sqrt(squares / n);
    return {max, min, mean, rms, std::sqrt(spread / n), max - min, std::max(std::fabs(max), std::fabs(min)) / rms};
}

std::vector<SampleRow> Noise(std::size_t count, unsigned seed, double offset)
{
    std::mt19937_64 random(seed);
    std::normal_distribution<double> noise(offset, 0.4);
    std::vector<SampleRow> rows(count);
    for (SampleRow& row : rows)
        row = RowWithSum(noise(random), -noise(random), 1.0 + noise(random));
    return rows;
}

TEST(StatisticsComparison, DifferenceIsComparedMinusShownForEveryFigure)
{
    const std::vector<SampleRow> shown = Noise(900, 3, 0.1);
    const std::vector<SampleRow> compared = Noise(1200, 4, -0.3);
    // Different ranges of different lengths, as two recordings' rows in one time span are.
    const RowRange shownRange{100, 799};
    const RowRange comparedRange{37, 1150};
    const StatisticsComparison c = CompareStatistics(ComputeRangeStatistics(shown.data(), shownRange),
                                                     ComputeRangeStatistics(compared.data(), comparedRange));
    ASSERT_TRUE(c.compared.has_value());
    EXPECT_EQ(c.compared->range.from, 37u);
    EXPECT_EQ(c.compared->range.to, 1150u);
    for (int column = 0; column < 4; ++column) {
        const auto a = Naive(shown, shownRange.from, shownRange.to, column);
        const auto b = Naive(compared, comparedRange.from, comparedRange.to, column);
        for (int line = 0; line < kStatisticsLines; ++line) {
            SCOPED_TRACE(::testing::Message() << "column " << column << " line " << kStatisticsLineNames[line]);
            ASSERT_TRUE(c.difference[column][line].has_value());
            EXPECT_NEAR(*c.difference[column][line], b[line] - a[line], 1e-9);
        }
    }
}

TEST(StatisticsComparison, UnitsAndMissingFigures)
{
    // The compared side is given in m/s^2: it is taken in the shown side's g before subtracting.
    const std::vector<SampleRow> shown(50, RowWithSum(0.0, 0.5, 1.0));
    const std::vector<SampleRow> compared(80, RowWithSum(0.0, 1.0, 1.0));
    const RangeStatistics a = ComputeRangeStatistics(shown.data(), {0, 49});
    const RangeStatistics b = ComputeRangeStatistics(compared.data(), {0, 79}).converted(Unit::MetresPerSecondSquared);
    const StatisticsComparison c = CompareStatistics(a, b);
    EXPECT_EQ(c.unit, Unit::G);
    EXPECT_NEAR(*c.difference[1][2], 0.5, 1e-12);  // mean of Y
    EXPECT_NEAR(*c.difference[1][6], 0.0, 1e-12);  // both crest factors 1
    // X is 0 on both sides: no crest factor, so no difference of it; the other lines have one.
    EXPECT_FALSE(c.difference[0][6].has_value());
    EXPECT_EQ(*c.difference[0][3], 0.0);

    // In m/s^2 the accelerations' differences scale and the crest factor's does not.
    const StatisticsComparison m = c.converted(Unit::MetresPerSecondSquared);
    EXPECT_NEAR(*m.difference[1][2], 0.5 * kStandardGravity, 1e-12);
    EXPECT_NEAR(*m.difference[1][6], 0.0, 1e-12);
    EXPECT_NEAR(*m.difference[3][3], (std::sqrt(2.0) - std::sqrt(1.25)) * kStandardGravity, 1e-12);

    // Only one side has rows in the span: nothing to subtract.
    const StatisticsComparison alone = CompareStatistics(a, std::nullopt);
    EXPECT_FALSE(alone.compared.has_value());
    for (const StatisticsFigures& column : alone.difference)
        EXPECT_TRUE(std::none_of(column.begin(), column.end(), [](const auto& v) { return v.has_value(); }));
}

TEST(StatisticsComparison, TableTextsOfTheThreeGroupsInTheChosenUnit)
{
    const std::vector<SampleRow> shown = {RowWithSum(0.5, 0.0, 1.0), RowWithSum(-0.5, 0.0, 1.0)};
    const std::vector<SampleRow> compared = {RowWithSum(0.25, 0.0, 1.0), RowWithSum(0.75, 0.0, 1.0),
                                             RowWithSum(0.5, 0.0, 1.0)};
    const StatisticsComparison c = CompareStatistics(ComputeRangeStatistics(shown.data(), {0, 1}),
                                                     ComputeRangeStatistics(compared.data(), {0, 2}));
    const ComparisonTable g = ComparisonTableOf(c, Unit::G);
    EXPECT_EQ(g.shown.rows, 2u);
    EXPECT_EQ(g.compared.rows, 3u);
    EXPECT_EQ(g.difference.unit, "g");
    // X: max 0.5 -> 0.75, min -0.5 -> 0.25, mean 0 -> 0.5, crest factor 1 -> 0.75 / rms.
    EXPECT_EQ(g.shown.cells[0][0], "0.5000");
    EXPECT_EQ(g.compared.cells[0][0], "0.7500");
    EXPECT_EQ(g.difference.cells[0][0], "0.2500");
    EXPECT_EQ(g.difference.cells[1][0], "0.7500");
    EXPECT_EQ(g.difference.cells[2][0], "0.5000");
    EXPECT_EQ(g.difference.cells[5][0], "-0.5000");  // peak-to-peak 1.0 -> 0.5
    const double comparedRms = std::sqrt((0.0625 + 0.5625 + 0.25) / 3.0);
    char crest[32];
    std::snprintf(crest, sizeof crest, "%.3f", 0.75 / comparedRms - 1.0);
    EXPECT_EQ(g.difference.cells[6][0], crest);
    // Y is 0 throughout: no crest factor on either side, and a difference that shows no sign.
    EXPECT_EQ(g.difference.cells[6][1], "-");
    EXPECT_EQ(g.difference.cells[2][1], "0.0000");

    const ComparisonTable m = ComparisonTableOf(c, Unit::MetresPerSecondSquared);
    EXPECT_EQ(m.difference.unit, "m/s^2");
    EXPECT_EQ(m.difference.cells[2][0], AccelerationText(0.5 * kStandardGravity));
    EXPECT_EQ(m.difference.cells[6][0], crest);

    // No compared rows in the span: both other groups say so in every cell.
    const ComparisonTable alone = ComparisonTableOf(CompareStatistics(c.shown, std::nullopt), Unit::G);
    EXPECT_EQ(alone.shown.cells, g.shown.cells);
    EXPECT_EQ(alone.compared.rows, 0u);
    for (int line = 0; line < kStatisticsLines; ++line) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(alone.compared.cells[line][column], "-");
            EXPECT_EQ(alone.difference.cells[line][column], "-");
        }
    }
}

}  // namespace
