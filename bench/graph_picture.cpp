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
#include <cmath>
#include <ctime>
#include <random>

#include "graph/widgets/GraphPainter.h"
#include "graph/widgets/GraphPicture.h"

namespace shakemeter {
namespace {

constexpr int kRows = 2750000;
const QSize kSize(1920, 1080);

QApplication& App()
{
    static int argc = 1;
    static char name[] = "bench_graph_picture";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

struct ShownRecording {
    Recording doc;
    RecordingView view;
    GraphModel model;

    ShownRecording()
    {
        doc.m_header.dwSampleCount = static_cast<std::uint32_t>(kRows);
        doc.m_header.wInterval = 200;
        doc.m_pSamples.resize(static_cast<std::size_t>(kRows));
        std::mt19937_64 random(11);
        std::uniform_int_distribution<int> counts(-300, 300);
        for (int i = 0; i < kRows; ++i) {
            SampleRow& row = doc.m_pSamples[static_cast<std::size_t>(i)];
            for (int c = 0; c < 3; ++c)
                row[static_cast<std::size_t>(c)] = std::sin(i * 0.0007 + c) * 4.0 + counts(random) * 0.004;
            row[3] = std::sqrt(row[0] * row[0] + row[1] * row[1] + row[2] * row[2]);
        }
        view.m_recHeader = doc.m_header;
        view.m_dInterval = 0.05;
        view.m_nShownCount = kRows;
        view.m_nRangeFirst = 1;
        view.m_nRangeLast = kRows;
        view.m_nDisplayMode = 1;
        view.m_dYMin = -8.0;
        view.m_dYMax = 8.0;
        model.Attach(&doc, &view);
        // The pane shows the graph below no summary, at the picture's size.
        model.state().m_nSummaryHeight = 0;
    }
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
        PaintGraph(painter, s->model, params);
        return s;
    }();
    return *shown;
}

double ThreadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
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
    std::int64_t runs = 0;
    const double start = ThreadCpuNs();
    for (auto _ : state) {
        {
            QPainter painter(&image);
            PaintGraph(painter, shown.model, params);
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        benchmark::DoNotOptimize(bytes.size());
        ++runs;
    }
    g_paneNsPerPicture = (ThreadCpuNs() - start) / static_cast<double>(runs);
}

// The picture as File > Export and shakemeter-cli render make it.
void BM_GraphPicturePng(benchmark::State& state)
{
    ShownRecording& shown = Shown();
    PictureOptions options;
    options.size = kSize;
    options.panelColor = QApplication::palette().color(QPalette::Button);
    std::int64_t runs = 0;
    const double start = ThreadCpuNs();
    for (auto _ : state) {
        benchmark::DoNotOptimize(EncodeGraphPicture(shown.model, options, PictureFormat::Png).size());
        ++runs;
    }
    const double perPicture = (ThreadCpuNs() - start) / static_cast<double>(runs);
    if (g_paneNsPerPicture > 0.0)
        state.counters["ratio"] = perPicture / g_paneNsPerPicture;
}

BENCHMARK(BM_PanePaintAndPngEncoding)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphPicturePng)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace shakemeter

BENCHMARK_MAIN();
