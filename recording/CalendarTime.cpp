#include "recording/CalendarTime.h"

#include <array>
#include <cstdio>
#include <ctime>

namespace shakemeter {

namespace {

// Local fields of a time, or false when the C library cannot represent it (a year outside the
// range of int, reachable only through absurd tick counts in a damaged file).
bool LocalTm(std::int64_t seconds, std::tm& out)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    if (static_cast<std::int64_t>(t) != seconds)
        return false;
    return localtime_r(&t, &out) != nullptr;
}

// What an unrepresentable time shows: the fields of the epoch, 01/01/70 00:00:00.
std::tm EpochTm()
{
    std::tm tm{};
    tm.tm_year = 70;
    tm.tm_mon = 0;
    tm.tm_mday = 1;
    tm.tm_wday = 4;  // 1 January 1970 was a Thursday
    tm.tm_isdst = 0;
    return tm;
}

}  // namespace

CalendarTime CalendarTime::FromLocal(const CalendarFields& fields)
{
    std::tm tm{};
    tm.tm_year = fields.year - 1900;
    tm.tm_mon = fields.month - 1;
    tm.tm_mday = fields.day;
    tm.tm_hour = fields.hour;
    tm.tm_min = fields.minute;
    tm.tm_sec = fields.second;
    tm.tm_isdst = -1;  // the system decides whether daylight saving applies
    // mktime returns -1 both on failure and for 23:59:59 UTC on 31 December 1969; it fills
    // tm_wday only when it succeeds, so the sentinel tells the two apart.
    tm.tm_wday = -1;
    const std::time_t t = std::mktime(&tm);
    if (tm.tm_wday < 0)
        return CalendarTime{};  // the epoch: out-of-range fields mktime could not normalise
    CalendarTime result;
    result.m_seconds = static_cast<std::int64_t>(t);
    return result;
}

CalendarTime CalendarTime::FromSeconds(std::int64_t secondsSinceEpoch)
{
    CalendarTime result;
    result.m_seconds = secondsSinceEpoch;
    return result;
}

CalendarTime CalendarTime::Now()
{
    return FromSeconds(static_cast<std::int64_t>(std::time(nullptr)));
}

CalendarFields CalendarTime::localFields() const
{
    std::tm tm{};
    if (!LocalTm(m_seconds, tm))
        tm = EpochTm();
    CalendarFields f;
    f.year = tm.tm_year + 1900;
    f.month = tm.tm_mon + 1;
    f.day = tm.tm_mday;
    f.hour = tm.tm_hour;
    f.minute = tm.tm_min;
    f.second = tm.tm_sec;
    return f;
}

std::string CalendarTime::format(const char* pattern) const
{
    std::tm tm{};
    if (!LocalTm(m_seconds, tm))
        tm = EpochTm();
    std::array<char, 256> buffer{};
    const std::size_t n = std::strftime(buffer.data(), buffer.size(), pattern, &tm);
    return std::string(buffer.data(), n);
}

}  // namespace shakemeter
