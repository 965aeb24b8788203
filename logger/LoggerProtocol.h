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

using Command = std::array<std::uint8_t, LOGGER_COMMAND_SIZE>;
using HeaderBlock = std::array<std::uint8_t, LOGGER_HEADER_BLOCK_SIZE>;

}  // namespace shakemeter
