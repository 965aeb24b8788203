// Statistics that follow a graph: two ranges joined equal one range computed at once, a range
// that grows with a reading costs only its new rows, anything else is computed afresh, and the
// table's texts in either unit.

#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "analysis/vibration/RangeStatisticsCache.h"
#include "analysis/vibration/StatisticsTable.h"
#include "analysis/vibration/VibrationFixtures.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::vibration;
using namespace shakemeter::testing;

std::vector<SampleRow> Noise(std::size_t count, unsigned seed, double offset = 0.0)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> normal(0.0, 0.7);
    std::vector<SampleRow> rows;
    for (std::size_t i = 0; i < count; ++i)
        rows.push_back(RowWithSum(offset + normal(random), normal(random), 1.0 + normal(random)));
    return rows;
}

void ExpectSame(const RangeStatistics& a, const RangeStatistics& b)
{
    EXPECT_EQ(a.range.from, b.range.from);
    EXPECT_EQ(a.range.to, b.range.to);
    for (std::size_t c = 0; c < 4; ++c) {
        const ColumnStatistics& x = a.columns[c];
        const ColumnStatistics& y = b.columns[c];
        EXPECT_EQ(x.max, y.max);
        EXPECT_EQ(x.min, y.min);
        EXPECT_EQ(x.maxRow, y.maxRow);
        EXPECT_EQ(x.minRow, y.minRow);
        EXPECT_EQ(x.peakToPeak, y.peakToPeak);
        EXPECT_NEAR(x.mean, y.mean, 1e-12 * (1.0 + std::fabs(y.mean)));
        EXPECT_NEAR(x.rms, y.rms, 1e-12 * y.rms);
        EXPECT_NEAR(x.acRms, y.acRms, 1e-12 * y.acRms);
        ASSERT_EQ(x.crestFactor.has_value(), y.crestFactor.has_value());
        if (x.crestFactor) {
            EXPECT_NEAR(*x.crestFactor, *y.crestFactor, 1e-12 * *y.crestFactor);
        }
    }
}

TEST(RangeStatisticsJoin, TwoPartsEqualTheWholeWithTiesToTheLaterRow)
{
    // A large offset: joining must pool the spreads about each part's mean, not cancel sums.
    std::vector<SampleRow> rows = Noise(5000, 7, 1000.0);
    rows[10][1] = 50.0;  // the same maximum in both parts: the later row wins
    rows[4000][1] = 50.0;
    rows[20][2] = -40.0;  // a minimum only in the first part
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{2500}, std::size_t{4998}}) {
        const RangeStatistics joined = JoinRangeStatistics(ComputeRangeStatistics(rows.data(), {0, cut}),
                                                           ComputeRangeStatistics(rows.data(), {cut + 1, 4999}));
        ExpectSame(joined, ComputeRangeStatistics(rows.data(), {0, 4999}));
        EXPECT_EQ(joined.columns[1].maxRow, 4000u);
        EXPECT_EQ(joined.columns[2].minRow, 20u);
    }
    // Constant rows joined stay exact: no spread, the crest factor 1.
    const std::vector<SampleRow> flat(100, SampleRow{0.5, 0.5, 0.5, 0.5});
    const RangeStatistics f = JoinRangeStatistics(ComputeRangeStatistics(flat.data(), {0, 49}),
                                                  ComputeRangeStatistics(flat.data(), {50, 99}));
    EXPECT_EQ(f.columns[0].acRms, 0.0);
    EXPECT_EQ(f.columns[0].rms, 0.5);
    EXPECT_EQ(*f.columns[0].crestFactor, 1.0);
}

TEST(RangeStatisticsCache, AReadingAddsOnlyItsNewRowsAndAnythingElseIsComputedAfresh)
{
    std::vector<SampleRow> rows = Noise(1000, 3);
    rows.reserve(100000);
    RangeStatisticsCache cache;
    using Work = RangeStatisticsCache::Work;
    // The work an update for the first count rows does; its statistics must equal ones computed
    // at once.
    const auto update = [&](std::size_t count, RowRange range, bool reading) {
        SCOPED_TRACE(::testing::Message() << count << " rows, range " << range.from << " to " << range.to);
        ExpectSame(cache.Update(TimeRows{rows.data(), count, nullptr, 0.1}, range, reading),
                   ComputeRangeStatistics(rows.data(), range));
        return cache.lastWork();
    };

    EXPECT_EQ(update(600, {0, 599}, true), Work::Full);
    EXPECT_EQ(update(600, {0, 599}, true), Work::None);
    // A reading brings rows 600 .. 999: only they are read.
    EXPECT_EQ(update(1000, {0, 999}, true), Work::Appended);

    // The rows of a file are not a reading's: a longer range is computed whole.
    EXPECT_EQ(update(1000, {0, 899}, false), Work::Full);
    EXPECT_EQ(update(1000, {0, 999}, false), Work::Full);
    // A zoom or scroll: another first row.
    EXPECT_EQ(update(1000, {100, 999}, true), Work::Full);

    // Another recording in the same rows (a new reading started): the rows at the ends differ,
    // so nothing of the old statistics is kept.
    update(1000, {0, 499}, true);
    std::vector<SampleRow> fresh = Noise(1000, 99);
    std::copy(fresh.begin(), fresh.end(), rows.begin());
    EXPECT_EQ(update(1000, {0, 999}, true), Work::Full);
    rows[999][0] += 1.0;  // a changed row at the end in the same place is seen as well
    EXPECT_EQ(update(1000, {0, 999}, false), Work::Full);
}

TEST(RangeStatisticsCache, AnotherReadingThatStartsAndEndsAtRestIsNotTakenForTheOldOne)
{
    // Two real-time recordings of the same length, the logger lying still at their first and
    // last rows: only the rows between tell them apart.
    const auto atRest = [](std::vector<SampleRow> rows) {
        rows.front() = rows.back() = RowWithSum(0.0, 0.01, 1.0);
        return rows;
    };
    const std::vector<SampleRow> first = atRest(Noise(500, 1));
    const std::vector<SampleRow> second = atRest(Noise(800, 2, 3.0));
    RangeStatisticsCache cache;
    using Work = RangeStatisticsCache::Work;
    cache.Update(TimeRows{first.data(), 500, nullptr, 0.5}, {0, 499}, true);
    const RangeStatistics& same = cache.Update(TimeRows{second.data(), 500, nullptr, 0.5}, {0, 499}, true);
    EXPECT_EQ(cache.lastWork(), Work::Full);
    ExpectSame(same, ComputeRangeStatistics(second.data(), {0, 499}));

    // Nor are the old statistics extended by the rows of a longer one whose row at the old end
    // matches by chance.
    std::vector<SampleRow> longer = Noise(800, 3, -2.0);
    longer[0] = longer[499] = first[0];
    cache.Update(TimeRows{first.data(), 500, nullptr, 0.5}, {0, 499}, true);
    const RangeStatistics& grown = cache.Update(TimeRows{longer.data(), 800, nullptr, 0.5}, {0, 799}, true);
    EXPECT_EQ(cache.lastWork(), Work::Full);
    ExpectSame(grown, ComputeRangeStatistics(longer.data(), {0, 799}));
}

TEST(StatisticsTable, TextsInEitherUnit)
{
    std::vector<SampleRow> rows;
    for (int i = 0; i < 4; ++i)
        rows.push_back({i % 2 == 0 ? 1.0 : -1.0, 0.0, 2.0, 0.00001});
    const RangeStatistics s = ComputeRangeStatistics(rows.data(), {0, 3});
    const StatisticsTable g = StatisticsTableOf(s, Unit::G);
    EXPECT_EQ(g.unit, "g");
    EXPECT_EQ(g.rows, 4u);
    EXPECT_EQ(g.cells[0][0], "1.0000");   // max
    EXPECT_EQ(g.cells[1][0], "-1.0000");  // min
    EXPECT_EQ(g.cells[2][0], "0.0000");   // mean
    EXPECT_EQ(g.cells[5][0], "2.0000");   // peak-to-peak
    EXPECT_EQ(g.cells[6][0], "1.000");    // crest factor
    EXPECT_EQ(g.cells[6][1], "-");        // no crest factor without RMS
    EXPECT_EQ(g.cells[3][1], "0.0000");
    const StatisticsTable metric = StatisticsTableOf(s, Unit::MetresPerSecondSquared);
    EXPECT_EQ(metric.unit, "m/s^2");
    EXPECT_EQ(metric.cells[0][2], "19.6133");  // 2 g
    EXPECT_EQ(metric.cells[6][2], "1.000");    // the crest factor has no unit
    EXPECT_EQ(AccelerationText(-0.00001), "0.0000");
    EXPECT_EQ(AccelerationText(std::nan("")), "-");
}

}  // namespace
