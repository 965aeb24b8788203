#pragma once
// The logger's wire protocol: 3-byte commands, the 22-byte header block, 252-byte memory blocks,
// 6- and 9-byte sample records, 6-byte event records and the conversion of raw counts to g.
// Pure functions on bytes; no I/O.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "recording/Recording.h"
#include "recording/RecordingHeader.h"

namespace shakemeter {

constexpr std::uint8_t LOGGER_CMD_READ_BLOCK = 0x00;
constexpr std::uint8_t LOGGER_CMD_SETUP = 0x01;
constexpr std::uint8_t LOGGER_CMD_RT_START = 0xF1;
constexpr std::uint8_t LOGGER_CMD_RT_SAMPLE = 0xF2;
constexpr std::uint8_t LOGGER_CMD_SPECTRUM = 0xF3;

constexpr std::size_t LOGGER_COMMAND_SIZE = 3;
constexpr std::size_t LOGGER_HEADER_BLOCK_SIZE = 22;
constexpr std::size_t LOGGER_BLOCK_SIZE = 252;
constexpr std::size_t LOGGER_SAMPLE_SIZE = 6;
constexpr std::size_t LOGGER_MOTION_SAMPLE_SIZE = 9;
constexpr std::size_t LOGGER_EVENT_SIZE = 6;
constexpr std::size_t SPECTRUM_BLOCK_COUNT = 7;
constexpr std::size_t SPECTRUM_LAST_BLOCK_SIZE = 24;
constexpr std::size_t SPECTRUM_CAPTURE_BYTES = 1536;  // 256 samples of 6 bytes

// No logger memory holds more than this many bytes of sample data. A header reply announcing
// more is a damaged reply: believing it would mean a huge allocation and hours of block reads.
constexpr std::uint32_t LOGGER_MAX_MEMORY_BYTES = 16u * 1024u * 1024u;

using Command = std::array<std::uint8_t, LOGGER_COMMAND_SIZE>;
using HeaderBlock = std::array<std::uint8_t, LOGGER_HEADER_BLOCK_SIZE>;

// ---- commands ----
// Block numbers travel big-endian; the real-time interval travels little-endian.
Command ReadBlockCommand(std::uint16_t block);
Command SetupCommand();
Command RealTimeStartCommand(std::uint16_t intervalMs);
Command RealTimeSampleCommand();
Command SpectrumCommand(std::uint16_t block);

// ---- header block ----
// Bytes 0-20 are the RecordingHeader; byte 21 is reserved and always 0 when we build a block.
HeaderBlock EncodeHeaderBlock(const RecordingHeader& header);
RecordingHeader DecodeHeaderBlock(const HeaderBlock& block);

// Interval code: count in bits 2-15, unit (RATE_UNIT_*) in bits 0-1.
constexpr std::uint16_t IntervalCode(int count, int unit)
{
    return static_cast<std::uint16_t>(count * 4 + unit);
}
constexpr int IntervalCount(std::uint16_t code)
{
    return code >> 2;
}
constexpr int IntervalUnit(std::uint16_t code)
{
    return code & 3;
}

// ---- block plans ----
// A stream of `bytes` bytes is fetched in blocks of 252; the last one carries the remainder
// (252 when the stream is a whole number of blocks).
struct BlockPlan {
    std::uint32_t count = 0;
    std::uint32_t lastSize = 0;
    std::uint32_t sizeOf(std::uint32_t blockNumber) const  // 1-based
    {
        return blockNumber == count ? lastSize : static_cast<std::uint32_t>(LOGGER_BLOCK_SIZE);
    }
};
BlockPlan PlanBlocks(std::uint64_t bytes);

// Number of whole sample records in a sample stream of `dataBytes` bytes.
std::uint32_t SampleCountOf(std::uint32_t dataBytes, bool motion);

// ---- values ----
// The raw acceleration: a big-endian 16-bit word whose upper 13 bits are a signed count
// (-4096..4095); one count is 4 milli-g.
int DecodeCounts(const std::uint8_t* twoBytes);
int DecodeMilliG(const std::uint8_t* twoBytes);

// A whole number of hundredths of g as the stored double (never -0.0).
double HundredthsToG(long long hundredths);
// Whole milli-g to g, truncated toward zero to 0.01 g, computed in integers so that every
// component value lands on the same hundredth the decimal rule gives.
double MilliGToG(int milliG);
// The vector sum (milli-g, not rounded) to g, truncated toward zero to 0.01 g.
double VectorSumToG(double milliG);
// X, Y, Z in milli-g to a stored row: the three components and their vector sum in g.
SampleRow RowFromMilliG(int mx, int my, int mz);

// ---- records ----
SampleRow DecodeMemorySample(const std::uint8_t* record);    // X, Y, Z
SampleRow DecodeRealTimeSample(const std::uint8_t* record);  // X, Z, Y on the wire
SampleRow DecodeSpectrumSample(const std::uint8_t* record);  // X, Y, Z
// The 27-bit tick of a 9-byte motion record.
std::int32_t DecodeTick(const std::uint8_t* record);
// A 6-byte event record as its local-time text "%d/%m/%y %H:%M:%S".
std::string DecodeEventText(const std::uint8_t* record);

}  // namespace shakemeter
