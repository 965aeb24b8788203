// The report's graph page as the printer gets it: the graph pane's own drawing at page geometry
// under the report lines, on a 600 dpi A4 sheet of exactly 4960 x 7016 device pixels, and a zoomed
// graph that prints its zoomed part while the screen keeps the zoom.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "analysis/widgets/ReportPrinter.h"
#include "graph/widgets/GraphPainter.h"
#include "recording/test_summary_fixtures.h"
#include "test_data_list_app.h"

namespace shakemeter {
namespace {

using namespace testing;

[[maybe_unused]] ::testing::Environment* const kAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new testing::WidgetAppEnvironment);

// A4 at 600 dpi in whole device pixels; the line unit is 7016 / 70 = 100.
constexpr int kWp = 4960;
constexpr int kHp = 7016;
constexpr int kL = 230, kT = 1130, kR = 4880, kB = 6516;
const GraphColors kColors{13, 0, 3, 5, 1, 2};  // black plot, red X, blue grid

struct InkBox {
    int left = 0;
    int top = 0;
    int right = 0;  // inclusive
    int bottom = 0;
};

// A recording shown as a graph, a screen to paint it on and a page to print it on.
class GraphPageTest : public ::testing::Test {
protected:
    explicit GraphPageTest(std::vector<SampleRow> rows = RowsWithSpikes(101))
        : zone("UTC0"), shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), std::move(rows)))
    {
        RecordingView& view = shown.view;
        view.m_nDisplayMode = 1;
        view.m_nRangeFirst = 1;
        view.m_nRangeLast = view.m_nShownCount;
        view.m_dYMin = -10.0;
        view.m_dYMax = 10.0;
        model.Attach(&shown.document, &shown.view);
    }

    // X is flat at 0 g but for a 5 g spike at row 300 and a -5 g spike at row 700.
    static std::vector<SampleRow> RowsWithSpikes(int count)
    {
        std::vector<SampleRow> rows(static_cast<std::size_t>(count), SampleRow{0.0, 0.0, 0.0, 0.0});
        if (count > 300)
            rows[300][0] = 5.0;
        if (count > 700)
            rows[700][0] = -5.0;
        return rows;
    }

    QImage PaintScreen()
    {
        QImage screen(1000, 800, QImage::Format_RGB32);
        screen.fill(Qt::magenta);
        QPainter painter(&screen);
        PaintParams params;
        params.client = {0, 0, screen.width(), screen.height()};
        params.colors = kColors;
        PaintGraphFrame(painter, model, params);
        return screen;
    }

    // The page as the printer would get it: the report's page drawing, the graph plugged in.
    QImage PrintPage(int summaryHeight = 155)
    {
        QImage page(kWp, kHp, QImage::Format_RGB32);
        const int dotsPerMeter = static_cast<int>(600 / 0.0254 + 0.5);
        page.setDotsPerMeterX(dotsPerMeter);
        page.setDotsPerMeterY(dotsPerMeter);
        page.fill(Qt::white);
        ReportPrintSources sources;
        sources.view = &shown.view;
        sources.summaryHeight = summaryHeight;
        sources.drawGraph = [this](QPainter& painter, const QRect& area) {
            PaintParams params;
            params.client = {area.left(), area.top(), area.right() + 1, area.bottom() + 1};
            params.printer = true;
            params.colors = kColors;
            PaintGraphFrame(painter, model, params);
        };
        {
            QPainter painter(&page);
            ReportPrinter(sources).PrintPage(painter, REPORT_KIND_GRAPH, 1);
        }
        EndPrinting(model);
        // GRAPH_PAGE_PICTURES=dir keeps the page for a look.
        if (const char* dir = std::getenv("GRAPH_PAGE_PICTURES"))
            page.save(QString::fromUtf8(dir) + QStringLiteral("/%1-%2.png")
                                                   .arg(::testing::UnitTest::GetInstance()->current_test_info()->name())
                                                   .arg(++pictures));
        return page;
    }

    // The smallest box holding every non-white pixel of the area; none when it is blank.
    static std::optional<InkBox> Ink(const QImage& image, int left, int top, int right, int bottom)
    {
        std::optional<InkBox> box;
        for (int y = top; y < bottom; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = left; x < right; ++x) {
                if ((line[x] & 0xFFFFFFu) == 0xFFFFFFu)
                    continue;
                if (!box)
                    box = InkBox{x, y, x, y};
                box->left = std::min(box->left, x);
                box->right = std::max(box->right, x);
                box->top = std::min(box->top, y);
                box->bottom = std::max(box->bottom, y);
            }
        }
        return box;
    }

    static int Count(const QImage& image, const QColor& color, int left, int top, int right, int bottom)
    {
        int count = 0;
        for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y) {
            for (int x = std::max(left, 0); x < std::min(right, image.width()); ++x)
                count += image.pixelColor(x, y) == color ? 1 : 0;
        }
        return count;
    }

    ScopedTimeZone zone;
    Shown shown;
    GraphModel model;
    int pictures = 0;
};

TEST_F(GraphPageTest, PlotLabelsAndTicksStandAtTheirPagePositions)
{
    PaintScreen();
    const QImage page = PrintPage();
    const GraphState& s = model.state();
    EXPECT_EQ(s.m_rcPlot, (PlotRect{kL, kT, kR, kB}));
    EXPECT_EQ(s.m_rcGraphPanel, (PlotRect{20, 1122, kWp - 20, kB + 55}));
    EXPECT_EQ(s.g_rcLastPlot, (PlotRect{kL, kT, kR, kB}));

    // The plot area, 5 pixels wider than the plot on either side, from T down to the bottom line.
    const std::optional<InkBox> plotRow = Ink(page, 0, 1400, kWp, 1401);
    ASSERT_TRUE(plotRow);
    EXPECT_EQ(plotRow->left, kL - 5);
    EXPECT_EQ(plotRow->right, kR + 4);
    EXPECT_EQ(page.pixelColor(1000, 1400), QColor(Qt::black));
    EXPECT_FALSE(Ink(page, 300, 1044, 4800, kT)) << "white between the report lines and the plot";
    EXPECT_GT(Count(page, PaletteColor(kColors.grid), kL, kT, kR, kT + 1), (kR - kL) / 4) << "dotted top grid line";
    EXPECT_EQ(page.pixelColor(1000, kB - 1), QColor(Qt::black));
    // Under the plot only the time ticks (5 pixels) until the time labels start at B + u / 2.
    const std::optional<InkBox> underPlot = Ink(page, 300, kB + 1, 4800, kB + 50);
    ASSERT_TRUE(underPlot);
    EXPECT_LE(underPlot->bottom, kB + 5);

    // Value ticks from x 220 to 230 at the eleven grid heights, solid in the grid colour.
    const int H = kB - kT;
    for (int i = 0; i <= 10; ++i) {
        const int y = kT + static_cast<int>(i * H * 0.1);
        EXPECT_EQ(page.pixelColor(221, y), PaletteColor(kColors.grid)) << i;
        EXPECT_EQ(page.pixelColor(221, y + 3), QColor(Qt::white)) << i;
    }

    // Value label i starts at 14 x (9 - its length) with its text cell's top at B - i H / 10 - 8;
    // the cell is 0.6 u = 60 pixels high.
    for (int i = 0; i <= 10; ++i) {
        const std::string& label = s.m_strAxisLabel[static_cast<std::size_t>(i)];
        ASSERT_FALSE(label.empty()) << i;
        const int x = 14 * (9 - static_cast<int>(label.size()));
        const int top = kB - (i * H) / 10 - 8;
        // Label 0 stands just above the start time, which begins at B + u / 2.
        const std::optional<InkBox> ink = Ink(page, 0, top - 30, kL - 12, top + 62);
        ASSERT_TRUE(ink) << label;
        EXPECT_GE(ink->left, x) << label;
        EXPECT_LE(ink->left, x + 12) << label;
        EXPECT_GE(ink->top, top) << label;
        EXPECT_LE(ink->bottom, top + 60) << label;
        EXPECT_GE(ink->bottom - ink->top, 30) << label << ": digits of a 60-pixel font";
    }

    // Time labels: the clock time at (x - 13 x its length, B + 50), the date at (x - 110, B + 150).
    const std::vector<TimeStepMark> marks =
        model.TimeSteps(VisibleRange{s.g_nPrintFirstVisible, s.g_nPrintLastVisible});
    ASSERT_GE(marks.size(), 2u);
    const TimeStepMark& second = marks[1];
    const TimeLabelLines lines = model.StepLabel(second);
    const int timeLeft = second.x - 13 * static_cast<int>(lines.time.size());
    const std::optional<InkBox> time = Ink(page, timeLeft - 20, kB + 45, second.x + 200, kB + 115);
    ASSERT_TRUE(time) << lines.time;
    EXPECT_GE(time->left, timeLeft);
    EXPECT_LE(time->left, timeLeft + 12);
    EXPECT_GE(time->top, kB + 50);
    const std::optional<InkBox> date = Ink(page, second.x - 130, kB + 145, second.x + 300, kB + 215);
    ASSERT_TRUE(date) << lines.date;
    EXPECT_GE(date->top, kB + 150);
    EXPECT_GE(date->left, second.x - 110);
    EXPECT_LE(date->left, second.x - 110 + 40) << "the date after its leading blank";
    EXPECT_FALSE(Ink(page, 300, kB + 215, 4800, kHp)) << "nothing below the dates";

    // The report over the graph: the title at (H/2 - 3H/35, 0), the first line at 3c with c = 87.
    const std::optional<InkBox> title = Ink(page, 0, 0, kWp, 175);
    ASSERT_TRUE(title);
    EXPECT_GE(title->left, kWp / 2 - 3 * kWp / 35);
    EXPECT_LE(title->left, kWp / 2 - 3 * kWp / 35 + 25);
    const std::optional<InkBox> firstLine = Ink(page, 0, 3 * 87, kWp, 4 * 87);
    ASSERT_TRUE(firstLine);
    EXPECT_LE(firstLine->left, 15);
    EXPECT_GE(firstLine->top, 3 * 87);
}

TEST_F(GraphPageTest, FrequencyModeGraphPageHasNoReportLines)
{
    PaintScreen();
    const QImage page = PrintPage(0);
    EXPECT_FALSE(Ink(page, 0, 0, kWp, 1122)) << "nothing above the plot panel";
    EXPECT_TRUE(Ink(page, kL, kT, kR, kB));
}

class ZoomedGraphPageTest : public GraphPageTest {
protected:
    ZoomedGraphPageTest() : GraphPageTest(RowsWithSpikes(1001)) {}

    int ScreenX(int row) const { return static_cast<int>(model.Position(row, 0, model.state().g_nZoomLevel).x); }
};

TEST_F(ZoomedGraphPageTest, PrintsTheZoomedPartAndTheScreenKeepsItsZoom)
{
    PaintScreen();
    const PlotRect screenPlot = model.plot();
    // Zoom from row 200 to row 450 across the whole height: the 5 g spike is inside, -5 g is not.
    const PlotPoint from{ScreenX(200), screenPlot.top + 1};
    const PlotPoint to{ScreenX(450), screenPlot.bottom - 1};
    model.ButtonDown(from);
    model.DragBand(to);
    ASSERT_TRUE(model.ButtonUp(to));
    const QImage zoomed = PaintScreen();
    ASSERT_EQ(model.state().g_nZoomLevel, 1);
    const int screenSpike = ScreenX(300);
    const double screenScale = model.state().m_dScale;
    const QColor red = PaletteColor(kColors.x);
    EXPECT_GT(Count(zoomed, red, screenSpike - 2, screenPlot.top, screenSpike + 3, screenPlot.bottom), 0);

    const QImage page = PrintPage();
    // The zoomed rows fill the page's plot: the spike stands where the zoom puts it on paper.
    const double pageScale = static_cast<double>(kR - kL) / (screenPlot.right - screenPlot.left);
    const int pageSpike = static_cast<int>(model.Position(300, 0, 1).x);
    EXPECT_NEAR(pageSpike, kL + (screenSpike - screenPlot.left) * pageScale, pageScale + 1);
    const int zeroLine = (kT + kB) / 2;
    EXPECT_GT(Count(page, red, pageSpike - 3, kT, pageSpike + 4, zeroLine - 200), 0) << "the 5 g spike";
    EXPECT_EQ(Count(page, red, kL, zeroLine + 200, kR + 1, kB), 0) << "the -5 g spike is outside the zoom";
    EXPECT_GE(model.state().g_nPrintFirstVisible, 190);
    EXPECT_LE(model.state().g_nPrintLastVisible, 460);

    // Back on the screen: the same zoom, the same picture.
    const QImage after = PaintScreen();
    EXPECT_EQ(model.plot(), screenPlot);
    EXPECT_EQ(model.state().g_nZoomLevel, 1);
    EXPECT_EQ(ScreenX(300), screenSpike);
    EXPECT_NEAR(model.state().m_dScale, screenScale, 1e-9);
    EXPECT_EQ(after, zoomed);
}

}  // namespace
}  // namespace shakemeter
