// The simulator's record encoding and its logger memory, checked against the bytes the link
// decodes.

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "logger/LoggerProtocol.h"
#include "test_simulator_support.h"
#include "tools/sim/LoggerMemory.h"
#include "tools/sim/SampleEncoder.h"

namespace shakemeter {
namespace {

using simtest::B;
using simtest::Bytes;
using simtest::CountAt;

TEST(SimulatorEncoder, CountsRoundToNearestSaturateAndTravelShiftedByThree)
{
    EXPECT_EQ(SampleEncoder::CountFromG(0.25), 63);  // 62.5 counts: halves away from zero
    EXPECT_EQ(SampleEncoder::CountFromG(-0.25), -63);
    EXPECT_EQ(SampleEncoder::CountFromG(25.0), 4095);
    EXPECT_EQ(SampleEncoder::CountFromG(-25.0), -4096);
    EXPECT_EQ(SampleEncoder::CountFromG(NAN), 0);
    using Pair = std::array<std::uint8_t, 2>;
    EXPECT_EQ(SampleEncoder::EncodeCount(4095), (Pair{0x7F, 0xF8}));
    EXPECT_EQ(SampleEncoder::EncodeCount(-4096), (Pair{0x80, 0x00}));
    EXPECT_EQ(SampleEncoder::EncodeCount(-1), (Pair{0xFF, 0xF8}));
    EXPECT_EQ(SampleEncoder::EncodeCount(62), (Pair{0x01, 0xF0}));
}

// A recording file's rows are hundredths of g; served back, they must download unchanged.
TEST(SimulatorEncoder, EveryHundredthOfGDownloadsAsTheSameValue)
{
    for (int hundredths = -1638; hundredths <= 1638; ++hundredths) {
        const auto bytes = SampleEncoder::EncodeCount(SampleEncoder::CountFromG(hundredths * 0.01));
        ASSERT_EQ(MilliGToG(DecodeMilliG(bytes.data())), HundredthsToG(hundredths)) << hundredths;
    }
}

// A row a logger produced (and a file saved) must download as the same four values, the vector
// sum included: the nearest counts of the axes alone lose the milli-g it was computed from.
TEST(SimulatorEncoder, RowsALoggerMadeDownloadWithTheirVectorSum)
{
    std::srand(11);
    int nearestWrong = 0;
    for (int i = 0; i < 20000; ++i) {
        const int x = std::rand() % 8192 - 4096;
        const int y = std::rand() % 1000 - 500;
        const int z = std::rand() % 600 - 300;
        const SampleRow row = RowFromMilliG(x * 4, y * 4, z * 4);
        const AxisCounts counts = SampleEncoder::CountsFromRow(row);
        const SampleRow back = RowFromMilliG(counts.x * 4, counts.y * 4, counts.z * 4);
        ASSERT_EQ(back, row) << x << " " << y << " " << z;
        const AxisCounts nearest = SampleEncoder::CountsFromG(row[0], row[1], row[2]);
        nearestWrong += RowFromMilliG(nearest.x * 4, nearest.y * 4, nearest.z * 4) != row ? 1 : 0;
    }
    EXPECT_GT(nearestWrong, 0);  // the case this is for does occur

    // A vector sum no counts can give leaves the nearest counts.
    const SampleRow impossible{1.0, 0.0, 0.0, 5.0};
    EXPECT_EQ(SampleEncoder::CountsFromRow(impossible), SampleEncoder::CountsFromG(1.0, 0.0, 0.0));
}

TEST(SimulatorEncoder, MotionRecordsCarryTheTickInBytesSixToEightAndByteOne)
{
    Bytes record;
    const std::uint32_t tick = 5u * (1u << 24) + 2u * (1u << 16) + 16u;
    SampleEncoder::AppendMotionSample(record, AxisCounts{0, 0, 250}, tick);
    EXPECT_EQ(record, B({0x00, 0x05, 0x00, 0x00, 0x07, 0xD0, 0x10, 0x00, 0x02}));
    EXPECT_EQ(DecodeTick(record.data()), static_cast<std::int32_t>(tick));

    // The tick bits share byte 1 with X without changing X's value.
    record.clear();
    SampleEncoder::AppendMotionSample(record, AxisCounts{-1, 0, 0}, kLoggerTickMax);
    EXPECT_EQ(CountAt(record, 0), -1);
    EXPECT_EQ(DecodeTick(record.data()), static_cast<std::int32_t>(kLoggerTickMax));
}

Recording loggedRecording(bool motion)
{
    Recording rec;
    rec.m_header.dwSampleCount = 3;
    rec.m_header.wFreeFallCount = 2;
    rec.m_header.wInterval = 9;  // 2 s
    rec.m_header.byMode = static_cast<std::uint8_t>((motion ? MODE_MOTION : 0) | MODE_FREEFALL);
    rec.m_header.byThresholdX = 2;
    rec.m_header.byThresholdY = 3;
    rec.m_header.byThresholdZ = 4;
    rec.m_header.wYear = 2023;
    rec.m_header.byMonth = 3;
    rec.m_header.bySecond = 9;
    rec.m_header.byLedCycle = 20;
    rec.m_pSamples = {{1.0, -2.0, 0.4, 2.27}, {0.01, -0.01, 16.38, 16.38}, {0.0, 0.25, -0.25, 0.35}};
    if (motion)
        rec.m_pSampleTicks = {0, 5, 134217727};
    rec.m_pFreeFallEvents = {"05/03/23 14:07:10", "31/12/99 23:59:59"};
    return rec;
}

TEST(SimulatorMemory, HeaderReplyOfARecordingCountsBytesAndEventsAndKeepsTheRest)
{
    std::string error;
    const auto memory = LoggerMemory::FromRecording(loggedRecording(false), error);
    ASSERT_TRUE(memory) << error;
    const HeaderBlock reply = memory->HeaderReply();
    const HeaderBlock expected{18, 0, 0, 0, 2, 0, 9, 0, MODE_FREEFALL, 2, 3, 4, 0xE7, 0x07, 3, 0, 0, 0, 9, 20, 0, 0};
    EXPECT_EQ(reply, expected);

    const Bytes& samples = memory->SampleStream();
    ASSERT_EQ(samples.size(), 18u);
    EXPECT_EQ(DecodeMemorySample(&samples[0]),
              (SampleRow{HundredthsToG(100), HundredthsToG(-200), HundredthsToG(40), HundredthsToG(227)}));
    EXPECT_EQ(DecodeMemorySample(&samples[6]),
              (SampleRow{HundredthsToG(1), HundredthsToG(-1), HundredthsToG(1638), HundredthsToG(1638)}));
    EXPECT_EQ(memory->EventStream(), B({23, 3, 5, 14, 7, 10, 99, 12, 31, 23, 59, 59}));
}

TEST(SimulatorMemory, MotionRecordingsServeTheirTicks)
{
    std::string error;
    const auto memory = LoggerMemory::FromRecording(loggedRecording(true), error);
    ASSERT_TRUE(memory) << error;
    const Bytes& samples = memory->SampleStream();
    ASSERT_EQ(samples.size(), 27u);
    EXPECT_EQ(memory->HeaderReply()[8], MODE_MOTION | MODE_FREEFALL);
    EXPECT_EQ(DecodeTick(&samples[0]), 0);
    EXPECT_EQ(DecodeTick(&samples[9]), 5);
    EXPECT_EQ(DecodeTick(&samples[18]), 134217727);
    EXPECT_EQ(DecodeMemorySample(&samples[18]),
              (SampleRow{HundredthsToG(0), HundredthsToG(25), HundredthsToG(-25), HundredthsToG(35)}));
}

TEST(SimulatorMemory, RefusesWhatNoLoggerCouldHaveStored)
{
    std::string error;
    for (std::int32_t tick : {-1, 134217728}) {
        Recording rec = loggedRecording(true);
        rec.m_pSampleTicks[1] = tick;
        EXPECT_FALSE(LoggerMemory::FromRecording(rec, error)) << tick;
        EXPECT_NE(error.find("27 bits"), std::string::npos);
    }
    Recording rec = loggedRecording(true);
    rec.m_pSampleTicks.resize(2);
    EXPECT_FALSE(LoggerMemory::FromRecording(rec, error));

    rec = loggedRecording(false);
    rec.m_pFreeFallEvents[1] = "31/02/23 10:00:00";
    EXPECT_FALSE(LoggerMemory::FromRecording(rec, error));
    EXPECT_NE(error.find("31/02/23"), std::string::npos);

    rec = loggedRecording(false);
    rec.m_header.wInterval = 0;  // a spectrum capture
    EXPECT_FALSE(LoggerMemory::FromRecording(rec, error));
}

TEST(SimulatorMemory, LiveRecordingsGetAnIntervalCodeInsteadOfMilliseconds)
{
    std::string error;
    Recording rec = loggedRecording(false);
    rec.m_bRealTime = 1;
    const std::pair<int, int> cases[] = {{500, 500 * 4 + RATE_UNIT_MS},
                                         {1000, 1 * 4 + RATE_UNIT_SECOND},
                                         {10000, 10 * 4 + RATE_UNIT_SECOND},
                                         {60000, 1 * 4 + RATE_UNIT_MINUTE}};
    for (const auto& [ms, code] : cases) {
        rec.m_header.wInterval = static_cast<std::uint16_t>(ms);
        const auto memory = LoggerMemory::FromRecording(rec, error);
        ASSERT_TRUE(memory) << error;
        EXPECT_EQ(memory->Header().wInterval, code) << ms;
    }
    rec.m_header.wInterval = 20001;  // neither whole seconds nor within 14 bits of milliseconds
    EXPECT_FALSE(LoggerMemory::FromRecording(rec, error));
}

TEST(SimulatorMemory, GeneratedMotionMemoryHasGapsInItsTicks)
{
    GeneratedMemorySettings settings;
    settings.samples = 200;
    settings.motion = true;
    const LoggerMemory memory = LoggerMemory::Generate(settings);
    ASSERT_EQ(memory.DataBytes(), 200u * 9u);
    EXPECT_EQ(memory.HeaderReply()[8] & MODE_MOTION, MODE_MOTION);
    int gaps = 0;
    for (std::size_t k = 1; k < 200; ++k) {
        const int step = DecodeTick(&memory.SampleStream()[k * 9]) - DecodeTick(&memory.SampleStream()[(k - 1) * 9]);
        ASSERT_GE(step, 1) << k;
        gaps += step > 1;
    }
    EXPECT_GT(gaps, 0);
}

TEST(SimulatorMemory, GeneratedEventsAreDistinctDatesWithinTheRun)
{
    GeneratedMemorySettings settings;
    settings.samples = 1000;  // 50 s at 50 ms
    settings.events = 4;
    settings.start = CalendarFields{2023, 12, 31, 23, 59, 40};
    const LoggerMemory memory = LoggerMemory::Generate(settings);
    ASSERT_EQ(memory.EventCount(), 4);
    EXPECT_EQ(memory.HeaderReply()[8] & MODE_FREEFALL, MODE_FREEFALL);
    // 10, 20, 30 and 40 s after the start, across the new year.
    EXPECT_EQ(memory.EventStream(),
              B({23, 12, 31, 23, 59, 50, 24, 1, 1, 0, 0, 0, 24, 1, 1, 0, 0, 10, 24, 1, 1, 0, 0, 20}));
}

}  // namespace
}  // namespace shakemeter
