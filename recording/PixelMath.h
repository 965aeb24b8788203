#pragma once
// Truncation of computed positions to pixels. Positions far outside any surface (a value far out of
// the value range, a deep zoom) or not finite are pinned to a large bound instead of overflowing
// the integer conversion; the bound keeps their side of every plot edge.

#include <cmath>

namespace shakemeter {

constexpr double PIXEL_LIMIT = 1.0e9;

inline int TruncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= PIXEL_LIMIT)
        return static_cast<int>(PIXEL_LIMIT);
    if (value <= -PIXEL_LIMIT)
        return -static_cast<int>(PIXEL_LIMIT);
    return static_cast<int>(value);
}

// A divisor that is safe to divide by and gives a finite, usable scale.
inline bool IsUsableDivisor(double value)
{
    return std::isfinite(value) && value != 0.0;
}

// A scale or spacing that is a positive finite number of pixels.
inline bool PositiveFinite(double value)
{
    return std::isfinite(value) && value > 0.0;
}

}  // namespace shakemeter
