#pragma once
// A local wall-clock time in whole seconds, built from calendar fields with the daylight-saving
// rule decided by the system (as mktime with tm_isdst = -1). Out-of-range fields (month 13,
// day 32, hour 25, year 0) are normalised by the C library instead of being refused, so a
// damaged header can never crash a formatter. Should the C library still fail (mktime cannot
// represent the result, or a time is too far out for localtime), the epoch stands in: FromLocal
// gives 1970-01-01 00:00:00 UTC and an unrepresentable time formats as 01/01/70 00:00:00.

#include <cstdint>
#include <ctime>
#include <string>

namespace shakemeter {

struct CalendarFields {
    int year = 1970;  // full year
    int month = 1;    // 1..12
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class CalendarTime {
public:
    CalendarTime() = default;
    static CalendarTime FromLocal(const CalendarFields& fields);
    static CalendarTime FromSeconds(std::int64_t secondsSinceEpoch);
    static CalendarTime Now();

    std::int64_t seconds() const { return m_seconds; }
    CalendarTime plusSeconds(std::int64_t s) const { return FromSeconds(m_seconds + s); }
    CalendarFields localFields() const;
    // strftime-style formatting of the local time ("%d/%m/%y %H:%M:%S" and the like).
    std::string format(const char* pattern) const;

    bool operator==(const CalendarTime&) const = default;

private:
    std::int64_t m_seconds = 0;
};

}  // namespace shakemeter
