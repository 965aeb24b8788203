#include "analysis/vibration/StatisticsTable.h"

#include <cmath>
#include <cstdio>

namespace shakemeter::vibration {

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

StatisticsTable StatisticsTableOf(const RangeStatistics& statistics, Unit unit)
{
    const RangeStatistics shown = statistics.converted(unit);
    StatisticsTable table;
    table.unit = UnitLabel(unit);
    table.rows = shown.range.size();
    for (std::size_t c = 0; c < 4; ++c) {
        const ColumnStatistics& s = shown.columns[c];
        const double values[] = {s.max, s.min, s.mean, s.rms, s.acRms, s.peakToPeak};
        for (std::size_t line = 0; line < 6; ++line)
            table.cells[line][c] = AccelerationText(values[line]);
        if (s.crestFactor) {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%.3f", *s.crestFactor);
            table.cells[6][c] = buffer;
        } else {
            table.cells[6][c] = "-";
        }
    }
    return table;
}

}  // namespace shakemeter::vibration
