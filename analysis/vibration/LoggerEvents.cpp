#include "analysis/vibration/LoggerEvents.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "analysis/vibration/TimeRows.h"
#include "recording/CalendarTime.h"

namespace shakemeter::vibration {

namespace {

// "%d/%m/%y %H:%M:%S", the logger's two-digit years being this century's.
std::optional<CalendarFields> ParseEventTime(const std::string& text)
{
    CalendarFields fields;
    int year = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%d/%d/%d %d:%d:%d%c", &fields.day, &fields.month, &year, &fields.hour,
                    &fields.minute, &fields.second, &rest) != 6)
        return std::nullopt;
    if (year < 0 || year > 99 || fields.month < 1 || fields.month > 12 || fields.day < 1 || fields.day > 31 ||
        fields.hour < 0 || fields.hour > 23 || fields.minute < 0 || fields.minute > 59 || fields.second < 0 ||
        fields.second > 59)
        return std::nullopt;
    fields.year = 2000 + year;
    return fields;
}

}  // namespace

std::vector<std::size_t> LoggerEventRows(const Recording& recording)
{
    std::vector<std::size_t> rows;
    const TimeRows time = TimeRowsOf(recording);
    if (time.count == 0 || !(time.dt > 0.0))
        return rows;
    const std::int64_t start = CalendarTime::FromLocal(HeaderStart(recording.m_header)).seconds();
    for (const std::string& text : recording.m_pFreeFallEvents) {
        const std::optional<CalendarFields> fields = ParseEventTime(text);
        if (!fields)
            continue;
        const std::int64_t after = CalendarTime::FromLocal(*fields).seconds() - start;
        if (after < 0)
            continue;
        // The first row whose tick reaches the event's tick; ticks only grow.
        const auto tick = static_cast<std::int64_t>(std::ceil(static_cast<double>(after) / time.dt - 1e-9));
        std::size_t lo = 0;
        std::size_t hi = time.count;
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (time.tick(mid) < tick)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo < time.count)
            rows.push_back(lo);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

}  // namespace shakemeter::vibration
