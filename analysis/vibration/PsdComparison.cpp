#include "analysis/vibration/PsdComparison.h"

#include <cmath>

namespace shakemeter::vibration {

namespace {

// A shown frequency as a fractional bin of the compared density. When both have the same bin
// spacing the position is a whole number up to rounding; it is made one, so that equal sampling
// compares bin with bin exactly.
double ComparedPosition(double frequency, double comparedDf)
{
    const double position = frequency / comparedDf;
    const double whole = std::round(position);
    return std::fabs(position - whole) <= 1e-9 * std::max(1.0, whole) ? whole : position;
}

}  // namespace

std::optional<double> RatioDb(double shown, double compared)
{
    if (!(shown > 0.0) || !(compared > 0.0) || !std::isfinite(shown) || !std::isfinite(compared))
        return std::nullopt;
    return 10.0 * std::log10(compared / shown);
}

PsdComparison ComparePsd(const PsdResult& shown, const PsdResult& compared)
{
    PsdComparison out;
    out.shown = shown;
    out.compared = compared.converted(shown.unit);
    const std::size_t bins = shown.frequency.size();
    const std::size_t comparedBins = out.compared.frequency.size();
    for (int axis = 0; axis < 3; ++axis) {
        out.comparedAtShown[axis].assign(bins, std::nullopt);
        out.ratioDb[axis].assign(bins, std::nullopt);
    }
    if (comparedBins == 0 || !(out.compared.df > 0.0))
        return out;
    const double last = static_cast<double>(comparedBins - 1);
    for (std::size_t k = 0; k < bins; ++k) {
        const double position = ComparedPosition(shown.frequency[k], out.compared.df);
        if (position > last)
            break;
        const auto below = static_cast<std::size_t>(position);
        const double t = position - static_cast<double>(below);
        for (int axis = 0; axis < 3; ++axis) {
            const std::vector<double>& psd = out.compared.axes[axis].psd;
            const double value = t == 0.0 ? psd[below] : psd[below] + t * (psd[below + 1] - psd[below]);
            out.comparedAtShown[axis][k] = value;
            out.ratioDb[axis][k] = RatioDb(shown.axes[axis].psd[k], value);
        }
        out.comparedBins = k + 1;
    }
    return out;
}

PsdComparison PsdComparison::converted(Unit to) const
{
    const double factor = UnitScale(to) / UnitScale(shown.unit);
    PsdComparison out = *this;
    out.shown = shown.converted(to);
    out.compared = compared.converted(to);
    for (auto& values : out.comparedAtShown) {
        for (std::optional<double>& v : values) {
            if (v)
                *v *= factor * factor;
        }
    }
    return out;
}

}  // namespace shakemeter::vibration
