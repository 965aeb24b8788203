#include "analysis/vibration/EventTable.h"

#include <algorithm>
#include <cstdio>

#include "analysis/vibration/StatisticsTable.h"

namespace shakemeter::vibration {

namespace {

std::string Fixed(double value, int decimals)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

}  // namespace

std::array<std::string, kEventColumns> EventColumnTitles(Unit unit)
{
    return {"Event",
            "Time",
            "Duration (s)",
            std::string("Peak (") + UnitLabel(unit) + ")",
            "Face",
            "Drop height (m)",
            "Impact speed (m/s)"};
}

std::vector<EventLine> EventLinesOf(const Events& events, const std::vector<std::string>& logged, Unit unit)
{
    const Events shown = events.converted(unit);
    std::vector<EventLine> lines;
    lines.reserve(shown.shocks.size() + shown.freeFalls.size() + logged.size());
    for (const Shock& s : shown.shocks) {
        EventLine line;
        line.cells = {"Shock", s.time, Fixed(s.durationS, 3), AccelerationText(s.peakSum), s.face, "", ""};
        line.rows = RowRange{s.firstRow, s.lastRow};
        lines.push_back(std::move(line));
    }
    for (const FreeFall& f : shown.freeFalls) {
        EventLine line;
        const std::string height =
            Fixed(f.heightM, 3) + " (" + Fixed(f.heightMinM, 3) + " - " + Fixed(f.heightMaxM, 3) + ")";
        line.cells = {"Free fall", f.time, Fixed(f.durationS, 3), "", "", height, Fixed(f.impactSpeedMS, 2)};
        line.rows = RowRange{f.firstRow, f.lastRow};
        lines.push_back(std::move(line));
    }
    // Shocks and falls interleaved as they happened; the sort is stable, so a fall and the shock
    // that starts on the same row keep the shock first.
    std::stable_sort(lines.begin(), lines.end(),
                     [](const EventLine& a, const EventLine& b) { return a.rows->from < b.rows->from; });
    for (const std::string& text : logged) {
        EventLine line;
        line.cells = {"Logged free fall", text, "", "", "", "", ""};
        lines.push_back(std::move(line));
    }
    return lines;
}

RowRange EventZoomRows(RowRange event, std::size_t count)
{
    const std::size_t last = count - 1;
    event.to = std::min(event.to, last);
    event.from = std::min(event.from, event.to);
    const std::size_t margin = std::max(kEventMarginRows, event.size());
    return {event.from > margin ? event.from - margin : 0, std::min(last, event.to + margin)};
}

}  // namespace shakemeter::vibration
