// A spectrum reading of an hour in the PSD window: the cost of one more capture (kept, averaged,
// its waterfall line drawn, the window repainted) at capture 1,800 against the same at capture 10,
// in the same run. The "ratio" counter is the figure to watch (target <= 1.3: flat, the cost of a
// capture does not grow with the reading).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "analysis/widgets/PsdWindow.h"
#include "bench/ThreadClock.h"

namespace shakemeter {
namespace {

constexpr int kMeasured = 20;  // captures timed after the reading reached its length

// Captures as the logger sends them: 256 samples at 1/256 s, a tone and noise.
const std::vector<Recording>& Captures()
{
    static const std::vector<Recording> captures = [] {
        std::vector<Recording> out(64);
        std::mt19937 random(7);
        std::normal_distribution<double> g(0.0, 0.05);
        for (std::size_t c = 0; c < out.size(); ++c) {
            Recording& r = out[c];
            r.m_header.dwSampleCount = 256;
            r.m_header.wInterval = 0;
            r.m_pSamples.resize(256);
            for (std::size_t n = 0; n < 256; ++n) {
                const double t = static_cast<double>(n) / 256.0;
                r.m_pSamples[n] = {0.5 * std::sin(2 * M_PI * 20 * t) + g(random),
                                   0.2 * std::sin(2 * M_PI * 45 * t) + g(random), 1.0 + g(random), 0.0};
            }
        }
        return out;
    }();
    return captures;
}

double g_earlyNs = 0.0;

// The time of one capture, from the one after `reached` on, in a shown window.
double CaptureNs(benchmark::State& state, std::size_t reached)
{
    const std::vector<Recording>& captures = Captures();
    double spent = 0.0;
    std::int64_t timed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<PsdWindow>(PsdWindow::Inputs{});
        window->resize(760, 720);
        window->show();
        window->BeginReading();
        for (std::size_t c = 0; c < reached; ++c)
            window->AddCapture(captures[c % captures.size()]);
        window->repaint();
        QApplication::processEvents();
        state.ResumeTiming();
        const double start = ThreadCpuNs();
        for (int c = 0; c < kMeasured; ++c) {
            window->AddCapture(captures[(reached + static_cast<std::size_t>(c)) % captures.size()]);
            window->repaint();
        }
        spent += ThreadCpuNs() - start;
        timed += kMeasured;
    }
    const double ns = spent / static_cast<double>(timed);
    state.counters["us_per_capture"] = ns / 1000.0;
    return ns;
}

void BM_CaptureAt10(benchmark::State& state)
{
    g_earlyNs = CaptureNs(state, 9);
}

void BM_CaptureAt1800(benchmark::State& state)
{
    ReportRatio(state, CaptureNs(state, 1799), g_earlyNs);
}

BENCHMARK(BM_CaptureAt10)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaptureAt1800)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace shakemeter

// The window needs an application; offscreen unless the caller chose a platform.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
