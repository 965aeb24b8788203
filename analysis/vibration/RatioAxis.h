#pragma once
// The dB axis under the PSD plot of two recordings: the ratio of their densities per bin, on a
// linear scale symmetric about 0 dB, so that "more" and "less" take the same room.

#include <string>
#include <vector>

namespace shakemeter::vibration {

struct RatioTick {
    double db = 0.0;
    double pixel = 0.0;
    std::string label;  // "0", "+10", "-10"
};

class RatioAxis {
public:
    // From -limit to +limit dB over the pixels (pixelLo at -limit), limit > 0.
    RatioAxis(double limit, double pixelLo, double pixelHi);
    // The limit for ratios up to this magnitude: the step of 1, 2 or 5 times a power of ten at
    // or above it, never under 1 dB (also for a magnitude that is not finite).
    static double LimitFor(double largestMagnitude);

    double limit() const { return m_limit; }
    // Ratios outside the limit land outside the pixel span.
    double ToPixel(double db) const;
    // Four ticks each side of 0 dB at most, at a quarter or a half of the limit.
    std::vector<RatioTick> Ticks() const;

private:
    double m_limit;
    double m_pixelLo;
    double m_pixelHi;
};

}  // namespace shakemeter::vibration
