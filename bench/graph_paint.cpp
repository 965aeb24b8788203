// A full paint of the graph screen into a 1920 x 1080 picture: 1,000,000 rows against 10,000
// rows in the same run. The ratio counter of the second benchmark is the figure to watch
// (target <= 2): group extremes keep the drawing proportional to the plot width, and the block
// extremes of a long recording keep the search for them close to it; the first paint of a
// recording makes the blocks, every later one uses them.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "bench/GraphBench.h"
#include "graph/widgets/GraphPainter.h"

namespace shakemeter {
namespace {

QGuiApplication& App()
{
    return bench::GraphApplication<QGuiApplication>("bench_graph_paint");
}

using bench::PaintedRecording;

double PaintRuns(benchmark::State& state, int rows)
{
    App();
    PaintedRecording recording(rows);
    QImage image(1920, 1080, QImage::Format_RGB32);
    return bench::NsPerPaint(state, recording.model, image);
}

double g_baselineNsPerPaint = 0.0;

void BM_PaintTenThousandRows(benchmark::State& state)
{
    g_baselineNsPerPaint = PaintRuns(state, 10000);
}

void BM_PaintMillionRows(benchmark::State& state)
{
    ReportRatio(state, PaintRuns(state, 1000000), g_baselineNsPerPaint);
}

BENCHMARK(BM_PaintTenThousandRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintMillionRows)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace shakemeter

BENCHMARK_MAIN();
