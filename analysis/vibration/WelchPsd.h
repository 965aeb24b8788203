#pragma once
// Welch's power spectral density of X, Y and Z: periodic Hann window, segments of L rows at 50 %
// overlap, one-sided density scaling; its mean and max hold over every segment added, and Grms.

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "analysis/vibration/TimeRows.h"
#include "analysis/vibration/Units.h"

namespace shakemeter::vibration {

inline constexpr std::size_t kDefaultSegment = 256;

struct AxisPsd {
    std::vector<double> psd;      // L/2 + 1 values, unit^2/Hz
    std::vector<double> maxHold;  // the largest value of any one segment
    double grms = 0.0;            // sqrt(sum psd * df), in the unit
};

struct PsdResult {
    double fs = 0.0;
    std::size_t segment = 0;
    std::size_t segments = 0;
    double df = 0.0;
    Unit unit = Unit::G;
    std::vector<double> frequency;  // k * fs / L
    std::array<AxisPsd, 3> axes;    // X, Y, Z

    PsdResult converted(Unit to) const;
};

// Densities in g^2/Hz in the unit's square per hertz: each value times the square of the unit's
// factor (UnitScale), as PsdResult::converted turns its densities.
std::vector<double> DensitiesInUnit(const double* g2PerHz, std::size_t count, Unit unit);

class WelchPsd {
public:
    // A power of two from 16 to 65536.
    static bool IsValidSegment(std::size_t segment);

    // segment must be valid (IsValidSegment).
    explicit WelchPsd(std::size_t segment);
    ~WelchPsd();
    WelchPsd(const WelchPsd&) = delete;
    WelchPsd& operator=(const WelchPsd&) = delete;

    std::size_t segment() const { return m_segment; }
    // Full segments of rows[range.from..range.to] that start at range.from, L/2 apart.
    static std::size_t SegmentsIn(RowRange range, std::size_t segment);
    // Adds those segments (evenly sampled rows in g) to the estimate; returns how many.
    std::size_t AddSegments(const SampleRow* rows, RowRange range);
    std::size_t segments() const { return m_segments; }
    // The estimate of every segment added so far, sampled at fs, in g.
    PsdResult Result(double fs) const;

private:
    struct Transform;
    std::size_t m_segment;
    std::size_t m_segments = 0;
    std::unique_ptr<Transform> m_transform;
    std::vector<double> m_window;
    double m_windowPower = 0.0;                // sum of w[n]^2
    std::array<std::vector<double>, 3> m_sum;  // unscaled one-sided periodograms, summed
    std::array<std::vector<double>, 3> m_max;  // and their largest values
};

}  // namespace shakemeter::vibration
