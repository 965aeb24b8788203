// The measuring cursors as drawn: in pictures and on the page with the plan, on the screen over the
// composed picture (moving them composes nothing), the same pixels either way, and a picture
// without cursors exactly as before.

#include <gtest/gtest.h>

#include <QTest>
#include <cmath>
#include <memory>

#include "PictureFixtures.h"
#include "graph/core/CursorMarks.h"
#include "graph/core/CursorPlacement.h"
#include "graph/core/GraphPaintPlanner.h"
#include "graph/widgets/CVxView.h"
#include "graph/widgets/GraphPicture.h"

namespace shakemeter {
namespace {

using namespace shakemeter::testing;

// The plan a picture of the model at this size draws.
GraphPaintPlan PictureCopyPlan(const GraphModel& model, QSize size)
{
    GraphModel copy = model;
    copy.state().m_nSummaryHeight = 0;
    return PlanFrame(copy, {{0, 0, size.width(), size.height()}, false, false});
}

TEST(CursorDrawing, PicturesShowBothCursorsInTheirColoursAndNothingWithout)
{
    PaintFixture g;
    g.Load(1000, Wave);
    PictureOptions options = OptionsOf(g, QSize(1000, 645));
    const QImage plain = RenderGraphImage(g.model, options);

    g.model.SetCursors(CursorPair{200, 700});
    const QImage marked = RenderGraphImage(g.model, options);
    const GraphPaintPlan plan = PictureCopyPlan(g.model, options.size);
    ASSERT_EQ(plan.cursors.size(), 2u);
    for (const CursorMark& mark : plan.cursors) {
        const QColor color = ToQColor(CursorColor(mark.name, false));
        // The line over the plot's height, over the traces, and the name box.
        for (int y : {plan.plot.top + 40, (plan.plot.top + plan.plot.bottom) / 2, plan.plot.bottom - 1})
            EXPECT_EQ(marked.pixelColor(mark.x, y), color) << mark.name << " at " << y;
        EXPECT_EQ(marked.pixelColor(mark.label.left, mark.label.top), color) << mark.name;
        // A letter in the box: it is not all one colour.
        int letter = 0;
        for (int y = mark.label.top; y < mark.label.bottom; ++y)
            for (int x = mark.label.left; x < mark.label.right; ++x)
                letter += marked.pixelColor(x, y) == QColor(Qt::black) ? 1 : 0;
        EXPECT_GT(letter, 5) << mark.name;
    }
    // Only the cursors' pixels differ.
    int differing = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            differing += plain.pixel(x, y) != marked.pixel(x, y) ? 1 : 0;
    EXPECT_LE(differing, 2 * (plan.plot.height() + 1 + kCursorLabelSize * kCursorLabelSize));

    // Taken away, the picture is the graph's own again.
    g.model.SetCursors(std::nullopt);
    EXPECT_EQ(RenderGraphImage(g.model, options), plain);

    // On paper the darker colours.
    g.model.SetCursors(CursorPair{200, 700});
    options.lightTheme = true;
    const QImage light = RenderGraphImage(g.model, options);
    const CursorMark& a = plan.cursors[0];
    EXPECT_EQ(light.pixelColor(a.x, (plan.plot.top + plan.plot.bottom) / 2), ToQColor(CursorColor('A', true)));
}

TEST(CursorDrawing, ThePrintedPageDrawsThemAtThePagesScale)
{
    PaintFixture g(2480, 3508);  // A4 at 300 dpi
    g.Load(1000, Wave);
    g.model.SetCursors(CursorPair{200, 700});
    g.params.printer = true;
    g.params.colors.background = 12;  // white, as the page is
    g.Paint();
    GraphModel copy = g.model;
    const GraphPaintPlan plan = PlanFrame(copy, {g.params.client, true, false});
    ASSERT_EQ(plan.cursors.size(), 2u);
    for (const CursorMark& mark : plan.cursors) {
        const QColor color = ToQColor(CursorColor(mark.name, true));
        EXPECT_EQ(g.Pixel(mark.x, (plan.plot.top + plan.plot.bottom) / 2), color) << mark.name;
        EXPECT_EQ(g.Count(color, mark.label.left, mark.label.top, mark.label.right - 1, mark.label.top + 1),
                  2 * mark.label.width())
            << mark.name;
    }
}

TEST(CursorDrawing, ThePaneDrawsThemOverItsPictureAndMovingThemComposesNothing)
{
    PaneFixture pane;
    const int composed = pane.view->CompositionCount();
    const QImage before = pane.Screen();

    pane.view->SetCursors(CursorPair{200, 700});
    pane.Settle();
    const GraphModel& model = pane.view->Model();
    const PlotRect plot = model.plot();
    const int middle = (plot.top + plot.bottom) / 2;
    const int xA = TruncToInt(ColumnOfRow(model, 200));
    const int xB = TruncToInt(ColumnOfRow(model, 700));
    QImage screen = pane.Screen();
    EXPECT_EQ(screen.pixelColor(xA, middle), ToQColor(CursorColor('A', false)));
    EXPECT_EQ(screen.pixelColor(xB, middle), ToQColor(CursorColor('B', false)));
    EXPECT_EQ(pane.view->CompositionCount(), composed);
    EXPECT_EQ(pane.view->ComposedImage().pixelColor(xA, middle), before.pixelColor(xA, middle));

    // Moved: the old column shows the picture again.
    pane.view->SetCursors(CursorPair{300, 700});
    pane.Settle();
    screen = pane.Screen();
    EXPECT_EQ(screen.pixelColor(xA, middle), before.pixelColor(xA, middle));
    EXPECT_EQ(screen.pixelColor(TruncToInt(ColumnOfRow(model, 300)), middle), ToQColor(CursorColor('A', false)));
    EXPECT_EQ(pane.view->CompositionCount(), composed);

    // The plot on the screen is the plot of the picture File > Export writes of it (the pane's
    // toolbar and scroll bars are windows of their own).
    const PictureOptions options = pane.Options();
    const int summary = pane.view->SummaryHeight();
    const QRect plotBox(plot.left, plot.top - summary, plot.width() + 1, plot.height() + 1);
    EXPECT_EQ(RenderGraphImage(model, options).convertToFormat(QImage::Format_RGB32).copy(plotBox),
              screen.copy(0, summary, 1000, 800 - summary).copy(plotBox));

    pane.view->SetCursors(std::nullopt);
    pane.Settle();
    EXPECT_EQ(pane.Screen(), before);
    EXPECT_EQ(pane.view->CompositionCount(), composed);
}

}  // namespace
}  // namespace shakemeter
