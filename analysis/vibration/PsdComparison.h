#pragma once
// Two Welch densities side by side: the shown recording's at its own bins, the compared
// recording's at the same frequencies, and their ratio in dB per bin, 10 log10(compared / shown).
// Both are estimated with the same segment length and window; when their sampling intervals
// differ, the compared density is interpolated linearly between its own bins, and the shown bins
// above the compared recording's Nyquist frequency have no compared value.

#include <array>
#include <optional>
#include <vector>

#include "analysis/vibration/WelchPsd.h"

namespace shakemeter::vibration {

struct PsdComparison {
    PsdResult shown;
    PsdResult compared;  // at its own bins, in the shown density's unit
    // Bins of the shown density that the compared recording reaches (frequency up to its Nyquist
    // frequency): the rest have no compared value and no ratio.
    std::size_t comparedBins = 0;
    // Per axis, one value per shown bin: the compared density there (none past comparedBins), and
    // the ratio in dB (none where either density is not positive, so no infinity and no NaN).
    std::array<std::vector<std::optional<double>>, 3> comparedAtShown;
    std::array<std::vector<std::optional<double>>, 3> ratioDb;

    // Both densities in another unit (the ratios have none).
    PsdComparison converted(Unit to) const;
};

// shown and compared may be in different units; the comparison takes the shown one's.
PsdComparison ComparePsd(const PsdResult& shown, const PsdResult& compared);

// 10 log10(compared / shown), or none unless both are positive and finite.
std::optional<double> RatioDb(double shown, double compared);

}  // namespace shakemeter::vibration
