#include "analysis/vibration/RatioAxis.h"

#include <cmath>
#include <cstdio>

namespace shakemeter::vibration {

RatioAxis::RatioAxis(double limit, double pixelLo, double pixelHi)
    : m_limit(limit), m_pixelLo(pixelLo), m_pixelHi(pixelHi)
{
}

double RatioAxis::LimitFor(double largestMagnitude)
{
    double limit = 1.0;
    if (!std::isfinite(largestMagnitude))
        return limit;
    // 1, 2, 5, 10, 20, 50 ... dB: the first at or above the largest magnitude.
    for (int i = 0; limit < std::fabs(largestMagnitude) * (1.0 - 1e-12); ++i)
        limit *= (i % 3 == 1) ? 2.5 : 2.0;
    return limit;
}

double RatioAxis::ToPixel(double db) const
{
    return m_pixelLo + (db + m_limit) / (2.0 * m_limit) * (m_pixelHi - m_pixelLo);
}

std::vector<RatioTick> RatioAxis::Ticks() const
{
    // A limit of 2 times a power of ten splits in quarters (steps of 5), others in halves.
    const double mantissa = m_limit / std::pow(10.0, std::floor(std::log10(m_limit) + 1e-9));
    const int perSide = std::fabs(mantissa - 2.0) < 1e-9 ? 4 : 2;
    std::vector<RatioTick> ticks;
    for (int i = -perSide; i <= perSide; ++i) {
        const double db = m_limit * i / perSide;
        char text[32];
        if (i == 0)
            std::snprintf(text, sizeof text, "0");
        else
            std::snprintf(text, sizeof text, "%+g", db);
        ticks.push_back({db, ToPixel(db), text});
    }
    return ticks;
}

}  // namespace shakemeter::vibration
