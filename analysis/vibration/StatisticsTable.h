#pragma once
// The texts of the statistics of a range as a table: a line per figure, a column per X, Y, Z and
// the vector sum, values in the unit chosen for the analysis.

#include <array>
#include <optional>
#include <string>

#include "analysis/vibration/RangeStatistics.h"

namespace shakemeter::vibration {

inline constexpr int kStatisticsLines = 7;
inline constexpr std::array<const char*, kStatisticsLines> kStatisticsLineNames = {
    "Max", "Min", "Mean", "RMS", "AC RMS", "Peak-to-peak", "Crest factor"};
inline constexpr std::array<const char*, 4> kStatisticsColumnNames = {"X", "Y", "Z", "Sum"};

struct StatisticsTable {
    std::array<std::array<std::string, 4>, kStatisticsLines> cells;
    std::string unit;  // "g" or "m/s^2"
    std::size_t rows = 0;
};

// The figures of one column, a value per line of the table; the crest factor is none when the RMS
// is 0.
using StatisticsFigures = std::array<std::optional<double>, kStatisticsLines>;
StatisticsFigures FiguresOf(const ColumnStatistics& column);

// An acceleration as the analysis windows show it: four decimals.
std::string AccelerationText(double value);
// "g" or "m/s^2", the unit as the analysis windows write it.
const char* UnitLabel(Unit unit);

// A figure as its line of the table writes it: an acceleration, or the crest factor with three
// decimals; "-" for none.
std::string FigureText(int line, std::optional<double> value);

// The table of statistics computed in any unit, shown in `unit`.
StatisticsTable StatisticsTableOf(const RangeStatistics& statistics, Unit unit);

}  // namespace shakemeter::vibration
