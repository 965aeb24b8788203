#pragma once
// What the graph benchmarks share: a long recording shown whole as the graph pane shows it (slow
// sines with logger-count noise at 50 ms), the CPU time of its paint and of a page scroll.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>
#include <cmath>

#include "bench/ThreadClock.h"
#include "graph/core/GraphModel.h"
#include "graph/widgets/GraphPainter.h"
#include "tests/TestApplication.h"

namespace shakemeter::bench {

// The application a graph benchmark draws in: offscreen unless the caller chose a platform.
template <typename Application = QApplication>
Application& GraphApplication(const char* programName)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return testing::ProgramApplication<Application>(programName);
}

// Slow sines with logger-count noise that repeats exactly from run to run, at a 50 ms interval.
inline void FillSlowSines(Recording& doc, int rows)
{
    doc.m_header.dwSampleCount = static_cast<std::uint32_t>(rows);
    doc.m_header.wInterval = 200;
    doc.m_pSamples.resize(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        SampleRow& row = doc.m_pSamples[static_cast<std::size_t>(i)];
        for (int c = 0; c < 3; ++c)
            row[static_cast<std::size_t>(c)] =
                std::sin(i * 0.0007 + c) * 4.0 +
                static_cast<double>((static_cast<std::int64_t>(i) * 7919 + c * 31) % 601 - 300) * 0.004;
        row[3] = std::sqrt(row[0] * row[0] + row[1] * row[1] + row[2] * row[2]);
    }
}

struct PaintedRecording {
    Recording doc;
    RecordingView view;
    GraphModel model;

    explicit PaintedRecording(int rows)
    {
        FillSlowSines(doc, rows);
        view.m_recHeader = doc.m_header;
        view.m_dInterval = 0.05;
        view.m_nShownCount = rows;
        view.m_nRangeFirst = 1;
        view.m_nRangeLast = rows;
        view.m_nDisplayMode = 1;
        view.m_dYMin = -8.0;
        view.m_dYMax = 8.0;
        model.Attach(&doc, &view);
    }
};

// What the paints of a benchmark cost per paint besides the painting thread's CPU time.
struct PaintCosts {
    double processNs = 0.0;  // the whole process's CPU time
    double wallNs = 0.0;
};

// Thread CPU time of one full paint of the model into `image`, over the benchmark's iterations;
// the whole process's CPU time and the wall time per paint into `costs` when asked. With
// `findGroups`, every paint finds its decimation groups, as a first paint or one after a resize does.
inline double NsPerPaint(benchmark::State& state, GraphModel& model, QImage& image, PaintCosts* costs = nullptr,
                         bool findGroups = false)
{
    PaintParams params;
    params.client = {0, 0, image.width(), image.height()};
    const double processStart = ProcessCpuNs();
    const double wallStart = CpuClockNs(CLOCK_MONOTONIC);
    const double ns = ThreadNsPerIteration(state, [&] {
        if (findGroups)
            model.ForgetKeptGroups();
        QPainter painter(&image);
        benchmark::DoNotOptimize(PaintGraphFrame(painter, model, params));
    });
    if (costs != nullptr) {
        const double iterations = static_cast<double>(state.iterations());
        costs->processNs = (ProcessCpuNs() - processStart) / iterations;
        costs->wallNs = (CpuClockNs(CLOCK_MONOTONIC) - wallStart) / iterations;
    }
    return ns;
}

// Thread CPU time in milliseconds of one page of scrolling (Page Down and Page Up by turns) and
// the pane's repaint, over the benchmark's iterations.
inline double MsPerPage(benchmark::State& state, QWidget& pane)
{
    std::int64_t runs = 0;
    double spent = 0.0;
    for (auto _ : state) {
        QKeyEvent key(QEvent::KeyPress, runs % 2 == 0 ? Qt::Key_PageDown : Qt::Key_PageUp, Qt::NoModifier);
        const double start = ThreadCpuNs();
        QApplication::sendEvent(&pane, &key);
        pane.repaint();
        spent += ThreadCpuNs() - start;
        ++runs;
    }
    return spent / static_cast<double>(runs) / 1e6;
}

}  // namespace shakemeter::bench
