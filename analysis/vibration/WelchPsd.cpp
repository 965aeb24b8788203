#include "analysis/vibration/WelchPsd.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include <kissfft/kissfft.hh>

namespace shakemeter::vibration {

// A real transform of L points is kissfft's complex transform of L/2 points plus its
// post-processing; the buffers are kept for every segment.
struct WelchPsd::Transform {
    explicit Transform(std::size_t segment) : fft(segment / 2, false), input(segment), output(segment / 2) {}
    kissfft<double> fft;
    std::vector<double> input;
    std::vector<std::complex<double>> output;
};

bool WelchPsd::IsValidSegment(std::size_t segment)
{
    return segment >= 16 && segment <= 65536 && (segment & (segment - 1)) == 0;
}

WelchPsd::WelchPsd(std::size_t segment)
    : m_segment(segment), m_transform(std::make_unique<Transform>(segment)), m_window(segment)
{
    for (std::size_t n = 0; n < segment; ++n) {
        m_window[n] =
            0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(n) / static_cast<double>(segment));
        m_windowPower += m_window[n] * m_window[n];
    }
    for (int axis = 0; axis < 3; ++axis) {
        m_sum[axis].assign(segment / 2 + 1, 0.0);
        m_max[axis].assign(segment / 2 + 1, 0.0);
    }
}

WelchPsd::~WelchPsd() = default;

std::size_t WelchPsd::SegmentsIn(RowRange range, std::size_t segment)
{
    if (range.size() < segment)
        return 0;
    return (range.size() - segment) / (segment / 2) + 1;
}

std::size_t WelchPsd::AddSegments(const SampleRow* rows, RowRange range)
{
    const std::size_t count = SegmentsIn(range, m_segment);
    const std::size_t L = m_segment;
    const std::size_t half = L / 2;
    double* in = m_transform->input.data();
    const std::complex<double>* out = m_transform->output.data();
    for (std::size_t s = 0; s < count; ++s) {
        const SampleRow* first = rows + range.from + s * half;
        for (int axis = 0; axis < 3; ++axis) {
            double sum = 0.0;
            for (std::size_t n = 0; n < L; ++n)
                sum += first[n][axis];
            const double mean = sum / static_cast<double>(L);
            for (std::size_t n = 0; n < L; ++n)
                in[n] = m_window[n] * (first[n][axis] - mean);
            m_transform->fft.transform_real(in, m_transform->output.data());
            // Bin 0 holds the constant part in its real and the Nyquist bin in its imaginary half.
            double* total = m_sum[axis].data();
            double* peak = m_max[axis].data();
            const double dc = out[0].real() * out[0].real();
            const double nyquist = out[0].imag() * out[0].imag();
            total[0] += dc;
            peak[0] = std::max(peak[0], dc);
            total[half] += nyquist;
            peak[half] = std::max(peak[half], nyquist);
            for (std::size_t k = 1; k < half; ++k) {
                const double p = 2.0 * std::norm(out[k]);
                total[k] += p;
                peak[k] = p > peak[k] ? p : peak[k];
            }
        }
    }
    m_segments += count;
    return count;
}

PsdResult WelchPsd::Result(double fs) const
{
    PsdResult result;
    const std::size_t bins = m_segment / 2 + 1;
    result.fs = fs;
    result.segment = m_segment;
    result.segments = m_segments;
    result.df = fs / static_cast<double>(m_segment);
    result.frequency.resize(bins);
    for (std::size_t k = 0; k < bins; ++k)
        result.frequency[k] = static_cast<double>(k) * result.df;
    const double scale = 1.0 / (fs * m_windowPower);
    const double meanScale = m_segments > 0 ? scale / static_cast<double>(m_segments) : 0.0;
    for (int axis = 0; axis < 3; ++axis) {
        AxisPsd& a = result.axes[axis];
        a.psd.resize(bins);
        a.maxHold.resize(bins);
        double total = 0.0;
        for (std::size_t k = 0; k < bins; ++k) {
            a.psd[k] = m_sum[axis][k] * meanScale;
            a.maxHold[k] = m_max[axis][k] * scale;
            total += a.psd[k];
        }
        a.grms = std::sqrt(total * result.df);
    }
    return result;
}

namespace {

// A density is an acceleration squared per hertz: it scales with the square of the unit's factor.
void ScaleDensities(std::vector<double>& values, double unitFactor)
{
    const double factor = unitFactor * unitFactor;
    for (double& v : values)
        v *= factor;
}

}  // namespace

PsdResult PsdResult::converted(Unit to) const
{
    return InUnit(*this, to, [](PsdResult& out, double factor) {
        for (AxisPsd& a : out.axes) {
            ScaleDensities(a.psd, factor);
            ScaleDensities(a.maxHold, factor);
            a.grms *= factor;
        }
    });
}

std::vector<double> DensitiesInUnit(const double* g2PerHz, std::size_t count, Unit unit)
{
    std::vector<double> out(g2PerHz, g2PerHz + count);
    ScaleDensities(out, UnitScale(unit));
    return out;
}

}  // namespace shakemeter::vibration
