// The zoom band, nested zooms, Undo Zoom, and the zoomed picture across resizes and printing.

#include <gtest/gtest.h>

#include "GraphFixture.h"

namespace shakemeter {
namespace {

using testing::GraphFixture;

using ZoomFixture = testing::ZoomableFixture;

TEST(GraphZoom, BandNarrowerThanFourPixelsMakesNoZoom)
{
    ZoomFixture g;
    EXPECT_FALSE(g.DrawBand({300, 300}, {303, 400}));
    EXPECT_EQ(g.model.state().g_nZoomLevel, 0);
    EXPECT_FALSE(g.model.state().m_bZoomPending);
    EXPECT_TRUE(g.DrawBand({300, 300}, {304, 400}));
    EXPECT_EQ(g.model.state().g_nZoomLevel, 1);
    EXPECT_FALSE(g.model.state().g_bFullView);
}

TEST(GraphZoom, ClickWithoutMovingMakesNoZoom)
{
    ZoomFixture g;
    g.model.ButtonDown({300, 300});
    EXPECT_FALSE(g.model.ButtonUp({500, 400}));  // no move between down and up
    EXPECT_EQ(g.model.state().g_nZoomLevel, 0);
}

TEST(GraphZoom, BandMapsOntoThePlotAndItsHeightOntoTenSteps)
{
    ZoomFixture g;
    ASSERT_TRUE(g.DrawBand({300, 460}, {500, 500}));
    // The spacing is the difference of two mapped positions, so it carries their rounding.
    EXPECT_NEAR(g.model.state().m_dScale, 3.2, 1e-12);
    g.Paint();
    EXPECT_DOUBLE_EQ(g.X(250, 1), 100.0);
    EXPECT_DOUBLE_EQ(g.X(500, 1), 900.0);
    // 249.99999999999... rows left of the edge, truncated: the row just before the edge is drawn too.
    EXPECT_EQ(g.model.state().m_nLeftIndex, 249);
    EXPECT_EQ(g.model.state().g_nFirstVisible, 250);
    EXPECT_TRUE(g.model.state().m_bScrollBarsEnabled);
}

TEST(GraphZoom, ZoomedAxisIsCutToThreeDecimals)
{
    GraphFixture g;
    g.Load(101, testing::Flat);
    // 0.05 g per pixel; the band's lower edge (y = 500) lies at -1.2345 g.
    g.ShowValues(-6.2345, 13.7655);
    g.PaintIn(100, 200, 900, 600);
    ASSERT_TRUE(g.DrawBand({300, 460}, {500, 500}));
    g.Paint();
    EXPECT_DOUBLE_EQ(g.model.state().g_dZoomYMin, -1.234);
    EXPECT_DOUBLE_EQ(g.model.state().g_dZoomYNext, -1.034);
    EXPECT_EQ(g.model.state().m_strAxisLabel[0], "-1.234");
    EXPECT_EQ(g.model.state().m_strAxisLabel[1], "-1.034");
    EXPECT_EQ(g.model.state().m_strAxisLabel[10], "0.766");
}

TEST(GraphZoom, FlatBandIsRefused)
{
    ZoomFixture g;
    // 1 pixel high at 0.05 g per pixel: a step of 0.005 g passes; a value range of 0.04 g over
    // 400 pixels gives 0.0001 g per pixel and a step far below 0.001 g.
    g.ShowValues(0.0, 0.04);
    g.Paint();
    EXPECT_FALSE(g.DrawBand({300, 400}, {500, 401}));
    EXPECT_EQ(g.model.state().g_nZoomLevel, 0);
}

TEST(GraphZoom, BandDrawnBackwardsZoomsLikeForwards)
{
    ZoomFixture forward;
    ZoomFixture backward;
    ASSERT_TRUE(forward.Band({300, 460}, {500, 500}));
    ASSERT_TRUE(backward.Band({500, 500}, {300, 460}));
    EXPECT_EQ(forward.model.state().g_dZoomLeft, backward.model.state().g_dZoomLeft);
    EXPECT_EQ(forward.model.state().g_dZoomBottom, backward.model.state().g_dZoomBottom);
    EXPECT_EQ(forward.model.state().g_dZoomYMin, backward.model.state().g_dZoomYMin);
    EXPECT_EQ(forward.X(300, 1), backward.X(300, 1));
    EXPECT_EQ(forward.model.state().m_dScale, backward.model.state().m_dScale);
}

TEST(GraphZoom, NestedZoomsAreMeasuredInTheZoomedPictureAndOneUndoReturns)
{
    ZoomFixture g;
    ASSERT_TRUE(g.Band({300, 300}, {500, 500}));
    ASSERT_TRUE(g.DrawBand({100, 300}, {500, 500}));  // rows 250 .. 375 of the first zoom
    EXPECT_NEAR(g.model.state().m_dScale, 6.4, 1e-12);
    g.Paint();
    EXPECT_DOUBLE_EQ(g.X(250, 1), 100.0);
    EXPECT_DOUBLE_EQ(g.X(375, 1), 900.0);

    g.model.OnZoomOut();
    EXPECT_FALSE(g.view.m_bPlotReady);
    EXPECT_FALSE(g.model.state().m_bScrollBarsEnabled);
    g.Paint();
    EXPECT_EQ(g.model.state().g_nZoomLevel, 0);
    EXPECT_DOUBLE_EQ(g.model.state().m_dScale, 0.8);
    EXPECT_EQ(g.X(0, 0), 100.0);
    EXPECT_EQ(g.X(1000, 0), 900.0);
}

// Resizing stretches the zoomed picture; the same rows stay on the plot's edges and the segments
// are drawn at the stretched spacing.
TEST(GraphZoom, ResizeKeepsTheZoomedRange)
{
    ZoomFixture g;
    ASSERT_TRUE(g.Band({300, 300}, {500, 500}));
    const VisibleRange before = g.model.ComputeVisibleRange();
    const VisibleRange after = g.PaintIn(100, 200, 1300, 600);
    EXPECT_DOUBLE_EQ(g.X(250, 1), 100.0);
    EXPECT_DOUBLE_EQ(g.X(500, 1), 1300.0);
    EXPECT_NEAR(g.model.state().m_dScale, 4.8, 1e-12);
    EXPECT_EQ(before.first, after.first);
    const SegmentEnds ends = g.model.SegmentEndsOf(500, 0, after.first);
    EXPECT_EQ(ends.x1, 1300);
    // Repainting without a change keeps everything.
    g.Paint();
    EXPECT_DOUBLE_EQ(g.X(500, 1), 1300.0);
    EXPECT_NEAR(g.model.state().m_dScale, 4.8, 1e-12);
}

TEST(GraphZoom, TinyPaneAndBackKeepsTheZoomedRange)
{
    ZoomFixture g;
    ASSERT_TRUE(g.Band({300, 300}, {500, 500}));
    g.PaintIn(130, 200, 90, 600);  // narrower than the margins
    EXPECT_FALSE(g.model.ScalesUsable());
    g.PaintIn(100, 200, 900, 600);
    EXPECT_DOUBLE_EQ(g.X(250, 1), 100.0);
    EXPECT_DOUBLE_EQ(g.X(500, 1), 900.0);
    EXPECT_NEAR(g.model.state().m_dScale, 3.2, 1e-12);
}

TEST(GraphZoom, PrintingWhileZoomedPrintsTheZoomedPartAndTheScreenKeepsIt)
{
    ZoomFixture g;
    ASSERT_TRUE(g.Band({300, 300}, {500, 500}));
    g.model.SetPrinterGeometry(4960, 7016);
    g.model.PrepareDrawing(false, true);
    g.model.FinishDrawing();
    EXPECT_DOUBLE_EQ(g.X(250, 1), 230.0);
    EXPECT_NEAR(g.X(500, 1), 4880.0, 1e-9);
    EXPECT_EQ(g.model.state().g_nPrintFirstVisible, 250);

    g.PaintIn(100, 200, 900, 600);
    EXPECT_NEAR(g.X(250, 1), 100.0, 1e-9);
    EXPECT_NEAR(g.X(500, 1), 900.0, 1e-9);
    EXPECT_NEAR(g.model.state().m_dScale, 3.2, 1e-12);
    EXPECT_EQ(g.model.state().g_nZoomLevel, 1);
}

TEST(GraphZoom, ZoomIsAppliedEvenWhenTheWindowChangedBeforeThePaint)
{
    ZoomFixture g;
    ASSERT_TRUE(g.DrawBand({300, 300}, {500, 500}));
    g.PaintIn(100, 200, 1300, 600);
    EXPECT_DOUBLE_EQ(g.X(250, 1), 100.0);
    EXPECT_DOUBLE_EQ(g.X(500, 1), 1300.0);
}

TEST(GraphZoom, WatchdogCancelsABandOutsideTheZone)
{
    ZoomFixture g;
    const PlotRect client{0, 0, 1000, 800};
    g.model.ButtonDown({300, 300});
    EXPECT_FALSE(g.model.BandWatchdog({400, 400}, client));
    EXPECT_TRUE(g.model.BandWatchdog({400, 190}, client));
    EXPECT_FALSE(g.model.state().g_bBandActive);
    EXPECT_TRUE(g.model.state().g_bBandUnmoved);
}

}  // namespace
}  // namespace shakemeter
