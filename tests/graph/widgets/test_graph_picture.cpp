// Pictures of the graph: the pane's own picture at the pane's size, the theme, the legend and the
// marks as drawn, the SVG and PDF forms, and files that cannot be written.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "PictureFixtures.h"
#include "graph/widgets/CVxView.h"
#include "graph/core/GraphPaintPlanner.h"
#include "graph/widgets/GraphPicture.h"

namespace shakemeter {
namespace {

using namespace shakemeter::testing;

// The PNG of the pane's size holds exactly the pixels the pane composed below its summary, and
// drawing it leaves the pane's geometry and picture as they were.
TEST(GraphPicture, PngAtThePaneSizeIsThePanesPicture)
{
    PaneFixture pane;
    const QImage composed = pane.view->ComposedImage().copy();
    ASSERT_FALSE(composed.isNull());
    const int summary = pane.view->SummaryHeight();
    ASSERT_GT(summary, 0);
    const PlotRect plotBefore = pane.view->State().m_rcPlot;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("graph.png"));
    QString error;
    ASSERT_TRUE(WriteGraphPicture(pane.view->Model(), path, pane.Options(), &error)) << error.toStdString();
    const QImage written = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(written.size(), QSize(1000, 800 - summary));
    EXPECT_EQ(written, composed.copy(0, summary, 1000, 800 - summary).convertToFormat(QImage::Format_RGB32));

    EXPECT_EQ(pane.view->State().m_rcPlot, plotBefore);
    const QImage bigger = RenderGraphImage(pane.view->Model(), [&] {
        PictureOptions o = pane.Options();
        o.size = QSize(1920, 1080);
        return o;
    }());
    EXPECT_EQ(bigger.size(), QSize(1920, 1080));
    EXPECT_EQ(pane.view->State().m_rcPlot, plotBefore);
}

// The light theme draws white where the screen is black and the traces in dark colours; nothing
// of the screen's black or of its bright trace colours is left.
TEST(GraphPicture, LightThemeIsWhiteWithDarkTraces)
{
    PaintFixture g;
    g.Load(1000, Wave);
    PictureOptions options = OptionsOf(g, QSize(1000, 645));
    const QImage dark = RenderGraphImage(g.model, options);
    options.lightTheme = true;
    const QImage light = RenderGraphImage(g.model, options);
    EXPECT_EQ(dark.pixelColor(2, 2), QColor(Qt::black));
    EXPECT_EQ(light.pixelColor(2, 2), QColor(Qt::white));
    int black = 0, white = 0, darkRed = 0, red = 0;
    for (int y = 0; y < light.height(); ++y) {
        for (int x = 0; x < light.width(); ++x) {
            const QColor c = light.pixelColor(x, y);
            black += c == QColor(Qt::black) ? 1 : 0;
            white += c == QColor(Qt::white) ? 1 : 0;
            darkRed += c == QColor(128, 0, 0) ? 1 : 0;
            red += c == QColor(255, 0, 0) ? 1 : 0;
        }
    }
    EXPECT_GT(white, light.width() * light.height() / 2);
    EXPECT_GT(darkRed, 100);  // the X trace
    EXPECT_EQ(red, 0);
    EXPECT_GT(black, 0);  // the vector sum and the labels
}

// The legend's swatches and the event marks stand where the plan puts them, in the trace colours
// and the marks' colours; without them the picture is the pane's own.
TEST(GraphPicture, LegendAndMarksDrawnWherePlanned)
{
    PaintFixture g;
    g.Load(1000, Wave);
    PictureOptions options = OptionsOf(g, QSize(1000, 645));
    const QImage plain = RenderGraphImage(g.model, options);
    options.extras.legend = true;
    options.extras.events = {{500, EventMarkKind::Shock}, {100, EventMarkKind::LoggerFall}};
    const QImage extra = RenderGraphImage(g.model, options);
    EXPECT_NE(plain, extra);

    // The same plan as the picture's drawing.
    GraphModel copy = g.model;
    copy.state().m_nSummaryHeight = 0;
    GraphPaintPlan plan = PlanFrame(copy, {{0, 0, 1000, 645}, false, false});
    PlanExtras(plan, copy, options.extras);
    ASSERT_EQ(plan.legend.entries.size(), 4u);
    for (const LegendEntry& entry : plan.legend.entries) {
        const QColor swatch = extra.pixelColor(entry.swatch.left + 1, entry.swatch.top + 1);
        EXPECT_EQ(swatch, PaletteColor(options.colors.trace(entry.trace))) << entry.trace;
    }
    ASSERT_EQ(plan.eventMarks.size(), 2u);
    for (const EventMark& mark : plan.eventMarks)
        EXPECT_EQ(extra.pixelColor(mark.x, plan.plot.bottom - 2), ToQColor(EventMarkColor(mark.kind)));
}

// SVG and PDF: an SVG drawing of the chosen size that parses, a PDF of one page.
TEST(GraphPicture, SvgAndPdfReadBack)
{
    PaintFixture g;
    g.Load(1000, Wave);
    const PictureOptions options = OptionsOf(g, QSize(900, 500));
    QTemporaryDir dir;
    const QString svgPath = dir.filePath(QStringLiteral("graph.SVG"));
    ASSERT_TRUE(WriteGraphPicture(g.model, svgPath, options));
    QSvgRenderer svg(svgPath);
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.defaultSize(), QSize(900, 500));
    EXPECT_EQ(svg.viewBox(), QRect(0, 0, 900, 500));

    const QString pdfPath = dir.filePath(QStringLiteral("graph.pdf"));
    ASSERT_TRUE(WriteGraphPicture(g.model, pdfPath, options));
    QFile pdf(pdfPath);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 1) << "one page";
    EXPECT_TRUE(bytes.contains("/MediaBox [0 0 900.000000 500.000000]"));
}

// A PDF page has the picture's size exactly, also one a point away from a paper size or lying
// across one.
TEST(GraphPicture, PdfPageIsThePicturesSizeNearPaperSizes)
{
    PaintFixture g;
    g.Load(100, Wave);
    for (const QSize size : {QSize(596, 842), QSize(842, 596), QSize(594, 841), QSize(613, 792), QSize(792, 612),
                             QSize(1190, 842), QSize(20000, 200)}) {
        const QByteArray bytes = EncodeGraphPicture(g.model, OptionsOf(g, size), PictureFormat::Pdf);
        const QByteArray box =
            QStringLiteral("/MediaBox [0 0 %1.000000 %2.000000]").arg(size.width()).arg(size.height()).toLatin1();
        EXPECT_TRUE(bytes.contains(box)) << size.width() << "x" << size.height() << ": "
                                         << bytes.mid(bytes.indexOf("/MediaBox"), 48).toStdString();
    }
}

// A name without a picture's extension, a folder that does not exist and a read-only file are
// refused with the file named; nothing is left behind and the protected file stays as it was.
TEST(GraphPicture, UnwritablePathsRefusedNamingTheFile)
{
    PaintFixture g;
    g.Load(100, Wave);
    PictureOptions options = OptionsOf(g, QSize(400, 300));
    QTemporaryDir dir;
    QString error;
    const QString text = dir.filePath(QStringLiteral("graph.txt"));
    EXPECT_FALSE(WriteGraphPicture(g.model, text, options, &error));
    EXPECT_TRUE(error.contains(text));
    EXPECT_FALSE(QFile::exists(text));

    const QString missing = dir.filePath(QStringLiteral("no/such/folder/graph.png"));
    EXPECT_FALSE(WriteGraphPicture(g.model, missing, options, &error));
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();

    const QString kept = dir.filePath(QStringLiteral("kept.png"));
    {
        QFile file(kept);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old");
    }
    QFile::setPermissions(kept, QFileDevice::ReadOwner);
    EXPECT_FALSE(WriteGraphPicture(g.model, kept, options, &error));
    EXPECT_TRUE(error.contains(kept));
    QFile file(kept);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);

    options.size = QSize(0, 300);
    EXPECT_FALSE(WriteGraphPicture(g.model, dir.filePath(QStringLiteral("empty.png")), options, &error));
}

// A name given as bytes that are no UTF-8 text is written under exactly those bytes; a refusal
// gives the reason alone, for the caller to name the file its own way.
TEST(GraphPicture, NameAsBytesIsWrittenUnderThoseBytes)
{
    PaintFixture g;
    g.Load(100, Wave);
    const PictureOptions options = OptionsOf(g, QSize(400, 300));
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray latin1 = folder + "/gr\xE4ph.png";
    QString reason;
    ASSERT_TRUE(WriteGraphPicture(g.model, latin1, options, &reason)) << reason.toStdString();
    struct stat info {};
    ASSERT_EQ(::stat(latin1.constData(), &info), 0);
    EXPECT_GT(info.st_size, 0);
    // Taken away by its bytes (Qt may not list a name it cannot decode), nothing else is left: no
    // temporary file and no file under a decoded name.
    ASSERT_EQ(::unlink(latin1.constData()), 0);
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System));

    EXPECT_FALSE(WriteGraphPicture(g.model, folder + "/no/such/folder/gr\xE4ph.png", options, &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(reason.contains(QStringLiteral("folder"))) << reason.toStdString();
    EXPECT_FALSE(WriteGraphPicture(g.model, folder + "/graph.txt", options, &reason));
    EXPECT_EQ(reason, QStringLiteral("the name ends in none of .png, .svg and .pdf"));
}

}  // namespace
}  // namespace shakemeter
