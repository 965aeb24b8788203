// The measuring cursors stand on shown sample rows: the model keeps them there, a pixel column
// snaps to the row the read-out would pick (the trace's ends beyond it), and a row's column is
// where its sample is drawn, zoomed and scrolled alike.

#include <gtest/gtest.h>

#include "GraphFixture.h"
#include "graph/core/CursorMarks.h"
#include "graph/core/CursorPlacement.h"
#include "graph/core/GraphPaintPlanner.h"
#include "graph/core/VisibleRows.h"

namespace shakemeter {
namespace {

using testing::GraphFixture;
using testing::ThousandRowFixture;  // row r at pixel 100 + 0.8 r in the full view

std::size_t Snap(const GraphModel& model, int x)
{
    const auto row = SnapColumnToRow(model, x);
    EXPECT_TRUE(row) << "column " << x;
    return row.value_or(999999);
}

TEST(GraphCursors, TheModelKeepsThemOnShownSampleRows)
{
    ThousandRowFixture g;
    EXPECT_FALSE(g.model.Cursors());
    g.model.SetCursors(CursorPair{10, 20});
    ASSERT_TRUE(g.model.Cursors());
    EXPECT_EQ(*g.model.Cursors(), (CursorPair{10, 20}));

    // Past the last row, and B before A, which stays as asked: B - A may be negative.
    g.model.SetCursors(CursorPair{5000, 3});
    EXPECT_EQ(*g.model.Cursors(), (CursorPair{1000, 3}));

    // The axis setup's range, rows 100..199.
    g.view.SetShownRange(101, 200);
    g.model.SetCursors(CursorPair{0, 900});
    EXPECT_EQ(*g.model.Cursors(), (CursorPair{100, 199}));

    // A copy (a picture, the printed page) carries them.
    const GraphModel copy = g.model;
    EXPECT_EQ(copy.Cursors(), g.model.Cursors());

    g.model.SetCursors(std::nullopt);
    EXPECT_FALSE(g.model.Cursors());
}

// The axis setup narrows the shown rows under cursors already placed: they stand on the nearest
// shown rows, drawn where those rows are, and not at the columns their old rows had in the wider
// picture. Widened again, the rows come back.
TEST(GraphCursors, ANarrowedShownRangeTakesThemAlong)
{
    ThousandRowFixture g;
    g.model.SetCursors(CursorPair{300, 800});
    g.view.SetShownRange(1, 500);
    g.Paint();
    ASSERT_TRUE(g.model.Cursors());
    EXPECT_EQ(*g.model.Cursors(), (CursorPair{300, 499}));
    const std::vector<CursorMark> marks = PlanCursorMarks(g.model, g.model.plot(), 16);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0].x, TruncToInt(g.X(300, 0)));
    EXPECT_EQ(marks[1].x, 900);  // the last shown row, on the right edge

    g.view.SetShownRange(1, 1001);
    g.Paint();
    EXPECT_EQ(*g.model.Cursors(), (CursorPair{300, 800}));
}

TEST(GraphCursors, NoneWithoutSampleRows)
{
    GraphModel detached;
    detached.SetCursors(CursorPair{0, 1});
    EXPECT_FALSE(detached.Cursors());
    EXPECT_FALSE(SnapColumnToRow(detached, 100));

    GraphFixture empty;
    empty.Load(0, testing::Flat);
    empty.model.SetCursors(CursorPair{0, 0});
    EXPECT_FALSE(empty.model.Cursors());

    // In frequency mode the plot's points are spectrum bins: the cursors are not shown there, and
    // come back with the samples.
    ThousandRowFixture g;
    g.model.SetCursors(CursorPair{10, 20});
    g.view.SetFrequencyMode(true);
    EXPECT_FALSE(g.model.Cursors());
    EXPECT_FALSE(SnapColumnToRow(g.model, 300));
    g.view.SetFrequencyMode(false);
    EXPECT_EQ(*g.model.Cursors(), (CursorPair{10, 20}));
}

TEST(GraphCursors, AColumnSnapsToTheNearestRowAndBeyondTheTraceToItsEnds)
{
    ThousandRowFixture g;
    EXPECT_EQ(Snap(g.model, 300), 250u);  // exactly on row 250
    EXPECT_EQ(Snap(g.model, 301), 251u);  // 251.25
    EXPECT_EQ(Snap(g.model, 302), 252u);  // 252.5: the read-out's picking takes the earlier one
    EXPECT_EQ(Snap(g.model, 50), 0u);
    EXPECT_EQ(Snap(g.model, 950), 1000u);
    // Rows that fall on whole pixels come back from their own columns.
    for (std::size_t row : {0u, 5u, 500u, 995u, 1000u})
        EXPECT_EQ(Snap(g.model, TruncToInt(ColumnOfRow(g.model, row))), row);

    g.view.SetShownRange(101, 200);
    g.Paint();
    EXPECT_EQ(Snap(g.model, 0), 100u);
    EXPECT_EQ(Snap(g.model, 2000), 199u);
}

TEST(GraphCursors, MotionRecordingsSnapOnTheirTicksUpToTheLastSample)
{
    GraphFixture g;
    // Ticks 1, 3, 5, 7 and, after a pause, 40: 10 pixels a tick from the plot's left edge.
    g.Load(5, testing::Flat, {1, 3, 5, 7, 40});
    g.Plot(100, 200, 490, 600);
    g.Paint();
    EXPECT_EQ(Snap(g.model, 121), 1u);
    EXPECT_EQ(Snap(g.model, 250), 3u);
    EXPECT_EQ(Snap(g.model, 340), 4u);
    // Past the last sample the read-out's picking keeps its previous row; a cursor takes the last.
    g.model.PickIndex(121);
    EXPECT_EQ(Snap(g.model, 495), 4u);
    for (std::size_t row = 0; row < 5; ++row)
        EXPECT_EQ(Snap(g.model, TruncToInt(ColumnOfRow(g.model, row))), row);
}

TEST(GraphCursors, ZoomedAndScrolledColumnsAreWhereTheSamplesAreDrawn)
{
    ThousandRowFixture g;
    ASSERT_TRUE(g.model.ZoomOntoRows(250, 500, false));
    g.Paint();
    g.model.OnHScroll(ScrollCode::LineForward, 0, 0);
    g.Paint();
    const auto visible = VisibleRows(g.model);
    ASSERT_TRUE(visible);
    const PlotRect& plot = g.model.plot();
    EXPECT_GE(ColumnOfRow(g.model, visible->from), plot.left - 1.0);
    EXPECT_LT(ColumnOfRow(g.model, visible->from - 1), plot.left);
    // The read-out picks the row at a column as the snap does, off-plot rows aside.
    for (int x = plot.left + 1; x < plot.right; x += 37)
        EXPECT_EQ(Snap(g.model, x), static_cast<std::size_t>(g.model.PickIndex(x))) << x;
    // Rows off the plot still have their columns: a cursor scrolled away is not drawn.
    EXPECT_LT(ColumnOfRow(g.model, 0), plot.left);
    EXPECT_GT(ColumnOfRow(g.model, 1000), plot.right);
}

TEST(GraphCursors, StartAtAThirdAndTwoThirdsOfTheVisibleRows)
{
    ThousandRowFixture g;
    EXPECT_EQ(StartingCursors(g.model), (CursorPair{333, 666}));
    // Zoomed onto a stretch: a third and two thirds of it.
    ASSERT_TRUE(g.model.ZoomOntoRows(300, 600, false));
    g.Paint();
    const auto visible = VisibleRows(g.model);
    ASSERT_TRUE(visible);
    const auto start = StartingCursors(g.model);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->rowA, visible->from + (visible->to - visible->from) / 3);
    EXPECT_EQ(start->rowB, visible->from + 2 * (visible->to - visible->from) / 3);
    EXPECT_LT(start->rowA, start->rowB);

    GraphFixture one;
    one.Load(1, testing::Flat);
    one.Plot(100, 200, 900, 600);
    one.Paint();
    EXPECT_EQ(StartingCursors(one.model), (CursorPair{0, 0}));
    GraphModel detached;
    EXPECT_FALSE(StartingCursors(detached));
}

// A zoom into the stretch where a motion-detection logger stood still has no row on the plot: the
// cursors start on the rows nearest the plot's third and two thirds, at the gap's edges, and not a
// third into the whole recording, far from what the graph shows.
TEST(GraphCursors, AZoomIntoAMotionRecordingsGapStartsThemAtTheGapsEdges)
{
    testing::ZoomableFixture g(testing::TicksAroundAStillStretch());
    EXPECT_EQ(StartingCursors(g.model), (CursorPair{6, 12}));  // the whole view: a third of its rows

    // Ticks 300 to 600 on the plot; the last row before the gap (9) lies far left, the first after
    // it (10) far right.
    ASSERT_TRUE(g.Band({400, 300}, {600, 500}));
    ASSERT_FALSE(VisibleRows(g.model));
    const PlotRect& plot = g.model.plot();
    const auto start = StartingCursors(g.model);
    ASSERT_TRUE(start);
    // A third in is nearer the gap's start, two thirds nearer its end.
    EXPECT_EQ(*start, (CursorPair{9, 10}));
    EXPECT_EQ(start->rowA, SnapColumnToRow(g.model, plot.left + plot.width() / 3));
    EXPECT_EQ(start->rowB, SnapColumnToRow(g.model, plot.left + 2 * plot.width() / 3));

    // Zoomed out again, the whole view's rows.
    g.model.OnZoomOut();
    g.Paint();
    EXPECT_EQ(StartingCursors(g.model), (CursorPair{6, 12}));
}

TEST(GraphCursors, StepsStayWithinTheShownRows)
{
    ThousandRowFixture g;
    g.view.SetShownRange(101, 200);
    g.Paint();
    EXPECT_EQ(StepRow(g.model, 150, 1), 151u);
    EXPECT_EQ(StepRow(g.model, 150, -10), 140u);
    EXPECT_EQ(StepRow(g.model, 195, 10), 199u);
    EXPECT_EQ(StepRow(g.model, 105, -10), 100u);
    EXPECT_EQ(StepRow(g.model, 0, -1), 100u);
    EXPECT_EQ(WithRow(CursorPair{1, 2}, 'A', 7), (CursorPair{7, 2}));
    EXPECT_EQ(WithRow(CursorPair{1, 2}, 'B', 7), (CursorPair{1, 7}));
}

TEST(GraphCursors, TheMouseFindsTheNearerLineWithinReachOverThePlot)
{
    ThousandRowFixture g;  // row r at 100 + 0.8 r
    EXPECT_EQ(CursorNear(g.model, 300, 300, 4), 0);
    g.model.SetCursors(CursorPair{250, 260});  // columns 300 and 308
    EXPECT_EQ(CursorNear(g.model, 300, 300, 4), 'A');
    EXPECT_EQ(CursorNear(g.model, 296, 300, 4), 'A');
    EXPECT_EQ(CursorNear(g.model, 295, 300, 4), 0);
    EXPECT_EQ(CursorNear(g.model, 305, 300, 4), 'B');
    EXPECT_EQ(CursorNear(g.model, 304, 300, 4), 'A');  // as near to both
    EXPECT_EQ(CursorNear(g.model, 300, 199, 4), 0);    // above the plot
    EXPECT_EQ(CursorNear(g.model, 300, 601, 4), 0);    // below
}

// 1000 x 800 client: plot (130, 225) - (920, 690); a page of A4 at 600 dpi.
const PaintRequest kScreen{{0, 0, 1000, 800}, false, false};
const PaintRequest kPage{{0, 0, 4960, 7016}, true, false};

TEST(GraphCursors, PlannedAtTheirSamplesColumnsWithTheirNamesInsideThePlot)
{
    ThousandRowFixture g;
    EXPECT_TRUE(PlanFrame(g.model, kScreen).cursors.empty());  // the graph's own picture

    g.model.SetCursors(CursorPair{250, 1000});
    const GraphPaintPlan plan = PlanFrame(g.model, kScreen);
    ASSERT_EQ(plan.cursors.size(), 2u);
    const CursorMark& a = plan.cursors[0];
    const CursorMark& b = plan.cursors[1];
    EXPECT_EQ(a.name, 'A');
    EXPECT_EQ(b.name, 'B');
    EXPECT_EQ(a.x, TruncToInt(ColumnOfRow(g.model, 250)));
    EXPECT_EQ(b.x, plan.plot.right);  // the last row on the plot's right edge
    for (const CursorMark& mark : plan.cursors) {
        EXPECT_EQ(mark.label.width(), kCursorLabelSize);
        EXPECT_GE(mark.label.left, plan.plot.left);
        EXPECT_LE(mark.label.right, plan.plot.right);
        EXPECT_GT(mark.label.top, plan.plot.top);
    }
    EXPECT_GT(a.label.left, a.x);  // beside the line, on the side with room
    EXPECT_LT(b.label.right, b.x);
    EXPECT_GE(b.label.top, a.label.bottom);  // one under the other: both read when together

    // The page draws them at the page's scale.
    GraphModel page = g.model;
    const GraphPaintPlan printed = PlanFrame(page, kPage);
    ASSERT_EQ(printed.cursors.size(), 2u);
    EXPECT_EQ(printed.cursors[0].label.height(), printed.unit);
    EXPECT_GT(printed.cursors[0].lineWidth, 1);
    EXPECT_EQ(printed.cursors[0].x, TruncToInt(ColumnOfRow(page, 250)));
}

TEST(GraphCursors, OnlyThoseOnThePlotAreDrawnAndNoneForASpectrum)
{
    ThousandRowFixture g;
    g.model.SetCursors(CursorPair{100, 400});
    PlanFrame(g.model, kScreen);
    // A zoom onto rows 300..600 leaves A off the plot.
    ASSERT_TRUE(g.model.ZoomOntoRows(300, 600, false));
    GraphPaintPlan plan = PlanFrame(g.model, kScreen);
    ASSERT_EQ(plan.cursors.size(), 1u);
    EXPECT_EQ(plan.cursors[0].name, 'B');
    EXPECT_EQ(plan.cursors[0].x, TruncToInt(ColumnOfRow(g.model, 400)));

    g.view.SetFrequencyMode(true);
    EXPECT_TRUE(PlanFrame(g.model, kScreen).cursors.empty());
}

}  // namespace
}  // namespace shakemeter
