// The libusb backend and the link through the real libusb, against bridges emulated under
// umockdev with the simulator's logger behind their bulk endpoints.

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "logger/CLoggerLink.h"
#include "logger/UsbBridgeBackend.h"
#include "tests/logger/FakeLoggerHost.h"
#include "tests/logger/usb/EmulatedBridge.h"
#include "tools/sim/LoggerMemory.h"
#include "tools/sim/LoggerSimulator.h"

namespace shakemeter::usbtest {
namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::string DeviceString(DeviceLibrary& library, std::uint32_t index, int kind = 0)
{
    char text[256] = "";
    return library.GetProductString(index, text, kind) == DEVICE_SUCCESS ? text : "<failed>";
}

LoggerMemory Memory(std::uint32_t samples, std::uint16_t events, bool motion = false)
{
    GeneratedMemorySettings settings;
    settings.samples = samples;
    settings.events = events;
    settings.motion = motion;
    return LoggerMemory::Generate(settings);
}

Recording Previous()
{
    return shakemeter::test::PreviousRecording();
}

// Index of the bridge with the given serial number, or -1.
int IndexOf(DeviceLibrary& library, const std::string& serial)
{
    std::uint32_t count = 0;
    library.GetNumDevices(count);
    for (std::uint32_t i = 0; i < count; ++i)
        if (DeviceString(library, i) == serial)
            return static_cast<int>(i);
    return -1;
}

class UsbBridge : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EmulatedUsb::Available()) << "the USB bridge tests run under umockdev-wrapper";
        host.document = Previous();
    }

    // libusb lists devices when it starts: the bench is set up before the backend exists.
    UsbBridgeBackend& Backend()
    {
        if (!m_backend)
            m_backend = std::make_unique<UsbBridgeBackend>();
        return *m_backend;
    }
    DeviceHandle OpenSerial(const std::string& serial)
    {
        const int index = IndexOf(Backend(), serial);
        EXPECT_GE(index, 0) << serial;
        DeviceHandle handle = INVALID_DEVICE_HANDLE;
        EXPECT_EQ(Backend().Open(static_cast<std::uint32_t>(std::max(index, 0)), handle), DEVICE_SUCCESS);
        return handle;
    }
    void ExpectPreviousRecording() const
    {
        EXPECT_EQ(host.document.m_header, Previous().m_header);
        EXPECT_EQ(host.document.m_pSamples, Previous().m_pSamples);
    }
    std::vector<std::string> MessageTexts() const { return host.MessageTexts(); }

    EmulatedUsb usb;
    test::FakeLoggerHost host;

private:
    std::unique_ptr<UsbBridgeBackend> m_backend;  // destroyed before the bench it talks to
};

TEST_F(UsbBridge, ListsTheBridgesWithTheirSerialNumbersAndIgnoresOtherDevices)
{
    usb.Add({0x10C4, 0xEA61, "QZ0001", "QZ810 USB bridge"});
    usb.Add({0x046D, 0xC077, "M0USE", "A mouse"});
    usb.Add({0x10C4, 0xEA61, "QZ0002", "QZ810 USB bridge"});
    usb.Add({0x10C4, 0xEA60, "OTHER", "Same vendor, other product"});

    UsbBridgeBackend& backend = Backend();
    ASSERT_TRUE(backend.IsAvailable());
    std::uint32_t count = 99;
    ASSERT_EQ(backend.GetNumDevices(count), DEVICE_SUCCESS);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ((std::set<std::string>{DeviceString(backend, 0), DeviceString(backend, 1)}),
              (std::set<std::string>{"QZ0001", "QZ0002"}));
    EXPECT_EQ(DeviceString(backend, 0, 1), "QZ810 USB bridge");
    EXPECT_EQ(DeviceString(backend, 2), "<failed>");
    EXPECT_EQ(backend.BackendOf(1), "usb");
    EXPECT_EQ(backend.BackendOf(2), "");
    DeviceHandle handle = 5;
    EXPECT_NE(backend.Open(2, handle), DEVICE_SUCCESS);
    EXPECT_EQ(handle, INVALID_DEVICE_HANDLE);

    CLoggerLink link(backend, host);
    EXPECT_EQ(link.FindDevice(), 0);
    EXPECT_TRUE(link.ProbeDevice());
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(UsbBridge, OpenByIndexTalksToThatBridgeOnly)
{
    EmulatedBridge& first = usb.Add({0x10C4, 0xEA61, "QZ0001", "QZ810 USB bridge"});
    EmulatedBridge& second = usb.Add({0x10C4, 0xEA61, "QZ0002", "QZ810 USB bridge"});
    const DeviceHandle handle = OpenSerial("QZ0002");
    const Bytes command{0x00, 0x01, 0x02};
    std::uint32_t written = 0;
    ASSERT_EQ(Backend().Write(handle, command.data(), 3, written), DEVICE_SUCCESS);
    EXPECT_EQ(written, 3u);
    EXPECT_EQ(second.Received(), command);
    EXPECT_TRUE(first.Received().empty());
    EXPECT_EQ(Backend().Close(handle), DEVICE_SUCCESS);
    EXPECT_EQ(Backend().Close(handle), DEVICE_INVALID_HANDLE);
    std::uint32_t read = 0;
    EXPECT_EQ(Backend().Write(handle, command.data(), 3, written), DEVICE_INVALID_HANDLE);
    EXPECT_EQ(Backend().Read(handle, nullptr, 0, read), DEVICE_INVALID_HANDLE);
}

TEST_F(UsbBridge, AReplyHandedOverInPiecesArrivesWhole)
{
    LoggerSimulator logger(Memory(100, 0), ToneSignal{});
    EmulatedBridge& bridge = usb.Add({});
    bridge.SetLogger(&logger);
    bridge.SetPieceSize(10);
    const DeviceHandle handle = OpenSerial("QZ0001");
    Backend().SetTimeouts(2000, 1000);
    const Command request = ReadBlockCommand(0);
    std::uint32_t written = 0;
    ASSERT_EQ(Backend().Write(handle, request.data(), 3, written), DEVICE_SUCCESS);
    Bytes reply(22, 0);
    std::uint32_t read = 0;
    ASSERT_EQ(Backend().Read(handle, reply.data(), 22, read), DEVICE_SUCCESS);
    EXPECT_EQ(read, 22u);
    const HeaderBlock expected = logger.Memory().HeaderReply();
    EXPECT_EQ(reply, Bytes(expected.begin(), expected.end()));
}

TEST_F(UsbBridge, WholeDownloadArrivesByteForByte)
{
    LoggerSimulator logger(Memory(1000, 45, true), ToneSignal{});
    EmulatedBridge& bridge = usb.Add({});
    bridge.SetLogger(&logger);
    bridge.SetPieceSize(EmulatedBridge::PACKET_SIZE);
    CLoggerLink link(Backend(), host);
    ASSERT_TRUE(link.Download());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(link.IsOpen());

    // Every block asked for once, in order: the header, 36 data blocks, 2 event blocks.
    const LoggerMemory& memory = logger.Memory();
    ASSERT_EQ(memory.DataBytes(), 9000u);
    const Command header = ReadBlockCommand(0);
    Bytes commands(header.begin(), header.end());
    for (std::uint16_t n = 1; n <= 36; ++n) {
        const Command c = ReadBlockCommand(n);
        commands.insert(commands.end(), c.begin(), c.end());
    }
    for (std::uint16_t n = 1; n <= 2; ++n) {
        const Command c = ReadBlockCommand(n);
        commands.insert(commands.end(), c.begin(), c.end());
    }
    EXPECT_EQ(bridge.Received(), commands);

    const Recording& r = host.document;
    ASSERT_EQ(r.m_pSamples.size(), 1000u);
    ASSERT_EQ(r.m_pSampleTicks.size(), 1000u);
    const Bytes& stream = memory.SampleStream();
    for (std::size_t k = 0; k < 1000; ++k) {
        ASSERT_EQ(r.m_pSamples[k], DecodeMemorySample(stream.data() + k * 9)) << "sample " << k;
        ASSERT_EQ(r.m_pSampleTicks[k], DecodeTick(stream.data() + k * 9)) << "tick " << k;
    }
    ASSERT_EQ(r.m_pFreeFallEvents.size(), 45u);
    for (std::size_t j = 0; j < 45; ++j)
        EXPECT_EQ(r.m_pFreeFallEvents[j], DecodeEventText(memory.EventStream().data() + j * 6));
    EXPECT_EQ(r.m_header.wInterval, memory.Header().wInterval);
    EXPECT_EQ(r.m_header.wYear, memory.Header().wYear);
}

// The logger sends the first data block with bytes beyond its length: those bytes, taken in with
// the block's last packet, are no part of the next reply.
TEST_F(UsbBridge, ABlockSentLongShiftsNothingAfterIt)
{
    SimulatorFaults faults;
    faults.longDataBlock = 1;
    LoggerSimulator logger(Memory(100, 3), ToneSignal{}, faults);
    usb.Add({}).SetLogger(&logger);
    CLoggerLink link(Backend(), host);
    ASSERT_TRUE(link.Download());
    EXPECT_TRUE(host.messages.empty());

    const LoggerMemory& memory = logger.Memory();
    const Recording& r = host.document;
    ASSERT_EQ(r.m_pSamples.size(), 100u);
    for (std::size_t k = 0; k < 100; ++k)
        ASSERT_EQ(r.m_pSamples[k], DecodeMemorySample(memory.SampleStream().data() + k * 6)) << "sample " << k;
    ASSERT_EQ(r.m_pFreeFallEvents.size(), 3u);
    for (std::size_t j = 0; j < 3; ++j)
        EXPECT_EQ(r.m_pFreeFallEvents[j], DecodeEventText(memory.EventStream().data() + j * 6));
}

TEST_F(UsbBridge, SetupBlockArrivesByteForByte)
{
    LoggerSimulator logger(Memory(10, 0), ToneSignal{});
    EmulatedBridge& bridge = usb.Add({});
    bridge.SetLogger(&logger);
    HeaderBlock block{};
    for (std::size_t i = 6; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(0xA0 + i);
    block[20] = 1;
    CLoggerLink link(Backend(), host);
    ASSERT_TRUE(link.WriteSetupAndReport(block));
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{kSetupRunningMessage}));
    Bytes expected{0x01, 0x00, 0x16};
    expected.insert(expected.end(), block.begin(), block.end());
    EXPECT_EQ(bridge.Received(), expected);
    ASSERT_TRUE(logger.LastSetupBlock().has_value());
    EXPECT_EQ(*logger.LastSetupBlock(), block);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(UsbBridge, ReadAndWriteEndWithinTheirTimeOutsWhenTheBridgeStops)
{
    EmulatedBridge& bridge = usb.Add({});  // no logger: nothing ever answers
    const DeviceHandle handle = OpenSerial("QZ0001");
    Backend().SetTimeouts(300, 300);

    Bytes reply(22, 0);
    std::uint32_t read = 7;
    auto start = Clock::now();
    EXPECT_EQ(Backend().Read(handle, reply.data(), 22, read), DEVICE_READ_TIMED_OUT);
    EXPECT_EQ(read, 0u);
    EXPECT_GE(MsSince(start), 290);
    EXPECT_LT(MsSince(start), 1500);

    bridge.SetRefusingWrites(true);
    const Bytes command{0xF2, 0x00, 0x00};
    std::uint32_t written = 7;
    start = Clock::now();
    EXPECT_EQ(Backend().Write(handle, command.data(), 3, written), DEVICE_WRITE_TIMED_OUT);
    EXPECT_EQ(written, 0u);
    EXPECT_GE(MsSince(start), 290);
    EXPECT_LT(MsSince(start), 1500);

    // A time-out is not the end of the connection.
    bridge.SetRefusingWrites(false);
    EXPECT_EQ(Backend().Write(handle, command.data(), 3, written), DEVICE_SUCCESS);
    EXPECT_EQ(Backend().Close(handle), DEVICE_SUCCESS);
}

TEST_F(UsbBridge, LoggerThatStallsFailsTheDownloadAfterTheReadTimeOut)
{
    SimulatorFaults faults;
    faults.stallAfterBytes = 22 + 252 + 100;
    LoggerSimulator logger(Memory(500, 0), ToneSignal{}, faults);
    usb.Add({}).SetLogger(&logger);
    CLoggerLink link(Backend(), host);
    const auto start = Clock::now();
    EXPECT_FALSE(link.Download());
    EXPECT_GE(MsSince(start), static_cast<long long>(kTimeoutDownloadRead) - 10);
    EXPECT_LT(MsSince(start), static_cast<long long>(kTimeoutDownloadRead) + 2000);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{kReadFailedMessage}));
    EXPECT_FALSE(link.IsOpen());
    ExpectPreviousRecording();
}

TEST_F(UsbBridge, UnplugInTheMiddleOfADownloadIsOneMessageAndKeepsThePreviousRecording)
{
    SimulatorFaults faults;
    faults.unplugAfterBytes = 22 + 3 * 252 + 100;
    LoggerSimulator logger(Memory(1000, 0), ToneSignal{}, faults);
    EmulatedBridge& bridge = usb.Add({});
    bridge.SetLogger(&logger);
    CLoggerLink link(Backend(), host);
    const auto start = Clock::now();
    EXPECT_FALSE(link.Download());
    // libusb says "no device" at once; nobody waits for a time-out.
    EXPECT_LT(MsSince(start), static_cast<long long>(kTimeoutDownloadRead));
    EXPECT_TRUE(bridge.Gone());
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{kReadFailedMessage}));
    EXPECT_EQ(host.progress.back(), "end");
    EXPECT_FALSE(link.IsOpen());
    ExpectPreviousRecording();
    EXPECT_EQ(host.tempCopies, 0);

    // The unplugged bridge answers nothing any more: a second attempt fails the same way.
    DeviceHandle handle = INVALID_DEVICE_HANDLE;
    if (Backend().Open(0, handle) == DEVICE_SUCCESS) {
        const Command request = ReadBlockCommand(0);
        std::uint32_t written = 0;
        EXPECT_NE(Backend().Write(handle, request.data(), 3, written), DEVICE_SUCCESS);
        Backend().Close(handle);
    }
}

}  // namespace
}  // namespace shakemeter::usbtest
