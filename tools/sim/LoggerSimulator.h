#pragma once
// The logger's command handling, without sockets: bytes the program wrote go in, the bytes the
// logger answers come out. Commands are 3 bytes without framing; a setup command is followed by
// the block whose length its bytes 1-2 give (big-endian, 22 from the program).
//
// Download: the logger numbers the blocks of both streams from 1 and tells them apart by where it
// stands. A header request (block 0) puts it at the start of the sample stream; while there,
// block n is data block n. Serving the last data block moves it to the event stream, where block
// n is event block n; serving the last event block moves it back to the sample stream, so a second
// download needs no new header request. With no data blocks the header request goes straight to
// the events. A block number the current stream does not have gets no answer (the program's read
// then times out), and the position does not move.
//
// Faults: after the byte limit of an unplug the connection closes and the logger is gone for
// good; after the byte limit of a stall nothing more is answered. The reply that reaches a limit
// is cut at the limit.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "logger/LoggerProtocol.h"
#include "tools/sim/LoggerMemory.h"
#include "tools/sim/ToneSignal.h"

namespace shakemeter {

struct SimulatorFaults {
    std::optional<std::uint64_t> unplugAfterBytes;
    std::optional<std::uint64_t> stallAfterBytes;
    std::optional<std::uint32_t> shortDataBlock;  // this data block is sent with half its length
    std::optional<std::uint32_t> longDataBlock;   // this data block is followed by kLongBlockExtra bytes
};

struct SimulatorReply {
    std::vector<std::uint8_t> bytes;
    bool closeConnection = false;
};

class LoggerSimulator {
public:
    using LineSink = std::function<void(const std::string&)>;

    static constexpr std::uint16_t kDefaultLiveIntervalMs = 1000;
    static constexpr double kCapturePeriodSeconds = 2.0;  // the program reads a capture every 2 s
    static constexpr std::size_t kCaptureSamples = 256;
    // Bytes a long block carries beyond its length; none of them belongs to any reply.
    static constexpr std::size_t kLongBlockExtra = 3;
    static constexpr std::uint8_t kLongBlockFiller = 0xEE;

    LoggerSimulator(LoggerMemory memory, ToneSignal signal, SimulatorFaults faults = {});

    // Setup blocks as one readable line each; protocol oddities and faults as notes.
    void SetSetupSink(LineSink sink) { m_setupSink = std::move(sink); }
    void SetNoteSink(LineSink sink) { m_noteSink = std::move(sink); }

    // A program opened the bridge: a command half-written by an earlier connection is dropped.
    // False when the logger is unplugged and the connection must be refused.
    bool Connected();
    SimulatorReply Receive(std::span<const std::uint8_t> bytes);

    bool Unplugged() const { return m_unplugged; }
    bool Stalled() const { return m_stalled; }
    std::uint64_t BytesSent() const { return m_bytesSent; }
    const std::optional<HeaderBlock>& LastSetupBlock() const { return m_lastSetup; }
    std::size_t SetupBlocksReceived() const { return m_setupCount; }
    const LoggerMemory& Memory() const { return m_memory; }

    // One readable line for a setup block: interval, mode, thresholds, time, LED, start, hex.
    static std::string DescribeSetupBlock(const HeaderBlock& block);

private:
    enum class DownloadStream { Samples, Events };

    std::vector<std::uint8_t> HandleCommand(const Command& command);
    std::vector<std::uint8_t> HandleReadBlock(std::uint16_t block);
    std::vector<std::uint8_t> HandleSpectrum(std::uint16_t block);
    std::vector<std::uint8_t> LiveSample(std::uint64_t index) const;
    void HandleSetupPayload(const std::vector<std::uint8_t>& payload);
    void TakeCapture();
    void Note(const std::string& line) const;

    LoggerMemory m_memory;
    ToneSignal m_signal;
    SimulatorFaults m_faults;
    LineSink m_setupSink;
    LineSink m_noteSink;

    std::vector<std::uint8_t> m_pending;
    std::optional<std::size_t> m_setupPayloadLength;  // set while a setup block is awaited

    DownloadStream m_stream = DownloadStream::Samples;

    std::uint16_t m_liveIntervalMs = kDefaultLiveIntervalMs;
    std::uint64_t m_liveIndex = 0;

    std::vector<std::uint8_t> m_capture;
    std::uint64_t m_captureNumber = 0;
    bool m_captureUsedUp = true;

    std::optional<HeaderBlock> m_lastSetup;
    std::size_t m_setupCount = 0;

    std::uint64_t m_bytesSent = 0;
    bool m_unplugged = false;
    bool m_stalled = false;
};

}  // namespace shakemeter
