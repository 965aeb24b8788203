// The graph pane while a reading runs and while a long recording is scrolled.
//
// BM_RealTimeFullPaint / BM_RealTimeNewSample: a real-time reading of 100,000 points; one new
// sample (its segment drawn into the composed picture and the touched pixels copied) against a
// full composition of the same pane in the same run. The "ratio" counter is the figure to watch
// (target <= 0.05).
// BM_ScrollZoomedPage: a zoomed 1,000,000-row recording scrolled by one page (the Page Down key)
// and repainted; the "ms_per_page" counter is the time of one page (target <= 16 ms).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <cmath>
#include <memory>

#include "recording/RtWindowTable.h"
#include "bench/GraphBench.h"
#include "graph/widgets/CVxView.h"
#include "tests/TestRecordings.h"
#include "bench/ThreadClock.h"

namespace shakemeter {
namespace {

QApplication& App()
{
    return bench::GraphApplication("bench_graph_realtime");
}

struct Pane {
    Recording doc;
    std::unique_ptr<CVxView> view;

    Pane(int rows, int shown)
    {
        App();
        bench::FillSlowSines(doc, rows);
        view = std::make_unique<CVxView>(doc);
        testing::ShowInGraph(view->MutableCompanions(), doc, shown, 0.05, 8.0);
        view->resize(1920, 1080);
        view->show();
        view->repaint();
        QApplication::processEvents();
    }
};

// A reading of 100,000 points whose last sample is about to arrive, in the window that holds it.
struct RealTimePane : Pane {
    static constexpr int kPoints = 100000;
    RealTimePane() : Pane(kPoints, kPoints - 1)
    {
        doc.m_bRealTime = 1;
        view->SetFrameReading(true);
        const PlotRect plot = view->Model().plot();
        RecordingView& c = view->MutableCompanions();
        c.m_nRtWindow = BuildRtWindowTable(plot.width(), kPoints);
        view->Model().state().m_nRtWindowIdx = static_cast<int>(c.m_nRtWindow.size()) - 1;
        view->UpdateRealTimePlot();
        view->repaint();
        QApplication::processEvents();
    }
};

double g_fullPaintNs = 0.0;

void BM_RealTimeFullPaint(benchmark::State& state)
{
    RealTimePane pane;
    g_fullPaintNs = ThreadNsPerIteration(state, [&] {
        pane.view->InvalidatePlot();
        pane.view->repaint();
    });
}

void BM_RealTimeNewSample(benchmark::State& state)
{
    RealTimePane pane;
    RecordingView& c = pane.view->MutableCompanions();
    std::int64_t runs = 0;
    double spent = 0.0;
    for (auto _ : state) {
        // The same last sample arrives again: the pane is back where it was before it.
        state.PauseTiming();
        c.m_nShownCount = RealTimePane::kPoints - 1;
        c.m_nRangeLast = RealTimePane::kPoints - 1;
        state.ResumeTiming();
        const double start = ThreadCpuNs();
        c.m_nShownCount = RealTimePane::kPoints;
        c.m_nRangeLast = RealTimePane::kPoints;
        pane.view->UpdateRealTimePlot();
        QApplication::processEvents();
        spent += ThreadCpuNs() - start;
        ++runs;
    }
    const double perSample = spent / static_cast<double>(runs);
    state.counters["composed"] = pane.view->CompositionCount();
    ReportRatio(state, perSample, g_fullPaintNs);
}

void BM_ScrollZoomedPage(benchmark::State& state)
{
    Pane pane(1000000, 1000000);
    CVxView& view = *pane.view;
    view.OnZoomOut();
    view.repaint();
    GraphModel& model = view.Model();
    const PlotRect plot = model.plot();
    // A band a tenth of the plot wide: about 100,000 rows across the zoomed plot.
    const int x0 = plot.left + plot.width() / 3;
    model.ButtonDown({x0, plot.top + 50});
    model.DragBand({x0 + plot.width() / 10, plot.bottom - 50});
    model.ButtonUp({x0 + plot.width() / 10, plot.bottom - 50});
    view.InvalidatePlot();
    view.repaint();
    state.counters["ms_per_page"] = bench::MsPerPage(state, view);
}

BENCHMARK(BM_RealTimeFullPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RealTimeNewSample)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollZoomedPage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace shakemeter

BENCHMARK_MAIN();
