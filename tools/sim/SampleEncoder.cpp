#include "tools/sim/SampleEncoder.h"

#include <cmath>

namespace shakemeter {

namespace {

void appendCount(std::vector<std::uint8_t>& out, int count)
{
    const auto bytes = SampleEncoder::EncodeCount(count);
    out.push_back(bytes[0]);
    out.push_back(bytes[1]);
}

bool fitsByte(int value)
{
    return value >= 0 && value <= 255;
}

}  // namespace

int SampleEncoder::CountFromG(double g)
{
    if (std::isnan(g))
        return 0;
    const double counts = g * 1000.0 / 4.0;
    if (counts <= LOGGER_COUNT_MIN)
        return LOGGER_COUNT_MIN;
    if (counts >= LOGGER_COUNT_MAX)
        return LOGGER_COUNT_MAX;
    // Hundredths of g sit on half counts (0.01 g = 2.5 counts); the nudge keeps the binary
    // representation of such a value (-16.31 g is a hair above -4077.5) from rounding it toward
    // zero, so that a value read back from a file downloads as the same hundredth.
    return static_cast<int>(std::lround(counts + std::copysign(1e-6, counts)));
}

AxisCounts SampleEncoder::CountsFromG(double x, double y, double z)
{
    return AxisCounts{CountFromG(x), CountFromG(y), CountFromG(z)};
}

std::array<std::uint8_t, 2> SampleEncoder::EncodeCount(int count)
{
    if (count < LOGGER_COUNT_MIN)
        count = LOGGER_COUNT_MIN;
    if (count > LOGGER_COUNT_MAX)
        count = LOGGER_COUNT_MAX;
    // Two's complement of the 16-bit word, computed without shifting a negative number.
    const auto word = static_cast<std::uint16_t>(static_cast<std::uint32_t>(count * 8) & 0xFFFFu);
    return {static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word & 0xFF)};
}

void SampleEncoder::AppendSample(std::vector<std::uint8_t>& out, const AxisCounts& counts)
{
    appendCount(out, counts.x);
    appendCount(out, counts.y);
    appendCount(out, counts.z);
}

void SampleEncoder::AppendMotionSample(std::vector<std::uint8_t>& out, const AxisCounts& counts,
                                       std::uint32_t tick)
{
    tick &= LOGGER_TICK_MAX;
    const std::size_t start = out.size();
    AppendSample(out, counts);
    out[start + 1] = static_cast<std::uint8_t>(out[start + 1] | ((tick >> 24) & 0x07));
    out.push_back(static_cast<std::uint8_t>(tick & 0xFF));
    out.push_back(static_cast<std::uint8_t>((tick >> 8) & 0xFF));
    out.push_back(static_cast<std::uint8_t>((tick >> 16) & 0xFF));
}

void SampleEncoder::AppendRealTimeSample(std::vector<std::uint8_t>& out, const AxisCounts& counts)
{
    appendCount(out, counts.x);
    appendCount(out, counts.z);
    appendCount(out, counts.y);
}

void SampleEncoder::AppendSpectrumSample(std::vector<std::uint8_t>& out, const AxisCounts& counts)
{
    AppendSample(out, counts);
}

bool SampleEncoder::AppendEvent(std::vector<std::uint8_t>& out, const CalendarFields& when)
{
    const int year = when.year - 2000;
    if (!fitsByte(year) || !fitsByte(when.month) || !fitsByte(when.day) || !fitsByte(when.hour)
        || !fitsByte(when.minute) || !fitsByte(when.second))
        return false;
    for (int field : {year, when.month, when.day, when.hour, when.minute, when.second})
        out.push_back(static_cast<std::uint8_t>(field));
    return true;
}

}  // namespace shakemeter
