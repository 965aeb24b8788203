#include "analysis/vibration/PsdReadout.h"

#include <cmath>
#include <cstdio>

namespace shakemeter::vibration {

std::string DensityUnitName(Unit unit)
{
    return unit == Unit::G ? "g\u00b2/Hz" : "(m/s\u00b2)\u00b2/Hz";
}

std::size_t NearestBin(const PsdResult& result, double frequency)
{
    const std::size_t bins = result.frequency.size();
    if (bins < 2 || !(result.df > 0.0))
        return 0;
    const double k = std::round(frequency / result.df);
    if (!(k >= 1.0))
        return 1;
    return k >= static_cast<double>(bins - 1) ? bins - 1 : static_cast<std::size_t>(k);
}

std::string ReadoutText(const PsdResult& result, double frequency)
{
    const std::size_t k = NearestBin(result, frequency);
    if (k == 0)
        return {};
    char text[160];
    std::snprintf(text, sizeof text, "%.4g Hz   X %.3e   Y %.3e   Z %.3e ", result.frequency[k], result.axes[0].psd[k],
                  result.axes[1].psd[k], result.axes[2].psd[k]);
    return text + DensityUnitName(result.unit);
}

}  // namespace shakemeter::vibration
