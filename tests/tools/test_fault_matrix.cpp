// The link against the simulated logger under every fault it can meet, for each transfer:
// unplugged after many byte positions (the first and last byte of every phase among them), a
// stall in each phase, a short block first, in the middle and last. Every case ends with exactly
// one message, the connection closed, at most one time-out waited for, and the recording and the
// files shown before left as they were (a real-time reading keeps the samples it already has).
// The simulator runs in-process behind a bridge that counts time-outs instead of sleeping them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TestRecordings.h"
#include "logger/CLoggerLink.h"
#include "logger/DeviceTimeouts.h"
#include "recording/RecordingFile.h"
#include "tests/logger/FakeLoggerHost.h"
#include "tools/sim/LoggerMemory.h"
#include "tools/sim/LoggerSimulator.h"

namespace shakemeter {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// The simulator behind a bridge: every reply waits in the bridge until the link reads it. A read
// that finds fewer bytes than asked waits out its time-out (counted, not slept); an unplugged
// logger fails at once. Faults of the bridge itself: the n-th reply cut to half, the logger
// unplugged or stalled after it took some bytes from the link.
class SimulatorBridge : public DeviceLibrary {
public:
    // Time-outs that no default has, so that a link that does not put them back shows.
    explicit SimulatorBridge(LoggerSimulator& logger) : m_logger(logger) { m_timeouts.Set(777, 888); }

    std::optional<std::size_t> shortReply;         // 0-based index among the replies
    std::optional<std::size_t> unplugAfterTaking;  // bytes the logger takes before it is gone
    std::optional<std::size_t> stallAfterTaking;   // bytes the logger takes before it takes no more
    std::optional<std::size_t> shortWrite;         // 0-based write taken only in half, reported so

    std::uint64_t waitedMs = 0;        // time-outs run out, added up
    std::uint32_t largestTimeout = 0;  // of the calls that ran one out
    int timeoutsRunOut = 0;
    int openConnections = 0;

    DeviceStatus GetNumDevices(std::uint32_t& count) override
    {
        count = Gone() ? 0 : 1;
        return DEVICE_SUCCESS;
    }
    DeviceStatus GetProductString(std::uint32_t index, char* buffer, int) override
    {
        if (index != 0 || Gone())
            return DEVICE_NOT_FOUND;
        std::snprintf(buffer, 256, "qz810-sim");
        return DEVICE_SUCCESS;
    }
    DeviceStatus Open(std::uint32_t index, DeviceHandle& handle) override
    {
        if (index != 0 || Gone() || !m_logger.Connected())
            return DEVICE_NOT_FOUND;
        handle = 1;
        ++openConnections;
        m_closed = false;
        m_inbox.clear();
        return DEVICE_SUCCESS;
    }
    DeviceStatus Close(DeviceHandle) override
    {
        --openConnections;
        return DEVICE_SUCCESS;
    }
    DeviceStatus Read(DeviceHandle, void* buffer, std::uint32_t toRead, std::uint32_t& read) override
    {
        read = static_cast<std::uint32_t>(std::min<std::size_t>(toRead, m_inbox.size()));
        std::copy_n(m_inbox.begin(), read, static_cast<std::uint8_t*>(buffer));
        m_inbox.erase(m_inbox.begin(), m_inbox.begin() + read);
        if (read < toRead && !m_closed)
            RunOut(m_timeouts.ReadMs());
        if (read > 0)
            return DEVICE_SUCCESS;
        return m_closed ? DEVICE_READ_ERROR : DEVICE_READ_TIMED_OUT;
    }
    DeviceStatus Write(DeviceHandle, const void* buffer, std::uint32_t toWrite, std::uint32_t& written) override
    {
        written = 0;
        if (m_closed || Gone())
            return DEVICE_WRITE_ERROR;
        const auto* bytes = static_cast<const std::uint8_t*>(buffer);
        std::size_t take = toWrite;
        if (unplugAfterTaking)
            take = std::min(take, *unplugAfterTaking - std::min(*unplugAfterTaking, m_taken));
        if (stallAfterTaking)
            take = std::min(take, *stallAfterTaking - std::min(*stallAfterTaking, m_taken));
        const bool cut = shortWrite && m_writes++ == *shortWrite;
        if (cut)
            take /= 2;
        m_taken += take;
        const SimulatorReply reply = m_logger.Receive(std::span<const std::uint8_t>(bytes, take));
        Bytes answer = reply.bytes;
        if (!answer.empty() && shortReply && m_replies++ == *shortReply)
            answer.resize(answer.size() / 2);
        m_inbox.insert(m_inbox.end(), answer.begin(), answer.end());
        m_closed = reply.closeConnection;
        written = static_cast<std::uint32_t>(take);
        if (take == toWrite || cut)
            return DEVICE_SUCCESS;
        if (unplugAfterTaking && m_taken >= *unplugAfterTaking) {
            m_unplugged = true;
            m_closed = true;
            return DEVICE_WRITE_ERROR;
        }
        RunOut(m_timeouts.WriteMs());
        return DEVICE_WRITE_TIMED_OUT;
    }
    DeviceStatus SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override
    {
        return m_timeouts.Set(readMs, writeMs);
    }
    DeviceStatus GetTimeouts(std::uint32_t& readMs, std::uint32_t& writeMs) override
    {
        return m_timeouts.Get(readMs, writeMs);
    }
    std::string BackendOf(std::uint32_t) override { return "virtual"; }

    std::uint32_t ReadTimeout() const { return m_timeouts.ReadMs(); }
    std::uint32_t WriteTimeout() const { return m_timeouts.WriteMs(); }

private:
    bool Gone() const { return m_unplugged || m_logger.Unplugged(); }
    void RunOut(std::uint32_t ms)
    {
        waitedMs += ms;
        largestTimeout = std::max(largestTimeout, ms);
        ++timeoutsRunOut;
    }

    LoggerSimulator& m_logger;
    std::deque<std::uint8_t> m_inbox;
    bool m_closed = false;
    bool m_unplugged = false;
    std::size_t m_taken = 0;
    std::size_t m_replies = 0;
    std::size_t m_writes = 0;
    DeviceTimeouts m_timeouts;
};

// The program around the link, writing its temporary copy to disk as the main window does.
class DiskHost : public test::FakeLoggerHost {
public:
    explicit DiskHost(fs::path tempCopy) : m_tempCopy(std::move(tempCopy)) {}
    void WriteTempCopy() override
    {
        FakeLoggerHost::WriteTempCopy();
        WriteRecordingFile(m_tempCopy.string(), document, static_cast<int>(document.m_pSamples.size()));
    }

private:
    fs::path m_tempCopy;
};

enum class Transfer { Download, Setup, Live, Spectrum };
enum class Fault { Unplug, Stall, Short };

struct FaultCase {
    Transfer transfer;
    Fault fault;
    std::uint64_t at;  // byte position (unplug, stall) or block number (short)
    std::string phase;
};

// The memory downloaded: 600 samples (15 data blocks, the last of 72 bytes) and 50 events (2
// event blocks). Replies: header [0, 22), data [22, 3622), events [3622, 3922).
constexpr std::uint32_t kSamples = 600;
constexpr std::uint16_t kEvents = 50;
constexpr std::uint64_t kDownloadBytes = 22 + kSamples * 6 + kEvents * 6;
// Setup: the program writes the command [0, 3) and the block [3, 25).
constexpr std::uint64_t kSetupBytes = 3 + 22;
// Live reading of 20 points: the first sample [0, 6), the following ones [6, 120).
constexpr int kLivePoints = 20;
constexpr std::uint64_t kLiveBytes = kLivePoints * 6;
// One capture: blocks 1 to 6 of 252 bytes, block 7 of 24.
constexpr std::uint64_t kSpectrumBytes = SPECTRUM_CAPTURE_BYTES;

const char* Name(Transfer t)
{
    switch (t) {
    case Transfer::Download:
        return "Download";
    case Transfer::Setup:
        return "Setup";
    case Transfer::Live:
        return "Live";
    default:
        return "Spectrum";
    }
}

// Phase boundaries of each transfer's byte stream.
std::vector<std::pair<std::string, std::pair<std::uint64_t, std::uint64_t>>> Phases(Transfer t)
{
    switch (t) {
    case Transfer::Download:
        return {{"header", {0, 22}}, {"data", {22, 3622}}, {"events", {3622, kDownloadBytes}}};
    case Transfer::Setup:
        return {{"command", {0, 3}}, {"block", {3, kSetupBytes}}};
    case Transfer::Live:
        return {{"first sample", {0, 6}}, {"next samples", {6, kLiveBytes}}};
    default: {
        std::vector<std::pair<std::string, std::pair<std::uint64_t, std::uint64_t>>> blocks;
        for (std::uint64_t n = 1; n <= SPECTRUM_BLOCK_COUNT; ++n)
            blocks.push_back(
                {"block " + std::to_string(n),
                 {(n - 1) * LOGGER_BLOCK_SIZE, std::min<std::uint64_t>(n * LOGGER_BLOCK_SIZE, kSpectrumBytes)}});
        return blocks;
    }
    }
}

std::uint64_t TotalBytes(Transfer t)
{
    return t == Transfer::Download ? kDownloadBytes
           : t == Transfer::Setup  ? kSetupBytes
           : t == Transfer::Live   ? kLiveBytes
                                   : kSpectrumBytes;
}

std::string PhaseOf(Transfer t, std::uint64_t at)
{
    for (const auto& [name, range] : Phases(t))
        if (at >= range.first && at < range.second)
            return name;
    return "end";
}

// Up to 50 positions: before and after the first and before the last byte of every phase, the
// rest spread evenly; the setup block is short enough to be cut after every one of its bytes.
std::vector<std::uint64_t> UnplugPositions(Transfer t)
{
    const std::uint64_t total = TotalBytes(t);
    std::set<std::uint64_t> at;
    for (const auto& [name, range] : Phases(t))
        for (std::uint64_t p : {range.first, range.first + 1, range.second - 1})
            if (p < total)
                at.insert(p);
    const std::uint64_t wanted = std::min<std::uint64_t>(50, total);
    for (std::uint64_t k = 0; k < 50 && at.size() < wanted; ++k)
        if (const std::uint64_t p = k * total / 50 + (k % 7); p < total)
            at.insert(p);
    // Where the spread met positions already taken, a stride prime to every length fills in.
    for (std::uint64_t p = 0; at.size() < wanted; p = (p + 41) % total)
        at.insert(p);
    return {at.begin(), at.end()};
}

void PrintTo(const FaultCase& c, std::ostream* out)
{
    *out << Name(c.transfer) << ", "
         << (c.fault == Fault::Unplug  ? "unplug after "
             : c.fault == Fault::Stall ? "stall after "
                                       : "short block ")
         << c.at << " (" << c.phase << ")";
}

std::vector<FaultCase> AllCases()
{
    std::vector<FaultCase> cases;
    for (Transfer t : {Transfer::Download, Transfer::Setup, Transfer::Live, Transfer::Spectrum}) {
        for (std::uint64_t at : UnplugPositions(t))
            cases.push_back({t, Fault::Unplug, at, PhaseOf(t, at)});
        for (const auto& [name, range] : Phases(t))
            cases.push_back({t, Fault::Stall, (range.first + range.second) / 2, name});
    }
    // Short blocks: data blocks 1, 8 and 15; spectrum blocks 1, 4 and 7; samples 1, 10 and 20;
    // the setup command and the setup block.
    for (std::uint64_t n : {1, 8, 15})
        cases.push_back({Transfer::Download, Fault::Short, n, n == 1 ? "first" : n == 15 ? "last" : "middle"});
    for (std::uint64_t n : {1, 4, 7})
        cases.push_back({Transfer::Spectrum, Fault::Short, n, n == 1 ? "first" : n == 7 ? "last" : "middle"});
    for (std::uint64_t n : {1, 10, 20})
        cases.push_back({Transfer::Live, Fault::Short, n, n == 1 ? "first" : n == 20 ? "last" : "middle"});
    for (std::uint64_t n : {1, 2})
        cases.push_back({Transfer::Setup, Fault::Short, n, n == 1 ? "command" : "block"});
    return cases;
}

std::string CaseName(const ::testing::TestParamInfo<FaultCase>& info)
{
    const FaultCase& c = info.param;
    const char* fault = c.fault == Fault::Unplug  ? "UnplugAfter"
                        : c.fault == Fault::Stall ? "StallAfter"
                                                  : "ShortBlock";
    return std::string(Name(c.transfer)) + "_" + fault + std::to_string(c.at);
}

Recording Previous()
{
    return testing::MakeRecording(testing::HeaderAt(2023, 3, 5, 0, 0, 0, 41),
                                  {SampleRow{1, 2, 3, 4}, SampleRow{5, 6, 7, 8}, SampleRow{9, 10, 11, 12}});
}

std::map<std::string, std::string> FolderContents(const fs::path& folder)
{
    std::map<std::string, std::string> out;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        out[entry.path().filename().string()] = bytes.str();
    }
    return out;
}

fs::path NewFolder()
{
    char pattern[] = "/tmp/shakemeter-faults-XXXXXX";
    return ::mkdtemp(pattern) != nullptr ? fs::path(pattern) : fs::path();
}

class FaultMatrix : public ::testing::TestWithParam<FaultCase> {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.empty());
        host.document = Previous();
        ASSERT_TRUE(WriteRecordingFile((m_folder / "saved.Vibration").string(), host.document, 3));
        host.WriteTempCopy();
        host.tempCopies = 0;
        m_before = FolderContents(m_folder);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    static SimulatorFaults SimulatorFaultsOf(const FaultCase& c)
    {
        SimulatorFaults faults;
        if (c.transfer == Transfer::Setup)
            return faults;  // the setup's bytes go to the logger: the bridge cuts them
        if (c.fault == Fault::Unplug)
            faults.unplugAfterBytes = c.at;
        if (c.fault == Fault::Stall)
            faults.stallAfterBytes = c.at;
        if (c.fault == Fault::Short && c.transfer == Transfer::Download)
            faults.shortDataBlock = static_cast<std::uint32_t>(c.at);
        return faults;
    }
    static LoggerMemory Memory()
    {
        GeneratedMemorySettings settings;
        settings.samples = kSamples;
        settings.events = kEvents;
        return LoggerMemory::Generate(settings);
    }
    void ApplyBridgeFaults(const FaultCase& c, SimulatorBridge& bridge)
    {
        if (c.transfer == Transfer::Setup) {
            if (c.fault == Fault::Unplug)
                bridge.unplugAfterTaking = c.at;
            if (c.fault == Fault::Stall)
                bridge.stallAfterTaking = c.at;
        }
        if (c.fault == Fault::Short && (c.transfer == Transfer::Live || c.transfer == Transfer::Spectrum))
            bridge.shortReply = c.at - 1;
        if (c.fault == Fault::Short && c.transfer == Transfer::Setup)
            bridge.shortWrite = c.at - 1;
    }

    // Runs the transfer to its end; true when it succeeded.
    bool Run(Transfer t, CLoggerLink& link)
    {
        switch (t) {
        case Transfer::Download:
            return link.Download();
        case Transfer::Setup: {
            HeaderBlock block{};
            block[6] = 200;
            block[19] = 10;
            block[20] = 1;
            return link.WriteSetupAndReport(block);
        }
        case Transfer::Live: {
            host.view.SetRtRequested(kLivePoints);
            link.SetRealTimeInterval(1000);
            if (!link.RunRealTime())
                return false;
            for (int tick = 0; tick < 2 * kLivePoints && link.RealTimeStatus() == RealTimeState::Reading; ++tick)
                link.OnTimer(kRealTimeTimerId);
            return link.RealTimeStatus() == RealTimeState::Completed;
        }
        default:
            if (!link.StartSpectrum())
                return false;
            if (!link.ReadSpectrum())
                return false;
            link.CloseDevice();
            return true;
        }
    }

    fs::path m_folder = NewFolder();
    DiskHost host{m_folder / "PreMeasure.Vibration"};
    std::map<std::string, std::string> m_before;
};

TEST_P(FaultMatrix, EndsWithOneMessageClosedAndNothingLost)
{
    const FaultCase& c = GetParam();
    LoggerSimulator logger(Memory(), ToneSignal{}, SimulatorFaultsOf(c));
    SimulatorBridge bridge(logger);
    ApplyBridgeFaults(c, bridge);
    CLoggerLink link(bridge, host);
    link.SetClock([] { return CalendarTime::FromLocal(CalendarFields{2024, 5, 14, 9, 30, 0}); });

    EXPECT_FALSE(Run(c.transfer, link)) << c.phase;
    ASSERT_EQ(host.messages.size(), 1u) << c.phase;
    const bool writing = c.transfer == Transfer::Setup;
    EXPECT_EQ(host.messages[0].second, writing ? kWriteFailedMessage : kReadFailedMessage);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(bridge.openConnections, 0);
    // The library's own time-outs are back, whichever call failed.
    EXPECT_EQ(bridge.ReadTimeout(), 777u);
    EXPECT_EQ(bridge.WriteTimeout(), 888u);
    // At most one time-out runs out, and only where the logger kept the connection but stopped.
    EXPECT_LE(bridge.timeoutsRunOut, 1);
    if (c.fault == Fault::Unplug || (c.fault == Fault::Short && writing)) {
        EXPECT_EQ(bridge.timeoutsRunOut, 0) << "a logger that is gone, or a short count, fails at once";
    } else {
        EXPECT_EQ(bridge.timeoutsRunOut, 1);
    }
    EXPECT_LE(bridge.largestTimeout, kTimeoutRtSampleRead);

    EXPECT_EQ(FolderContents(m_folder), m_before) << "files on disk changed";
    if (writing) {
        EXPECT_EQ(logger.SetupBlocksReceived(), 0u) << "a setup arrived although the transfer failed";
    }
    const bool liveStarted = c.transfer == Transfer::Live && link.RealTimeStatus() == RealTimeState::Failed;
    if (!liveStarted) {
        EXPECT_EQ(host.document.m_header, Previous().m_header);
        EXPECT_EQ(host.document.m_pSamples, Previous().m_pSamples);
        EXPECT_EQ(host.tempCopies, 0);
        return;
    }
    // A reading that had started keeps every sample that arrived whole, and only those.
    const std::uint64_t whole = c.fault == Fault::Short ? c.at - 1 : c.at / 6;
    EXPECT_EQ(host.document.m_header.dwSampleCount, whole);
    EXPECT_EQ(host.view.m_nShownCount, static_cast<int>(whole));
}

INSTANTIATE_TEST_SUITE_P(EveryTransfer, FaultMatrix, ::testing::ValuesIn(AllCases()), CaseName);

// The same bench without a fault, and with the unplug only after the last byte: every transfer
// gets through, so the matrix's failures are the faults' doing.
TEST(FaultMatrixBench, EveryTransferSucceedsWhenTheLoggerGoesOnlyAfterItsLastByte)
{
    for (Transfer t : {Transfer::Download, Transfer::Setup, Transfer::Live, Transfer::Spectrum}) {
        for (bool unplugAtEnd : {false, true}) {
            SCOPED_TRACE(std::string(Name(t)) + (unplugAtEnd ? " unplugged at the end" : ""));
            test::FakeLoggerHost host;
            GeneratedMemorySettings settings;
            settings.samples = kSamples;
            settings.events = kEvents;
            SimulatorFaults faults;
            if (unplugAtEnd && t != Transfer::Setup)
                faults.unplugAfterBytes = TotalBytes(t);
            LoggerSimulator logger(LoggerMemory::Generate(settings), ToneSignal{}, faults);
            SimulatorBridge bridge(logger);
            if (unplugAtEnd && t == Transfer::Setup)
                bridge.unplugAfterTaking = kSetupBytes;
            CLoggerLink link(bridge, host);
            bool ok = false;
            switch (t) {
            case Transfer::Download:
                ok = link.Download();
                EXPECT_EQ(host.document.m_pSamples.size(), kSamples);
                EXPECT_EQ(host.document.m_pFreeFallEvents.size(), kEvents);
                break;
            case Transfer::Setup: {
                HeaderBlock block{};
                block[20] = 1;
                ok = link.WriteSetupAndReport(block);
                EXPECT_EQ(logger.SetupBlocksReceived(), 1u);
                break;
            }
            case Transfer::Live:
                host.view.SetRtRequested(kLivePoints);
                link.SetRealTimeInterval(1000);
                ok = link.RunRealTime();
                while (link.RealTimeStatus() == RealTimeState::Reading)
                    link.OnTimer(kRealTimeTimerId);
                ok = ok && link.RealTimeStatus() == RealTimeState::Completed;
                EXPECT_EQ(host.document.m_header.dwSampleCount, static_cast<std::uint32_t>(kLivePoints));
                break;
            case Transfer::Spectrum:
                ok = link.StartSpectrum() && link.ReadSpectrum();
                link.CloseDevice();
                EXPECT_EQ(host.document.m_pSamples.size(), 256u);
                break;
            }
            EXPECT_TRUE(ok);
            EXPECT_EQ(bridge.timeoutsRunOut, 0);
            EXPECT_FALSE(link.IsOpen());
            EXPECT_EQ(bridge.openConnections, 0);
            const std::size_t informational = t == Transfer::Setup ? 1u : 0u;  // the "running" notice
            EXPECT_EQ(host.messages.size(), informational);
        }
    }
}

// A download cancelled between blocks against the simulated logger: the connection closes, no time-out
// is waited for, nothing is told, the shown recording stays; the logger's memory is as it was, so
// the next download brings every sample and event.
TEST(FaultMatrixBench, ACancelledDownloadLeavesTheLoggerAndTheRecordingAsTheyWere)
{
    test::FakeLoggerHost host;
    GeneratedMemorySettings settings;
    settings.samples = kSamples;
    settings.events = kEvents;
    LoggerSimulator logger(LoggerMemory::Generate(settings), ToneSignal{}, SimulatorFaults{});
    SimulatorBridge bridge(logger);
    CLoggerLink link(bridge, host);
    host.document = testing::MakeRecording(testing::HeaderAt(2023, 3, 5, 0, 0, 0, 9), {{0.5, 0.0, 1.0, 1.1}});
    const Recording before = host.document;
    host.onProgress = [&](int position) {
        if (position == 3)
            link.RequestCancel();
    };
    EXPECT_FALSE(link.Download());
    EXPECT_TRUE(link.DownloadCancelled());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(bridge.openConnections, 0);
    EXPECT_EQ(bridge.timeoutsRunOut, 0);
    EXPECT_EQ(host.document.m_pSamples, before.m_pSamples);
    EXPECT_EQ(host.document.m_header, before.m_header);
    EXPECT_EQ(host.tempCopies, 0);
    EXPECT_EQ(logger.SetupBlocksReceived(), 0u);

    host.onProgress = nullptr;
    ASSERT_TRUE(link.Download());
    EXPECT_EQ(host.document.m_pSamples.size(), kSamples);
    EXPECT_EQ(host.document.m_pFreeFallEvents.size(), kEvents);
}

}  // namespace
}  // namespace shakemeter
