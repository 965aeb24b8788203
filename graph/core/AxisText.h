#pragma once
// Number texts of the graph ("%.3f", "%.2f", "%d") written with std::to_chars, which gives what
// printf gives in the C locale, whatever locale the GUI toolkit has set for the process.

#include <cstdint>
#include <string>

namespace shakemeter {

std::string FormatFixed(double value, int decimals);
std::string FormatInteger(std::int64_t value);
// "%.2f HZ", the label of the spectral peak.
std::string PeakLabel(double frequency);
// The time label of a step split in two lines at the first ':' less two characters.
void SplitTimeLabel(const std::string& text, std::string& timeLine, std::string& dateLine);

}  // namespace shakemeter
