#pragma once
// The 21-byte header of a recording. The same bytes open the logger's header and setup blocks
// and follow the magic in a recording file, so the layout is fixed: packed, little-endian.

#include "recording/CalendarTime.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace shakemeter {

constexpr std::uint8_t MODE_MOTION = 0x01;    // motion detection: per-sample ticks present
constexpr std::uint8_t MODE_FREEFALL = 0x02;  // free-fall detection was switched on at setup

// Interval code units (bits 0-1 of wInterval for logged recordings).
constexpr int RATE_UNIT_MS = 0;
constexpr int RATE_UNIT_SECOND = 1;
constexpr int RATE_UNIT_MINUTE = 2;
constexpr int RATE_UNIT_HOUR = 3;

#pragma pack(push, 1)
struct RecordingHeader {
    std::uint32_t dwSampleCount = 0;
    std::uint16_t wFreeFallCount = 0;
    std::uint16_t wInterval = 0;
    std::uint8_t byMode = 0;
    std::uint8_t byThresholdX = 0;
    std::uint8_t byThresholdY = 0;
    std::uint8_t byThresholdZ = 0;
    std::uint16_t wYear = 0;
    std::uint8_t byMonth = 0;
    std::uint8_t byDay = 0;
    std::uint8_t byHour = 0;
    std::uint8_t byMinute = 0;
    std::uint8_t bySecond = 0;
    std::uint8_t byLedCycle = 0;
    std::uint8_t byStartMode = 0;

    static constexpr std::size_t kSize = 21;
    using Bytes = std::array<std::uint8_t, kSize>;

    // Explicit little-endian encoding, so the layout does not depend on the host.
    Bytes ToBytes() const;
    static RecordingHeader FromBytes(const std::uint8_t* bytes);

    bool IsMotion() const { return (byMode & MODE_MOTION) != 0; }
    bool operator==(const RecordingHeader&) const = default;
};
#pragma pack(pop)

static_assert(sizeof(RecordingHeader) == RecordingHeader::kSize, "RecordingHeader must be 21 packed bytes");

// The start time the header carries (the logger's local wall clock), field by field.
CalendarFields HeaderStart(const RecordingHeader& header);
// Stamps a start time into the header; fields beyond a byte (or the year beyond 16 bits) wrap.
void StampHeaderStart(RecordingHeader& header, const CalendarFields& start);

}  // namespace shakemeter
