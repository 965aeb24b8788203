#include "analysis/vibration/CursorReadings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/vibration/TimeRows.h"

namespace shakemeter::vibration {

std::optional<CursorReadings> ReadCursors(const Recording& recording, std::size_t rowA, std::size_t rowB, Unit unit)
{
    const TimeRows rows = TimeRowsOf(recording);
    if (rowA >= rows.count || rowB >= rows.count)
        return std::nullopt;
    CursorReadings readings;
    readings.rowA = rowA;
    readings.rowB = rowB;
    readings.unit = unit;
    // Whole ticks are subtracted before they become seconds, so the span is as exact as the
    // interval itself.
    readings.deltaTicks = rows.tick(rowB) - rows.tick(rowA);
    readings.deltaSeconds = static_cast<double>(readings.deltaTicks) * rows.dt;
    const double scale = UnitScale(unit);
    for (std::size_t c = 0; c < 4; ++c) {
        const double a = rows.rows[rowA][c];
        const double b = rows.rows[rowB][c];
        readings.atA[c] = a * scale;
        readings.atB[c] = b * scale;
        readings.difference[c] = (b - a) * scale;
    }
    readings.statistics = ComputeRangeStatistics(rows.rows, RowRange{std::min(rowA, rowB), std::max(rowA, rowB)});
    return readings;
}

std::string SecondsText(double seconds)
{
    if (!std::isfinite(seconds))
        return "-";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.8f", seconds);
    std::string text = buffer;
    // Trailing zeros beyond the third decimal say nothing.
    const std::size_t point = text.find('.');
    std::size_t end = text.size();
    while (end > point + 4 && text[end - 1] == '0')
        --end;
    text.resize(end);
    if (text.find_first_not_of("-0.") == std::string::npos && text.front() == '-')
        text.erase(0, 1);
    return text + " s";
}

CursorReadingTexts CursorReadingTextsOf(const CursorReadings& readings, const Recording& recording,
                                        const RecordingFacts& facts)
{
    const auto timeText = [&](std::size_t row) {
        std::string label = facts.FormatSampleTime(recording, static_cast<int>(row));
        const std::size_t start = label.find_first_not_of(' ');
        return start == std::string::npos ? std::string() : label.substr(start);
    };
    CursorReadingTexts texts;
    texts.rowA = std::to_string(readings.rowA + 1);
    texts.rowB = std::to_string(readings.rowB + 1);
    texts.timeA = timeText(readings.rowA);
    texts.timeB = timeText(readings.rowB);
    texts.deltaT = SecondsText(readings.deltaSeconds);
    for (std::size_t c = 0; c < 4; ++c) {
        texts.atA[c] = AccelerationText(readings.atA[c]);
        texts.atB[c] = AccelerationText(readings.atB[c]);
        texts.difference[c] = AccelerationText(readings.difference[c]);
    }
    texts.statistics = StatisticsTableOf(readings.statistics, readings.unit);
    texts.firstRow = std::to_string(readings.statistics.range.from + 1);
    texts.lastRow = std::to_string(readings.statistics.range.to + 1);
    return texts;
}

}  // namespace shakemeter::vibration
