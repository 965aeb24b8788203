#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "graph/GraphFixture.h"
#include "graph/core/GraphPaintPlanner.h"

namespace shakemeter {
namespace {

using namespace shakemeter::testing;

// 1000 x 800 client: plot (130, 225) - (920, 690), panel (20, 217) - (980, 745).
const PaintRequest kScreen{{0, 0, 1000, 800}, false, false};
const PaintRequest kPage{{0, 0, 4960, 7016}, true, false};

SampleRow Wave(int i)
{
    return {std::sin(i / 50.0) * 8.0, 1.0, -2.0, 8.5};
}

// Everything the screen draws is in the plan: rectangles, the grid, both axes and the read-out.
TEST(GraphPaintPlan, ScreenPlanHoldsWhatIsDrawn)
{
    GraphFixture g;
    g.Load(1000, Wave);
    const GraphPaintPlan plan = PlanFrame(g.model, kScreen);
    ASSERT_FALSE(plan.drawsNothing);
    ASSERT_TRUE(plan.drawsGraph);
    EXPECT_TRUE(plan.startZoomOutTimer);
    EXPECT_EQ(plan.plot, (PlotRect{130, 225, 920, 690}));
    EXPECT_EQ(plan.panel, (PlotRect{20, 217, 980, 745}));
    EXPECT_TRUE(plan.scalesUsable);

    ASSERT_EQ(plan.gridRows.size(), 11u);
    EXPECT_EQ(plan.gridRows.front(), 225);
    EXPECT_EQ(plan.gridRows[5], 225 + static_cast<int>(5 * 465 * 0.1));
    EXPECT_TRUE(plan.horizontalGrid);
    EXPECT_EQ(plan.valueLabels[0].text, "-10.000");
    EXPECT_EQ(plan.valueLabels[10].text, "10.000");
    EXPECT_EQ(plan.valueLabels[0].y, 690 - 8);
    // The value labels end at the same column: "0.000" starts two characters right of "-10.000".
    EXPECT_EQ(plan.valueLabels[5].text, "0.000");
    EXPECT_EQ(plan.valueLabels[5].x - plan.valueLabels[0].x, 10);

    // The time axis's steps are the vertical grid's columns, each with a time and a date line.
    ASSERT_FALSE(plan.timeSteps.empty());
    ASSERT_EQ(plan.timeSteps.size(), plan.gridColumns.size());
    for (std::size_t i = 0; i < plan.timeSteps.size(); ++i) {
        EXPECT_EQ(plan.timeSteps[i].x, plan.gridColumns[i]);
        EXPECT_EQ(plan.timeSteps[i].labels.size(), 2u);
        EXPECT_GE(plan.timeSteps[i].x, 130);
        EXPECT_LE(plan.timeSteps[i].x, 920);
    }
    EXPECT_TRUE(plan.axisTitle.empty());

    // Every span touches the plot; the three constant traces draw at their own rows.
    ASSERT_FALSE(plan.traces.spans.empty());
    for (const TraceSpan& span : plan.traces.spans)
        EXPECT_TRUE(GraphModel::SegmentVisible(span.ends, plan.plot));
    EXPECT_EQ(plan.readout.plot, plan.plot);
    EXPECT_EQ(plan.readout.count, READOUT_TEXTS);

    // The drawing is over once the plan is made: the view's plot is ready.
    EXPECT_TRUE(g.view.m_bPlotReady);
    EXPECT_FALSE(PlanFrame(g.model, kScreen).startZoomOutTimer);
}

// With many samples to a pixel column the spans come from the groups' extremes: their number
// follows the plot's width, not the recording's length.
TEST(GraphPaintPlan, DecimatedSpansFollowThePlotWidth)
{
    GraphFixture shortOne;
    shortOne.Load(20000, Wave);
    GraphFixture longOne;
    longOne.Load(400000, Wave);
    const std::size_t shortSpans = PlanFrame(shortOne.model, kScreen).traces.spans.size();
    const std::size_t longSpans = PlanFrame(longOne.model, kScreen).traces.spans.size();
    EXPECT_GT(shortSpans, 0u);
    EXPECT_LE(longSpans, shortSpans * 2);
    EXPECT_LT(longSpans, 400000u / 4);
}

// The decimated drawing reaches the last shown row, as the drawing of every segment does: a shock
// in the last sample stands on the plot like one in the first.
TEST(GraphPaintPlan, DecimatedDrawingReachesTheFirstAndLastShownRows)
{
    const int nine = static_cast<int>(690 - 19.0 * 465 / 20);  // 9 g
    for (const int shownRows : {100000, 60000}) {
        GraphFixture g;
        g.Load(100000, [shownRows](int i) { return SampleRow{i == 0 || i == shownRows - 1 ? 9.0 : 0.0, 0, 0, 0}; });
        g.ShowRows(1, shownRows);
        g.view.m_nShownCount = shownRows;
        const GraphPaintPlan plan = PlanFrame(g.model, kScreen);
        bool firstShown = false;
        bool lastShown = false;
        bool lastJoined = false;
        for (const TraceSpan& span : plan.traces.spans) {
            if (span.trace != 0)
                continue;
            firstShown = firstShown || (span.ends.rowA == 0 && span.ends.y0 == nine);
            lastShown = lastShown || (span.ends.rowB == shownRows - 1 && span.ends.y1 == nine);
            lastJoined = lastJoined || (span.ends.rowB == shownRows - 1 && span.ends.x1 >= 919);  // on the right edge
        }
        EXPECT_TRUE(firstShown) << shownRows << " rows shown";
        EXPECT_TRUE(lastShown) << shownRows << " rows shown";
        EXPECT_TRUE(lastJoined) << shownRows << " rows shown";
    }
}

// The decimated drawing follows each column's extremes at any level of the values: a dip and a
// peak of a trace that lies far from zero are drawn as they are near it, in a recording scanned
// row by row and in one long enough for block extremes.
TEST(GraphPaintPlan, DecimatedDrawingKeepsTheExtremesOfValuesFarFromZero)
{
    for (const int rows : {100000, 400000}) {
        for (const double level : {0.0, 1.0e5, -1.0e5, 1.0e300}) {
            GraphFixture g;
            const double step = level == 1.0e300 ? 1.0e298 : 1000.0;
            g.Load(rows, [&](int i) {
                const double x = i == rows / 2 ? level - step : i == rows / 2 + rows / 10 ? level + step : level;
                return SampleRow{x, 0, 0, 0};
            });
            g.ShowValues(level - 2 * step, level + 2 * step);
            const GraphPaintPlan plan = PlanFrame(g.model, kScreen);
            int lowest = 0;
            int highest = 1 << 30;
            for (const TraceSpan& span : plan.traces.spans) {
                if (span.trace != 0)
                    continue;
                lowest = std::max({lowest, span.ends.y0, span.ends.y1});
                highest = std::min({highest, span.ends.y0, span.ends.y1});
            }
            // A quarter and three quarters of the height above the bottom.
            EXPECT_EQ(lowest, static_cast<int>(690 - 465 / 4.0)) << rows << " rows at " << level;
            EXPECT_EQ(highest, static_cast<int>(690 - 3 * 465 / 4.0)) << rows << " rows at " << level;
        }
    }
}

// Marks: the segments of a short recording get dots; the spans of a long one's groups get bars,
// and only the segments left over after the last group, drawn last, get dots.
TEST(GraphPaintPlan, MarksFollowTheDrawing)
{
    GraphFixture shortOne;
    shortOne.Load(50, Wave);
    for (const TraceSpan& span : PlanFrame(shortOne.model, kScreen).traces.spans)
        EXPECT_EQ(span.marks, SpanMarks::Dots);

    GraphFixture longOne;
    longOne.Load(100000, Wave);
    const GraphPaintPlan plan = PlanFrame(longOne.model, kScreen);
    int bars = 0;
    bool dotsSeen = false;
    for (const TraceSpan& span : plan.traces.spans) {
        if (span.marks == SpanMarks::Bars) {
            ++bars;
            EXPECT_FALSE(dotsSeen) << "a group's span after a leftover segment";
        }
        dotsSeen = dotsSeen || span.marks == SpanMarks::Dots;
    }
    EXPECT_GT(bars, 0);
    EXPECT_LT(bars, static_cast<int>(plan.traces.spans.size()));
}

// Planning reads the prepared model and changes nothing: two plans of one frame are the same,
// and the columns marked last reach the model only through FinishFrame, where the next
// drawing (a reading's newest segment) starts from them.
TEST(GraphPaintPlan, PlanningLeavesTheModelAsPrepared)
{
    GraphFixture g;
    g.Load(2000, Wave);  // between one and five samples to a pixel column: segments, some unmarked
    g.model.PrepareFrame(kScreen);
    const MarkedColumns before = g.model.state();
    const GraphPaintPlan first = GraphPaintPlanner(g.model).Plan();
    const GraphPaintPlan second = GraphPaintPlanner(g.model).Plan();
    ASSERT_EQ(first.traces.spans.size(), second.traces.spans.size());
    int unmarked = 0;
    for (std::size_t i = 0; i < first.traces.spans.size(); ++i) {
        EXPECT_EQ(first.traces.spans[i].marks, second.traces.spans[i].marks) << "span " << i;
        unmarked += first.traces.spans[i].marks == SpanMarks::None ? 1 : 0;
    }
    EXPECT_GT(unmarked, 0);
    EXPECT_EQ(g.model.state().g_nLastMarkX, before.g_nLastMarkX);
    EXPECT_EQ(first.marked.g_nLastMarkX, second.marked.g_nLastMarkX);
    EXPECT_NE(first.marked.g_nLastMarkX, before.g_nLastMarkX);

    g.model.FinishFrame(first.marked);
    EXPECT_EQ(g.model.state().g_nLastMarkX, first.marked.g_nLastMarkX);
}

// The spectrum's peak label stands on the peak axis's trace only, at the peak bin's end.
TEST(GraphPaintPlan, PeakLabelOnThePeakAxisOnly)
{
    GraphFixture g;
    g.Load(10, [](int) { return SampleRow{}; });
    g.view.m_bFrequencyMode = true;
    g.view.m_pSpectrum.assign(128, SampleRow{1.0, 2.0, 3.0, 0.0});
    g.view.m_pSpectrum[20] = {9.0, 2.0, 3.0, 0.0};
    g.view.m_nShownCount = 128;
    g.view.m_nRangeLast = 128;
    g.view.m_nPeakAxis = 0;
    g.view.m_nPeakIndex = 20;
    g.view.m_dPeakFrequency = 40.0;
    const GraphPaintPlan plan = PlanFrame(g.model, kScreen);
    EXPECT_EQ(plan.traces.peakLabel, "40.00 HZ");
    EXPECT_EQ(plan.traces.peakLabelLowest, 690 - 20);
    int labelled = 0;
    for (const TraceSpan& span : plan.traces.spans) {
        EXPECT_NE(span.trace, 3);  // no vector sum in a spectrum
        if (span.peakAtStart || span.peakAtEnd) {
            ++labelled;
            EXPECT_EQ(span.trace, 0);
            EXPECT_TRUE(span.ends.rowA == 20 || span.ends.rowB == 20);
        }
    }
    EXPECT_EQ(labelled, 2);  // the segments before and after the peak bin
    EXPECT_EQ(plan.readout.count, READOUT_TEXTS - 1);
    ASSERT_EQ(plan.axisTitle.size(), 1u);
    EXPECT_EQ(plan.axisTitle[0].text, "Frequency(HZ)");
}

// The page is planned only in display mode 1; while it is drawn, the screen plans nothing.
TEST(GraphPaintPlan, PageAndScreenTakeTurns)
{
    GraphFixture g;
    g.Load(100, Wave);
    g.view.m_nDisplayMode = 2;
    EXPECT_TRUE(PlanFrame(g.model, kPage).drawsNothing);
    EXPECT_FALSE(PlanFrame(g.model, kScreen).drawsNothing);

    g.view.m_nDisplayMode = 1;
    const GraphPaintPlan page = PlanFrame(g.model, kPage);
    ASSERT_TRUE(page.drawsGraph);
    EXPECT_EQ(page.plot, (PlotRect{230, 1130, 4880, 6516}));
    EXPECT_EQ(page.unit, 100);
    EXPECT_EQ(page.summaryHeight, 0);
    EXPECT_EQ(page.readout.count, READOUT_TEXTS);  // the page has no read-out: left as it is
    EXPECT_TRUE(page.readout.texts[0].empty());
    EXPECT_TRUE(PlanFrame(g.model, kScreen).drawsNothing);
    g.model.state().g_bPrinting = false;
    EXPECT_TRUE(PlanFrame(g.model, kScreen).drawsGraph);
}

// Without rows the screen is black below the summary and the plot is ready at once.
TEST(GraphPaintPlan, NothingShownFillsTheScreenBlack)
{
    GraphFixture g;
    g.view.m_nDisplayMode = 1;
    const GraphPaintPlan plan = PlanFrame(g.model, kScreen);
    EXPECT_FALSE(plan.drawsNothing);
    EXPECT_FALSE(plan.drawsGraph);
    EXPECT_TRUE(plan.fillsBlack);
    EXPECT_TRUE(g.view.m_bPlotReady);

    g.view.m_nDisplayMode = 0;
    EXPECT_FALSE(PlanFrame(g.model, kScreen).fillsBlack);  // the start screen is the view's
}

}  // namespace
}  // namespace shakemeter
