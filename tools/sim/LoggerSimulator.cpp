#include "tools/sim/LoggerSimulator.h"

#include <algorithm>
#include <cstdio>

#include "tools/sim/SampleEncoder.h"

namespace shakemeter {

namespace {

std::string HexByte(std::uint8_t b)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X", b);
    return text;
}

std::string DescribeInterval(std::uint16_t code)
{
    static const char* const units[] = {"ms", "s", "min", "h"};
    return std::to_string(code) + " (" + std::to_string(code >> 2) + " " + units[code & 3] + ")";
}

std::string DescribeMode(std::uint8_t mode)
{
    std::string text = "0x" + HexByte(mode) + " (";
    std::string names;
    auto add = [&names](const std::string& name) { names += (names.empty() ? "" : ", ") + name; };
    if (mode & MODE_MOTION)
        add("motion detection");
    else
        add("normal");
    if (mode & MODE_FREEFALL)
        add("free-fall detection");
    if (mode & ~(MODE_MOTION | MODE_FREEFALL))
        add("unknown bits 0x" + HexByte(static_cast<std::uint8_t>(mode & ~(MODE_MOTION | MODE_FREEFALL))));
    return text + names + ")";
}

// Cuts the answer at a byte limit; true when the limit is reached with it.
bool ReachesLimit(const std::optional<std::uint64_t>& limit, std::uint64_t sent, std::vector<std::uint8_t>& answer)
{
    if (!limit || sent + answer.size() < *limit)
        return false;
    answer.resize(static_cast<std::size_t>(*limit > sent ? *limit - sent : 0));
    return true;
}

}  // namespace

LoggerSimulator::LoggerSimulator(LoggerMemory memory, ToneSignal signal, SimulatorFaults faults)
    : m_memory(std::move(memory)), m_signal(std::move(signal)), m_faults(faults)
{
}

void LoggerSimulator::Note(const std::string& line) const
{
    if (m_noteSink)
        m_noteSink(line);
}

bool LoggerSimulator::Connected()
{
    if (m_unplugged)
        return false;
    if (!m_pending.empty() || m_setupPayloadLength)
        Note("dropped " + std::to_string(m_pending.size()) + " bytes of an unfinished command");
    m_pending.clear();
    m_setupPayloadLength.reset();
    return true;
}

SimulatorReply LoggerSimulator::Receive(std::span<const std::uint8_t> bytes)
{
    SimulatorReply reply;
    if (m_unplugged) {
        reply.closeConnection = true;
        return reply;
    }
    if (m_stalled)
        return reply;

    m_pending.insert(m_pending.end(), bytes.begin(), bytes.end());
    std::size_t pos = 0;
    for (;;) {
        std::vector<std::uint8_t> answer;
        if (m_setupPayloadLength) {
            if (m_pending.size() - pos < *m_setupPayloadLength)
                break;
            const auto begin = m_pending.begin() + static_cast<std::ptrdiff_t>(pos);
            const std::vector<std::uint8_t> payload(begin, begin + static_cast<std::ptrdiff_t>(*m_setupPayloadLength));
            pos += *m_setupPayloadLength;
            m_setupPayloadLength.reset();
            HandleSetupPayload(payload);
        } else {
            if (m_pending.size() - pos < LOGGER_COMMAND_SIZE)
                break;
            Command command{};
            std::copy_n(m_pending.begin() + static_cast<std::ptrdiff_t>(pos), LOGGER_COMMAND_SIZE, command.begin());
            pos += LOGGER_COMMAND_SIZE;
            answer = HandleCommand(command);
        }

        if (ReachesLimit(m_faults.unplugAfterBytes, m_bytesSent, answer)) {
            m_unplugged = true;
            reply.closeConnection = true;
            Note("unplugged after " + std::to_string(m_bytesSent + answer.size()) + " bytes");
        } else if (ReachesLimit(m_faults.stallAfterBytes, m_bytesSent, answer)) {
            m_stalled = true;
            Note("stalled after " + std::to_string(m_bytesSent + answer.size()) + " bytes");
        }
        m_bytesSent += answer.size();
        reply.bytes.insert(reply.bytes.end(), answer.begin(), answer.end());
        if (m_unplugged || m_stalled) {
            m_pending.clear();
            m_setupPayloadLength.reset();
            return reply;
        }
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(pos));
    return reply;
}

std::vector<std::uint8_t> LoggerSimulator::HandleCommand(const Command& command)
{
    const auto bigEndian = static_cast<std::uint16_t>((command[1] << 8) | command[2]);
    switch (command[0]) {
    case LOGGER_CMD_READ_BLOCK:
        return HandleReadBlock(bigEndian);
    case LOGGER_CMD_SETUP:
        m_setupPayloadLength = bigEndian;
        if (bigEndian == 0) {
            m_setupPayloadLength.reset();
            HandleSetupPayload({});
        }
        return {};
    case LOGGER_CMD_RT_START:
        m_liveIntervalMs = static_cast<std::uint16_t>(command[1] | (command[2] << 8));
        m_liveIndex = 0;
        return LiveSample(m_liveIndex++);
    case LOGGER_CMD_RT_SAMPLE:
        return LiveSample(m_liveIndex++);
    case LOGGER_CMD_SPECTRUM:
        return HandleSpectrum(bigEndian);
    default:
        Note("unknown command " + HexByte(command[0]) + " " + HexByte(command[1]) + " " + HexByte(command[2]));
        return {};
    }
}

std::vector<std::uint8_t> LoggerSimulator::HandleReadBlock(std::uint16_t block)
{
    const std::size_t dataBlocks = m_memory.DataBlockCount();
    const std::size_t eventBlocks = m_memory.EventBlockCount();
    if (block == 0) {
        m_stream = (dataBlocks == 0 && eventBlocks > 0) ? DownloadStream::Events : DownloadStream::Samples;
        const HeaderBlock header = m_memory.HeaderReply();
        return std::vector<std::uint8_t>(header.begin(), header.end());
    }

    if (m_stream == DownloadStream::Samples) {
        if (block > dataBlocks) {
            Note("block " + std::to_string(block) + " asked while at the samples, which have " +
                 std::to_string(dataBlocks) + " blocks: no answer");
            return {};
        }
        std::vector<std::uint8_t> data = m_memory.DataBlock(block);
        if (m_faults.shortDataBlock && *m_faults.shortDataBlock == block) {
            data.resize(data.size() / 2);
            Note("data block " + std::to_string(block) + " sent short: " + std::to_string(data.size()) + " bytes");
        }
        if (m_faults.longDataBlock && *m_faults.longDataBlock == block) {
            data.insert(data.end(), kLongBlockExtra, kLongBlockFiller);
            Note("data block " + std::to_string(block) + " sent long: " + std::to_string(data.size()) + " bytes");
        }
        if (block == dataBlocks && eventBlocks > 0)
            m_stream = DownloadStream::Events;
        return data;
    }

    if (block > eventBlocks) {
        Note("block " + std::to_string(block) + " asked while at the events, which have " +
             std::to_string(eventBlocks) + " blocks: no answer");
        return {};
    }
    if (block == eventBlocks && dataBlocks > 0)
        m_stream = DownloadStream::Samples;
    return m_memory.EventBlock(block);
}

std::vector<std::uint8_t> LoggerSimulator::LiveSample(std::uint64_t index) const
{
    const auto g = m_signal.At(static_cast<double>(index) * m_liveIntervalMs * 0.001);
    std::vector<std::uint8_t> sample;
    SampleEncoder::AppendRealTimeSample(sample, SampleEncoder::CountsFromG(g[0], g[1], g[2]));
    return sample;
}

void LoggerSimulator::TakeCapture()
{
    const double start = static_cast<double>(m_captureNumber) * kCapturePeriodSeconds;
    ++m_captureNumber;
    m_capture.clear();
    m_capture.reserve(SPECTRUM_CAPTURE_BYTES);
    for (std::size_t i = 0; i < kCaptureSamples; ++i) {
        const auto g = m_signal.At(start + static_cast<double>(i) / kCaptureSamples);
        SampleEncoder::AppendSpectrumSample(m_capture, SampleEncoder::CountsFromG(g[0], g[1], g[2]));
    }
    m_captureUsedUp = false;
}

std::vector<std::uint8_t> LoggerSimulator::HandleSpectrum(std::uint16_t block)
{
    if (block == 0) {
        TakeCapture();
        return {};
    }
    if (block > SPECTRUM_BLOCK_COUNT) {
        Note("spectrum block " + std::to_string(block) + " does not exist: no answer");
        return {};
    }
    if (m_captureUsedUp)
        TakeCapture();
    const std::size_t begin = (block - 1) * LOGGER_BLOCK_SIZE;
    const std::size_t length = block == SPECTRUM_BLOCK_COUNT ? SPECTRUM_LAST_BLOCK_SIZE : LOGGER_BLOCK_SIZE;
    if (block == SPECTRUM_BLOCK_COUNT)
        m_captureUsedUp = true;
    return std::vector<std::uint8_t>(m_capture.begin() + static_cast<std::ptrdiff_t>(begin),
                                     m_capture.begin() + static_cast<std::ptrdiff_t>(begin + length));
}

void LoggerSimulator::HandleSetupPayload(const std::vector<std::uint8_t>& payload)
{
    if (payload.size() != LOGGER_HEADER_BLOCK_SIZE) {
        Note("setup block of " + std::to_string(payload.size()) + " bytes ignored (expected " +
             std::to_string(LOGGER_HEADER_BLOCK_SIZE) + ")");
        return;
    }
    HeaderBlock block{};
    std::copy(payload.begin(), payload.end(), block.begin());
    m_lastSetup = block;
    ++m_setupCount;
    if (m_setupSink)
        m_setupSink(DescribeSetupBlock(block));
}

std::string LoggerSimulator::DescribeSetupBlock(const HeaderBlock& block)
{
    const RecordingHeader h = RecordingHeader::FromBytes(block.data());
    char time[64];
    std::snprintf(time, sizeof time, "%04u-%02u-%02u %02u:%02u:%02u", unsigned{h.wYear}, unsigned{h.byMonth},
                  unsigned{h.byDay}, unsigned{h.byHour}, unsigned{h.byMinute}, unsigned{h.bySecond});
    std::string line = "setup: interval " + DescribeInterval(h.wInterval) + ", mode " + DescribeMode(h.byMode) +
                       ", thresholds X " + std::to_string(h.byThresholdX) + " g Y " + std::to_string(h.byThresholdY) +
                       " g Z " + std::to_string(h.byThresholdZ) + " g, time " + time + ", ";
    line += h.byLedCycle == 0 ? std::string("LED off") : "LED every " + std::to_string(h.byLedCycle) + " s";
    line += h.byStartMode == 0   ? ", manual start"
            : h.byStartMode == 1 ? ", automatic start"
                                 : ", start mode " + std::to_string(h.byStartMode);
    line += "; bytes";
    for (std::uint8_t b : block)
        line += " " + HexByte(b);
    return line;
}

}  // namespace shakemeter
