#include <gtest/gtest.h>

#include "analysis/vibration/LoggerEvents.h"
#include "analysis/vibration/VibrationFixtures.h"

namespace shakemeter::vibration {
namespace {

using namespace shakemeter::testing;

// One second a row from 5 March 2023 14:07:09: an event stands at the row sampled at its second
// or the first one after it; events outside the rows or unreadable ones are left out.
TEST(LoggerEventRows, EventsStandAtTheirSecondsRow)
{
    Recording r = LoggedRecording(FlatRows(100, 1.0), 1 * 4 + RATE_UNIT_SECOND);
    r.m_pFreeFallEvents = {"05/03/23 14:07:19", "05/03/23 14:07:09", "05/03/23 14:07:08", "05/03/23 14:08:49",
                           "05/03/23 14:08:48", "garbage",           "32/03/23 14:07:19"};
    EXPECT_EQ(LoggerEventRows(r), (std::vector<std::size_t>{0, 10, 99}));
}

// At 50 ms a second is twenty rows; with motion ticks the event lands on the first row whose
// tick reaches its time, even across a gap.
TEST(LoggerEventRows, IntervalAndTicksPlaceTheRow)
{
    Recording fast = LoggedRecording(FlatRows(400, 1.0));
    fast.m_pFreeFallEvents = {"05/03/23 14:07:12"};
    EXPECT_EQ(LoggerEventRows(fast), (std::vector<std::size_t>{60}));

    Recording motion = LoggedRecording(FlatRows(4, 1.0), 1 * 4 + RATE_UNIT_SECOND, {0, 1, 5, 9});
    motion.m_pFreeFallEvents = {"05/03/23 14:07:15", "05/03/23 14:07:19"};
    EXPECT_EQ(LoggerEventRows(motion), (std::vector<std::size_t>{3}));
}

}  // namespace
}  // namespace shakemeter::vibration
