// The rows the graph shows, as the exports and the range analysis take them: every shown row in
// the full view, exactly the rows between the plot's edges when zoomed, none for a spectrum.

#include <gtest/gtest.h>

#include "GraphFixture.h"
#include "graph/core/VisibleRows.h"

namespace shakemeter {
namespace {

using testing::GraphFixture;

using VisibleFixture = testing::ZoomableFixture;

using Span = testing::RowSpan;

Span SpanOf(const GraphModel& model)
{
    return testing::SpanOfRows(VisibleRows(model));
}

TEST(VisibleRows, TheFullViewShowsEveryShownRowAndAZoomItsStretch)
{
    VisibleFixture g;
    EXPECT_EQ(SpanOf(g.model), Span(0, 1000));

    // 200 of 800 pixels from 300: rows 250 to 500 lie on the zoomed plot, edges included.
    ASSERT_TRUE(g.Band({300, 300}, {500, 500}));
    const Span zoomed = SpanOf(g.model);
    EXPECT_EQ(zoomed, Span(250, 500));
    for (std::size_t row : {zoomed.first, zoomed.second}) {
        const double x = g.X(static_cast<int>(row), g.model.state().g_nZoomLevel);
        EXPECT_GE(x, 100.0);
        EXPECT_LE(x, 900.0);
    }

    g.model.OnZoomOut();
    g.Paint();
    EXPECT_EQ(SpanOf(g.model), Span(0, 1000));
}

// The scroll bar's very start (Home, a page left near the start, the thumb at the left) puts the
// first row a spacing right of the plot's left edge: the rows from the first on are shown.
TEST(VisibleRows, ScrolledToTheVeryStartTheFirstRowsAreShown)
{
    VisibleFixture g;
    ASSERT_TRUE(g.Band({700, 300}, {900, 500}));  // rows 750 to 1000, 3.2 pixels a row
    g.model.OnHScroll(ScrollCode::Start, 0, 0);
    g.Paint();
    ASSERT_EQ(g.model.state().m_siHorz.position, 0);
    // Row 0 stands at 103.2, row 249 at 899.999..., row 250 beyond the right edge.
    EXPECT_EQ(SpanOf(g.model), Span(0, 249));

    g.model.OnHScroll(ScrollCode::LineForward, 0, 0);
    g.Paint();
    EXPECT_EQ(SpanOf(g.model), Span(0, 250));
    g.model.OnHScroll(ScrollCode::PageBack, 0, 0);
    g.Paint();
    ASSERT_EQ(g.model.state().m_siHorz.position, 0);
    EXPECT_EQ(SpanOf(g.model), Span(0, 249));
}

TEST(VisibleRows, AShownRangeLimitsTheRows)
{
    VisibleFixture g;
    g.view.SetShownRange(101, 200);
    g.Paint();
    EXPECT_EQ(SpanOf(g.model), Span(100, 199));
}

TEST(VisibleRows, MotionRecordingsZoomOnTheirTicks)
{
    std::vector<std::int32_t> ticks;
    for (int i = 0; i < 200; ++i)
        ticks.push_back(i * 5);  // 0 .. 995 s
    VisibleFixture g(ticks);
    EXPECT_EQ(SpanOf(g.model), Span(0, 199));
    ASSERT_TRUE(g.Band({300, 300}, {500, 500}));
    const auto rows = VisibleRows(g.model);
    ASSERT_TRUE(rows);
    EXPECT_GT(rows->from, 0u);
    EXPECT_LT(rows->to, 199u);
    const int level = g.model.state().g_nZoomLevel;
    EXPECT_GE(g.X(static_cast<int>(rows->from), level), 100.0);
    EXPECT_LT(g.X(static_cast<int>(rows->from) - 1, level), 100.0);
    EXPECT_LE(g.X(static_cast<int>(rows->to), level), 900.0);
    EXPECT_GT(g.X(static_cast<int>(rows->to) + 1, level), 900.0);
}

// A logger that moved until it stopped wrote its last rows a tick apart: the full view puts the
// next-to-last row on the plot's right edge and the last less than a pixel beyond it, where it is
// drawn on the edge. Both are shown, so the statistics and the export of the visible range take
// every row, as a zoom onto the end does.
TEST(VisibleRows, MotionRecordingsEndingInConsecutiveTicksShowTheirLastRow)
{
    const std::vector<std::int32_t> ticks{12, 13, 14, 400, 401, 402, 2000, 5039, 5040, 5041};
    VisibleFixture g(ticks);
    ASSERT_DOUBLE_EQ(g.X(8, 0), 900.0);
    ASSERT_GT(g.X(9, 0), 900.0);
    ASSERT_LT(g.X(9, 0), 901.0);
    EXPECT_EQ(SpanOf(g.model), Span(0, 9));
}

// A logger that stood still recorded nothing for a while: a zoom inside that gap shows no row, and
// the rows on either side, off the plot, are not taken for visible ones.
TEST(VisibleRows, AZoomIntoTheGapOfAMotionRecordingShowsNoRows)
{
    VisibleFixture g(testing::TicksAroundAStillStretch());
    // Ticks 300 to 600 lie between pixels about 367 and 634.
    ASSERT_TRUE(g.Band({400, 300}, {600, 500}));
    ASSERT_GT(g.X(10, g.model.state().g_nZoomLevel), 900.0);
    ASSERT_LT(g.X(9, g.model.state().g_nZoomLevel), 100.0);
    EXPECT_EQ(SpanOf(g.model), Span(1, 0));
}

TEST(VisibleRows, NothingWithoutSampleRows)
{
    GraphModel detached;
    EXPECT_EQ(SpanOf(detached), Span(1, 0));
    GraphFixture empty;
    empty.Load(0, testing::Flat);
    EXPECT_EQ(SpanOf(empty.model), Span(1, 0));
    // A spectrum shown as such: the plot's points are frequency bins, not rows.
    VisibleFixture spectrum;
    spectrum.view.SetFrequencyMode(true);
    EXPECT_EQ(SpanOf(spectrum.model), Span(1, 0));
}

// Row r at pixel 100 + 0.8 r in the full view.
using ThousandRows = testing::ThousandRowFixture;

TEST(VisibleRows, TheAxisSetupsRangeIsTheWholeViewsRows)
{
    ThousandRows g;
    EXPECT_EQ(SpanOf(g.model), (Span{0, 1000}));
    // The axis setup's range, 1-based in the view, is rows 100..899 here.
    g.view.m_nRangeFirst = 101;
    g.view.m_nRangeLast = 900;
    g.Paint();
    EXPECT_EQ(SpanOf(g.model), (Span{100, 899}));
}

TEST(VisibleRows, AZoomNarrowsToTheRowsInsideThePlotAndUndoWidensAgain)
{
    ThousandRows g;
    // Pixels 300 and 500 are rows 250 and 500 of the full view.
    ASSERT_TRUE(g.DrawBand({300, 300}, {500, 400}));
    g.Paint();
    ASSERT_GT(g.model.state().g_nZoomLevel, 0);
    const Span rows = SpanOf(g.model);
    EXPECT_NEAR(static_cast<double>(rows.first), 250.0, 3.0);
    EXPECT_NEAR(static_cast<double>(rows.second), 500.0, 3.0);

    g.model.OnZoomOut();
    g.Paint();
    EXPECT_EQ(SpanOf(g.model), (Span{0, 1000}));
}

}  // namespace
}  // namespace shakemeter
