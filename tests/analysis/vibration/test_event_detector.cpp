// Shocks and free falls: a drop measured at 50 ms and the shock it ends in, runs ended by gaps in
// the ticks, peaks, faces and ties, the levels, the labels and the unit switch.

#include <cstdlib>
#include <ostream>
#include <random>

#include <gtest/gtest.h>

#include "analysis/vibration/EventDetector.h"
#include "analysis/vibration/VibrationFixtures.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::vibration;
using namespace shakemeter::testing;

const SampleRow kRest = RowWithSum(0.0, 0.0, 1.0);
const SampleRow kLow = RowWithSum(0.05, 0.1, 0.2);

// The first and last rows of an event or a run.
struct RowRun {
    std::size_t first;
    std::size_t last;
    bool operator==(const RowRun&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const RowRun& run)
    {
        return out << "rows " << run.first << " to " << run.last;
    }
};

template <class Event>
RowRun RunOf(const Event& event)
{
    return {event.firstRow, event.lastRow};
}

class Events : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC0", 1);
        tzset();
    }
};

TEST_F(Events, DropAt50msLinkedToItsImpact)
{
    std::vector<SampleRow> rows(5, kRest);
    rows.insert(rows.end(), 9, kLow);            // rows 5..13 fall
    rows.insert(rows.end(), 3, kRest);           // rows 14..16
    rows.push_back(RowWithSum(1.0, -2.5, 3.0));  // 17: the impact
    rows.push_back(RowWithSum(0.5, 4.0, -3.0));  // 18
    rows.insert(rows.end(), 5, kRest);
    const Recording recording = LoggedRecording(rows);  // interval code 200: 50 ms
    vibration::Events events = DetectEvents(TimeRowsOf(recording), EventOptions{});
    LabelEvents(events, recording);

    ASSERT_EQ(events.freeFalls.size(), 1u);
    const FreeFall& fall = events.freeFalls[0];
    EXPECT_EQ(RunOf(fall), (RowRun{5, 13}));
    EXPECT_EQ(fall.time, "05/03/23 14:07:09 250ms");
    EXPECT_NEAR(fall.durationS, 0.45, 1e-12);
    EXPECT_NEAR(fall.heightM, 0.993, 0.0005);
    EXPECT_NEAR(fall.heightM, 9.80665 * 0.45 * 0.45 / 2, 1e-12);
    EXPECT_NEAR(fall.heightMinM, 9.80665 * 0.40 * 0.40 / 2, 1e-12);
    EXPECT_NEAR(fall.heightMaxM, 9.80665 * 0.50 * 0.50 / 2, 1e-12);
    EXPECT_NEAR(fall.impactSpeedMS, 4.41, 0.005);
    ASSERT_TRUE(fall.impact.has_value());
    EXPECT_EQ(*fall.impact, 0u);

    ASSERT_EQ(events.shocks.size(), 1u);
    const Shock& shock = events.shocks[0];
    EXPECT_EQ(RunOf(shock), (RowRun{17, 18}));
    EXPECT_EQ(shock.time, "05/03/23 14:07:09 850ms");
    EXPECT_NEAR(shock.durationS, 0.1, 1e-12);
    EXPECT_DOUBLE_EQ(shock.peakSum, rows[18][3]);
    EXPECT_EQ(shock.peakRow, 18u);
    EXPECT_EQ(shock.peak, (std::array<double, 3>{1.0, 4.0, 3.0}));  // Z: 3.0 before -3.0
    EXPECT_EQ(shock.face, "+Y");
}

TEST_F(Events, RunsEndAtGapsInTheTicks)
{
    // Motion detection: a fall of 3 + 3 rows with a gap in the middle is two falls; a single low
    // row is no fall.
    std::vector<SampleRow> rows = {kRest, kLow, kLow, kLow, kLow, kLow, kLow, kRest, kLow, kRest};
    std::vector<std::int32_t> ticks = {0, 1, 2, 3, 40, 41, 42, 43, 44, 45};
    const Recording recording = LoggedRecording(rows, 200, ticks);
    const TimeRows shown = TimeRowsOf(recording);
    EXPECT_FALSE(shown.evenlySampled());
    const vibration::Events events = DetectEvents(shown, EventOptions{});
    ASSERT_EQ(events.freeFalls.size(), 2u);
    EXPECT_EQ(RunOf(events.freeFalls[0]), (RowRun{1, 3}));
    EXPECT_EQ(RunOf(events.freeFalls[1]), (RowRun{4, 6}));
    EXPECT_NEAR(events.freeFalls[1].durationS, 0.15, 1e-12);

    // With two rows asked for, a lone low row still is none; with one it is.
    EventOptions single;
    single.minFallRows = 1;
    EXPECT_EQ(DetectEvents(shown, single).freeFalls.size(), 3u);
    single.minFallRows = 4;
    EXPECT_TRUE(DetectEvents(shown, single).freeFalls.empty());
}

TEST_F(Events, ShocksAtTheEndsAndTheLevels)
{
    const SampleRow hit = RowWithSum(-2.5, 0.0, 0.0);
    std::vector<SampleRow> rows = {hit, kRest, RowWithSum(0.0, 0.0, 2.0), kRest, hit, hit};
    const Recording recording = LoggedRecording(rows);
    vibration::Events events = DetectEvents(TimeRowsOf(recording), EventOptions{});
    ASSERT_EQ(events.shocks.size(), 3u);  // 2.00 g itself is a shock
    EXPECT_EQ(events.shocks[0].firstRow, 0u);
    EXPECT_EQ(events.shocks[0].face, "-X");
    EXPECT_EQ(events.shocks[1].face, "+Z");
    EXPECT_EQ(RunOf(events.shocks[2]), (RowRun{4, 5}));
    EXPECT_EQ(events.shocks[2].peakRow, 5u);  // equal sums: the later row
    EXPECT_TRUE(events.freeFalls.empty());

    EventOptions higher;
    higher.shockLevel = 2.4;
    EXPECT_EQ(DetectEvents(TimeRowsOf(recording), higher).shocks.size(), 2u);
    // Equal magnitudes on two axes: X before Y before Z.
    const Recording tie = LoggedRecording({RowWithSum(0.0, -3.0, 3.0)});
    EXPECT_EQ(DetectEvents(TimeRowsOf(tie), EventOptions{}).shocks[0].face, "-Y");
}

TEST_F(Events, ImpactOnlyWithinASecond)
{
    // At 50 ms a second is 20 ticks: a shock 20 ticks after the last low row counts, 21 do not.
    for (const int gap : {20, 21}) {
        std::vector<SampleRow> rows(3, kLow);
        rows.insert(rows.end(), static_cast<std::size_t>(gap - 1), kRest);
        rows.push_back(RowWithSum(3.0, 0.0, 0.0));
        const vibration::Events events = DetectEvents(TimeRowsOf(LoggedRecording(rows)), EventOptions{});
        ASSERT_EQ(events.freeFalls.size(), 1u);
        ASSERT_EQ(events.shocks.size(), 1u);
        EXPECT_EQ(events.freeFalls[0].impact.has_value(), gap == 20) << gap;
    }
    // A shock before the fall is never its impact.
    const std::vector<SampleRow> rows = {RowWithSum(3.0, 0.0, 0.0), kLow, kLow, kRest};
    EXPECT_FALSE(DetectEvents(TimeRowsOf(LoggedRecording(rows)), EventOptions{}).freeFalls[0].impact);
}

TEST_F(Events, UnitSwitchLeavesHeightsInMetres)
{
    const std::vector<SampleRow> rows = {kLow, kLow, RowWithSum(0.0, 0.0, -2.5)};
    const vibration::Events g = DetectEvents(TimeRowsOf(LoggedRecording(rows)), EventOptions{});
    const vibration::Events si = g.converted(Unit::MetresPerSecondSquared);
    EXPECT_DOUBLE_EQ(si.shocks[0].peakSum, 2.5 * 9.80665);
    EXPECT_DOUBLE_EQ(si.shocks[0].peak[2], -2.5 * 9.80665);
    EXPECT_EQ(si.shocks[0].face, "-Z");
    EXPECT_EQ(si.freeFalls[0].heightM, g.freeFalls[0].heightM);
    EXPECT_EQ(si.freeFalls[0].impactSpeedMS, g.freeFalls[0].impactSpeedMS);
}

TEST_F(Events, SamplingIntervalOfEveryKind)
{
    // Logged at 2 s (code 2 * 4 + 1), real time in milliseconds, a capture at 1/256 s.
    EXPECT_DOUBLE_EQ(TimeRowsOf(LoggedRecording({kRest}, 9)).dt, 2.0);
    Recording live = LoggedRecording({kRest, kRest}, 500);
    live.m_bRealTime = 1;
    EXPECT_DOUBLE_EQ(TimeRowsOf(live).dt, 0.5);
    EXPECT_DOUBLE_EQ(TimeRowsOf(SpectrumRecording({kRest, kRest})).dt, 1.0 / 256);
    // A header that promises more rows than were read shows only what exists.
    Recording cut = LoggedRecording({kRest, kRest});
    cut.m_header.dwSampleCount = 10;
    EXPECT_EQ(TimeRowsOf(cut).count, 2u);
    EXPECT_TRUE(DetectEvents(TimeRowsOf(Recording{}), EventOptions{}).shocks.empty());
}

}  // namespace

namespace {

// The runs straight from their definition, row by row, for comparison with the detector's
// block-skipping pass.
std::vector<RowRun> NaiveRuns(const TimeRows& rows, bool shock, const EventOptions& o, std::size_t minRows)
{
    std::vector<RowRun> runs;
    std::size_t k = 0;
    const auto in = [&](std::size_t i) {
        return shock ? rows.rows[i][3] >= o.shockLevel : rows.rows[i][3] <= o.fallLevel;
    };
    while (k < rows.count) {
        if (!in(k)) {
            ++k;
            continue;
        }
        std::size_t last = k;
        while (last + 1 < rows.count && in(last + 1) && rows.tick(last + 1) == rows.tick(last) + 1)
            ++last;
        if (last - k + 1 >= minRows)
            runs.push_back({k, last});
        k = last + 1;
    }
    return runs;
}

TEST_F(Events, SameRunsAsRowByRowAcrossBlocks)
{
    // Runs of every length placed at random, many across the edges of the detector's blocks, in
    // an evenly sampled recording and in one with gaps in its ticks.
    std::mt19937 random(17);
    std::uniform_int_distribution<int> kind(0, 20);
    std::uniform_int_distribution<int> pick(0, 3);
    std::vector<SampleRow> rows;
    std::vector<std::int32_t> ticks;
    std::int32_t tick = 0;
    while (rows.size() < 5000) {
        const int k = pick(random);
        const SampleRow row = k == 0 ? RowWithSum(0, 0, 2.5) : k == 1 ? kLow : kRest;
        const std::size_t length = 1 + static_cast<std::size_t>(kind(random)) * (k < 2 ? 4 : 1) / 2;
        for (std::size_t i = 0; i < length; ++i) {
            rows.push_back(row);
            ticks.push_back(tick);
            tick += kind(random) == 0 ? 3 : 1;
        }
    }
    for (const bool withTicks : {false, true}) {
        const Recording recording = LoggedRecording(rows, 200, withTicks ? ticks : std::vector<std::int32_t>{});
        const TimeRows shown = TimeRowsOf(recording);
        const EventOptions o;
        const vibration::Events events = DetectEvents(shown, o);
        std::vector<RowRun> shocks;
        for (const Shock& s : events.shocks)
            shocks.push_back(RunOf(s));
        std::vector<RowRun> falls;
        for (const FreeFall& f : events.freeFalls)
            falls.push_back(RunOf(f));
        EXPECT_EQ(shocks, NaiveRuns(shown, true, o, 1)) << withTicks;
        EXPECT_EQ(falls, NaiveRuns(shown, false, o, o.minFallRows)) << withTicks;
        EXPECT_GT(shocks.size(), 50u);
        EXPECT_GT(falls.size(), 50u);
    }
}

}  // namespace
