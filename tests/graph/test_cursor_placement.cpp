// The measuring cursors stand on shown sample rows: the model keeps them there, a pixel column
// snaps to the row the read-out would pick (the trace's ends beyond it), and a row's column is
// where its sample is drawn, zoomed and scrolled alike.

#include <gtest/gtest.h>

#include "GraphFixture.h"
#include "graph/core/CursorPlacement.h"
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
    g.model.ButtonDown({300, 300});
    g.model.DragBand({500, 400});
    ASSERT_TRUE(g.model.ButtonUp({500, 400}));
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

}  // namespace
}  // namespace shakemeter
