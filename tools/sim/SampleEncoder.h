#pragma once
// The logger's side of the record formats: accelerations in g become 13-bit counts of 4 milli-g
// (saturating at the sensor's range), packed as the records the link decodes. Pure functions.

#include <array>
#include <cstdint>
#include <vector>

#include "recording/CalendarTime.h"

namespace shakemeter {

constexpr int kLoggerCountMin = -4096;
constexpr int kLoggerCountMax = 4095;
constexpr std::uint32_t kLoggerTickMax = (1u << 27) - 1;  // ticks travel in 27 bits

struct AxisCounts {
    int x = 0;
    int y = 0;
    int z = 0;
    bool operator==(const AxisCounts&) const = default;
};

class SampleEncoder {
public:
    // Nearest count (halves away from zero), clamped to -4096..4095; NaN reads as 0.
    static int CountFromG(double g);
    static AxisCounts CountsFromG(double x, double y, double z);
    // The counts of a recording's row (X, Y, Z and vector sum, in hundredths of g): each axis
    // reads back as its hundredth, and of the counts that do, those whose vector sum also reads
    // back as the row's are taken when there are any, so that a recording made by a logger is
    // downloaded exactly as it was saved. Otherwise CountsFromG.
    static AxisCounts CountsFromRow(const std::array<double, 4>& row);

    // The 2-byte value: the count shifted left by 3 as a big-endian 16-bit word.
    static std::array<std::uint8_t, 2> EncodeCount(int count);

    // Memory record of normal mode: X, Y, Z.
    static void AppendSample(std::vector<std::uint8_t>& out, const AxisCounts& counts);
    // Memory record of motion-detection mode: X, Y, Z, then the tick in bytes 6-8 (bits 0-23)
    // and in the unused low bits of byte 1 (bits 24-26). Ticks above 27 bits are masked.
    static void AppendMotionSample(std::vector<std::uint8_t>& out, const AxisCounts& counts, std::uint32_t tick);
    // Real-time record: X, then Z, then Y.
    static void AppendRealTimeSample(std::vector<std::uint8_t>& out, const AxisCounts& counts);
    // Spectrum record: X, Y, Z (the same layout as a normal memory record).
    static void AppendSpectrumSample(std::vector<std::uint8_t>& out, const AxisCounts& counts);

    // Free-fall event: year - 2000, month, day, hour, minute, second. False (nothing appended)
    // when a field does not fit its byte: the year must lie in 2000..2255.
    static bool AppendEvent(std::vector<std::uint8_t>& out, const CalendarFields& when);
};

}  // namespace shakemeter
