#include "recording/SampleTimeLabels.h"

#include <algorithm>
#include <cmath>

#include "recording/FixedText.h"

namespace shakemeter {

namespace {

// Beyond this many seconds (about three billion years) no clock can show the time anyway; keeping
// the offset below it keeps the conversion to an integer defined for absurd ticks.
constexpr double kMaxOffsetSeconds = 1e17;
// Limits within which a tick times an interval in milliseconds fits a 64-bit integer.
constexpr double kMaxExactIntervalMs = 1e11;
constexpr std::int64_t kMaxExactTick = std::int64_t{1} << 32;

bool SameMinute(const CalendarFields& a, const CalendarFields& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute;
}

CalendarFields FieldsAt(std::int64_t seconds)
{
    return CalendarTime::FromSeconds(seconds).localFields();
}

}  // namespace

SampleTimeLabels::SampleTimeLabels(const CalendarTime& start, bool spectrumForm, double intervalSeconds)
    : m_start(start), m_spectrumForm(spectrumForm), m_interval(intervalSeconds)
{
}

bool SampleTimeLabels::Describes(const CalendarTime& start, bool spectrumForm, double intervalSeconds) const
{
    return m_start == start && m_spectrumForm == spectrumForm && m_interval == intervalSeconds;
}

void SampleTimeLabels::Forget()
{
    m_first = 1;
    m_last = 0;
}

const std::string& SampleTimeLabels::SecondText(std::int64_t offset)
{
    const std::int64_t t = m_start.seconds() + offset;
    if (t >= m_first && t <= m_last) {
        if (t != m_textSecond) {
            // Only a whole minute spans more than one second, and it starts at second 0.
            const int s = static_cast<int>(t - m_first);
            m_text[m_text.size() - 2] = static_cast<char>('0' + s / 10);
            m_text[m_text.size() - 1] = static_cast<char>('0' + s % 10);
            m_textSecond = t;
        }
        return m_text;
    }

    const CalendarTime time = CalendarTime::FromSeconds(t);
    m_text = time.format(m_spectrumForm ? " %H:%M:%S" : " %d/%m/%y %H:%M:%S");
    m_textSecond = t;
    m_first = t;
    m_last = t;
    const CalendarFields here = time.localFields();
    if (here.second >= 0 && here.second <= 59) {
        const std::int64_t minuteStart = t - here.second;
        const CalendarFields first = FieldsAt(minuteStart);
        const CalendarFields last = FieldsAt(minuteStart + 59);
        if (first.second == 0 && last.second == 59 && SameMinute(first, here) && SameMinute(last, here)) {
            m_first = minuteStart;
            m_last = minuteStart + 59;
        }
    }
    return m_text;
}

void SampleTimeLabels::Append(std::string& out, std::int64_t tick)
{
    char buffer[48];
    if (m_spectrumForm) {
        // A tick before the start names the earlier second plus a positive fraction of it.
        std::int64_t s = tick / SPECTRUM_SECOND_PARTS;
        std::int64_t r = tick - s * SPECTRUM_SECOND_PARTS;
        if (r < 0) {
            r += SPECTRUM_SECOND_PARTS;
            --s;
        }
        out += SecondText(s);
        if (r != 0) {
            char* p = buffer;
            *p++ = '+';
            p = WriteDecimal(p, r);
            *p++ = '/';
            p = WriteDecimal(p, SPECTRUM_SECOND_PARTS);
            out.append(buffer, p);
        }
        return;
    }

    // Every interval is a whole number of milliseconds. Counting in integers keeps labels exact:
    // in floating point 15 x 0.053 s comes out as 0.79499... s and would be labelled 794ms.
    std::int64_t s = 0;
    std::int64_t ms = 0;
    const double intervalMs = m_interval * 1000;
    const double wholeMs = std::nearbyint(intervalMs);
    if (std::fabs(intervalMs - wholeMs) < 1e-6 && std::fabs(wholeMs) < kMaxExactIntervalMs && tick > -kMaxExactTick &&
        tick < kMaxExactTick) {
        const std::int64_t interval = static_cast<std::int64_t>(wholeMs);
        const std::int64_t fraction = tick * (interval % 1000);
        s = tick * (interval / 1000) + fraction / 1000;
        ms = fraction % 1000;
        // Before the start the time lies in the earlier second: -0.795 s reads as that second
        // and 205ms, never as a negative millisecond count.
        if (ms < 0) {
            ms += 1000;
            --s;
        }
    } else {
        // Flooring, not truncating, keeps the millisecond part of a time before the start
        // positive, as in the integer path.
        const double x = static_cast<double>(tick) * m_interval;
        const double whole = std::clamp(std::floor(x), -kMaxOffsetSeconds, kMaxOffsetSeconds);
        const double rest = std::trunc(x * 1000 - whole * 1000);
        s = static_cast<std::int64_t>(whole);
        ms = std::isfinite(rest) && std::fabs(rest) < 1000 ? static_cast<std::int64_t>(rest) : 0;
    }
    out += SecondText(s);
    if (ms != 0) {
        char* end = WriteDecimal(buffer + 1, ms);
        buffer[0] = ' ';
        end[0] = 'm';
        end[1] = 's';
        out.append(buffer, end + 2);
    }
}

}  // namespace shakemeter
