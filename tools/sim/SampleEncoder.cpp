#include "tools/sim/SampleEncoder.h"

#include <cmath>
#include <utility>

namespace shakemeter {

namespace {

void AppendCount(std::vector<std::uint8_t>& out, int count)
{
    const auto bytes = SampleEncoder::EncodeCount(count);
    out.push_back(bytes[0]);
    out.push_back(bytes[1]);
}

bool FitsByte(int value)
{
    return value >= 0 && value <= 255;
}

}  // namespace

int SampleEncoder::CountFromG(double g)
{
    if (std::isnan(g))
        return 0;
    const double counts = g * 1000.0 / 4.0;
    if (counts <= kLoggerCountMin)
        return kLoggerCountMin;
    if (counts >= kLoggerCountMax)
        return kLoggerCountMax;
    // Hundredths of g sit on half counts (0.01 g = 2.5 counts); the nudge keeps the binary
    // representation of such a value (-16.31 g is a hair above -4077.5) from rounding it toward
    // zero, so that a value read back from a file downloads as the same hundredth.
    return static_cast<int>(std::lround(counts + std::copysign(1e-6, counts)));
}

AxisCounts SampleEncoder::CountsFromG(double x, double y, double z)
{
    return AxisCounts{CountFromG(x), CountFromG(y), CountFromG(z)};
}

AxisCounts SampleEncoder::CountsFromRow(const std::array<double, 4>& row)
{
    const AxisCounts nearest = CountsFromG(row[0], row[1], row[2]);
    if (!std::isfinite(row[3]) || std::fabs(row[3]) > 100.0)
        return nearest;
    // What the link makes of counts: milli-g truncated to hundredths, the vector sum of the
    // milli-g truncated to hundredths.
    const auto hundredths = [](int count) { return (count * 4) / 10; };
    const auto sumHundredths = [](int x, int y, int z) {
        const double mx = x * 4.0, my = y * 4.0, mz = z * 4.0;
        return static_cast<long long>(std::trunc(std::sqrt(mx * mx + my * my + mz * mz) / 10.0));
    };
    const long long wanted = std::llround(row[3] * 100.0);
    if (sumHundredths(nearest.x, nearest.y, nearest.z) == wanted)
        return nearest;
    // A hundredth of g spans 10 milli-g, two or three counts of 4.
    const auto candidates = [&](int count) {
        std::array<int, 5> found{};
        int n = 0;
        for (int c = count - 2; c <= count + 2; ++c) {
            if (c >= kLoggerCountMin && c <= kLoggerCountMax && hundredths(c) == hundredths(count))
                found[static_cast<std::size_t>(n++)] = c;
        }
        return std::pair{found, n};
    };
    const auto [xs, nx] = candidates(nearest.x);
    const auto [ys, ny] = candidates(nearest.y);
    const auto [zs, nz] = candidates(nearest.z);
    for (int i = 0; i < nx; ++i) {
        for (int j = 0; j < ny; ++j) {
            for (int k = 0; k < nz; ++k) {
                const AxisCounts counts{xs[static_cast<std::size_t>(i)], ys[static_cast<std::size_t>(j)],
                                        zs[static_cast<std::size_t>(k)]};
                if (sumHundredths(counts.x, counts.y, counts.z) == wanted)
                    return counts;
            }
        }
    }
    return nearest;
}

std::array<std::uint8_t, 2> SampleEncoder::EncodeCount(int count)
{
    if (count < kLoggerCountMin)
        count = kLoggerCountMin;
    if (count > kLoggerCountMax)
        count = kLoggerCountMax;
    // Two's complement of the 16-bit word, computed without shifting a negative number.
    const auto word = static_cast<std::uint16_t>(static_cast<std::uint32_t>(count * 8) & 0xFFFFu);
    return {static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word & 0xFF)};
}

void SampleEncoder::AppendSample(std::vector<std::uint8_t>& out, const AxisCounts& counts)
{
    AppendCount(out, counts.x);
    AppendCount(out, counts.y);
    AppendCount(out, counts.z);
}

void SampleEncoder::AppendMotionSample(std::vector<std::uint8_t>& out, const AxisCounts& counts, std::uint32_t tick)
{
    tick &= kLoggerTickMax;
    const std::size_t start = out.size();
    AppendSample(out, counts);
    out[start + 1] = static_cast<std::uint8_t>(out[start + 1] | ((tick >> 24) & 0x07));
    out.push_back(static_cast<std::uint8_t>(tick & 0xFF));
    out.push_back(static_cast<std::uint8_t>((tick >> 8) & 0xFF));
    out.push_back(static_cast<std::uint8_t>((tick >> 16) & 0xFF));
}

void SampleEncoder::AppendRealTimeSample(std::vector<std::uint8_t>& out, const AxisCounts& counts)
{
    AppendCount(out, counts.x);
    AppendCount(out, counts.z);
    AppendCount(out, counts.y);
}

void SampleEncoder::AppendSpectrumSample(std::vector<std::uint8_t>& out, const AxisCounts& counts)
{
    AppendSample(out, counts);
}

bool SampleEncoder::AppendEvent(std::vector<std::uint8_t>& out, const CalendarFields& when)
{
    const int year = when.year - 2000;
    if (!FitsByte(year) || !FitsByte(when.month) || !FitsByte(when.day) || !FitsByte(when.hour) ||
        !FitsByte(when.minute) || !FitsByte(when.second))
        return false;
    for (int field : {year, when.month, when.day, when.hour, when.minute, when.second})
        out.push_back(static_cast<std::uint8_t>(field));
    return true;
}

}  // namespace shakemeter
