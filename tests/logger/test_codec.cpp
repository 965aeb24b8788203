// The wire codec: command byte orders, header block, sample/tick/event records, g conversion.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "ScopedTimeZone.h"
#include "logger/LoggerProtocol.h"

namespace shakemeter {
namespace {

std::string Hundredths(double g)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", g);
    return text;
}

// Two wire bytes carrying a count in their upper 13 bits (the low 3 bits set to `noise`).
std::vector<std::uint8_t> CountBytes(int counts, int noise = 0)
{
    const auto word = static_cast<std::uint16_t>((counts * 8) | noise);
    return {static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word & 0xFF)};
}

TEST(CommandBytes, BlockNumbersAreBigEndianAndTheRealTimeIntervalLittleEndian)
{
    EXPECT_EQ(ReadBlockCommand(256), (Command{0x00, 0x01, 0x00}));
    EXPECT_EQ(ReadBlockCommand(0), (Command{0x00, 0x00, 0x00}));
    EXPECT_EQ(ReadBlockCommand(0x1234), (Command{0x00, 0x12, 0x34}));
    EXPECT_EQ(SpectrumCommand(7), (Command{0xF3, 0x00, 0x07}));
    EXPECT_EQ(RealTimeStartCommand(1000), (Command{0xF1, 0xE8, 0x03}));
    EXPECT_EQ(RealTimeStartCommand(60000), (Command{0xF1, 0x60, 0xEA}));
    EXPECT_EQ(RealTimeSampleCommand(), (Command{0xF2, 0x00, 0x00}));
    EXPECT_EQ(SetupCommand(), (Command{0x01, 0x00, 0x16}));
}

TEST(HeaderBlockBytes, LittleEndianFieldsAndReservedByteZero)
{
    RecordingHeader h;
    h.dwSampleCount = 0x01020304;
    h.wFreeFallCount = 0x0506;
    h.wInterval = 200;
    h.byMode = MODE_MOTION | MODE_FREEFALL;
    h.byThresholdX = 3;
    h.byThresholdY = 4;
    h.byThresholdZ = 18;
    h.wYear = 2024;
    h.byMonth = 2;
    h.byDay = 29;
    h.byHour = 23;
    h.byMinute = 59;
    h.bySecond = 58;
    h.byLedCycle = 30;
    h.byStartMode = 1;
    const HeaderBlock block = EncodeHeaderBlock(h);
    const HeaderBlock expected = {0x04, 0x03, 0x02, 0x01, 0x06, 0x05, 0xC8, 0x00, 0x03, 3, 4,
                                  18,   0xE8, 0x07, 2,    29,   23,   59,   58,   30,   1, 0};
    EXPECT_EQ(block, expected);
    EXPECT_EQ(DecodeHeaderBlock(block), h);
}

TEST(AccelerationValues, UpperThirteenBitsAreASignedCountOfFourMilliG)
{
    const std::uint8_t top[] = {0x7F, 0xF8};
    EXPECT_EQ(DecodeCounts(top), 4095);
    EXPECT_EQ(DecodeMilliG(top), 16380);
    EXPECT_EQ(Hundredths(MilliGToG(DecodeMilliG(top))), "16.38");
    const std::uint8_t bottom[] = {0x80, 0x00};
    EXPECT_EQ(DecodeCounts(bottom), -4096);
    EXPECT_EQ(Hundredths(MilliGToG(DecodeMilliG(bottom))), "-16.38");
    const std::uint8_t noisy[] = {0x01, 0xF4};  // low 3 bits (4) are not part of the value
    EXPECT_EQ(DecodeCounts(noisy), 62);
    EXPECT_EQ(Hundredths(MilliGToG(DecodeMilliG(noisy))), "0.24");
    const std::uint8_t minusOne[] = {0xFF, 0xF8};
    EXPECT_EQ(DecodeMilliG(minusOne), -4);
    const double g = MilliGToG(DecodeMilliG(minusOne));
    EXPECT_EQ(Hundredths(g), "0.00");  // not -0.01, and not -0.00
    EXPECT_FALSE(std::signbit(g));
}

TEST(GConversion, TruncatesTowardZeroInWholeMilliG)
{
    EXPECT_EQ(Hundredths(MilliGToG(1234)), "1.23");
    EXPECT_EQ(Hundredths(MilliGToG(-1234)), "-1.23");
    EXPECT_EQ(Hundredths(MilliGToG(-252)), "-0.25");
    EXPECT_EQ(Hundredths(MilliGToG(4)), "0.00");
    EXPECT_FALSE(std::signbit(MilliGToG(-8)));
}

// These component values come out one hundredth too small when the conversion is done in
// doubles as value * 0.001 * 100; every one must land on its exact hundredth.
TEST(GConversion, ComponentsWhereDoubleArithmeticWouldLoseAHundredth)
{
    const int values[] = {-16060, -9780, -9280, -8780, -8280, -8200, -4640, -4140, -4100, -2320, -1160, -580,
                          580,    1160,  2320,  4100,  4140,  4640,  8200,  8280,  8780,  9280,  9780,  16060};
    for (const int mg : values) {
        SCOPED_TRACE(mg);
        const double g = MilliGToG(mg);
        EXPECT_EQ(g, (mg / 10) * 0.01);
        char expected[32];
        std::snprintf(expected, sizeof expected, "%s%d.%02d", mg < 0 ? "-" : "", std::abs(mg) / 1000,
                      std::abs(mg) % 1000 / 10);
        EXPECT_EQ(Hundredths(g), expected);
        // The same through the wire bytes.
        const std::vector<std::uint8_t> bytes = CountBytes(mg / 4, 5);
        EXPECT_EQ(MilliGToG(DecodeMilliG(bytes.data())), g);
    }
}

TEST(GConversion, VectorSumFromUnroundedMilliG)
{
    const SampleRow row = RowFromMilliG(1000, -2000, 400);
    EXPECT_EQ(Hundredths(row[0]), "1.00");
    EXPECT_EQ(Hundredths(row[1]), "-2.00");
    EXPECT_EQ(Hundredths(row[2]), "0.40");
    EXPECT_EQ(Hundredths(row[3]), "2.27");  // 2271.56 mg
    // Exact sums that the double form would store one hundredth low.
    EXPECT_EQ(RowFromMilliG(580, 0, 0)[3], 58 * 0.01);
    EXPECT_EQ(Hundredths(RowFromMilliG(348, 464, 0)[3]), "0.58");
    EXPECT_EQ(Hundredths(RowFromMilliG(0, -1160, 0)[3]), "1.16");
    EXPECT_EQ(Hundredths(RowFromMilliG(4100, 0, 0)[3]), "4.10");
    EXPECT_EQ(Hundredths(RowFromMilliG(0, 0, 0)[3]), "0.00");
}

TEST(SampleRecords, AxisOrderDiffersBetweenMemoryAndRealTime)
{
    std::vector<std::uint8_t> record;
    for (int counts : {250, -500, 100}) {  // 1000, -2000, 400 mg
        const auto b = CountBytes(counts);
        record.insert(record.end(), b.begin(), b.end());
    }
    const SampleRow memory = DecodeMemorySample(record.data());
    EXPECT_EQ(Hundredths(memory[0]), "1.00");
    EXPECT_EQ(Hundredths(memory[1]), "-2.00");
    EXPECT_EQ(Hundredths(memory[2]), "0.40");
    EXPECT_EQ(DecodeSpectrumSample(record.data()), memory);
    const SampleRow live = DecodeRealTimeSample(record.data());  // X, Z, Y on the wire
    EXPECT_EQ(Hundredths(live[0]), "1.00");
    EXPECT_EQ(Hundredths(live[1]), "0.40");
    EXPECT_EQ(Hundredths(live[2]), "-2.00");
    EXPECT_EQ(Hundredths(live[3]), "2.27");
}

TEST(SampleRecords, TwentySevenBitTick)
{
    const std::uint8_t record[9] = {0x00, 0x05, 0, 0, 0, 0, 0x10, 0x00, 0x02};
    EXPECT_EQ(DecodeTick(record), 5 * (1 << 24) + 2 * (1 << 16) + 16);
    // Only the lowest 3 bits of byte 1 belong to the tick; the value keeps its own bits.
    const std::uint8_t busy[9] = {0x7F, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(DecodeTick(busy), (1 << 27) - 1);
    EXPECT_EQ(DecodeCounts(busy), 4095);
}

class EventText : public ::testing::Test {
protected:
    testing::ScopedTimeZone zone{"UTC"};
};

TEST_F(EventText, DayMonthTwoDigitYearAndClock)
{
    const std::uint8_t event[6] = {23, 3, 5, 14, 7, 9};
    EXPECT_EQ(DecodeEventText(event), "05/03/23 14:07:09");
}

}  // namespace
}  // namespace shakemeter
