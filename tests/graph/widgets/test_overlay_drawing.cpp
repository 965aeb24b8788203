// The compared recording as drawn: in paler trace colours under the shown traces, on the screen,
// the page and in pictures, and not a pixel of it once it is removed.

#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>
#include <memory>

#include "PaintFixture.h"
#include "graph/core/GraphExtras.h"
#include "graph/core/OverlayTraces.h"
#include "graph/widgets/GraphPicture.h"

namespace shakemeter {
namespace {

using namespace shakemeter::testing;

SampleRow Wave(int i)
{
    return {3.0 * std::sin(i / 7.0), 1.0, -2.0, 4.0};
}

// The shown wave, and the same wave 1.5 g lower in X as the compared one.
void CompareLower(GraphModel& model, int rows)
{
    std::vector<SampleRow> values;
    for (int i = 0; i < rows; ++i) {
        SampleRow row = Wave(i);
        row[0] -= 1.5;
        values.push_back(row);
    }
    Compare(model, MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 1 * 4 + RATE_UNIT_SECOND), std::move(values)),
            {AlignBy::FirstSample}, "after.Vibration", "before.Vibration");
}

QColor Paler(const QColor& trace, const QColor& background)
{
    return ToQColor(
        OverlayTraceColor({static_cast<std::uint8_t>(trace.red()), static_cast<std::uint8_t>(trace.green()),
                           static_cast<std::uint8_t>(trace.blue())},
                          {static_cast<std::uint8_t>(background.red()), static_cast<std::uint8_t>(background.green()),
                           static_cast<std::uint8_t>(background.blue())}));
}

TEST(OverlayDrawing, TheComparisonIsDrawnPalerAndLeavesNoTraceWhenRemoved)
{
    PaintFixture g;
    g.Load(1000, Wave);
    g.Paint();
    const QImage alone = g.image.copy();
    const PlotRect plot = g.model.plot();
    const QColor paleRed = Paler(kRed, kBlack);
    EXPECT_EQ(g.Count(paleRed, plot.left, plot.top, plot.right, plot.bottom), 0);

    CompareLower(g.model, 1000);
    g.Paint();
    EXPECT_GT(g.Count(paleRed, plot.left, plot.top, plot.right, plot.bottom), 500);
    // The shown X trace keeps its own colour where it was.
    EXPECT_GT(g.Count(kRed, plot.left, plot.top, plot.right, plot.bottom), 500);
    // The traces that run along each other: the shown vector sum on top of the compared one.
    const int sumRow = TruncToInt(g.model.Mapping(0).map(4.0));
    EXPECT_EQ(g.Count(Paler(kGreen, kBlack), plot.left + 10, sumRow, plot.right - 10, sumRow), 0);
    EXPECT_GT(g.Count(kGreen, plot.left + 10, sumRow, plot.right - 10, sumRow), plot.width() - 30);

    g.model.SetOverlay(std::nullopt);
    g.Paint();
    EXPECT_EQ(g.image, alone);
}

TEST(OverlayDrawing, ThePageAndTheLightPictureCarryTheComparison)
{
    PaintFixture page(2480, 3508);
    page.Load(100, Wave);
    CompareLower(page.model, 100);
    page.params.printer = true;
    page.image.fill(Qt::white);
    page.Paint();
    const PlotRect plot = page.model.plot();
    EXPECT_GT(page.Count(Paler(kRed, kBlack), plot.left, plot.top, plot.right, plot.bottom), 1000);
    EndPrinting(page.model);

    PaintFixture g;
    g.Load(1000, Wave);
    CompareLower(g.model, 1000);
    PictureOptions options;
    options.size = QSize(1000, 645);
    options.colors = g.params.colors;
    options.lightTheme = true;
    const QImage light = RenderGraphImage(g.model, options);
    const QColor darkRed(128, 0, 0);  // the light theme's X
    int pale = 0;
    for (int y = 0; y < light.height(); ++y)
        for (int x = 0; x < light.width(); ++x)
            pale += light.pixelColor(x, y) == Paler(darkRed, Qt::white) ? 1 : 0;
    EXPECT_GT(pale, 500);
}

}  // namespace
}  // namespace shakemeter
