// A picture of the graph of a 2,750,000-row recording as a 1920 x 1080 PNG, against what the
// program spends to show the same graph and encode its pixels: the pane's paint into its picture
// plus the PNG encoding of that picture, in the same run. The ratio counter of the second
// benchmark is the figure to watch (target <= 1.2): the picture is drawn by the pane's painter
// from a copy of the pane's model, so what it adds is the copy.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include "bench/GraphBench.h"
#include "graph/widgets/GraphPainter.h"
#include "graph/widgets/GraphPicture.h"

namespace shakemeter {
namespace {

constexpr int kRows = 2750000;
const QSize kSize(1920, 1080);

QApplication& App()
{
    return bench::GraphApplication("bench_graph_picture");
}

// The pane shows the graph below no summary, at the picture's size.
struct ShownRecording : bench::PaintedRecording {
    ShownRecording() : PaintedRecording(kRows) { model.state().m_nSummaryHeight = 0; }
};

ShownRecording& Shown()
{
    static ShownRecording* shown = [] {
        App();
        auto* s = new ShownRecording;
        // The pane has painted the recording once already, as it has when the user exports it.
        QImage image(kSize, QImage::Format_RGB32);
        PaintParams params;
        params.client = {0, 0, kSize.width(), kSize.height()};
        QPainter painter(&image);
        PaintGraphFrame(painter, s->model, params);
        return s;
    }();
    return *shown;
}

double g_paneNsPerPicture = 0.0;

// The pane's composition of the graph, then its pixels encoded as PNG.
void BM_PanePaintAndPngEncoding(benchmark::State& state)
{
    ShownRecording& shown = Shown();
    QImage image(kSize, QImage::Format_RGB32);
    PaintParams params;
    params.client = {0, 0, kSize.width(), kSize.height()};
    params.panelColor = QApplication::palette().color(QPalette::Button);
    g_paneNsPerPicture = ThreadNsPerIteration(state, [&] {
        {
            QPainter painter(&image);
            PaintGraphFrame(painter, shown.model, params);
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        benchmark::DoNotOptimize(bytes.size());
    });
}

// The picture as File > Export and shakemeter-cli render make it.
void BM_GraphPicturePng(benchmark::State& state)
{
    ShownRecording& shown = Shown();
    PictureOptions options;
    options.size = kSize;
    options.panelColor = QApplication::palette().color(QPalette::Button);
    const double perPicture = ThreadNsPerIteration(
        state, [&] { benchmark::DoNotOptimize(EncodeGraphPicture(shown.model, options, PictureFormat::Png).size()); });
    ReportRatio(state, perPicture, g_paneNsPerPicture);
}

BENCHMARK(BM_PanePaintAndPngEncoding)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphPicturePng)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace shakemeter

BENCHMARK_MAIN();
