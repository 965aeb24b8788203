// Row labels written from a remembered minute against the clock's own text of every second.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "ScopedTimeZone.h"
#include "recording/SampleTimeLabels.h"

namespace shakemeter {
namespace {

using testing::ScopedTimeZone;

constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";

std::string ClockText(const CalendarTime& start, std::int64_t second)
{
    return start.plusSeconds(second).format(" %d/%m/%y %H:%M:%S");
}

// Labels every second of [0, seconds) at one second a tick, forwards, backwards and in a random
// order, each way with a fresh writer, and expects the clock's own text every time.
void ExpectEverySecondAsTheClock(const CalendarTime& start, int seconds)
{
    std::vector<std::int64_t> forward(static_cast<std::size_t>(seconds));
    for (int i = 0; i < seconds; ++i)
        forward[static_cast<std::size_t>(i)] = i;
    std::vector<std::int64_t> backward(forward.rbegin(), forward.rend());
    std::vector<std::int64_t> shuffled = forward;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    for (const std::vector<std::int64_t>* order : {&forward, &backward, &shuffled}) {
        SampleTimeLabels labels(start, false, 1.0);
        for (std::int64_t tick : *order) {
            std::string text;
            labels.Append(text, tick);
            ASSERT_EQ(text, ClockText(start, tick)) << "second " << tick;
        }
    }
}

TEST(SampleTimeLabelsTest, EverySecondReadsAsTheClockAcrossChangesOfDateAndZone)
{
    ScopedTimeZone zone(kBerlin);
    // Midnight, a month end and a year end at once.
    ExpectEverySecondAsTheClock(CalendarTime::FromLocal({2023, 12, 31, 23, 57, 30}), 300);
    // 26 March 2023: 02:00 jumps to 03:00.
    ExpectEverySecondAsTheClock(CalendarTime::FromLocal({2023, 3, 26, 1, 58, 30}), 240);
    // 29 October 2023: the hour from 02:00 to 03:00 runs twice.
    ExpectEverySecondAsTheClock(CalendarTime::FromLocal({2023, 10, 29, 1, 59, 0}), 2 * 3600 + 180);
}

TEST(SampleTimeLabelsTest, AChangeByOddSecondsSplitsItsMinute)
{
    // Offsets of 0:19:32 and 0:20:00: the clock jumps 28 seconds forward at midnight, so the
    // minute after it starts at second 28; on the way back the day's last minute runs on from
    // second 32 a second time.
    ScopedTimeZone zone("LMT-0:19:32NST-0:20,J182/0,J300/0");
    const CalendarTime beforeJump = CalendarTime::FromLocal({2023, 6, 30, 23, 58, 0});
    ASSERT_EQ(ClockText(beforeJump, 120), " 01/07/23 00:00:28");
    ExpectEverySecondAsTheClock(beforeJump, 240);
    const CalendarTime beforeReturn = CalendarTime::FromLocal({2023, 10, 26, 23, 58, 0});
    ASSERT_EQ(ClockText(beforeReturn, 120), " 26/10/23 23:59:32");
    ExpectEverySecondAsTheClock(beforeReturn, 240);
}

TEST(SampleTimeLabelsTest, ALeapSecondKeepsItsSixtiethSecond)
{
    if (!std::filesystem::exists("/usr/share/zoneinfo/right/UTC"))
        GTEST_SKIP() << "no zone with leap seconds installed";
    ScopedTimeZone zone(":right/UTC");
    const CalendarTime start = CalendarTime::FromLocal({2016, 12, 31, 23, 58, 0});
    ASSERT_EQ(ClockText(start, 120), " 31/12/16 23:59:60");
    ExpectEverySecondAsTheClock(start, 240);
}

TEST(SampleTimeLabelsTest, WritersForgetTheirMinuteAndKeepTheirOwnText)
{
    ScopedTimeZone zone(kBerlin);
    const CalendarTime start = CalendarTime::FromLocal({2023, 3, 5, 14, 7, 9});
    SampleTimeLabels labels(start, false, 0.05);
    std::string text;
    labels.Append(text, 21);
    EXPECT_EQ(text, " 05/03/23 14:07:10 50ms");

    // A copy goes on with its own text, whatever the original labels meanwhile.
    SampleTimeLabels copy = labels;
    text.clear();
    labels.Append(text, 1200);
    copy.Append(text, 40);
    EXPECT_EQ(text, " 05/03/23 14:08:09 05/03/23 14:07:11");

    // In another zone a forgotten minute is converted again.
    ScopedTimeZone utc("UTC0");
    labels.Forget();
    text.clear();
    labels.Append(text, 1201);
    EXPECT_EQ(text, " 05/03/23 13:08:09 50ms");
}

}  // namespace
}  // namespace shakemeter
