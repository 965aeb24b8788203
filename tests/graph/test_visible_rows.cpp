// The rows the graph shows, as the analysis windows read them: the shown range, the zoomed
// stretch after a paint, and the ends kept inside the recording.

#include <gtest/gtest.h>

#include "GraphFixture.h"
#include "graph/core/VisibleRows.h"

namespace shakemeter {
namespace {

// Row r at pixel 100 + 0.8 r in the full view.
using VisibleFixture = testing::ThousandRowFixture;

TEST(VisibleRows, WholeShownRangeWhenNotZoomed)
{
    VisibleFixture g;
    EXPECT_EQ(VisibleRows(g.model, 1001).from, 0u);
    EXPECT_EQ(VisibleRows(g.model, 1001).to, 1000u);
    // The axis setup's range, 1-based in the view, is rows 100..899 here.
    g.view.m_nRangeFirst = 101;
    g.view.m_nRangeLast = 900;
    g.Paint();
    EXPECT_EQ(VisibleRows(g.model, 1001).from, 100u);
    EXPECT_EQ(VisibleRows(g.model, 1001).to, 899u);
    // Never past the rows the caller counts, never an empty answer.
    EXPECT_EQ(VisibleRows(g.model, 500).to, 499u);
    EXPECT_EQ(VisibleRows(g.model, 50).from, 49u);
    EXPECT_EQ(VisibleRows(g.model, 50).to, 49u);
    EXPECT_EQ(VisibleRows(g.model, 0).size(), 1u);
}

TEST(VisibleRows, AZoomNarrowsToTheRowsInsideThePlot)
{
    VisibleFixture g;
    // Pixels 300 and 500 are rows 250 and 500 of the full view.
    g.model.ButtonDown({300, 300});
    g.model.DragBand({500, 400});
    ASSERT_TRUE(g.model.ButtonUp({500, 400}));
    g.Paint();
    ASSERT_GT(g.model.state().g_nZoomLevel, 0);
    const vibration::RowRange rows = VisibleRows(g.model, 1001);
    EXPECT_NEAR(static_cast<double>(rows.from), 250.0, 3.0);
    EXPECT_NEAR(static_cast<double>(rows.to), 500.0, 3.0);
    const VisibleRange points = g.model.ComputeVisibleRange();
    EXPECT_EQ(rows.from, static_cast<std::size_t>(points.first - 1));
    EXPECT_EQ(rows.to, static_cast<std::size_t>(points.last - 1));

    g.model.OnZoomOut();
    g.Paint();
    EXPECT_EQ(VisibleRows(g.model, 1001).from, 0u);
    EXPECT_EQ(VisibleRows(g.model, 1001).to, 1000u);
}

}  // namespace
}  // namespace shakemeter
