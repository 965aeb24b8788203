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

std::string ComparisonReadoutText(const PsdComparison& comparison, double frequency)
{
    const PsdResult& shown = comparison.shown;
    const std::size_t k = NearestBin(shown, frequency);
    if (k == 0)
        return {};
    char text[96];
    std::snprintf(text, sizeof text, "%.4g Hz", shown.frequency[k]);
    std::string out = text;
    const char* const names[3] = {"X", "Y", "Z"};
    for (int axis = 0; axis < 3; ++axis) {
        std::snprintf(text, sizeof text, "   %s %.3e / ", names[axis], shown.axes[axis].psd[k]);
        out += text;
        const std::optional<double>& compared = comparison.comparedAtShown[axis][k];
        const std::optional<double>& ratio = comparison.ratioDb[axis][k];
        if (!compared)
            std::snprintf(text, sizeof text, "-");
        else if (!ratio)
            std::snprintf(text, sizeof text, "%.3e (no ratio)", *compared);
        else
            std::snprintf(text, sizeof text, "%.3e (%+.2f dB)", *compared, *ratio);
        out += text;
    }
    return out + ' ' + DensityUnitName(shown.unit);
}

}  // namespace shakemeter::vibration
