#pragma once
// What the PSD window writes under the mouse: the bin nearest a frequency and the density of each
// axis there, in the result's unit.

#include <cstddef>
#include <string>

#include "analysis/vibration/PsdComparison.h"
#include "analysis/vibration/WelchPsd.h"

namespace shakemeter::vibration {

// "g²/Hz" or "(m/s²)²/Hz".
std::string DensityUnitName(Unit unit);

// The bin whose frequency is nearest, never bin 0 (the constant part has no place on a log axis);
// 0 when the result has no bin beyond it.
std::size_t NearestBin(const PsdResult& result, double frequency);

// "12 Hz   X 1.23e-04   Y 5.00e-06   Z 7.10e-05 g²/Hz" for the bin nearest the frequency; empty
// when there is none.
std::string ReadoutText(const PsdResult& result, double frequency);

// The same for two densities, each axis as shown / compared (ratio): "12 Hz   X 1.234e-04 /
// 2.000e-04 (+2.10 dB) ..."; "-" for a compared density past its Nyquist frequency and "no
// ratio" where either density is zero.
std::string ComparisonReadoutText(const PsdComparison& comparison, double frequency);

}  // namespace shakemeter::vibration
