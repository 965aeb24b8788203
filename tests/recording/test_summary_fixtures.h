#pragma once
// Small builders shared by the summary, sample-time and text-report tests.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "recording/Recording.h"
#include "recording/RecordingView.h"

namespace shakemeter::testing {

// Sets TZ for one test and puts the previous value back afterwards.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone()
    {
        if (m_old)
            setenv("TZ", m_old->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> m_old;
};

// A header starting at the given local time.
inline RecordingHeader HeaderAt(int year, int month, int day, int hour, int minute, int second,
    std::uint16_t interval)
{
    RecordingHeader h;
    h.wInterval = interval;
    h.wYear = static_cast<std::uint16_t>(year);
    h.byMonth = static_cast<std::uint8_t>(month);
    h.byDay = static_cast<std::uint8_t>(day);
    h.byHour = static_cast<std::uint8_t>(hour);
    h.byMinute = static_cast<std::uint8_t>(minute);
    h.bySecond = static_cast<std::uint8_t>(second);
    return h;
}

inline Recording MakeRecording(RecordingHeader header, std::vector<SampleRow> rows,
    std::vector<std::int32_t> ticks = {}, bool realTime = false)
{
    Recording r;
    header.dwSampleCount = static_cast<std::uint32_t>(rows.size());
    if (!ticks.empty())
        header.byMode |= MODE_MOTION;
    r.m_header = header;
    r.m_pSamples = std::move(rows);
    r.m_pSampleTicks = std::move(ticks);
    r.m_bRealTime = realTime ? 1 : 0;
    return r;
}

// Rows whose values are all v.
inline std::vector<SampleRow> FlatRows(std::size_t count, double v = 0.0)
{
    return std::vector<SampleRow>(count, SampleRow{v, v, v, v});
}

// The document and the view, with a recording installed the way a complete producer does it.
struct Shown {
    Recording document;
    RecordingView view;

    explicit Shown(Recording fresh, bool frequencyMode = false)
    {
        view.SetFrequencyMode(frequencyMode);
        InstallCompleteRecording(document, view, std::move(fresh));
    }
    std::string label(int k) const { return view.FormatSampleTime(document, k); }
};

}  // namespace shakemeter::testing
