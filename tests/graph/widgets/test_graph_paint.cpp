// Whole paints of the graph screen and the graph page.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QFontMetricsF>

#include <cmath>
#include <functional>

#include "PaintFixture.h"
#include "graph/core/GraphPaintPlanner.h"
#include "graph/widgets/CellHeightFont.h"

namespace shakemeter {
namespace {

using namespace shakemeter::testing;

// 1000 x 800 client: plot (130, 225) - (920, 690), panel (20, 217) - (980, 745).
constexpr int L = 130, T = 225, R = 920, B = 690;

TEST(GraphPaint, ScreenLayoutAndTraces)
{
    PaintFixture f;
    f.Load(100, [](int) { return SampleRow{0.0, 5.0, -5.0, 8.0}; });
    const PaintOutcome outcome = f.Paint();
    EXPECT_TRUE(outcome.drewGraph);
    EXPECT_TRUE(outcome.startZoomOutTimer);
    EXPECT_FALSE(f.Paint().startZoomOutTimer);  // only the first paint in mode 1
    EXPECT_TRUE(f.view.m_bPlotReady);
    EXPECT_EQ(f.model.state().g_rcLastPlot, (PlotRect{L, T, R, B}));

    const int mid = (T + B) / 2;         // 0 g
    EXPECT_EQ(f.Pixel(500, mid), kRed);  // 457.5 truncated
    EXPECT_EQ(f.Pixel(500, static_cast<int>(B - 15.0 * (B - T) / 20)), kGrey);
    EXPECT_EQ(f.Pixel(500, static_cast<int>(B - 5.0 * (B - T) / 20)), kCyan);
    EXPECT_EQ(f.Pixel(500, static_cast<int>(B - 18.0 * (B - T) / 20)), kGreen);
    EXPECT_EQ(f.Pixel(500, mid + 40), kBlack);         // plot background
    EXPECT_EQ(f.Pixel(5, 400), kBlack);                // surround
    EXPECT_EQ(f.Pixel(60, 400), f.params.panelColor);  // left margin of the panel
    EXPECT_EQ(f.Pixel(10, 400), QColor(Qt::white));    // frame
    // Value labels left of the plot and time labels below it.
    EXPECT_GT(f.CountNot(f.params.panelColor, 20, B - 10, L - 15, B + 8), 5);
    EXPECT_GT(f.CountNot(f.params.panelColor, L - 40, B + 6, L + 40, B + 30), 5);
}

// The background layers are filled only where the next one does not cover them, which holds
// only for an opaque next layer: a translucent panel still shows the surround through it.
TEST(GraphPaint, ATranslucentPanelIsDrawnOverTheSurround)
{
    PaintFixture f;
    f.Load(100, [](int) { return SampleRow{0.0, 5.0, -5.0, 8.0}; });
    f.params.surround = QColor(200, 0, 0);
    f.params.panelColor = QColor(0, 0, 200, 128);
    f.image.fill(Qt::black);  // nothing red unless the surround was laid under the panel
    f.Paint();
    const QColor margin = f.Pixel(60, 400);  // left margin of the panel
    EXPECT_GT(margin.red(), 0);
    EXPECT_GT(margin.blue(), 100);
    EXPECT_EQ(f.Pixel(5, 400), QColor(200, 0, 0));      // surround
    EXPECT_EQ(f.Pixel(500, (T + B) / 2 + 40), kBlack);  // plot background
}

TEST(GraphPaint, VerticalGridOffHidesTimeLabelsAndTicks)
{
    PaintFixture f;
    f.Load(100, [](int) { return SampleRow{0.0, 0, 0, 0}; });
    f.model.state().m_bVertGrid = false;
    f.Paint();
    EXPECT_EQ(f.CountNot(f.params.panelColor, L - 5, B + 1, R + 4, B + 30), 0);
}

TEST(GraphPaint, FrequencyModeHasNoVectorSumTrace)
{
    PaintFixture f;
    f.Load(512, [](int) { return SampleRow{}; });
    f.doc.m_header.wInterval = 0;
    f.view.m_recHeader.wInterval = 0;
    f.view.m_bFrequencyMode = true;
    f.view.m_pSpectrum.assign(256, SampleRow{0.2, 0.4, 0.6, 0.8});
    f.view.m_nShownCount = 256;
    f.view.m_nRangeLast = 256;
    f.view.m_dYMin = 0.0;
    f.view.m_dYMax = 1.0;
    f.model.state().m_nSummaryHeight = 0;
    f.Paint();
    const int top = 70, bottom = 690;
    EXPECT_GT(f.Count(kRed, L, top, R, bottom), 100);
    EXPECT_GT(f.Count(kCyan, L, top, R, bottom), 100);
    EXPECT_EQ(f.Count(kGreen, 0, 0, 999, 799), 0);
}

TEST(GraphPaint, HundredThousandSamplesKeepTheirExtremes)
{
    PaintFixture f;
    f.Load(100000, [](int i) {
        const double x = i == 50000 ? 9.0 : i == 70000 ? -9.0 : std::sin(i * 0.001) * 0.5;
        return SampleRow{x, 0, 0, 0};
    });
    f.model.state().m_bShowY = f.model.state().m_bShowZ = f.model.state().m_bShowVectorSum = false;
    f.Paint();
    const double perRow = 790.0 / 99999;
    const int spikeUp = static_cast<int>(L + 50000 * perRow);
    const int spikeDown = static_cast<int>(L + 70000 * perRow);
    const int top = static_cast<int>(B - 19.0 * (B - T) / 20);  // 9 g
    const int low = static_cast<int>(B - 1.0 * (B - T) / 20);   // -9 g
    EXPECT_GT(f.Count(kRed, spikeUp - 2, top - 2, spikeUp + 2, top + 2), 0);
    EXPECT_GT(f.Count(kRed, spikeDown - 2, low - 2, spikeDown + 2, low + 2), 0);
    // Between the spikes the trace stays within half a g of zero.
    const int halfG = (B - T) / 40;
    EXPECT_EQ(f.Count(kRed, spikeUp + 5, T, spikeDown - 5, (T + B) / 2 - halfG - 3), 0);
}

TEST(GraphPaint, DecimatedPaintExactPixels)
{
    PaintFixture f;
    // Every trace on the zero line but for one spike of X at row 50000.
    f.Load(100000, [](int i) { return SampleRow{i == 50000 ? 9.0 : 0.0, 0, 0, 0}; });
    f.Paint();
    const int zero = static_cast<int>(B - 10.0 * (B - T) / 20);       // 457
    const int nine = static_cast<int>(B - 19.0 * (B - T) / 20);       // 248
    const int spike = static_cast<int>(50000 * (790.0 / 99999) + L);  // 525
    ASSERT_EQ(zero, 457);
    // The vector sum is drawn last and covers the other traces along the zero line.
    EXPECT_EQ(f.Pixel(300, zero), kGreen);
    EXPECT_EQ(f.Pixel(spike, zero), kGreen);
    EXPECT_EQ(f.Pixel(300, zero - 3), kBlack);
    EXPECT_EQ(f.Pixel(800, zero + 3), kBlack);
    // The spike's column is X's colour from just above the zero line to 9 g, and no higher.
    EXPECT_EQ(f.Count(kRed, spike, nine, spike, zero - 3), zero - 3 - nine + 1);
    EXPECT_EQ(f.Pixel(spike, nine - 3), kBlack);
    EXPECT_EQ(f.Count(kRed, L, T, spike - 3, B), 0);
    EXPECT_EQ(f.Count(kRed, spike + 3, T, R, B), 0);
}

// The read-out font as the screen draws it.
QFont ReadoutTestFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(17);
    font.setWeight(QFont::Thin);
    return font;
}

TEST(GraphPaint, ReadoutLineStandsOnTheGraphBackground)
{
    PaintFixture f;
    f.params.colors.background = 12;  // white
    f.Load(100, [](int) { return SampleRow{0.0, 0, 0, 0}; });
    f.Paint();
    // Nothing read out yet: no box under the graph.
    EXPECT_EQ(f.CountNot(kBlack, L - 80, B + 75, R, B + 97), 0);

    f.model.UpdateReadout(5);
    f.Paint();
    // The whole line, label part included, on the white background; the texts on it.
    EXPECT_EQ(f.Count(kBlack, L - 80, B + 75, R, B + 97), 0);
    EXPECT_GT(f.CountNot(QColor(Qt::white), L - 80, B + 75, L + 100, B + 97), 20);   // the head
    EXPECT_GT(f.CountNot(QColor(Qt::white), L + 350, B + 75, L + 700, B + 97), 20);  // the values
    // The default black background keeps the line black around the texts.
    PaintFixture black;
    black.Load(100, [](int) { return SampleRow{0.0, 0, 0, 0}; });
    black.model.UpdateReadout(5);
    black.Paint();
    EXPECT_EQ(black.Count(QColor(Qt::white), L - 80, B + 75, R, B + 97), 0);
    EXPECT_GT(black.Count(kBlack, L - 80, B + 75, R, B + 97), (R - L) * 20);
}

TEST(GraphPaint, LongReadoutTextsAreNotCutAndDoNotRunIntoEachOther)
{
    PaintFixture f;
    f.params.colors = {13, 0, 1, 2, 4, 3};  // X red, Y green, Z blue, vector sum magenta
    f.Load(100, [](int) { return SampleRow{0.0, 0, 0, 0}; });
    GraphState& s = f.model.state();
    s.g_strReadoutHead = "Data Point No.:1234567    Time: 05/03/23 14:07:09 500ms";
    s.g_strReadoutX = "X:-12.34";
    s.g_strReadoutY = "Y:-12.34";
    s.g_strReadoutZ = "Z:-12.34";
    s.g_strReadoutV = "Vector Sum:12.34";
    const int headEnd =
        L - 80 + QFontMetrics(ReadoutTestFont()).horizontalAdvance(QString::fromStdString(s.g_strReadoutHead));
    ASSERT_GT(headEnd, L + 350 + 5) << "the head must reach beyond the place of X";
    f.Paint();

    // Columns of each text by its colour: the head is (0, 200, 200) over black.
    const auto columns = [&](const std::function<bool(QColor)>& isText) {
        std::pair<int, int> span{100000, -1};
        for (int x = 0; x < f.image.width(); ++x)
            for (int y = B + 75; y < B + 98; ++y)
                if (isText(f.Pixel(x, y))) {
                    span.first = std::min(span.first, x);
                    span.second = std::max(span.second, x);
                }
        return span;
    };
    const auto head = columns([](QColor c) { return c.red() == 0 && c.green() > 40 && c.green() == c.blue(); });
    const auto x = columns([](QColor c) { return c.red() > 40 && c.green() == 0 && c.blue() == 0; });
    const auto y = columns([](QColor c) { return c.green() > 40 && c.red() == 0 && c.blue() == 0; });
    const auto z = columns([](QColor c) { return c.blue() > 40 && c.red() == 0 && c.green() == 0; });
    const auto v = columns([](QColor c) { return c.red() > 40 && c.red() == c.blue() && c.green() == 0; });
    EXPECT_NEAR(head.first, L - 80, 3) << "the head keeps its place";
    EXPECT_GE(head.second, headEnd - 4) << "the head is cut";
    EXPECT_GT(x.first, head.second);
    EXPECT_GT(y.first, x.second);
    EXPECT_GT(z.first, y.second);
    EXPECT_GT(v.first, z.second);
}

TEST(GraphPaint, DegenerateScalesDrawNoTracesOrTimeLabels)
{
    PaintFixture f(200, 800);  // narrower than the margins
    f.Load(50, [](int) { return SampleRow{0.0, 0, 0, 0}; });
    f.Paint();
    EXPECT_EQ(f.Count(kRed, 0, 0, 199, 799), 0);

    PaintFixture flat;
    flat.Load(50, [](int) { return SampleRow{0.0, 0, 0, 0}; });
    flat.view.m_dYMin = flat.view.m_dYMax = 1.0;
    flat.Paint();
    EXPECT_EQ(flat.Count(kRed, 0, 0, 999, 799), 0);
}

TEST(GraphPaint, PageIsDrawnAtPrinterScaleAndScreenWaitsForTheEnd)
{
    PaintFixture page(2480, 3508);
    page.Load(100, [](int) { return SampleRow{0.0, 0, 0, 0}; });
    page.params.printer = true;
    page.image.fill(Qt::white);  // paper
    page.Paint();
    EXPECT_EQ(page.model.plot(), (PlotRect{230, 1130, 2400, 3008}));
    EXPECT_EQ(page.Pixel(100, 2000), QColor(Qt::white));  // the panel is white on paper
    EXPECT_EQ(page.Pixel(1000, 2069), kGreen);            // 0 g in the middle; the vector sum on top
    EXPECT_EQ(page.Pixel(1000, 2100), kBlack);            // plot background
    EXPECT_TRUE(page.model.state().g_bPrinting);

    // The screen paint does nothing until the printing ends.
    page.params.printer = false;
    page.params.client = {0, 0, 1000, 800};
    page.image.fill(Qt::magenta);
    EXPECT_FALSE(page.Paint().drewGraph);
    EXPECT_EQ(page.Pixel(500, 400), QColor(Qt::magenta));
    EndPrinting(page.model);
    EXPECT_TRUE(page.Paint().drewGraph);
}

TEST(GraphPaint, PageLabelCellIsSixTenthsOfALineUnit)
{
    testing::App();
    // A 600 dpi page: u = 100, so a label cell (ascent and descent) of 60 pixels.
    QImage page(8, 8, QImage::Format_RGB32);
    page.setDotsPerMeterX(23622);
    page.setDotsPerMeterY(23622);
    QFont label(QStringLiteral("Arial"));
    label.setStyleHint(QFont::SansSerif);
    label.setPixelSize(60);
    const QFontMetricsF em(label, &page);
    ASSERT_GT(em.ascent() + em.descent(), 62.0);  // an em of 60 makes the cell too tall

    const QFontMetricsF cell(WithCellHeight(label, 60, &page), &page);
    EXPECT_NEAR(cell.ascent() + cell.descent(), 60.0, 1.0);
    EXPECT_NEAR(QFontMetricsF(WithCellHeight(label, 0, &page), &page).height(), 1.0, 1.0);
}

TEST(GraphPaint, ListModeIsNotPrintedAsAGraph)
{
    PaintFixture page(2480, 3508);
    page.Load(100, [](int) { return SampleRow{0.0, 0, 0, 0}; });
    page.view.m_nDisplayMode = 2;
    page.params.printer = true;
    EXPECT_FALSE(page.Paint().drewGraph);
    EXPECT_EQ(page.Pixel(1000, 2000), QColor(Qt::magenta));
}

}  // namespace
}  // namespace shakemeter

namespace shakemeter {
namespace {

using namespace shakemeter::testing;

// A plan is drawn as it stands: drawn twice, with the model changed in between, it gives the
// picture of the paint it was made for, on the screen and on the page alike.
TEST(GraphPaint, APlanDrawsThePictureOfItsPaint)
{
    for (const bool printer : {false, true}) {
        PaintFixture painted(printer ? 2480 : 1000, printer ? 3508 : 800);
        PaintFixture planned(printer ? 2480 : 1000, printer ? 3508 : 800);
        for (PaintFixture* f : {&painted, &planned}) {
            f->Load(30000, [](int i) { return SampleRow{std::sin(i / 900.0) * 8.0, std::cos(i / 70.0), -2.0, 9.0}; });
            f->params.printer = printer;
        }
        painted.Paint();
        const GraphPaintPlan plan = PlanFrame(planned.model, {planned.params.client, printer, false});
        if (printer)
            EndPrinting(planned.model);
        planned.model.OnZoomOut();
        planned.view.m_dYMax = 1.0;
        for (int round = 0; round < 2; ++round) {
            planned.image.fill(Qt::magenta);
            QPainter painter(&planned.image);
            DrawGraphPlan(painter, plan, planned.params);
            painter.end();
            EXPECT_EQ(planned.image, painted.image) << (printer ? "page" : "screen") << ", round " << round;
        }
    }
}

}  // namespace
}  // namespace shakemeter
