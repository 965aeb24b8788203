#pragma once
// The texts of the event list: a line per shock and per free fall in the order they happened,
// then the free-fall events the logger recorded itself; and the rows the graph shows for one.

#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "analysis/vibration/EventDetector.h"

namespace shakemeter::vibration {

inline constexpr int kEventColumns = 7;

// The levels the event list accepts: a finite level from 0 g, a fall of 1 to 10^9 rows.
inline bool ValidEventLevel(double g)
{
    return std::isfinite(g) && g >= 0.0;
}
inline bool ValidMinFallRows(long long rows)
{
    return rows >= 1 && rows <= 1000000000LL;
}

struct EventLine {
    std::array<std::string, kEventColumns> cells;
    std::optional<RowRange> rows;  // none for the logger's own events: they name no row
};

// The column titles, with the unit of the peaks.
std::array<std::string, kEventColumns> EventColumnTitles(Unit unit);

// Events found in g (labelled), shown in `unit`; logged: the recording's free-fall event texts.
std::vector<EventLine> EventLinesOf(const Events& events, const std::vector<std::string>& logged, Unit unit);

// The rows to zoom onto for an event of rows `event`: the event with its own length again on
// each side, at least kEventMarginRows, within 0..count-1 (count > 0).
inline constexpr std::size_t kEventMarginRows = 10;
RowRange EventZoomRows(RowRange event, std::size_t count);

}  // namespace shakemeter::vibration
