#include "recording/RecordingHeader.h"

#include <gtest/gtest.h>

using namespace shakemeter;

TEST(RecordingHeaderStart, StampedStartLandsInTheDateBytesAndReadsBack)
{
    RecordingHeader header;
    header.byLedCycle = 7;
    StampHeaderStart(header, CalendarFields{2026, 12, 9, 23, 59, 58});
    const RecordingHeader::Bytes bytes = header.toBytes();
    EXPECT_EQ(bytes[12], 0xEA);  // 2026 little-endian
    EXPECT_EQ(bytes[13], 0x07);
    EXPECT_EQ(bytes[14], 12);
    EXPECT_EQ(bytes[15], 9);
    EXPECT_EQ(bytes[16], 23);
    EXPECT_EQ(bytes[17], 59);
    EXPECT_EQ(bytes[18], 58);
    EXPECT_EQ(bytes[19], 7) << "the stamp touches only the date and time";

    const CalendarFields start = HeaderStart(RecordingHeader::fromBytes(bytes.data()));
    EXPECT_EQ(start.year, 2026);
    EXPECT_EQ(start.month, 12);
    EXPECT_EQ(start.day, 9);
    EXPECT_EQ(start.hour, 23);
    EXPECT_EQ(start.minute, 59);
    EXPECT_EQ(start.second, 58);
}
