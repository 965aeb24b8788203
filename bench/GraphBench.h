#pragma once
// What the graph benchmarks share: a long recording shown whole as the graph pane shows it (slow
// sines with logger-count noise at 50 ms), and the calling thread's CPU time.

#include <cmath>
#include <ctime>
#include <random>

#include "graph/core/GraphModel.h"

namespace shakemeter::bench {

struct PaintedRecording {
    Recording doc;
    RecordingView view;
    GraphModel model;

    explicit PaintedRecording(int rows)
    {
        doc.m_header.dwSampleCount = static_cast<std::uint32_t>(rows);
        doc.m_header.wInterval = 200;
        doc.m_pSamples.resize(static_cast<std::size_t>(rows));
        std::mt19937_64 random(11);
        std::uniform_int_distribution<int> counts(-300, 300);
        for (int i = 0; i < rows; ++i) {
            SampleRow& row = doc.m_pSamples[static_cast<std::size_t>(i)];
            for (int c = 0; c < 3; ++c)
                row[static_cast<std::size_t>(c)] = std::sin(i * 0.0007 + c) * 4.0 + counts(random) * 0.004;
            row[3] = std::sqrt(row[0] * row[0] + row[1] * row[1] + row[2] * row[2]);
        }
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

inline double ThreadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

}  // namespace shakemeter::bench
