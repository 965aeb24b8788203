#pragma once
// The logger's memory as it answers a download: the header fields of the stored run, the sample
// stream (6-byte records, 9-byte records in motion-detection mode) and the event stream (6-byte
// records). Built from a recording, generated, or empty. Every memory it builds fits the
// protocol: both streams are addressable with 16-bit block numbers and the event count fits
// its 16-bit field.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "logger/LoggerProtocol.h"
#include "recording/CalendarTime.h"
#include "recording/Recording.h"
#include "recording/RecordingHeader.h"

namespace shakemeter {

// Highest block number of a download; a stream longer than this many blocks cannot be fetched.
constexpr std::size_t kLoggerMaxBlocks = 0xFFFF;

struct GeneratedMemorySettings {
    std::uint32_t samples = 1000;
    bool motion = false;
    std::uint16_t events = 0;
    CalendarFields start{2024, 5, 14, 9, 30, 0};
};

class LoggerMemory {
public:
    // An empty memory (D = 0, E = 0) whose header still carries a plausible run.
    LoggerMemory();

    // A memory of raw streams, for memories no recording describes (a sample stream that is not
    // a whole number of records, say). Streams beyond what a download can address are cut, and
    // the event stream is cut to whole records.
    LoggerMemory(const RecordingHeader& header, std::vector<std::uint8_t> samples, std::vector<std::uint8_t> events);

    static LoggerMemory Generate(const GeneratedMemorySettings& settings);
    // The recording's rows converted back to counts (and ticks in motion mode) and its event
    // texts back to event records. Refuses what a logger could not have stored.
    static std::optional<LoggerMemory> FromRecording(const Recording& recording, std::string& error);

    // Largest number of samples a download can address in the given mode.
    static std::uint32_t MaxSamples(bool motion);

    // Replaces the events by `count` events spread over the run (and marks free-fall detection).
    void ReplaceEvents(std::uint16_t count);

    // The 22-byte header reply: D, E, bytes 6-20 of the stored header, 0.
    HeaderBlock HeaderReply() const;

    const RecordingHeader& Header() const { return m_header; }
    const std::vector<std::uint8_t>& SampleStream() const { return m_samples; }
    const std::vector<std::uint8_t>& EventStream() const { return m_events; }
    std::uint32_t DataBytes() const { return static_cast<std::uint32_t>(m_samples.size()); }
    std::uint16_t EventCount() const { return static_cast<std::uint16_t>(m_events.size() / LOGGER_EVENT_SIZE); }

    std::size_t DataBlockCount() const { return BlockCount(m_samples.size()); }
    std::size_t EventBlockCount() const { return BlockCount(m_events.size()); }
    // Block n (1-based) of each stream: 252 bytes, the last one the remainder. Empty when n is
    // not a block of the stream.
    std::vector<std::uint8_t> DataBlock(std::size_t n) const { return Block(m_samples, n); }
    std::vector<std::uint8_t> EventBlock(std::size_t n) const { return Block(m_events, n); }

private:
    static std::size_t BlockCount(std::size_t bytes) { return (bytes + LOGGER_BLOCK_SIZE - 1) / LOGGER_BLOCK_SIZE; }
    static std::vector<std::uint8_t> Block(const std::vector<std::uint8_t>& stream, std::size_t n);
    // Seconds from the start of the run to the end of its last sample period, for dating events.
    double RunSeconds() const;

    RecordingHeader m_header;
    std::vector<std::uint8_t> m_samples;
    std::vector<std::uint8_t> m_events;
};

}  // namespace shakemeter
