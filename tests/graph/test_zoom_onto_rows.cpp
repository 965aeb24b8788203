// The zoom onto a row range, which Undo Zoom takes back like a band's, with and without ticks; the
// rows shown through a zoom, a scroll and an Undo Zoom, and the key that tells them apart.

#include <gtest/gtest.h>

#include <numeric>

#include "GraphFixture.h"
#include "graph/core/GraphZoomKey.h"
#include "graph/core/VisibleRows.h"

namespace shakemeter {
namespace {

using testing::GraphFixture;

// Row r at pixel 100 + 0.8 r in the full view.
struct RowsFixture : testing::ThousandRowFixture {
    vibration::RowRange Rows() const { return VisibleRows(model).value(); }
};

TEST(ZoomOntoRows, ScrollAndUndoChangeTheRowsAndTheKey)
{
    RowsFixture g;
    EXPECT_EQ(g.Rows().from, 0u);
    EXPECT_EQ(g.Rows().to, 1000u);

    // A band over pixels 300 .. 500: rows 250 .. 500, give or take the points drawn at the edges.
    ASSERT_TRUE(g.DrawBand({300, 300}, {500, 500}));
    g.Paint();
    const vibration::RowRange zoomed = g.Rows();
    // Row 250 sits a rounding right of the edge; the row before it is drawn too, as the paint does.
    EXPECT_GE(zoomed.from, 249u);
    EXPECT_LE(zoomed.from, 250u);
    EXPECT_GE(zoomed.to, 500u);
    EXPECT_LE(zoomed.to, 503u);
    const GraphZoomKey key = ZoomKeyOf(g.model);

    // A scroll to the right moves both ends alike.
    g.model.OnHScroll(ScrollCode::PageForward, 0, 0);
    g.Paint();
    EXPECT_GT(g.Rows().from, zoomed.from);
    EXPECT_EQ(g.Rows().to - g.Rows().from, zoomed.to - zoomed.from);
    EXPECT_FALSE(ZoomKeyOf(g.model) == key);

    g.model.OnZoomOut();
    g.Paint();
    EXPECT_EQ(g.Rows().from, 0u);
    EXPECT_EQ(g.Rows().to, 1000u);
}

TEST(ZoomOntoRows, IsABandOverThemAndUndoReturns)
{
    RowsFixture g;
    ASSERT_TRUE(g.model.ZoomOntoRows(400, 600, false));
    g.Paint();
    EXPECT_FALSE(g.model.state().g_bFullView);
    EXPECT_EQ(g.model.state().g_nZoomLevel, 1);
    EXPECT_GE(g.Rows().from, 399u);
    EXPECT_LE(g.Rows().from, 400u);
    EXPECT_LE(g.Rows().to, 603u);
    EXPECT_GE(g.Rows().to, 600u);
    // The same as a band drawn by hand over the same columns.
    RowsFixture hand;
    ASSERT_TRUE(hand.DrawBand({420, 200}, {580, 600}));
    hand.Paint();
    EXPECT_DOUBLE_EQ(g.model.state().m_dScale, hand.model.state().m_dScale);
    EXPECT_EQ(g.model.state().m_nLeftIndex, hand.model.state().m_nLeftIndex);

    // From a zoom elsewhere the rows are still found: the full view is the ruler.
    ASSERT_TRUE(g.model.ZoomOntoRows(10, 30, false));
    g.Paint();
    EXPECT_GE(g.Rows().from, 9u);
    EXPECT_LE(g.Rows().from, 10u);
    EXPECT_LE(g.Rows().to, 33u);

    g.model.OnZoomOut();
    g.Paint();
    EXPECT_EQ(g.Rows().to, 1000u);
    // Rows outside the shown range are brought inside; a single row is too narrow for a zoom.
    EXPECT_TRUE(g.model.ZoomOntoRows(990, 5000, false));
    g.model.OnZoomOut();
    g.Paint();
    EXPECT_FALSE(g.model.ZoomOntoRows(500, 500, false));
    EXPECT_TRUE(g.model.state().g_bFullView);
}

TEST(ZoomOntoRows, MotionRecordingUsesTheTicks)
{
    GraphFixture g;
    std::vector<std::int32_t> ticks;
    for (int i = 0; i < 100; ++i)
        ticks.push_back(i < 50 ? i + 1 : 1000 + i);  // a long pause after row 49
    g.Load(100, testing::Flat, ticks);
    g.Plot(100, 200, 900, 600);
    g.Paint();
    ASSERT_TRUE(g.model.ZoomOntoRows(60, 80, false));
    g.Paint();
    const vibration::RowRange rows = VisibleRows(g.model).value();
    EXPECT_GE(rows.from, 59u);
    EXPECT_LE(rows.from, 60u);
    EXPECT_GE(rows.to, 80u);
    EXPECT_LE(rows.to, 81u);

    // The whole view draws the last row a tick right of the plot's edge; a zoom onto the last rows
    // (an event at the very end) still shows it.
    ticks.resize(200);
    std::iota(ticks.begin(), ticks.end(), 0);
    g.Load(200, testing::Flat, ticks);
    g.model.OnZoomOut();
    g.Paint();
    ASSERT_GT(g.X(199, 0), 901.0);
    ASSERT_TRUE(g.model.ZoomOntoRows(150, 199, false));
    g.Paint();
    const std::optional<vibration::RowRange> end = VisibleRows(g.model);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->to, 199u);
    EXPECT_LE(g.X(199, 1), 900.0);
    EXPECT_NEAR(static_cast<double>(end->from), 149.5, 0.5);
}

}  // namespace
}  // namespace shakemeter
