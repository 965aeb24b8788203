#include "analysis/vibration/LogAxis.h"

#include <algorithm>
#include <cmath>

namespace shakemeter::vibration {

LogAxis::LogAxis(double lo, double hi, double pixelLo, double pixelHi)
    : m_lo(lo),
      m_hi(hi),
      m_pixelLo(pixelLo),
      m_logLo(std::log10(lo)),
      m_pixelsPerDecade((pixelHi - pixelLo) / (std::log10(hi) - std::log10(lo)))
{
}

LogAxis LogAxis::Spanning(double min, double max, int maxDecades, double pixelLo, double pixelHi)
{
    if (!(max > 0.0) || !std::isfinite(max))
        return LogAxis(1e-6, 1.0, pixelLo, pixelHi);
    const int top = static_cast<int>(std::ceil(std::log10(max) - 1e-9));
    int bottom = min > 0.0 ? static_cast<int>(std::floor(std::log10(min) + 1e-9)) : top - maxDecades;
    bottom = std::clamp(bottom, top - std::max(1, maxDecades), top - 1);
    return LogAxis(std::pow(10.0, bottom), std::pow(10.0, top), pixelLo, pixelHi);
}

double LogAxis::ToPixel(double value) const
{
    if (!(value > 0.0))
        return m_pixelLo;
    return m_pixelLo + (std::log10(value) - m_logLo) * m_pixelsPerDecade;
}

double LogAxis::FromPixel(double pixel) const
{
    return std::pow(10.0, m_logLo + (pixel - m_pixelLo) / m_pixelsPerDecade);
}

std::vector<LogTick> LogAxis::Ticks() const
{
    // Ends a rounding away from a tick still carry it.
    const double low = m_lo * (1.0 - 1e-9);
    const double high = m_hi * (1.0 + 1e-9);
    std::vector<LogTick> ticks;
    const int first = static_cast<int>(std::floor(m_logLo + 1e-9));
    const int last = static_cast<int>(std::ceil(std::log10(m_hi) - 1e-9));
    for (int e = first; e <= last; ++e) {
        const double decade = std::pow(10.0, e);
        for (int m = 1; m <= 9; ++m) {
            const double value = m * decade;
            if (value < low || value > high)
                continue;
            if (m == 1)
                ticks.push_back({value, ToPixel(value), true, DecadeLabel(e)});
            else
                ticks.push_back({value, ToPixel(value), false, {}});
        }
    }
    return ticks;
}

std::string LogAxis::DecadeLabel(int exponent)
{
    if (exponent >= 0 && exponent <= 3)
        return "1" + std::string(static_cast<std::size_t>(exponent), '0');
    if (exponent < 0 && exponent >= -3)
        return "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + "1";
    return "1e" + std::to_string(exponent);
}

}  // namespace shakemeter::vibration
