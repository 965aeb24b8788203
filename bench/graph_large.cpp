// The largest recording a logger holds (2,750,000 rows, 88 MB) on a 3840 x 2160 screen. Every figure
// is thread CPU time against a baseline in the same run; run with --benchmark_repetitions=3 and read
// the medians.
//
// BM_Paint4k*: a full paint of the whole recording; "ratio" against 10,000 rows (target <= 1.2),
//   "wall_ratio" the same in wall time. A repaint of the same view takes the decimation groups the
//   paint before found; BM_Paint4kLargestFirstPaint finds them on every paint, as the first paint
//   of a view or one after a resize does.
// BM_OpenToFirstPaint: the program's own open (read, install, first paint of the pane, which also
//   makes the block extremes) against a plain read of the same bytes plus one paint of a pane that
//   already shows them; "ratio" (target <= 1.3). "peak_bytes_per_row": the highest resident memory
//   while the file is opened over a recording of the same size, above that of the pane showing a
//   few rows at 4K (its pictures), per row.
// BM_Zoomed*: a zoomed view of the recording: a page scroll, a zoom band dragged and let go, Undo
//   Zoom, a cursor move; "ms" each (target < 8 ms, half a 60 Hz frame), "composed" the compositions
//   a cursor move made (0: the traces are not drawn again). BM_WideZoomedBandAndUndo zooms on half
//   the plot, a view whose groups come from the block extremes as those of the whole view do.
// A large drawing writes its pixels, and a first paint finds its groups, on two threads: the
// figures are the painting thread's, "all_threads" the figure of the whole process's CPU time
// (both threads, and whatever else Qt runs meanwhile), "wall" that of the clock on the wall.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "bench/GraphBench.h"
#include "bench/PlainRead.h"
#include "bench/TempFolder.h"
#include "graph/widgets/CVxView.h"
#include "graph/widgets/GraphPainter.h"
#include "recording/RecordingFile.h"
#include "recording/RecordingView.h"
#include "tests/TestRecordings.h"

namespace shakemeter {
namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;
constexpr int kLargestRows = 2750000;

QApplication& App()
{
    return bench::GraphApplication("bench_graph_large");
}

// The process's CPU time per iteration of what `run` measured.
template <typename Run>
auto WithProcessNs(benchmark::State& state, double& processNsPerIteration, Run run)
{
    const double start = ProcessCpuNs();
    const auto result = run();
    processNsPerIteration =
        (ProcessCpuNs() - start) / static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
    return result;
}

// ---- Paint of the whole recording

// Thread CPU time per paint; the process's CPU and the wall time into costs. With findGroups,
// each paint finds its decimation groups again.
double PaintRuns(benchmark::State& state, int rows, bench::PaintCosts& costs, bool findGroups = false)
{
    App();
    bench::PaintedRecording recording(rows);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    {
        // The first paint of a recording makes its block extremes; it is measured with the open.
        QPainter painter(&image);
        PaintParams params;
        params.client = {0, 0, kWidth, kHeight};
        PaintGraphFrame(painter, recording.model, params);
    }
    return bench::NsPerPaint(state, recording.model, image, &costs, findGroups);
}

double g_tenThousandRowsNs = 0.0;
bench::PaintCosts g_tenThousandRows;

void BM_Paint4kTenThousandRows(benchmark::State& state)
{
    g_tenThousandRowsNs = PaintRuns(state, 10000, g_tenThousandRows);
}

void PaintAgainstTenThousand(benchmark::State& state, int rows, bool findGroups = false)
{
    bench::PaintCosts costs;
    const double perPaint = PaintRuns(state, rows, costs, findGroups);
    ReportRatio(state, perPaint, g_tenThousandRowsNs);
    ReportRatio(state, costs.processNs, g_tenThousandRows.processNs, "all_threads_ratio");
    ReportRatio(state, costs.wallNs, g_tenThousandRows.wallNs, "wall_ratio");
}

// A repaint of the same view: the groups the paint before found are kept.
void BM_Paint4kLargestRecording(benchmark::State& state)
{
    PaintAgainstTenThousand(state, kLargestRows);
}

// The first paint of the view (or one after a resize): the groups are found from the block extremes.
void BM_Paint4kLargestFirstPaint(benchmark::State& state)
{
    PaintAgainstTenThousand(state, kLargestRows, true);
}

void BM_Paint4kTenMillionRows(benchmark::State& state)
{
    PaintAgainstTenThousand(state, 10000000);
}

BENCHMARK(BM_Paint4kTenThousandRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint4kLargestRecording)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint4kLargestFirstPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint4kTenMillionRows)->Unit(benchmark::kMillisecond)->Iterations(10);

// ---- The graph pane at 4K

void FillRows(Recording& doc, int rows)
{
    bench::FillSlowSines(doc, rows);
    doc.m_header.wYear = 2026;
    doc.m_header.byMonth = 1;
    doc.m_header.byDay = 1;
}

struct Pane {
    Recording doc;
    std::unique_ptr<CVxView> view;

    Pane()
    {
        App();
        view = std::make_unique<CVxView>(doc);
        view->resize(kWidth, kHeight);
        view->show();
        QApplication::processEvents();
    }

    void Show(int rows)
    {
        testing::ShowInGraph(view->MutableCompanions(), doc, rows, 0.05, 8.0);
        view->InvalidatePlot();
        view->repaint();
        QApplication::processEvents();
    }

    // Zooms on a band `tenths` tenths of the plot wide: a tenth holds about 70,000 rows.
    void ZoomOnBand(int tenths = 1)
    {
        const PlotRect plot = view->Model().plot();
        const int x0 = plot.left + plot.width() / 3;
        Drag(QPoint(x0, plot.top + 50), QPoint(x0 + plot.width() * tenths / 10, plot.bottom - 50));
    }

    void Drag(QPoint from, QPoint to)
    {
        QMouseEvent press(QEvent::MouseButtonPress, from, view->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(view.get(), &press);
        QMouseEvent move(QEvent::MouseMove, to, view->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.get(), &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, view->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(view.get(), &release);
        view->repaint();
    }

    void UndoZoom()
    {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(view.get(), &key);
        view->repaint();
    }
};

Pane& LargestPane()
{
    static Pane* pane = [] {
        auto* made = new Pane;
        FillRows(made->doc, kLargestRows);
        made->Show(kLargestRows);
        return made;
    }();
    return *pane;
}

void BM_ZoomedPageScroll(benchmark::State& state)
{
    Pane& pane = LargestPane();
    pane.ZoomOnBand();
    double processNs = 0.0;
    const double ms = WithProcessNs(state, processNs, [&] { return bench::MsPerPage(state, *pane.view); });
    pane.UndoZoom();
    state.counters["ms"] = ms;
    state.counters["all_threads_ms"] = processNs / 1e6;
}

// A band zoom and Undo Zoom alternate, each timed on its own.
void BandAndUndo(benchmark::State& state, int tenths)
{
    Pane& pane = LargestPane();
    std::int64_t runs = 0;
    double zooming = 0.0;
    double undoing = 0.0;
    double zoomingAll = 0.0;
    double undoingAll = 0.0;
    for (auto _ : state) {
        const double start = ThreadCpuNs();
        const double startAll = ProcessCpuNs();
        pane.ZoomOnBand(tenths);
        const double zoomed = ThreadCpuNs();
        const double zoomedAll = ProcessCpuNs();
        pane.UndoZoom();
        undoing += ThreadCpuNs() - zoomed;
        undoingAll += ProcessCpuNs() - zoomedAll;
        zooming += zoomed - start;
        zoomingAll += zoomedAll - startAll;
        ++runs;
    }
    state.counters["zoom_band_ms"] = zooming / static_cast<double>(runs) / 1e6;
    state.counters["undo_zoom_ms"] = undoing / static_cast<double>(runs) / 1e6;
    state.counters["zoom_band_all_threads_ms"] = zoomingAll / static_cast<double>(runs) / 1e6;
    state.counters["undo_zoom_all_threads_ms"] = undoingAll / static_cast<double>(runs) / 1e6;
}

void BM_ZoomedBandAndUndo(benchmark::State& state)
{
    BandAndUndo(state, 1);
}

// A band half the plot wide: the zoomed view's groups, too, come from the block extremes.
void BM_WideZoomedBandAndUndo(benchmark::State& state)
{
    BandAndUndo(state, 5);
}

void BM_ZoomedCursorMove(benchmark::State& state)
{
    Pane& pane = LargestPane();
    pane.ZoomOnBand();
    const PlotRect plot = pane.view->Model().plot();
    const int composed = pane.view->CompositionCount();
    std::int64_t runs = 0;
    double spent = 0.0;
    for (auto _ : state) {
        const QPoint at(plot.left + 10 + static_cast<int>((runs * 37) % (plot.width() - 20)),
                        plot.top + plot.height() / 2);
        QMouseEvent move(QEvent::MouseMove, at, pane.view->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        const double start = ThreadCpuNs();
        QApplication::sendEvent(pane.view.get(), &move);
        // The pane repaints only what the move marked, as it does on the screen.
        QApplication::processEvents();
        spent += ThreadCpuNs() - start;
        ++runs;
    }
    state.counters["composed"] = pane.view->CompositionCount() - composed;
    pane.UndoZoom();
    state.counters["ms"] = spent / static_cast<double>(runs) / 1e6;
}

BENCHMARK(BM_ZoomedPageScroll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomedBandAndUndo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WideZoomedBandAndUndo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomedCursorMove)->Unit(benchmark::kMillisecond);

// ---- Opening the file

class LargestFile {
public:
    LargestFile()
    {
        Recording rec;
        FillRows(rec, kLargestRows);
        if (!WriteRecordingFile(path(), rec, kLargestRows))
            std::abort();
    }
    std::string path() const { return m_folder.File("largest.Vibration"); }

private:
    bench::TempFolder m_folder{"shakemeter-bench-large"};
};

// Resident memory in kB: the current figure and the highest since the last ResetPeak.
long StatusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::atol(line.c_str() + prefix.size());
    }
    return -1;
}

bool ResetPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return static_cast<bool>(clear);
}

// The program's open: the file read into a new recording, installed when whole, the pane's first paint.
void Open(Pane& pane, const std::string& path)
{
    RecordingFileResult result = ReadRecordingFile(path);
    if (!result.ok())
        std::abort();
    InstallCompleteRecording(pane.doc, pane.view->MutableCompanions(), std::move(result.recording));
    testing::ShowInGraph(pane.view->MutableCompanions(), pane.doc, kLargestRows, 0.05, 8.0);
    pane.view->InvalidatePlot();
    pane.view->repaint();
}

void BM_OpenToFirstPaint(benchmark::State& state)
{
    static const LargestFile file;
    // The pane drawn at 4K first with a few rows, so that its pictures are not charged to the rows.
    Pane pane;
    FillRows(pane.doc, 100);
    pane.Show(100);
    const long paneKb = StatusKb("VmRSS");
    Open(pane, file.path());
    double opening = 0.0;
    double floor = 0.0;
    long peakKb = 0;
    for (auto _ : state) {
        const bool reset = ResetPeak();
        const double start = ThreadCpuNs();
        Open(pane, file.path());
        const double opened = ThreadCpuNs();
        if (reset)
            peakKb = std::max(peakKb, StatusKb("VmHWM"));
        bench::PlainRead(file.path());
        pane.view->InvalidatePlot();
        pane.view->repaint();
        floor += ThreadCpuNs() - opened;
        opening += opened - start;
    }
    state.counters["ratio"] = floor > 0.0 ? opening / floor : 0.0;
    if (peakKb > 0)
        state.counters["peak_bytes_per_row"] = static_cast<double>(peakKb - paneKb) * 1024.0 / kLargestRows;
}

BENCHMARK(BM_OpenToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace shakemeter

BENCHMARK_MAIN();
