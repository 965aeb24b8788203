#include "analysis/vibration/SpectrogramColours.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace shakemeter::vibration {

namespace {

constexpr double kDbFloor = -400.0;
constexpr double kDynamicRangeDb = 80.0;

struct Stop {
    double at;
    double r, g, b;
};
constexpr std::array<Stop, 6> kStops = {{{0.0, 0, 0, 0},
                                         {0.2, 20, 20, 140},
                                         {0.45, 150, 30, 150},
                                         {0.65, 230, 50, 40},
                                         {0.85, 250, 200, 30},
                                         {1.0, 255, 255, 255}}};

}  // namespace

DbRange DbRange::For(const double* line, std::size_t count)
{
    double largest = kDbFloor;
    for (std::size_t k = 0; k < count; ++k)
        largest = std::max(largest, ToDb(line[k]));
    DbRange range;
    if (largest > kDbFloor) {
        range.top = std::ceil(largest / 10.0) * 10.0;
        range.bottom = range.top - kDynamicRangeDb;
    }
    return range;
}

double ToDb(double density)
{
    return density > 0.0 ? std::max(kDbFloor, 10.0 * std::log10(density)) : kDbFloor;
}

std::uint32_t DbColour(double db, const DbRange& range)
{
    const double span = range.top - range.bottom;
    const double t = span > 0.0 ? std::clamp((db - range.bottom) / span, 0.0, 1.0) : 0.0;
    std::size_t i = 1;
    while (i + 1 < kStops.size() && t > kStops[i].at)
        ++i;
    const Stop& a = kStops[i - 1];
    const Stop& b = kStops[i];
    const double f = (t - a.at) / (b.at - a.at);
    auto mix = [f](double x, double y) { return static_cast<std::uint32_t>(std::lround(x + (y - x) * f)); };
    return mix(a.r, b.r) << 16 | mix(a.g, b.g) << 8 | mix(a.b, b.b);
}

}  // namespace shakemeter::vibration
