#pragma once
// A logarithmic axis of a plot: lo to hi over a span of pixels (pixelLo at lo; pixelHi may be less
// than pixelLo for an axis that grows upwards), its ticks and their labels.

#include <string>
#include <vector>

namespace shakemeter::vibration {

struct LogTick {
    double value = 0.0;
    double pixel = 0.0;
    bool decade = false;  // a labelled tick at a power of ten; the others are 2..9 times one
    std::string label;    // empty on the ticks between decades
};

class LogAxis {
public:
    // 0 < lo < hi.
    LogAxis(double lo, double hi, double pixelLo, double pixelHi);
    // The decades around the positive values from min to max, at least one decade and at most
    // maxDecades below the top: a density falling to rounding noise would otherwise squeeze the
    // part worth reading into a few pixels. Without a positive value: 1e-6 to 1.
    static LogAxis Spanning(double min, double max, int maxDecades, double pixelLo, double pixelHi);

    double lo() const { return m_lo; }
    double hi() const { return m_hi; }
    // Pixel of a positive value; values outside lo..hi land outside the pixel span. A value that
    // is not positive lands at pixelLo.
    double ToPixel(double value) const;
    double FromPixel(double pixel) const;
    // Every power of ten and every 2..9 times one from lo to hi.
    std::vector<LogTick> Ticks() const;

    // "0.001" to "1000" written out, other powers as "1e-6" or "1e5".
    static std::string DecadeLabel(int exponent);

private:
    double m_lo;
    double m_hi;
    double m_pixelLo;
    double m_logLo;
    double m_pixelsPerDecade;
};

}  // namespace shakemeter::vibration
