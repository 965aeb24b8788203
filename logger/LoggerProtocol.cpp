#include "logger/LoggerProtocol.h"

#include <cmath>
#include <cstdlib>

#include "recording/CalendarTime.h"

namespace shakemeter {

namespace {
Command BigEndianBlockCommand(std::uint8_t code, std::uint16_t block)
{
    return {code, static_cast<std::uint8_t>(block >> 8), static_cast<std::uint8_t>(block & 0xFF)};
}
}  // namespace

Command ReadBlockCommand(std::uint16_t block)
{
    return BigEndianBlockCommand(LOGGER_CMD_READ_BLOCK, block);
}

Command SetupCommand()
{
    return {LOGGER_CMD_SETUP, 0x00, static_cast<std::uint8_t>(LOGGER_HEADER_BLOCK_SIZE)};
}

Command RealTimeStartCommand(std::uint16_t intervalMs)
{
    return {LOGGER_CMD_RT_START, static_cast<std::uint8_t>(intervalMs & 0xFF),
            static_cast<std::uint8_t>(intervalMs >> 8)};
}

Command RealTimeSampleCommand()
{
    return {LOGGER_CMD_RT_SAMPLE, 0x00, 0x00};
}

Command SpectrumCommand(std::uint16_t block)
{
    return BigEndianBlockCommand(LOGGER_CMD_SPECTRUM, block);
}

HeaderBlock EncodeHeaderBlock(const RecordingHeader& header)
{
    HeaderBlock block{};
    const RecordingHeader::Bytes bytes = header.ToBytes();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        block[i] = bytes[i];
    block[21] = 0;
    return block;
}

RecordingHeader DecodeHeaderBlock(const HeaderBlock& block)
{
    return RecordingHeader::FromBytes(block.data());
}

BlockPlan PlanBlocks(std::uint64_t bytes)
{
    BlockPlan plan;
    if (bytes == 0)
        return plan;
    plan.count = static_cast<std::uint32_t>((bytes + LOGGER_BLOCK_SIZE - 1) / LOGGER_BLOCK_SIZE);
    const auto rest = static_cast<std::uint32_t>(bytes % LOGGER_BLOCK_SIZE);
    plan.lastSize = rest == 0 ? static_cast<std::uint32_t>(LOGGER_BLOCK_SIZE) : rest;
    return plan;
}

std::uint32_t SampleCountOf(std::uint32_t dataBytes, bool motion)
{
    return dataBytes / static_cast<std::uint32_t>(motion ? LOGGER_MOTION_SAMPLE_SIZE : LOGGER_SAMPLE_SIZE);
}

int DecodeCounts(const std::uint8_t* b)
{
    const auto word = static_cast<std::int16_t>(static_cast<std::uint16_t>((b[0] << 8) | b[1]));
    return static_cast<int>(word) >> 3;  // arithmetic shift: sign extension of the 13 bits
}

int DecodeMilliG(const std::uint8_t* b)
{
    return DecodeCounts(b) * 4;
}

double HundredthsToG(long long hundredths)
{
    return static_cast<double>(hundredths) * 0.01;
}

double MilliGToG(int milliG)
{
    return HundredthsToG(milliG / 10);  // integer division truncates toward zero
}

double VectorSumToG(double milliG)
{
    return HundredthsToG(static_cast<long long>(std::trunc(milliG / 10.0)));
}

SampleRow RowFromMilliG(int mx, int my, int mz)
{
    const double vs =
        std::sqrt(static_cast<double>(mx) * mx + static_cast<double>(my) * my + static_cast<double>(mz) * mz);
    return {MilliGToG(mx), MilliGToG(my), MilliGToG(mz), VectorSumToG(vs)};
}

SampleRow DecodeMemorySample(const std::uint8_t* r)
{
    return RowFromMilliG(DecodeMilliG(r), DecodeMilliG(r + 2), DecodeMilliG(r + 4));
}

SampleRow DecodeRealTimeSample(const std::uint8_t* r)
{
    return RowFromMilliG(DecodeMilliG(r), DecodeMilliG(r + 4), DecodeMilliG(r + 2));
}

SampleRow DecodeSpectrumSample(const std::uint8_t* r)
{
    return DecodeMemorySample(r);
}

std::int32_t DecodeTick(const std::uint8_t* r)
{
    const std::uint32_t tick = static_cast<std::uint32_t>(r[6]) | (static_cast<std::uint32_t>(r[7]) << 8) |
                               (static_cast<std::uint32_t>(r[8]) << 16) |
                               (static_cast<std::uint32_t>(r[1] & 0x07) << 24);
    return static_cast<std::int32_t>(tick);
}

std::string DecodeEventText(const std::uint8_t* r)
{
    CalendarFields fields;
    fields.year = 2000 + r[0];
    fields.month = r[1];
    fields.day = r[2];
    fields.hour = r[3];
    fields.minute = r[4];
    fields.second = r[5];
    return CalendarTime::FromLocal(fields).format("%d/%m/%y %H:%M:%S");
}

}  // namespace shakemeter
