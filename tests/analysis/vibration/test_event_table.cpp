// The event list: shocks and falls in the order they happened with their texts, the logger's own
// events after them, the unit of the peaks, and the rows a zoom onto an event shows.

#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "analysis/vibration/EventTable.h"
#include "analysis/vibration/VibrationFixtures.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::vibration;

// A shock or a fall over the given rows, labelled and lasting as given.
template <class Event>
Event EventOver(std::size_t firstRow, std::size_t lastRow, std::string time, double durationS)
{
    Event event;
    std::tie(event.firstRow, event.lastRow, event.time, event.durationS) = std::tie(firstRow, lastRow, time, durationS);
    return event;
}

TEST(EventTable, LinesInTimeOrderThenTheLoggedEvents)
{
    Events events;
    Shock late = EventOver<Shock>(50, 52, "12:00:05", 0.6);
    late.peakSum = 3.5;
    late.face = "+Z";
    events.shocks.push_back(late);
    FreeFall fall = EventOver<FreeFall>(10, 14, "12:00:01", 1.0);
    fall.heightM = 4.903325;
    fall.heightMinM = 3.1381;
    fall.heightMaxM = 7.0608;
    fall.impactSpeedMS = 9.80665;
    events.freeFalls.push_back(fall);

    const std::vector<EventLine> lines = EventLinesOf(events, {"05/03/23 14:07:09"}, Unit::G);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].cells[0], "Free fall");
    EXPECT_EQ(lines[0].cells[1], "12:00:01");
    EXPECT_EQ(lines[0].cells[5], "4.903 (3.138 - 7.061)");
    EXPECT_EQ(lines[0].cells[6], "9.81");
    ASSERT_TRUE(lines[0].rows);
    EXPECT_EQ(lines[0].rows->from, 10u);
    EXPECT_EQ(lines[1].cells[0], "Shock");
    EXPECT_EQ(lines[1].cells[3], "3.5000");
    EXPECT_EQ(lines[1].cells[4], "+Z");
    EXPECT_EQ(lines[1].rows->to, 52u);
    EXPECT_EQ(lines[2].cells[0], "Logged free fall");
    EXPECT_EQ(lines[2].cells[1], "05/03/23 14:07:09");
    EXPECT_FALSE(lines[2].rows);

    // Peaks follow the unit; heights and speeds stay in metres and m/s.
    const std::vector<EventLine> metric = EventLinesOf(events, {}, Unit::MetresPerSecondSquared);
    EXPECT_EQ(metric[1].cells[3], "34.3233");
    EXPECT_EQ(metric[0].cells[5], lines[0].cells[5]);
    EXPECT_EQ(EventColumnTitles(Unit::MetresPerSecondSquared)[3], "Peak (m/s^2)");
}

TEST(EventTable, ZoomRowsKeepAMarginWithinTheRecording)
{
    // The event's own length on each side, at least ten rows.
    EXPECT_EQ(EventZoomRows({100, 139}, 1000).from, 60u);
    EXPECT_EQ(EventZoomRows({100, 139}, 1000).to, 179u);
    EXPECT_EQ(EventZoomRows({100, 100}, 1000).from, 90u);
    EXPECT_EQ(EventZoomRows({100, 100}, 1000).to, 110u);
    // Cut at the recording's ends; an event past the end is brought back inside.
    EXPECT_EQ(EventZoomRows({3, 5}, 1000).from, 0u);
    EXPECT_EQ(EventZoomRows({995, 999}, 1000).to, 999u);
    EXPECT_EQ(EventZoomRows({2000, 2005}, 1000).to, 999u);
    EXPECT_EQ(EventZoomRows({2000, 2005}, 1000).from, 989u);
    // Levels the list accepts.
    EXPECT_TRUE(ValidEventLevel(0.0));
    EXPECT_FALSE(ValidEventLevel(-0.1));
    EXPECT_FALSE(ValidEventLevel(std::nan("")));
    EXPECT_FALSE(ValidMinFallRows(0));
}

}  // namespace
