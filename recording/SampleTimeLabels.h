#pragma once
// The time label of a position on the time axis, a tick counted in sampling intervals from the
// start: " dd/mm/yy HH:MM:SS", followed by " 150ms" when the time is no whole second, or for a
// spectrum recording " HH:MM:SS" followed by "+5/256". Every row label (the list's, the report's,
// the graph's) is made here.
//
// The local-time conversion is what a label costs. A writer converts once per local minute and
// writes the seconds into the minute's text, so a long list costs a few conversions a minute
// instead of one a row. A minute is only taken as sixty plain seconds when the clock reads second
// 0 at its start and second 59 at its end, both with the same date, hour and minute; a minute
// with a clock change, a leap second or an offset of odd seconds inside it is converted second by
// second. Each writer keeps its own text: writers on different threads share nothing.

#include <cstdint>
#include <string>

#include "recording/CalendarTime.h"

namespace shakemeter {

// A spectrum recording's rows divide a second into this many parts.
constexpr int SPECTRUM_SECOND_PARTS = 256;

class SampleTimeLabels {
public:
    SampleTimeLabels() = default;
    // Labels of ticks intervalSeconds apart from start; the spectrum form for a spectrum recording.
    SampleTimeLabels(const CalendarTime& start, bool spectrumForm, double intervalSeconds);

    // True when this writer labels ticks of exactly these settings.
    bool Describes(const CalendarTime& start, bool spectrumForm, double intervalSeconds) const;
    // Appends the label of tick to out.
    void Append(std::string& out, std::int64_t tick);
    // Drops the remembered minute: the time zone may have changed since it was converted.
    void Forget();

private:
    // The date and clock text of the second `offset` seconds after the start.
    const std::string& SecondText(std::int64_t offset);

    CalendarTime m_start;
    bool m_spectrumForm = false;
    double m_interval = 0.0;

    // m_text is the text of second m_textSecond (seconds since the epoch); every second from
    // m_first to m_last reads the same but for the seconds digits, which count from m_first.
    std::int64_t m_first = 1;
    std::int64_t m_last = 0;
    std::int64_t m_textSecond = 0;
    std::string m_text;
};

}  // namespace shakemeter
