#include <gtest/gtest.h>

#include "graph/core/GraphLayout.h"

namespace shakemeter {
namespace {

// The child windows sit around the plot of a 1200 x 900 client below a 155-pixel summary: the
// toolbar above it, the vertical bar at the panel's left edge, the horizontal bar in the panel
// under it, and none of them overlaps the plot.
TEST(GraphLayout, ChildWindowsFrameTheScreenPlot)
{
    const PlotRect client{0, 0, 1200, 900};
    const PlotRect plot = GraphLayout::ScreenPlot(client, 155, 1);
    ASSERT_EQ(plot, (PlotRect{130, 225, 1120, 790}));
    EXPECT_EQ(GraphLayout::HScrollBar(plot), (PlotRect{130, 825, 1120, 845}));
    EXPECT_EQ(GraphLayout::VScrollBar(client, plot), (PlotRect{20, 220, 40, 795}));
    EXPECT_EQ(GraphLayout::ToolBar(client, plot), (PlotRect{20, 180, 1180, 220}));

    const PlotRect panel = GraphLayout::ScreenPanel(client, plot);
    EXPECT_EQ(GraphLayout::HScrollBar(plot).bottom, panel.bottom);
    EXPECT_LT(GraphLayout::VScrollBar(client, plot).right, plot.left);
    EXPECT_LE(GraphLayout::ToolBar(client, plot).bottom, plot.top);
}

// The page keeps its plot at fixed places from the page's edges; the panel starts just above it.
TEST(GraphLayout, PagePlotAndPanel)
{
    const PlotRect plot = GraphLayout::PagePlot(4960, 7016);
    EXPECT_EQ(plot, (PlotRect{230, 1130, 4880, 6516}));
    EXPECT_EQ(GraphLayout::PagePanel(4960, plot), (PlotRect{20, 1122, 4940, 6571}));
    EXPECT_EQ(GraphLayout::PageLineUnit(7016), 100);
}

}  // namespace
}  // namespace shakemeter
