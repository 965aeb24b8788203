#include "analysis/vibration/StatisticsTable.h"

#include <cmath>
#include <cstdio>

namespace shakemeter::vibration {

namespace {

constexpr int kCrestFactorLine = kStatisticsLines - 1;

}  // namespace

StatisticsFigures FiguresOf(const ColumnStatistics& column)
{
    return {column.max, column.min, column.mean, column.rms, column.acRms, column.peakToPeak, column.crestFactor};
}

std::string AccelerationText(double value)
{
    if (std::isnan(value))
        return "-";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.4f", value);
    // A value that rounds to zero shows no sign: "-0.0000" reads as a fault.
    const std::string text = buffer;
    return text.find_first_not_of("-0.") == std::string::npos ? text.substr(text.front() == '-' ? 1 : 0) : text;
}

const char* UnitLabel(Unit unit)
{
    return unit == Unit::G ? "g" : "m/s^2";
}

std::string FigureText(int line, std::optional<double> value)
{
    if (!value)
        return "-";
    if (line != kCrestFactorLine)
        return AccelerationText(*value);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", *value);
    return buffer;
}

StatisticsTable StatisticsTableOf(const RangeStatistics& statistics, Unit unit)
{
    const RangeStatistics shown = statistics.converted(unit);
    StatisticsTable table;
    table.unit = UnitLabel(unit);
    table.rows = shown.range.size();
    for (std::size_t c = 0; c < 4; ++c) {
        const StatisticsFigures figures = FiguresOf(shown.columns[c]);
        for (int line = 0; line < kStatisticsLines; ++line)
            table.cells[line][c] = FigureText(line, figures[line]);
    }
    return table;
}

}  // namespace shakemeter::vibration
