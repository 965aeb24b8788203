// The real-time window: its growth while a reading runs, and what each new row asks the widget to
// repaint.

#include <gtest/gtest.h>

#include "GraphFixture.h"
#include "recording/RtWindowTable.h"

namespace shakemeter {
namespace {

using testing::GraphFixture;

struct RealTimeFixture : GraphFixture {
    explicit RealTimeFixture(int width, int planned = 300)
    {
        Load(planned, [](int i) { return SampleRow{0.01 * (i % 10), 0, 0, 0}; });
        doc.m_bRealTime = 1;
        Plot(100, 200, 100 + width, 600);
        view.m_nRtWindow = BuildRtWindowTable(width, planned);
        Arrive(1);
    }
    // Rows up to n have arrived; the reading asks for the graph's update.
    RealTimeAction Arrive(int n)
    {
        view.m_nShownCount = n;
        view.m_nRangeLast = n;
        return model.UpdateRealTimePlot(true);
    }
};

TEST(RealTimeWindow, HundredSamplesSpanTheWidthThenTheWindowGrows)
{
    RealTimeFixture g(1000);
    EXPECT_DOUBLE_EQ(g.model.state().m_dFullScale, 1000.0 / 99);
    g.Arrive(100);
    EXPECT_EQ(g.model.state().m_nRtWindowIdx, 0);
    EXPECT_EQ(g.Arrive(101), RealTimeAction::RepaintPanelErase);
    EXPECT_EQ(g.model.state().m_nRtWindowIdx, 1);
    EXPECT_EQ(g.view.m_nRtWindow[1], 109);
    EXPECT_DOUBLE_EQ(g.model.state().m_dFullScale, 1000.0 / 99);  // the new size counts from the next row
    g.Arrive(102);
    EXPECT_DOUBLE_EQ(g.model.state().m_dFullScale, 1000.0 / 108);

    RealTimeFixture narrow(900);
    narrow.Arrive(101);
    EXPECT_EQ(narrow.view.m_nRtWindow[1], 108);
}

TEST(RealTimeWindow, ReadingLongerThanItsTableKeepsGrowing)
{
    RealTimeFixture g(1000, 300);
    g.view.m_nRtWindow = {100, 109};
    for (int n = 2; n <= 300; ++n)
        g.Arrive(n);
    EXPECT_EQ(g.view.m_nRtWindow,
              (std::vector<int>{100, 109, 118, 128, 139, 151, 164, 178, 194, 211, 230, 250, 272, 296, 322}));
}

TEST(RealTimeWindow, NewRowDrawsOnlyItsSegmentUnlessItLeavesThePlot)
{
    RealTimeFixture g(1000);
    EXPECT_EQ(g.Arrive(2), RealTimeAction::RepaintPanelErase);  // too few rows for a segment
    EXPECT_EQ(g.Arrive(3), RealTimeAction::DrawNewestSegment);
    EXPECT_EQ(g.model.NewestSegmentPoint(), 2);
    // A sample that jumps from inside the plot to above its top line repaints the panel.
    g.doc.m_pSamples[3][1] = 15.0;
    EXPECT_EQ(g.Arrive(4), RealTimeAction::RepaintPanel);
    g.model.state().m_bBandDragging = true;
    EXPECT_EQ(g.Arrive(5), RealTimeAction::Nothing);
}

TEST(RealTimeWindow, StartTableGrowsUntilItHoldsTheRequest)
{
    ViewState view;
    const double scale = StartRtWindowTable(view, 600, 100000);
    const std::vector<int>& table = view.m_nRtWindow;
    ASSERT_EQ(table.size(), 82u);
    EXPECT_EQ(table[0], 100);
    EXPECT_EQ(table[1], 109);
    EXPECT_GE(table.back(), 100000);
    EXPECT_LT(table[80], 100000);
    EXPECT_GT(scale, 0.0);

    ViewState notLaidOut;
    StartRtWindowTable(notLaidOut, 0, 3);
    EXPECT_EQ(notLaidOut.m_nRtWindow, (std::vector<int>{100, 109}));
}

TEST(RealTimeWindow, StartTableAndScaleAreThoseTheGraphGrowsBy)
{
    // The graph grows the window by the table's own rule while it reads, so a reading must start
    // from exactly the table the graph would build, at every width.
    for (const int width : {1, 333, 900, 1000, 1917}) {
        for (const int points : {1, 109, 110, 5000, 100000}) {
            ViewState view;
            const double scale = StartRtWindowTable(view, width, points);
            const std::vector<int> table = BuildRtWindowTable(width, points);
            EXPECT_EQ(view.m_nRtWindow, table) << width << " px, " << points << " points";
            EXPECT_EQ(scale, RtNarrowedScale(width, table[table.size() - 2])) << width;
        }
    }
}

TEST(RealTimeWindow, ZoomedPictureFollowsTheNewestRow)
{
    RealTimeFixture g(800);
    g.Arrive(50);
    g.Paint(true);
    // The band ends left of the newest rows, so they lie right of the zoomed plot.
    ASSERT_TRUE(g.DrawBand({300, 300}, {480, 500}));
    g.Paint(true);
    const int shift = g.model.state().m_nHShift;
    EXPECT_EQ(g.Arrive(51), RealTimeAction::InvalidatePlot);
    EXPECT_EQ(g.model.state().m_nHShift, shift - 1);
    // Positions of rows that arrived while zoomed continue the zoomed spacing.
    EXPECT_DOUBLE_EQ(g.X(50, 1) - g.X(49, 1), g.model.state().m_dScale);
}

}  // namespace
}  // namespace shakemeter
