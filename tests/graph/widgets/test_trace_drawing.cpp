// Trace segments and spans drawn into a picture: colours, the plot's edges, motion gaps, marks and
// the spectral peak label.

#include <gtest/gtest.h>

#include "PaintFixture.h"

namespace shakemeter {
namespace {

using namespace shakemeter::testing;

// A plot of 800 x 400 pixels at (100, 200) over -10 .. 10 g, with the full-view positions.
struct SegmentFixture : PaintFixture {
    void Prepare()
    {
        model.state().m_rcPlot = {100, 200, 900, 600};
        model.PrepareDrawing(false, false);
    }
    void Segment(int p, int trace, int color)
    {
        QPainter painter(&image);
        DrawTraceSegment(painter, model, p, trace, color, model.state().m_nFirstVisible);
    }
};

TEST(TraceDrawing, SegmentOnTheTopEdgeIsDrawnOneAboveIsNot)
{
    SegmentFixture f;
    f.Load(3, [](int) { return SampleRow{10.0, 10.5, 0, 0}; });
    f.Prepare();
    f.model.state().m_bMarkPoints = false;
    f.Segment(1, 0, 0);  // exactly on y = 200
    f.Segment(1, 1, 3);  // 10 pixels above
    EXPECT_EQ(f.Pixel(300, 200), kRed);
    EXPECT_EQ(f.Count(kGrey, 0, 0, 999, 799), 0);
}

TEST(TraceDrawing, MotionGapLeavesOutTheLineButMarksItsPoints)
{
    SegmentFixture f;
    f.Load(3, [](int) { return SampleRow{0.0, 0, 0, 0}; }, {4, 5, 9});
    f.Prepare();  // 100 pixels per tick: ticks 4, 5, 9 at x = 500, 600, 1000
    f.model.state().m_rcPlot = {100, 200, 950, 600};
    f.model.state().m_bMarkPoints = true;
    f.Segment(1, 0, 0);
    f.Segment(2, 0, 0);
    EXPECT_EQ(f.Pixel(550, 400), kRed);               // 4 to 5 joined
    EXPECT_EQ(f.Count(kRed, 610, 395, 980, 405), 0);  // 5 to 9 not joined
    EXPECT_GT(f.Count(kRed, 597, 397, 602, 402), 4);  // the dot at 5
    EXPECT_GT(f.Count(kRed, 996, 397, 999, 402), 2);  // the dot at 9, cut by the picture's edge
}

TEST(TraceDrawing, MarksAreDrawnOncePerPixelColumnWhenRowsShareIt)
{
    SegmentFixture f;
    f.Load(1601, [](int) { return SampleRow{0.0, 0, 0, 0}; });
    f.Prepare();  // 0.5 pixel per row: segments 1 and 2 both start in column 100
    f.model.state().m_bMarkPoints = true;
    f.Segment(1, 0, 0);
    EXPECT_GT(f.Count(kRed, 96, 397, 104, 399), 0);  // dots above the line
    f.image.fill(Qt::magenta);
    f.Segment(2, 0, 0);
    EXPECT_EQ(f.Count(kRed, 96, 397, 104, 399), 0);  // only the line
    EXPECT_EQ(f.Pixel(100, 400), kRed);

    SegmentFixture wide;
    wide.Load(401, [](int) { return SampleRow{0.0, 0, 0, 0}; });
    wide.Prepare();  // 2 pixels per row: every call draws its dots
    wide.model.state().m_bMarkPoints = true;
    wide.Segment(1, 0, 0);
    wide.image.fill(Qt::magenta);
    wide.Segment(1, 0, 0);
    EXPECT_GT(wide.Count(kRed, 96, 397, 104, 399), 0);
}

struct SpectrumFixture : SegmentFixture {
    SpectrumFixture()
    {
        Load(512, [](int) { return SampleRow{}; });
        doc.m_header.wInterval = 0;
        view.m_recHeader.wInterval = 0;
        view.m_bFrequencyMode = true;
        view.m_pSpectrum.assign(256, SampleRow{0.5, 0.5, 0.5, 0});
        view.m_nShownCount = 256;
        view.m_nRangeLast = 256;
        view.m_nPeakIndex = 12;
        view.m_nPeakAxis = 1;
        view.m_dPeakFrequency = 12.0;
        view.m_dYMin = 0.0;
        view.m_dYMax = 1.0;
    }
};

TEST(TraceDrawing, PeakLabelOnThePeakAxisOnly)
{
    SpectrumFixture f;
    f.view.m_pSpectrum[12][1] = 0.9;
    f.Prepare();  // 800 / 255 pixels per bin; bin 12 at x = 137
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    {
        QPainter painter(&f.image);
        painter.setFont(font);
        for (int t = 0; t < 3; ++t) {
            const int color = t == 0 ? 0 : t == 1 ? 3 : 5;
            DrawTraceSegment(painter, f.model, 12, t, color, 1);
            DrawTraceSegment(painter, f.model, 13, t, color, 1);
        }
    }
    // Y's peak at 0.9 g lies on y = 240; its label's text sits right of and below that point.
    EXPECT_GT(f.CountNot(Qt::magenta, 140, 241, 200, 256), 10);
    // No label at the X or Z trace (0.5 g on y = 400).
    EXPECT_EQ(f.CountNot(Qt::magenta, 140, 401, 200, 420), 0);
}

TEST(TraceDrawing, PeakLabelNearTheBottomIsRaisedToTwentyPixelsAboveIt)
{
    SpectrumFixture f;
    f.view.m_pSpectrum[12][1] = 0.025;  // 10 pixels above the bottom
    f.Prepare();
    {
        QPainter painter(&f.image);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(12);
        painter.setFont(font);
        DrawTraceSegment(painter, f.model, 13, 1, 3, 1);
    }
    EXPECT_GT(f.CountNot(Qt::magenta, 140, 581, 200, 594), 10);  // text from y = 580 down
    EXPECT_EQ(f.CountNot(Qt::magenta, 140, 560, 200, 579), 0);
}

}  // namespace
}  // namespace shakemeter
