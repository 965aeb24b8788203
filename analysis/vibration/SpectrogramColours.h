#pragma once
// The waterfall's colours: a density in dB (re 1 unit²/Hz) between the bottom and the top of a
// fixed range, from black through blue, red and yellow to white.

#include <cstddef>
#include <cstdint>

namespace shakemeter::vibration {

struct DbRange {
    double bottom = -80.0;
    double top = 0.0;

    // 80 dB below the 10 dB step above the largest value of the line: chosen once, from the first
    // capture, so that every later line is drawn with the colours the earlier ones were.
    static DbRange For(const double* line, std::size_t count);
};

// 10 log10 of a density; densities at or below zero give a floor far under any range.
double ToDb(double density);

// 0xRRGGBB of a level in dB; levels outside the range take the colour of its nearer end.
std::uint32_t DbColour(double db, const DbRange& range);

}  // namespace shakemeter::vibration
