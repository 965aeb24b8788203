#include "recording/RecordingHeader.h"

#include <gtest/gtest.h>

#include <vector>

using namespace shakemeter;

TEST(RecordingHeaderStart, StampedStartLandsInTheDateBytesAndReadsBack)
{
    RecordingHeader header;
    header.byLedCycle = 7;
    StampHeaderStart(header, CalendarFields{2026, 12, 9, 23, 59, 58});
    const RecordingHeader::Bytes bytes = header.ToBytes();
    // 2026 little-endian, then month, day, hour, minute, second; the LED cycle after them is kept.
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 12, bytes.begin() + 20),
              (std::vector<std::uint8_t>{0xEA, 0x07, 12, 9, 23, 59, 58, 7}));

    const CalendarFields start = HeaderStart(RecordingHeader::FromBytes(bytes.data()));
    EXPECT_EQ((std::vector<int>{start.year, start.month, start.day, start.hour, start.minute, start.second}),
              (std::vector<int>{2026, 12, 9, 23, 59, 58}));
}
