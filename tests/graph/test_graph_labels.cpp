// Time-axis steps and labels: rows, ticks of motion recordings, frequencies, the start-only axis.

#include <gtest/gtest.h>

#include "GraphFixture.h"
#include "graph/core/AxisText.h"

namespace shakemeter {
namespace {

using testing::GraphFixture;
using testing::ScopedTimeZone;

std::vector<std::string> TimeLines(const GraphModel& model, const VisibleRange& range)
{
    std::vector<std::string> lines;
    for (const TimeStepMark& mark : model.TimeSteps(range)) {
        const TimeLabelLines label = model.StepLabel(mark);
        lines.push_back(std::to_string(mark.x) + "|" + label.time + "|" + label.date);
    }
    return lines;
}

TEST(GraphLabels, TickTimeWithMillisecondsAndItsTwoLines)
{
    ScopedTimeZone zone("UTC0");
    GraphFixture g;
    g.Load(2, testing::Flat, {0, 1});
    g.view.m_timeStart = CalendarTime::FromLocal({2023, 3, 5, 14, 7, 9});
    g.view.m_dInterval = 0.5;
    EXPECT_EQ(g.model.FormatTickTime(1), " 05/03/23 14:07:09 500ms");
    EXPECT_EQ(g.model.FormatTickTime(2), " 05/03/23 14:07:10");
    EXPECT_EQ(g.model.FormatTickTime(7201), " 05/03/23 15:07:09 500ms");
    // A step before the first tick reads as the earlier second and a positive fraction.
    EXPECT_EQ(g.model.FormatTickTime(-1), " 05/03/23 14:07:08 500ms");

    // 15 x 0.053 s is 0.795 s, but 0.79499... in floating point: the step and the row at the same
    // tick both read 795ms.
    g.view.m_dInterval = 0.053;
    g.doc.m_pSampleTicks = {0, 15};
    EXPECT_EQ(g.model.FormatTickTime(15), " 05/03/23 14:07:09 795ms");
    EXPECT_EQ(g.model.FormatTickTime(15), g.view.FormatSampleTime(g.doc, 1));

    std::string time;
    std::string date;
    SplitTimeLabel(" 05/03/23 14:07:09 500ms", time, date);
    EXPECT_EQ(time, "14:07:09 500ms");
    EXPECT_EQ(date, " 05/03/23 ");
    SplitTimeLabel(" 14:07:09+5/256", time, date);  // spectrum rows carry no date
    EXPECT_EQ(time, "14:07:09+5/256");
    EXPECT_EQ(date, " ");
    SplitTimeLabel("no clock", time, date);
    EXPECT_EQ(time, "no clock");
    EXPECT_EQ(date, "");
}

TEST(GraphLabels, MotionRecordingStepsNameTheirTicks)
{
    ScopedTimeZone zone("UTC0");
    GraphFixture g;
    g.Load(4, testing::Flat, {0, 5, 6, 10});
    g.view.m_timeStart = CalendarTime::FromLocal({2023, 3, 5, 14, 7, 9});
    g.Plot(100, 200, 1000, 600);  // 100 pixels per tick, a step every two ticks
    const VisibleRange range = g.Paint();
    EXPECT_EQ(range, (VisibleRange{1, 4}));
    EXPECT_EQ(g.model.TimeStep(), 2);
    EXPECT_EQ(TimeLines(g.model, range),
              (std::vector<std::string>{"100|14:07:09| 05/03/23 ", "300|14:07:11| 05/03/23 ", "500|14:07:13| 05/03/23 ",
                                        "700|14:07:15| 05/03/23 ", "900|14:07:17| 05/03/23 "}));
}

// A logger that stood still for hours left a gap of millions of ticks: a zoom onto the rows after
// it counts its steps from the last row before the gap, far left of the plot. The axis still has
// its steps across the plot, each naming the tick drawn at its column.
TEST(GraphLabels, MotionStepsAfterALongGapStandOnThePlot)
{
    std::vector<std::int32_t> ticks;
    for (int i = 0; i < 200; ++i)
        ticks.push_back(i < 100 ? i : i + 3000000);
    GraphFixture g;
    g.Load(200, testing::Flat, ticks);
    g.PaintIn(100, 200, 900, 600);
    ASSERT_TRUE(g.model.ZoomOntoRows(100, 199, false));
    const VisibleRange range = g.Paint();
    ASSERT_LT(g.X(99, 1), -1.0e7);  // the row the steps are counted from

    const std::vector<TimeStepMark> steps = g.model.TimeSteps(range);
    const int step = g.model.TimeStep();
    const double scale = g.model.state().m_dScale;
    ASSERT_GE(steps.size(), 7u);
    EXPECT_LT(steps.front().x, 100 + step * scale);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_GE(steps[i].x, 100);
        EXPECT_LE(steps[i].x, 900);
        if (i > 0) {
            EXPECT_EQ(steps[i].tick - steps[i - 1].tick, step);
        }
        // Row 100 (tick 3000100) is drawn on the plot's left edge.
        const double tickColumn = g.X(100, 1) + static_cast<double>(steps[i].tick - 3000100) * scale;
        EXPECT_NEAR(steps[i].x, tickColumn, 1.0) << "step " << i;
    }
}

TEST(GraphLabels, RowsWithoutTicksUseTheSampleTimes)
{
    ScopedTimeZone zone("UTC0");
    GraphFixture g;
    g.Load(9, testing::Flat);
    g.view.m_timeStart = CalendarTime::FromLocal({2023, 12, 31, 23, 59, 58});
    g.Plot(100, 200, 900, 600);
    const VisibleRange range = g.Paint();
    const auto lines = TimeLines(g.model, range);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "100|23:59:58| 31/12/23 ");
    EXPECT_EQ(lines[2], "300|00:00:00| 01/01/24 ");
}

TEST(GraphLabels, FrequencyAxisCountsHertzFromZero)
{
    // The bins stand a hertz apart even when the file's header also names motion detection: the
    // sample rows' ticks say nothing of the spectrum's bins.
    std::vector<std::int32_t> sampleTicks;
    for (int i = 0; i < 512; ++i)
        sampleTicks.push_back(7 * i + 3);
    for (const bool motionFlag : {false, true}) {
        GraphFixture g;
        g.Load(512, testing::Flat, motionFlag ? sampleTicks : std::vector<std::int32_t>{});
        g.doc.m_header.wInterval = 0;
        g.view.m_recHeader.wInterval = 0;
        g.view.m_bFrequencyMode = true;
        g.view.m_pSpectrum.assign(256, SampleRow{});
        g.view.m_nShownCount = 256;
        g.view.m_nRangeLast = 256;
        g.Plot(100, 70, 865, 600);  // 3 pixels per bin
        const VisibleRange range = g.Paint();
        EXPECT_EQ(g.model.TraceCount(), 3);
        EXPECT_FALSE(g.model.TraceVisible(3));
        EXPECT_EQ(g.model.TimeStep(), 32);
        EXPECT_DOUBLE_EQ(g.X(255, 0), 865.0) << "motion flag " << motionFlag;
        const auto lines = TimeLines(g.model, range);
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[0], "100|0|");
        EXPECT_EQ(lines[1], "196|32|");
        EXPECT_EQ(lines[2], "292|64|");
    }
}

TEST(GraphLabels, StartOnlyAxis)
{
    ScopedTimeZone zone("UTC0");
    {
        GraphFixture g;
        g.Load(1, testing::Flat);
        g.view.m_timeStart = CalendarTime::FromLocal({2023, 3, 5, 14, 7, 9});
        EXPECT_TRUE(g.model.StartOnlyAxis());
        EXPECT_EQ(g.model.StartLabels(), (TimeLabelLines{"14:07:09", "05/03/23"}));
    }
    {
        GraphFixture g;
        g.Load(3, testing::Flat, {0, 0, 0});
        EXPECT_TRUE(g.model.StartOnlyAxis());
    }
    {
        GraphFixture g;
        g.Load(2, testing::Flat);
        EXPECT_FALSE(g.model.StartOnlyAxis());
    }
}

TEST(GraphLabels, NumberTextsIgnoreTheProcessLocale)
{
    EXPECT_EQ(FormatFixed(-0.0004, 3), "-0.000");
    EXPECT_EQ(FormatFixed(1234.5678, 3), "1234.568");
    EXPECT_EQ(PeakLabel(12.0), "12.00 HZ");
    EXPECT_EQ(FormatInteger(-42), "-42");
}

}  // namespace
}  // namespace shakemeter
