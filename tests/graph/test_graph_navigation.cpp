// Scrolling the zoomed picture, picking the sample under the cursor and the read-out texts.

#include <gtest/gtest.h>

#include "GraphFixture.h"

namespace shakemeter {
namespace {

using testing::GraphFixture;
using testing::ScopedTimeZone;

struct ZoomedFixture : GraphFixture {
    // rows rows in an 800-pixel plot, zoomed onto the band from x = left to x = right.
    ZoomedFixture(int rows, int left, int right)
    {
        Load(rows, testing::Flat);
        PaintIn(100, 200, 900, 600);
        EXPECT_TRUE(DrawBand({left, 300}, {right, 500}));
        Paint();
    }
    int Position() const { return model.state().m_siHorz.position; }
    // The bar's position after a scroll.
    int Scroll(ScrollCode code, int position = 0, int pointerX = 0)
    {
        model.OnHScroll(code, position, pointerX);
        return Position();
    }
    // Where a row is drawn in the scrolled picture (the picture is shifted by m_nHShift rows, or
    // by m_nHShift ticks' widths with ticks).
    double DrawnX(int row) const
    {
        const GraphState& s = model.state();
        const double shift = model.HasTicks() ? s.m_nHShift * s.m_dScale : s.m_nHShift * (X(1, 1) - X(0, 1));
        return X(row, 1) + shift;
    }
    double Spacing() const { return model.HasTicks() ? model.state().m_dScale : X(1, 1) - X(0, 1); }
};

TEST(GraphScroll, PageLeftNearTheStartGoesToZero)
{
    ZoomedFixture g(1001, 300, 500);  // position 250, page 250
    EXPECT_EQ(g.Position(), 250);
    EXPECT_EQ(g.Scroll(ScrollCode::PageBack), 0);
    EXPECT_EQ(g.model.state().m_nHShift, 250);
}

TEST(GraphScroll, PagesAndLinesMoveByTheirSteps)
{
    ZoomedFixture g(1001, 700, 900);  // rows 750 .. 1000
    const int start = g.Position();
    EXPECT_EQ(start, 751);
    EXPECT_EQ(g.Scroll(ScrollCode::PageBack), 500);
    EXPECT_EQ(g.Scroll(ScrollCode::LineForward), 501);
    EXPECT_EQ(g.Scroll(ScrollCode::LineBack), 500);
    // Page right near the end stops at the last page, the one the zoom showed.
    g.model.OnHScroll(ScrollCode::PageForward, 0, 0);
    EXPECT_EQ(g.Scroll(ScrollCode::PageForward), 751);
    EXPECT_EQ(g.Scroll(ScrollCode::LineForward), 751);
    EXPECT_EQ(g.Scroll(ScrollCode::ThumbTrack, 42), 42);
    // The visible range follows the scroll shift.
    EXPECT_EQ(g.Paint().first, 42);
}

TEST(GraphScroll, StartAndEndReachBothEndsOfLongRecordings)
{
    // Beyond 16-bit thumb positions the ends still come from the codes, not from the pointer.
    ZoomedFixture g(40000, 300, 310);
    EXPECT_NEAR(g.Scroll(ScrollCode::End), 40000 - 500, 1);  // 500 rows fit across the plot
    EXPECT_EQ(g.Scroll(ScrollCode::Start), 0);
    EXPECT_EQ(g.Paint().first, 0);
}

TEST(GraphScroll, ThumbOfLongRecordingsFollowsThePointer)
{
    ZoomedFixture g(40000, 300, 310);
    ASSERT_EQ(g.model.HorizontalTotal(), 40000);
    EXPECT_EQ(g.Scroll(ScrollCode::ThumbTrack, 123, 100 + 30 + 370), 20000);  // half of W - 60
    EXPECT_EQ(g.Scroll(ScrollCode::ThumbTrack, 123, 100 + 29), 0);
    EXPECT_EQ(g.Scroll(ScrollCode::ThumbTrack, 123, 900 - 29), g.model.HorizontalLastPosition());

    ZoomedFixture shortOne(1001, 300, 500);
    EXPECT_EQ(shortOne.Scroll(ScrollCode::ThumbTrack, 123, 100 + 30 + 370), 123);
}

TEST(GraphScroll, TheLastPageEndsAtTheLastSample)
{
    ZoomedFixture g(1001, 300, 500);  // 3.2 px per row, 250 rows across the plot
    const int lastPage = g.model.HorizontalLastPosition();
    EXPECT_NEAR(lastPage, 751, 1);
    const auto lastRowAtTheRightEdge = [&](const char* how) {
        g.Paint();
        EXPECT_EQ(g.Position(), lastPage) << how;
        EXPECT_LE(g.DrawnX(1000), 900.0) << how;
        EXPECT_GT(g.DrawnX(1000), 900.0 - g.Spacing()) << how;
        EXPECT_GE(g.Paint().last, 1001) << how;
    };
    g.model.OnHScroll(ScrollCode::End, 0, 0);
    lastRowAtTheRightEdge("End");
    g.model.OnHScroll(ScrollCode::Start, 0, 0);
    for (int i = 0; i < 5; ++i)
        g.model.OnHScroll(ScrollCode::PageForward, 0, 0);
    lastRowAtTheRightEdge("Page right past the end");
    g.model.OnHScroll(ScrollCode::LineForward, 0, 0);
    lastRowAtTheRightEdge("Line right at the end");
    g.model.OnHScroll(ScrollCode::ThumbTrack, 1001, 0);
    lastRowAtTheRightEdge("thumb fully right");
    g.model.OnHScroll(ScrollCode::ThumbPosition, 5000, 0);
    lastRowAtTheRightEdge("a position beyond the bar");
    // The bar's page is the plot's: its thumb fully right is the last page.
    EXPECT_EQ(g.model.state().m_siHorz.maximum - g.model.state().m_siHorz.page + 1, lastPage);
}

TEST(GraphScroll, TheLastPageOfAMotionRecordingEndsAtTheLastTick)
{
    GraphFixture g;
    std::vector<std::int32_t> ticks;
    for (int i = 0; i < 1001; ++i)
        ticks.push_back(2 * i + 1);  // ticks 1 .. 2001, 0.4 px each over 800 px
    g.Load(1001, testing::Flat, ticks);
    g.PaintIn(100, 200, 900, 600);
    ASSERT_TRUE(g.DrawBand({300, 300}, {500, 500}));
    g.Paint();
    const double spacing = g.model.state().m_dScale;  // 1.6 px per tick
    g.model.OnHScroll(ScrollCode::End, 0, 0);
    g.Paint();
    const double last = g.X(1000, 1) + g.model.state().m_nHShift * spacing;
    EXPECT_LE(last, 900.0);
    EXPECT_GT(last, 900.0 - spacing);
    EXPECT_GE(g.Paint().last, 1001);
}

TEST(GraphScroll, APositionSetWithoutDraggingIsTakenAsItIs)
{
    // The wheel and "Scroll here" give the bar's own position, beyond 16 bits too: the pointer
    // rule is for a dragged thumb only.
    ZoomedFixture g(40000, 300, 310);
    EXPECT_EQ(g.Scroll(ScrollCode::ThumbPosition, 12345, 900 - 29), 12345);
    EXPECT_EQ(g.Scroll(ScrollCode::ThumbPosition, -5, 900 - 29), 0);
}

TEST(GraphScroll, VerticalStepsMoveTheZoomedAxis)
{
    ZoomedFixture g(1001, 300, 500);
    // Full range -10 .. 10; the zoomed step is 1 g; its middle line lies at -5 + 5 = 0 g.
    EXPECT_EQ(g.model.state().m_nVScrollRange, 20);
    EXPECT_EQ(g.model.state().m_nVScrollBase, 10);
    EXPECT_EQ(g.model.state().m_siVert.position, 10);
    const double bottom = g.model.state().g_dYTick[1][0];
    g.model.OnVScroll(ScrollCode::LineBack, 0);
    g.model.OnVScroll(ScrollCode::LineBack, 0);
    EXPECT_TRUE(g.model.state().m_bVScrolled);
    EXPECT_EQ(g.model.state().m_siVert.position, 9);
    g.Paint();
    EXPECT_DOUBLE_EQ(g.model.state().g_dYTick[1][0], bottom + 2.0);  // up shows higher values
    g.model.OnVScroll(ScrollCode::PageForward, 0);
    EXPECT_EQ(g.model.state().m_siVert.position, 19);
    g.model.OnVScroll(ScrollCode::PageForward, 0);  // near the end: to the bottom
    EXPECT_EQ(g.model.state().m_siVert.position, 20);
    g.model.OnVScroll(ScrollCode::ThumbTrack, 3);
    EXPECT_EQ(g.model.state().m_siVert.position, 3);
    g.model.OnVScroll(ScrollCode::PageBack, 0);  // near the start: to the top
    EXPECT_EQ(g.model.state().m_siVert.position, 0);
    g.model.OnVScroll(ScrollCode::End, 0);
    EXPECT_EQ(g.model.state().m_siVert.position, 20);
    g.model.OnVScroll(ScrollCode::PageBack, 0);
    EXPECT_EQ(g.model.state().m_siVert.position, 10);
    g.model.OnVScroll(ScrollCode::Start, 0);
    EXPECT_EQ(g.model.state().m_siVert.position, 0);
}

TEST(GraphPick, HalfwayGoesToTheEarlierSample)
{
    GraphFixture g;
    g.Load(11, testing::Flat);
    g.Plot(100, 200, 200, 600);  // 10 pixels per sample
    g.Paint();
    EXPECT_EQ(g.model.PickIndex(105), 0);
    EXPECT_EQ(g.model.PickIndex(106), 1);
    EXPECT_EQ(g.model.PickIndex(104), 0);
    EXPECT_EQ(g.model.PickIndex(200), 10);
    EXPECT_EQ(g.model.PickIndex(199), 10);
}

TEST(GraphPick, WithTicksTheNearerPointWinsAndTiesGoEarlier)
{
    GraphFixture g;
    g.Load(4, testing::Flat, {1, 3, 5, 7});
    g.Plot(100, 200, 160, 600);  // 10 pixels per tick: rows at 110, 130, 150, 170
    g.Paint();
    EXPECT_EQ(g.model.PickIndex(120), 0);
    EXPECT_EQ(g.model.PickIndex(121), 1);
    EXPECT_EQ(g.model.PickIndex(150), 2);
    // Right of the last point: no row qualifies, the index stays.
    EXPECT_EQ(g.model.PickIndex(175), 2);
}

TEST(GraphPick, ScrolledPictureIsPickedWhereItIsDrawn)
{
    ZoomedFixture g(1001, 300, 500);                   // row 250 on the left edge, 3.2 px per row
    g.model.OnHScroll(ScrollCode::LineForward, 0, 0);  // one row further: row 251 on the left edge
    g.Paint();
    EXPECT_EQ(g.model.PickIndex(100), 251);
    EXPECT_EQ(g.model.PickIndex(103), 252);
}

TEST(GraphReadout, TextsOfTheRowUnderTheCursor)
{
    ScopedTimeZone zone("UTC0");
    GraphFixture g;
    g.Load(3, [](int i) { return SampleRow{0.25 * i, -1.005, 2.0, 3.456}; });
    g.view.m_timeStart = CalendarTime::FromLocal({2023, 3, 5, 14, 7, 9});
    g.model.UpdateReadout(0);
    EXPECT_EQ(g.model.state().g_strReadoutHead, "Data Point No.:1    Time: 05/03/23 14:07:09");
    EXPECT_EQ(g.model.state().g_strReadoutX, "X:0.00");
    EXPECT_EQ(g.model.state().g_strReadoutZ, "Z:2.00");
    EXPECT_EQ(g.model.state().g_strReadoutV, "Vector Sum:3.46");
    g.model.UpdateReadout(2);
    EXPECT_EQ(g.model.state().g_strReadoutHead, "Data Point No.:3    Time: 05/03/23 14:07:11");
    g.model.UpdateReadout(3);  // beyond the rows: unchanged
    EXPECT_EQ(g.model.state().g_strReadoutX, "X:0.50");

    g.view.m_bFrequencyMode = true;
    g.view.m_pSpectrum.assign(256, SampleRow{1.5, 2.5, 3.5, 0});
    g.view.m_nShownCount = 256;
    g.model.UpdateReadout(12);
    EXPECT_EQ(g.model.state().g_strReadoutHead, "Data Point No.:13      Frequency:12.00");
    EXPECT_EQ(g.model.state().g_strReadoutV, "Vector Sum:");
}

}  // namespace
}  // namespace shakemeter
