#include <gtest/gtest.h>

#include "graph/core/ZoomMapping.h"

namespace shakemeter {
namespace {

std::array<double, 11> Ticks(double low, double high)
{
    std::array<double, 11> ticks{};
    for (int i = 0; i <= 10; ++i)
        ticks[static_cast<std::size_t>(i)] = low + (high - low) * i * 0.1;
    return ticks;
}

// A band over the middle half of a 400 x 200 plot: its edges become the plot's edges, and the
// value axis starts under its bottom and steps by a tenth of its height.
TEST(ZoomMapping, BandEdgesBecomeThePlotsEdges)
{
    const PlotRect plot{100, 50, 500, 250};
    const ZoomMapping zoom(plot, 200.0, 400.0, 100.0, 200.0, Ticks(-10.0, 10.0));
    EXPECT_DOUBLE_EQ(zoom.ZoomedX(zoom.DistanceLeftOfBand(200.0)), 100.0);
    EXPECT_DOUBLE_EQ(zoom.ZoomedX(zoom.DistanceLeftOfBand(400.0)), 500.0);
    EXPECT_DOUBLE_EQ(zoom.ZoomedX(zoom.DistanceLeftOfBand(300.0)), 300.0);
    // A column one pixel right of the band's left edge lands two pixels right of the plot's.
    EXPECT_DOUBLE_EQ(zoom.ZoomedX(zoom.DistanceLeftOfBand(200.0) - 1.0), 102.0);

    // 50 pixels above the bottom of a 200-pixel plot over -10 .. 10 g is -5 g; a tenth of the
    // 100-pixel band is 10 pixels, 1 g.
    EXPECT_DOUBLE_EQ(zoom.BottomValue(), -5.0);
    EXPECT_DOUBLE_EQ(zoom.NextTickValue(), -4.0);
}

}  // namespace
}  // namespace shakemeter
