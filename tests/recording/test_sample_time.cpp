// Start times from header fields and the time label of a row.

#include <gtest/gtest.h>

#include <climits>

#include "recording/CalendarTime.h"
#include "test_summary_fixtures.h"

namespace shakemeter {
namespace {

using testing::FlatRows;
using testing::HeaderAt;
using testing::MakeRecording;
using testing::ScopedTimeZone;
using testing::Shown;

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
