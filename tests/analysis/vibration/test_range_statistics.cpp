// Statistics over a row range: known answers for a sine and a constant, the ends of the
// recording, ties, large offsets, the unit switch and the ranges that are refused.

#include <cmath>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

#include "analysis/vibration/RangeStatistics.h"
#include "analysis/vibration/VibrationFixtures.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::vibration;
using namespace shakemeter::testing;

RangeStatistics All(const std::vector<SampleRow>& rows)
{
    return ComputeRangeStatistics(rows.data(), RowRange{0, rows.size() - 1});
}

TEST(RangeStatistics, KnownAnswers)
{
    // A whole number of periods of a 1.5 g sine, sampled 40 times a period, peaks included.
    std::vector<SampleRow> sine;
    for (int n = 0; n < 400; ++n) {
        const double v = 1.5 * std::sin(2 * std::numbers::pi * n / 40.0);
        sine.push_back({v, 0.25 + v, -2.0, std::fabs(v)});
    }
    const RangeStatistics s = All(sine);
    const ColumnStatistics& x = s.columns[0];
    EXPECT_NEAR(x.mean, 0.0, 1e-12);
    EXPECT_NEAR(x.rms, 1.5 / std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(x.acRms, 1.5 / std::sqrt(2.0), 1e-12);
    ASSERT_TRUE(x.crestFactor.has_value());
    EXPECT_NEAR(*x.crestFactor, std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(x.peakToPeak, 3.0, 1e-12);
    // The offset sine: the mean moves, the AC RMS does not, the RMS grows by the mean's power.
    const ColumnStatistics& y = s.columns[1];
    EXPECT_NEAR(y.mean, 0.25, 1e-12);
    EXPECT_NEAR(y.acRms, 1.5 / std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(y.rms, std::sqrt(1.125 + 0.0625), 1e-12);
    EXPECT_NEAR(*y.crestFactor, 1.75 / y.rms, 1e-12);
    // A constant negative column: its crest factor is 1 and its spread nothing.
    const ColumnStatistics& z = s.columns[2];
    EXPECT_EQ(z.mean, -2.0);
    EXPECT_EQ(z.rms, 2.0);
    EXPECT_EQ(z.acRms, 0.0);
    EXPECT_EQ(*z.crestFactor, 1.0);
    EXPECT_EQ(z.peakToPeak, 0.0);
}

TEST(RangeStatistics, ConstantOverTheLargestRecordingIsExact)
{
    const std::vector<SampleRow> rows(2750000, SampleRow{1.0, 1.0, 1.0, 1.0});
    const RangeStatistics s = All(rows);
    for (const ColumnStatistics& c : s.columns) {
        EXPECT_NEAR(c.rms, 1.0, 1e-12);
        EXPECT_NEAR(c.mean, 1.0, 1e-12);
        EXPECT_EQ(c.acRms, 0.0);
        EXPECT_EQ(c.maxRow, rows.size() - 1);  // ties to the later row
        EXPECT_EQ(c.minRow, rows.size() - 1);
    }
    // 0.01 g is not a binary fraction: a plain running sum drifts over millions of rows.
    const std::vector<SampleRow> small(2750000, SampleRow{0.01, 0.01, 0.01, 0.01});
    EXPECT_NEAR(All(small).columns[0].mean, 0.01, 1e-15);
    EXPECT_NEAR(All(small).columns[0].rms, 0.01, 1e-15);
}

TEST(RangeStatistics, LargeOffsetKeepsTheSpread)
{
    std::mt19937_64 random(3);
    std::normal_distribution<double> noise(0.0, 0.001);
    std::vector<SampleRow> rows(100000);
    for (SampleRow& row : rows) {
        const double v = 1000.0 + noise(random);
        row = {v, v, v, v};
    }
    double mean = 0.0;
    for (const SampleRow& row : rows)
        mean += row[0];
    mean /= static_cast<double>(rows.size());
    double variance = 0.0;
    for (const SampleRow& row : rows)
        variance += (row[0] - mean) * (row[0] - mean);
    const double twoPass = std::sqrt(variance / static_cast<double>(rows.size()));
    EXPECT_NEAR(All(rows).columns[0].acRms, twoPass, twoPass * 1e-6);
}

TEST(RangeStatistics, RangesAndTies)
{
    std::vector<SampleRow> rows;
    for (int k = 0; k < 200; ++k)
        rows.push_back({static_cast<double>(k % 7), -static_cast<double>(k % 5), 0.0, 1.0});

    // Ties of the extremes go to the later row, also across the summing blocks.
    const RangeStatistics all = All(rows);
    EXPECT_EQ(all.columns[0].max, 6.0);
    EXPECT_EQ(all.columns[0].maxRow, 195u);
    EXPECT_EQ(all.columns[0].min, 0.0);
    EXPECT_EQ(all.columns[0].minRow, 196u);
    EXPECT_EQ(all.columns[1].minRow, 199u);
    EXPECT_EQ(all.columns[2].maxRow, 199u);

    // The last row alone, the first row alone, and a stretch in the middle.
    const RangeStatistics last = ComputeRangeStatistics(rows.data(), RowRange{199, 199});
    EXPECT_EQ(last.columns[0].max, 3.0);
    EXPECT_EQ(last.columns[0].maxRow, 199u);
    EXPECT_EQ(last.columns[0].mean, 3.0);
    EXPECT_EQ(last.columns[0].acRms, 0.0);
    const RangeStatistics first = ComputeRangeStatistics(rows.data(), RowRange{0, 0});
    EXPECT_EQ(first.columns[0].rms, 0.0);
    EXPECT_FALSE(first.columns[0].crestFactor.has_value());  // rms 0: no crest factor
    const RangeStatistics middle = ComputeRangeStatistics(rows.data(), RowRange{10, 13});
    EXPECT_EQ(middle.range.size(), 4u);
    EXPECT_EQ(middle.columns[0].max, 6.0);  // rows 10..13 hold 3, 4, 5, 6
    EXPECT_EQ(middle.columns[0].maxRow, 13u);
    EXPECT_EQ(middle.columns[0].min, 3.0);
    EXPECT_EQ(middle.columns[0].minRow, 10u);
    EXPECT_DOUBLE_EQ(middle.columns[0].mean, 4.5);
}

TEST(RangeStatistics, RowsThatAreNotNumbers)
{
    // A file may hold any doubles: whole blocks of NaN leave the extremes where real values put
    // them and never send the search for a row outside the range.
    std::vector<SampleRow> rows(200, SampleRow{NAN, NAN, NAN, NAN});
    rows[150] = {1.0, 2.0, 3.0, 4.0};
    const RangeStatistics s = ComputeRangeStatistics(rows.data(), RowRange{0, 199});
    EXPECT_EQ(s.columns[0].max, 1.0);
    EXPECT_EQ(s.columns[0].maxRow, 150u);
    EXPECT_EQ(s.columns[3].minRow, 150u);
    const RangeStatistics none = ComputeRangeStatistics(rows.data(), RowRange{0, 99});
    EXPECT_LE(none.columns[0].maxRow, 99u);
    EXPECT_TRUE(std::isnan(none.columns[0].mean));
}

TEST(RangeStatistics, ChoosingTheRange)
{
    RangeChoice c = ChooseRange(10, std::nullopt, std::nullopt);
    ASSERT_TRUE(c.range);
    EXPECT_EQ(c.range->from, 0u);
    EXPECT_EQ(c.range->to, 9u);
    c = ChooseRange(10, 9, std::nullopt);
    ASSERT_TRUE(c.range);
    EXPECT_EQ(c.range->size(), 1u);
    c = ChooseRange(10, std::nullopt, 0);
    ASSERT_TRUE(c.range);
    EXPECT_EQ(c.range->size(), 1u);

    EXPECT_EQ(ChooseRange(10, 10, std::nullopt).refusal, "row 10 is past the last row, 9");
    EXPECT_EQ(ChooseRange(10, 2, 12).refusal, "row 12 is past the last row, 9");
    EXPECT_EQ(ChooseRange(10, 5, 4).refusal, "the first row, 5, is after the last, 4");
    EXPECT_EQ(ChooseRange(0, std::nullopt, std::nullopt).refusal, "the recording has no rows");
    EXPECT_FALSE(ChooseRange(0, std::nullopt, std::nullopt).range);
}

TEST(RangeStatistics, UnitSwitch)
{
    const std::vector<SampleRow> rows = {{1.0, -2.0, 0.5, 2.3}, {-1.0, 2.0, 0.5, 2.3}};
    const RangeStatistics g = All(rows);
    const RangeStatistics si = g.converted(Unit::MetresPerSecondSquared);
    EXPECT_EQ(si.unit, Unit::MetresPerSecondSquared);
    EXPECT_DOUBLE_EQ(si.columns[1].max, 2.0 * 9.80665);
    EXPECT_DOUBLE_EQ(si.columns[1].min, -2.0 * 9.80665);
    EXPECT_DOUBLE_EQ(si.columns[0].rms, 9.80665);
    EXPECT_DOUBLE_EQ(si.columns[2].mean, 0.5 * 9.80665);
    EXPECT_DOUBLE_EQ(si.columns[1].peakToPeak, 4.0 * 9.80665);
    EXPECT_DOUBLE_EQ(*si.columns[0].crestFactor, *g.columns[0].crestFactor);
    EXPECT_EQ(si.columns[1].maxRow, 1u);
    // Back again gives the values in g.
    EXPECT_DOUBLE_EQ(si.converted(Unit::G).columns[0].rms, 1.0);
    EXPECT_EQ(ParseUnit("m/s2"), Unit::MetresPerSecondSquared);
    EXPECT_EQ(ParseUnit("g"), Unit::G);
    EXPECT_FALSE(ParseUnit("G"));
    EXPECT_STREQ(UnitName(Unit::MetresPerSecondSquared), "m/s2");
}

}  // namespace
