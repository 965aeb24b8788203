#include "analysis/vibration/StatisticsComparison.h"

namespace shakemeter::vibration {

StatisticsComparison CompareStatistics(const RangeStatistics& shown, const std::optional<RangeStatistics>& compared)
{
    StatisticsComparison comparison;
    comparison.shown = shown;
    comparison.unit = shown.unit;
    if (!compared)
        return comparison;
    comparison.compared = compared->converted(shown.unit);
    for (std::size_t c = 0; c < 4; ++c) {
        const StatisticsFigures a = FiguresOf(shown.columns[c]);
        const StatisticsFigures b = FiguresOf(comparison.compared->columns[c]);
        for (int line = 0; line < kStatisticsLines; ++line) {
            if (a[line] && b[line])
                comparison.difference[c][line] = *b[line] - *a[line];
        }
    }
    return comparison;
}

StatisticsComparison StatisticsComparison::converted(Unit to) const
{
    // Differences of accelerations scale with them and those of crest factors do not: computed
    // again from both sides in the new unit rather than scaled line by line.
    std::optional<RangeStatistics> comparedIn;
    if (compared)
        comparedIn = compared->converted(to);
    return CompareStatistics(shown.converted(to), comparedIn);
}

ComparisonTable ComparisonTableOf(const StatisticsComparison& comparison, Unit unit)
{
    const StatisticsComparison in = comparison.converted(unit);
    ComparisonTable table;
    table.shown = StatisticsTableOf(in.shown, unit);
    if (in.compared) {
        table.compared = StatisticsTableOf(*in.compared, unit);
    } else {
        table.compared.unit = UnitLabel(unit);
        for (auto& line : table.compared.cells)
            line.fill("-");
    }
    table.difference.unit = UnitLabel(unit);
    for (std::size_t c = 0; c < 4; ++c) {
        for (int line = 0; line < kStatisticsLines; ++line)
            table.difference.cells[line][c] = FigureText(line, in.difference[c][line]);
    }
    return table;
}

}  // namespace shakemeter::vibration
