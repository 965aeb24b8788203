// Start times from header fields and the time label of a row.

#include <gtest/gtest.h>

#include <climits>

#include "recording/CalendarTime.h"
#include "test_summary_fixtures.h"

namespace shakemeter {
namespace {

using namespace testing;

constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";
constexpr const char* kDateTime = "%d/%m/%y %H:%M:%S";

std::string LocalText(CalendarFields f)
{
    return CalendarTime::FromLocal(f).format(kDateTime);
}

TEST(CalendarTimeTest, DaylightSavingIsDecidedByTheZone)
{
    ScopedTimeZone zone(kBerlin);
    const CalendarTime winter = CalendarTime::FromLocal({2023, 1, 15, 12, 0, 0});
    const CalendarTime summer = CalendarTime::FromLocal({2023, 7, 15, 12, 0, 0});
    // 12:00 local is 11:00 UTC in winter and 10:00 UTC in summer.
    EXPECT_EQ(winter.seconds() % 86400, 11 * 3600);
    EXPECT_EQ(summer.seconds() % 86400, 10 * 3600);
    EXPECT_EQ(summer.format(kDateTime), "15/07/23 12:00:00");
    const CalendarFields f = summer.localFields();
    EXPECT_EQ(f.year, 2023);
    EXPECT_EQ(f.month, 7);
    EXPECT_EQ(f.hour, 12);
}

TEST(CalendarTimeTest, OutOfRangeFieldsAreNormalisedNotRefused)
{
    ScopedTimeZone zone("UTC0");
    EXPECT_EQ(LocalText({2023, 13, 1, 0, 0, 0}), "01/01/24 00:00:00");
    EXPECT_EQ(LocalText({2023, 0, 1, 0, 0, 0}), "01/12/22 00:00:00");
    EXPECT_EQ(LocalText({2023, 1, 32, 0, 0, 0}), "01/02/23 00:00:00");
    EXPECT_EQ(LocalText({2023, 1, 1, 25, 0, 0}), "02/01/23 01:00:00");
    EXPECT_EQ(LocalText({2023, 3, 0, 0, 0, 0}), "28/02/23 00:00:00");
    // Year 0 and every byte field at its maximum still give a time that formats.
    EXPECT_EQ(LocalText({0, 1, 1, 0, 0, 0}).size(), 17u);
    EXPECT_FALSE(LocalText({65535, 255, 255, 255, 255, 255}).empty());
    // One second before the epoch is a real time, not mktime's failure value.
    EXPECT_EQ(CalendarTime::FromLocal({1969, 12, 31, 23, 59, 59}).seconds(), -1);
}

TEST(CalendarTimeTest, TimesBeyondTheCalendarFallBackToTheEpochText)
{
    ScopedTimeZone zone("UTC0");
    const CalendarTime far = CalendarTime::FromSeconds(INT64_MAX / 2);
    EXPECT_EQ(far.format(kDateTime), "01/01/70 00:00:00");
    EXPECT_EQ(far.localFields().year, 1970);
}

TEST(SampleTimeTest, LoggedIntervalsLabelRowsFromTheStart)
{
    ScopedTimeZone zone(kBerlin);
    // 200 = 50 ms: row 3 lies 150 ms after the start, row 20 exactly one second after it.
    Shown fifty(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), FlatRows(40)));
    EXPECT_DOUBLE_EQ(fifty.view.m_dInterval, 0.05);
    EXPECT_EQ(fifty.label(0), " 05/03/23 14:07:09");
    EXPECT_EQ(fifty.label(3), " 05/03/23 14:07:09 150ms");
    EXPECT_EQ(fifty.label(10), " 05/03/23 14:07:09 500ms");
    EXPECT_EQ(fifty.label(20), " 05/03/23 14:07:10");

    // 53 ms: row 15 lies 795 ms after the start, row 19 at 1.007 s; floating-point
    // truncation would make them 794ms and 6ms.
    Shown odd(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 53 * 4), FlatRows(20)));
    EXPECT_EQ(odd.label(15), " 05/03/23 14:07:09 795ms");
    EXPECT_EQ(odd.label(19), " 05/03/23 14:07:10 7ms");

    // Code 6 = one minute.
    Shown minutes(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 6), FlatRows(3)));
    EXPECT_DOUBLE_EQ(minutes.view.m_dInterval, 60.0);
    EXPECT_EQ(minutes.label(2), " 05/03/23 14:09:09");

    // Code 23 = five hours: the label crosses midnight into the next date.
    Shown hours(MakeRecording(HeaderAt(2023, 3, 5, 22, 0, 0, 23), FlatRows(2)));
    EXPECT_EQ(hours.label(1), " 06/03/23 03:00:00");
}

TEST(SampleTimeTest, MotionTicksPlaceRowsOnTheTimeAxis)
{
    ScopedTimeZone zone(kBerlin);
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 5), FlatRows(3), {0, 5, 6}));
    EXPECT_EQ(shown.label(0), " 05/03/23 14:07:09");
    EXPECT_EQ(shown.label(1), " 05/03/23 14:07:14");
    EXPECT_EQ(shown.label(2), " 05/03/23 14:07:15");
}

TEST(SampleTimeTest, RealTimeIntervalIsMilliseconds)
{
    ScopedTimeZone zone(kBerlin);
    // 500 read as an interval code would be 125 minutes; a real-time recording means 500 ms.
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 500), FlatRows(3), {}, true));
    EXPECT_DOUBLE_EQ(shown.view.m_dInterval, 0.5);
    EXPECT_EQ(shown.label(1), " 05/03/23 14:07:09 500ms");
    EXPECT_EQ(shown.label(2), " 05/03/23 14:07:10");
}

TEST(SampleTimeTest, SpectrumRowsCountFractionsOf256)
{
    ScopedTimeZone zone(kBerlin);
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 0), FlatRows(256)));
    EXPECT_DOUBLE_EQ(shown.view.m_dInterval, 1.0 / 256.0);
    EXPECT_EQ(shown.label(0), " 14:07:09");
    EXPECT_EQ(shown.label(5), " 14:07:09+5/256");
    EXPECT_EQ(shown.label(255), " 14:07:09+255/256");
}

std::string TickText(const RecordingView& view, std::int64_t tick)
{
    std::string text;
    view.AppendTickTime(text, tick);
    return text;
}

TEST(SampleTimeTest, TicksBeforeTheStartReadAsTheEarlierSecondPlusAFraction)
{
    ScopedTimeZone zone("UTC0");
    // 795 ms a tick: tick -1 lies 0.795 s before 14:07:09, i.e. 205 ms into 14:07:08.
    Shown motion(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 795 * 4), FlatRows(3), {0, -1, -2}));
    EXPECT_EQ(motion.label(1), " 05/03/23 14:07:08 205ms");
    EXPECT_EQ(motion.label(2), " 05/03/23 14:07:07 410ms");
    // 53 ms: -1001 ticks is 53.053 s before the start, across a minute and in whole milliseconds.
    Shown odd(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 53 * 4), FlatRows(1)));
    EXPECT_EQ(TickText(odd.view, -15), " 05/03/23 14:07:08 205ms");
    EXPECT_EQ(TickText(odd.view, -1001), " 05/03/23 14:06:15 947ms");

    // Exactly whole seconds before the start carry no millisecond part.
    Shown half(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 500), FlatRows(1), {}, true));
    EXPECT_EQ(TickText(half.view, -1), " 05/03/23 14:07:08 500ms");
    EXPECT_EQ(TickText(half.view, -2), " 05/03/23 14:07:08");
    EXPECT_EQ(TickText(half.view, -120), " 05/03/23 14:06:09");
    // Ticks too far out for exact integer counting take the floating-point way, with the same
    // reading: 2147483648.5 s before the start.
    EXPECT_EQ(TickText(half.view, -(std::int64_t{1} << 32) - 1), " 15/02/55 10:53:00 500ms");
    EXPECT_EQ(TickText(half.view, (std::int64_t{1} << 32) + 1), " 23/03/91 17:21:17 500ms");

    // An interval that is no whole number of milliseconds takes the floating-point way too.
    half.view.m_dInterval = 0.0125;
    EXPECT_EQ(TickText(half.view, -1), " 05/03/23 14:07:08 987ms");
    EXPECT_EQ(TickText(half.view, -80), " 05/03/23 14:07:08");
    EXPECT_EQ(TickText(half.view, 1), " 05/03/23 14:07:09 12ms");

    // Spectrum rows: the fraction of 256 stays within 0..255 and the second is the earlier one.
    Shown spectrum(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 0), FlatRows(256)));
    EXPECT_EQ(TickText(spectrum.view, -1), " 14:07:08+255/256");
    EXPECT_EQ(TickText(spectrum.view, -256), " 14:07:08");
    EXPECT_EQ(TickText(spectrum.view, -257), " 14:07:07+255/256");
    EXPECT_EQ(TickText(spectrum.view, 257), " 14:07:10+1/256");
}

TEST(SampleTimeTest, LabelsFollowTheLocalClockAcrossDaylightSavingChanges)
{
    ScopedTimeZone zone(kBerlin);
    // 26 March 2023: clocks jump from 02:00 to 03:00.
    Shown spring(MakeRecording(HeaderAt(2023, 3, 26, 1, 59, 58, 5), FlatRows(4)));
    EXPECT_EQ(spring.label(1), " 26/03/23 01:59:59");
    EXPECT_EQ(spring.label(2), " 26/03/23 03:00:00");
    // 29 October 2023: 03:00 falls back to 02:00.
    Shown autumn(MakeRecording(HeaderAt(2023, 10, 29, 2, 59, 59, 5), FlatRows(3)));
    const std::string second = autumn.label(1);
    EXPECT_TRUE(second == " 29/10/23 02:00:00" || second == " 29/10/23 03:00:00") << second;
}

TEST(SampleTimeTest, RemembersOnlyTheTextNotTheQuestion)
{
    ScopedTimeZone zone(kBerlin);
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), FlatRows(100)));
    std::vector<std::string> forward;
    for (int k = 0; k < 100; ++k)
        forward.push_back(shown.label(k));
    // Asked backwards and out of order, every row still gets its own second.
    for (int k = 99; k >= 0; k -= 7)
        EXPECT_EQ(shown.label(k), forward[k]) << k;
    EXPECT_EQ(forward[99], " 05/03/23 14:07:13 950ms");

    // After a refresh in another zone the labels change with it.
    {
        ScopedTimeZone utc("UTC0");
        shown.view.RefreshSummary(shown.document);
        EXPECT_EQ(shown.label(20), " 05/03/23 14:07:10");
    }
    shown.view.m_recHeader.byHour = 15;
    shown.view.RefreshSummary(shown.document);
    EXPECT_EQ(shown.label(20), " 05/03/23 15:07:10");
}

TEST(SampleTimeTest, AStartTimeSetWithoutARefreshIsUsedAtOnce)
{
    ScopedTimeZone zone(kBerlin);
    // An earlier recording labelled its rows, as the summary and the graph do.
    Shown shown(MakeRecording(HeaderAt(2020, 1, 1, 10, 0, 0, 200), FlatRows(20)));
    EXPECT_EQ(shown.label(10), " 01/01/20 10:00:00 500ms");
    // A real-time reading sets its own start directly and labels its first rows.
    shown.view.m_timeStart = CalendarTime::FromLocal({2023, 3, 5, 14, 7, 9});
    EXPECT_EQ(shown.label(10), " 05/03/23 14:07:09 500ms");
    EXPECT_EQ(shown.label(0), " 05/03/23 14:07:09");
}

TEST(SampleTimeTest, DamagedHeadersAndTicksNeverCrash)
{
    ScopedTimeZone zone(kBerlin);
    // Month 0, day 32, hour 25: normalised like the C library does.
    Shown damaged(MakeRecording(HeaderAt(2023, 0, 32, 25, 61, 61, 5), FlatRows(2)));
    EXPECT_EQ(damaged.view.m_summary.startTime, "02/01/23 02:02:01");
    EXPECT_EQ(damaged.label(1), " 02/01/23 02:02:02");

    Shown yearZero(MakeRecording(HeaderAt(0, 0, 0, 0, 0, 0, 5), FlatRows(1)));
    EXPECT_EQ(yearZero.view.m_summary.startTime.size(), 17u);

    // The largest tick at the longest interval lies far beyond any calendar.
    const std::uint16_t hoursCode = static_cast<std::uint16_t>((16383 << 2) | 3);
    Shown far(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, hoursCode), FlatRows(2), {0, INT32_MAX}));
    EXPECT_EQ(far.label(1), " 01/01/70 00:00:00");
    Shown negative(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 5), FlatRows(2), {0, -1}));
    EXPECT_EQ(negative.label(1), " 05/03/23 14:07:08");
}

}  // namespace
}  // namespace shakemeter
