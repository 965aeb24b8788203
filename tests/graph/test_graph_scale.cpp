// Scales, positions, value ticks, time steps and the degenerate cases of the full view.

#include <gtest/gtest.h>

#include "GraphFixture.h"
#include "graph/core/Palette.h"

namespace shakemeter {
namespace {

using testing::GraphFixture;

TEST(GraphScale, ThousandAndOneRowsInEightHundredPixels)
{
    GraphFixture g;
    g.Load(1001, [](int i) { return SampleRow{i * 0.001, 0, 0, 0}; });
    const VisibleRange range = g.PaintIn(100, 225, 900, 600);

    EXPECT_DOUBLE_EQ(g.model.state().m_dFullScale, 0.8);
    EXPECT_DOUBLE_EQ(g.model.state().m_dScale, 0.8);
    EXPECT_EQ(g.model.TimeStep(), 125);
    EXPECT_EQ(g.X(0, 0), 100.0);
    EXPECT_EQ(g.X(1000, 0), 900.0);
    EXPECT_EQ(range, (VisibleRange{1, 1003}));

    std::vector<int> xs;
    std::vector<std::int64_t> rows;
    for (const TimeStepMark& m : g.model.TimeSteps(range)) {
        xs.push_back(m.x);
        rows.push_back(m.row);
    }
    EXPECT_EQ(xs, (std::vector<int>{100, 200, 300, 400, 500, 600, 700, 800, 900}));
    EXPECT_EQ(rows, (std::vector<std::int64_t>{0, 125, 250, 375, 500, 625, 750, 875, 1000}));
}

TEST(GraphScale, ValueLabelsFromBottomToTop)
{
    GraphFixture g;
    g.Load(10, testing::Flat);
    g.ShowValues(-3.0, 7.0);
    g.PaintIn(130, 225, 930, 625);
    const auto& labels = g.model.state().m_strAxisLabel;
    const char* expected[] = {"-3.000", "-2.000", "-1.000", "0.000", "1.000", "2.000",
                              "3.000",  "4.000",  "5.000",  "6.000", "7.000"};
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(labels[static_cast<std::size_t>(i)], expected[i]) << i;
}

TEST(GraphScale, ValuesMapOntoThePlotHeight)
{
    GraphFixture g;
    g.Load(3, [](int i) { return SampleRow{-10.0 + i * 10.0, 10.0, 25.0, 0}; });
    g.PaintIn(130, 225, 930, 625);
    EXPECT_DOUBLE_EQ(g.model.Position(0, 0, 0).y, 625.0);  // bottom of the range on B
    EXPECT_DOUBLE_EQ(g.model.Position(1, 0, 0).y, 425.0);
    EXPECT_DOUBLE_EQ(g.model.Position(2, 0, 0).y, 225.0);  // top on T
    EXPECT_DOUBLE_EQ(g.model.Position(0, 2, 0).y, -75.0);  // outside: not clipped here
}

TEST(GraphScale, ShownRangeStartsOnTheLeftEdgeAndEndsOnTheRight)
{
    GraphFixture g;
    g.Load(100, testing::Flat);
    g.ShowRows(11, 51);
    g.PaintIn(100, 225, 900, 600);
    EXPECT_DOUBLE_EQ(g.model.state().m_dFullScale, 20.0);
    EXPECT_EQ(g.X(10, 0), 100.0);
    EXPECT_EQ(g.X(50, 0), 900.0);
}

TEST(GraphScale, MotionRecordingPlacesRowsByTicks)
{
    GraphFixture g;
    g.Load(3, testing::Flat, {4, 5, 9});
    g.PaintIn(100, 225, 900, 600);
    // Full scale is the width over the last tick less one; the first row sits at its own tick.
    EXPECT_DOUBLE_EQ(g.model.state().m_dFullScale, 100.0);
    EXPECT_EQ(g.X(0, 0), 500.0);
    EXPECT_EQ(g.X(1, 0), 600.0);
    EXPECT_EQ(g.X(2, 0), 1000.0);
}

TEST(GraphScale, SingleRowComputesOnlyTheFirstRowAndShowsTheStart)
{
    GraphFixture g;
    g.Load(1, testing::Flat);
    g.PaintIn(100, 225, 900, 600);
    EXPECT_DOUBLE_EQ(g.model.state().m_dFullScale, 800.0);
    EXPECT_TRUE(g.model.StartOnlyAxis());
    EXPECT_EQ(g.X(0, 0), 100.0);
}

TEST(GraphScale, GeometryOfTheScreenAndThePage)
{
    const PlotRect client{0, 0, 1200, 900};
    EXPECT_EQ(GraphModel::ScreenPlotRect(client, 155, 1), (PlotRect{130, 225, 1120, 790}));
    EXPECT_EQ(GraphModel::ScreenPlotRect(client, 0, 1).top, 70);
    EXPECT_EQ(GraphModel::ScreenPlotRect(client, 155, 0), client);
    EXPECT_EQ(GraphModel::PanelRect(client, {130, 225, 1120, 790}), (PlotRect{20, 217, 1180, 845}));

    GraphFixture g;
    const int unit = g.model.SetPrinterGeometry(4960, 7016);
    EXPECT_EQ(unit, 100);
    EXPECT_EQ(g.model.plot(), (PlotRect{230, 1130, 4880, 6516}));
    EXPECT_EQ(g.model.state().m_rcGraphPanel, (PlotRect{20, 1122, 4940, 6571}));
}

// A pane narrower than its margins, a motion recording whose last tick is 1 and a value range
// without height give no usable scale: nothing to draw, no endless step search.
TEST(GraphScale, DegenerateScalesDrawNothingAndEndTheStepSearch)
{
    {
        GraphFixture g;
        g.Load(5, testing::Flat);
        const VisibleRange range = g.PaintIn(130, 225, 80, 600);  // a pane narrower than its margins
        EXPECT_FALSE(g.model.ScalesUsable());
        EXPECT_EQ(g.model.TimeStep(), 0);
        EXPECT_TRUE(g.model.TimeSteps(range).empty());
    }
    {
        GraphFixture g;
        g.Load(2, testing::Flat, {0, 1});
        const VisibleRange range = g.PaintIn(100, 225, 900, 600);
        EXPECT_FALSE(g.model.ScalesUsable());
        EXPECT_TRUE(g.model.TimeSteps(range).empty());
    }
    {
        GraphFixture g;
        g.Load(5, testing::Flat);
        g.ShowValues(2.0, 2.0);
        g.PaintIn(100, 225, 900, 600);
        EXPECT_FALSE(g.model.ScalesUsable());
    }
    {
        // A shown range of one row in a longer recording.
        GraphFixture g;
        g.Load(5, testing::Flat);
        g.ShowRows(3, 3);
        g.PaintIn(100, 225, 900, 600);
        EXPECT_FALSE(g.model.ScalesUsable());
        EXPECT_EQ(g.model.TimeStep(), 0);
    }
}

TEST(GraphScale, TimeStepForVeryLongRecordingsIsTheSmallestThatFits)
{
    GraphFixture g;
    g.Load(2, testing::Flat);
    g.Plot(0, 0, 1000, 500);
    g.model.state().m_dScale = 1000.0 / 9999999.0;
    int k = 1;
    while (k * g.model.state().m_dScale < 1000 * 0.125)
        ++k;
    EXPECT_EQ(g.model.TimeStep(), k);
}

TEST(GraphScale, RangeBeyondTheTableIsNeverRead)
{
    GraphFixture g;
    g.Load(10, testing::Flat);
    g.view.m_nShownCount = 50;
    g.view.m_nRangeLast = 50;
    g.PaintIn(100, 225, 900, 600);
    EXPECT_EQ(g.model.RangeLast(), 10);
    EXPECT_DOUBLE_EQ(g.model.state().m_dFullScale, 800.0 / 9);
}

TEST(GraphPalette, FourteenColoursAndRawValues)
{
    EXPECT_EQ(ColorFromIndex(3), (RgbColor{200, 200, 200}));
    EXPECT_EQ(ColorFromIndex(13), (RgbColor{0, 0, 0}));
    // Outside the palette the number is the colour value itself, red in the low byte.
    EXPECT_EQ(ColorFromIndex(0x00332211), (RgbColor{0x11, 0x22, 0x33}));
    EXPECT_EQ(ColorFromIndex(14), (RgbColor{14, 0, 0}));
}

TEST(GraphScale, AutoAndFullScale)
{
    GraphFixture g;
    g.Load(3, testing::Flat);
    g.view.m_dAutoMin = -1.5;
    g.view.m_dAutoMax = 2.5;
    g.ShowValues(-1.5, 2.5);
    g.view.m_bAutoScaleY = true;
    g.model.state().m_dPresetYMin = -20.0;
    g.model.state().m_dPresetYMax = 20.0;

    EXPECT_FALSE(g.model.OnAutoScale());  // already in force
    EXPECT_TRUE(g.model.OnFullScale());
    EXPECT_EQ(g.view.m_dYMin, -20.0);
    EXPECT_EQ(g.view.m_dYMax, 20.0);
    EXPECT_FALSE(g.view.m_bAutoScaleY);
    EXPECT_FALSE(g.model.OnFullScale());  // only from the automatic range
    EXPECT_TRUE(g.model.OnAutoScale());
    EXPECT_EQ(g.view.m_dYMin, -1.5);
    EXPECT_TRUE(g.view.m_bAutoScaleY);
}

}  // namespace
}  // namespace shakemeter
