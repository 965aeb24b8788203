#include "logger/VirtualBridgeBackend.h"

#include "test_bridge_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>

namespace shakemeter {
namespace {

using testing::BridgeServer;
using testing::Pattern;
using testing::ReceiveExactly;
using testing::RuntimeFolder;
using testing::SendAll;
using testing::WaitForHangUp;
using testing::WaitForHangUpWithoutReading;
using Bytes = std::vector<unsigned char>;

std::string DeviceString(DeviceLibrary& library, std::uint32_t index)
{
    char text[256] = "unchanged";
    if (library.GetProductString(index, text, 0) != DEVICE_SUCCESS) {
        return "<failed>";
    }
    return text;
}

std::uint32_t Count(DeviceLibrary& library)
{
    std::uint32_t count = 99;
    EXPECT_EQ(library.GetNumDevices(count), DEVICE_SUCCESS);
    return count;
}

DeviceHandle OpenFirst(DeviceLibrary& library)
{
    EXPECT_EQ(Count(library), 1u);
    DeviceHandle handle = INVALID_DEVICE_HANDLE;
    EXPECT_EQ(library.Open(0, handle), DEVICE_SUCCESS);
    return handle;
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

TEST(VirtualBridgeFolder, FollowsTheRuntimeFolderAndFallsBackToTmp)
{
    RuntimeFolder folder;
    EXPECT_EQ(VirtualBridgeFolder(), folder.Root() + "/shakemeter/bridges");

    const std::string fallback = "/tmp/shakemeter-" + std::to_string(::getuid()) + "/bridges";
    ::setenv("XDG_RUNTIME_DIR", "", 1);
    EXPECT_EQ(VirtualBridgeFolder(), fallback);
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(VirtualBridgeFolder(), fallback);
}

TEST(VirtualBridgeListing, ListsServedSocketsInNameOrderByBaseName)
{
    RuntimeFolder folder;
    const auto idle = [](int fd) { WaitForHangUp(fd); };
    BridgeServer second(folder.Socket("qz810-sim-2"), idle);
    BridgeServer tenth(folder.Socket("qz810-sim-10"), idle);
    BridgeServer alpha(folder.Socket("alpha"), idle);
    std::ofstream(folder.Bridges() + "/plain.sock") << "not a socket";
    std::ofstream(folder.Bridges() + "/notes.txt") << "not a bridge";
    std::filesystem::create_directory(folder.Bridges() + "/folder.sock");

    VirtualBridgeBackend backend;
    ASSERT_EQ(Count(backend), 3u);
    EXPECT_EQ(DeviceString(backend, 0), "alpha");
    EXPECT_EQ(DeviceString(backend, 1), "qz810-sim-10");
    EXPECT_EQ(DeviceString(backend, 2), "qz810-sim-2");
    EXPECT_EQ(backend.BackendOf(2), "virtual");

    EXPECT_EQ(DeviceString(backend, 3), "<failed>");
    EXPECT_EQ(backend.BackendOf(3), "");
    DeviceHandle handle = 5;
    EXPECT_NE(backend.Open(3, handle), DEVICE_SUCCESS);
    EXPECT_EQ(handle, INVALID_DEVICE_HANDLE);
    char text[256];
    EXPECT_NE(backend.GetProductString(0, text, 7), DEVICE_SUCCESS);
    EXPECT_NE(backend.GetProductString(0, nullptr, 0), DEVICE_SUCCESS);

    // Listing and querying are no connections: a simulator serving one client at a time would
    // otherwise see a stranger every second.
    EXPECT_EQ(second.Accepted() + tenth.Accepted() + alpha.Accepted(), 0);
    VirtualBridgeBackend spelledDifferently(folder.Root() + "//shakemeter/./bridges/");
    EXPECT_EQ(Count(spelledDifferently), 3u);
    EXPECT_EQ(DeviceString(spelledDifferently, 0), "alpha");
    EXPECT_EQ(second.Accepted() + tenth.Accepted() + alpha.Accepted(), 0);
}

TEST(VirtualBridgeListing, EachCountScansAgain)
{
    RuntimeFolder folder;
    const auto idle = [](int fd) { WaitForHangUp(fd); };
    VirtualBridgeBackend backend;
    EXPECT_EQ(Count(backend), 0u);

    auto late = std::make_unique<BridgeServer>(folder.Socket("late"), idle);
    EXPECT_EQ(Count(backend), 1u);
    EXPECT_EQ(DeviceString(backend, 0), "late");

    late.reset();
    EXPECT_EQ(Count(backend), 0u);
    std::filesystem::remove_all(folder.Bridges());
    EXPECT_EQ(Count(backend), 0u);
}

TEST(VirtualBridgeListing, QueryFailsOnceTheSocketIsGone)
{
    RuntimeFolder folder;
    auto server = std::make_unique<BridgeServer>(folder.Socket("gone"), [](int fd) { WaitForHangUp(fd); });
    VirtualBridgeBackend backend;
    ASSERT_EQ(Count(backend), 1u);
    server.reset();
    EXPECT_EQ(DeviceString(backend, 0), "<failed>");
}

TEST(VirtualBridgeListing, StaleSocketIsSkippedAndFailsToOpen)
{
    RuntimeFolder folder;
    BridgeServer live(folder.Socket("b-live"), [](int fd) { WaitForHangUp(fd); });
    BridgeServer crashed(folder.Socket("a-crashed"), [](int fd) { WaitForHangUp(fd); });

    VirtualBridgeBackend backend;
    ASSERT_EQ(Count(backend), 2u);
    crashed.StopListening();
    ASSERT_TRUE(std::filesystem::exists(folder.Socket("a-crashed")));

    // Listed before its program ended: opening it now fails and leaves no handle.
    DeviceHandle handle = 5;
    EXPECT_NE(backend.Open(0, handle), DEVICE_SUCCESS);
    EXPECT_EQ(handle, INVALID_DEVICE_HANDLE);

    // A new scan no longer offers it, so the first bridge is one that answers.
    ASSERT_EQ(Count(backend), 1u);
    EXPECT_EQ(DeviceString(backend, 0), "b-live");
    EXPECT_EQ(backend.Open(0, handle), DEVICE_SUCCESS);
    EXPECT_EQ(backend.Close(handle), DEVICE_SUCCESS);
}

TEST(VirtualBridgeTimeouts, AreKeptLibraryWide)
{
    VirtualBridgeBackend backend;
    std::uint32_t readMs = 0, writeMs = 0;
    EXPECT_EQ(backend.SetTimeouts(3000, 1000), DEVICE_SUCCESS);
    EXPECT_EQ(backend.GetTimeouts(readMs, writeMs), DEVICE_SUCCESS);
    EXPECT_EQ(readMs, 3000u);
    EXPECT_EQ(writeMs, 1000u);
    EXPECT_EQ(backend.SetTimeouts(20000, 0), DEVICE_SUCCESS);
    EXPECT_EQ(backend.GetTimeouts(readMs, writeMs), DEVICE_SUCCESS);
    EXPECT_EQ(readMs, 20000u);
    EXPECT_EQ(writeMs, 0u);
}

class VirtualBridgeTransfer : public ::testing::Test {
protected:
    RuntimeFolder m_folder;
    VirtualBridgeBackend m_backend;
};

TEST_F(VirtualBridgeTransfer, CommandAndReplyMakeARoundTrip)
{
    const Bytes reply = Pattern(22);
    BridgeServer server(m_folder.Socket("logger"), [&](int fd) {
        if (ReceiveExactly(fd, 3) == Bytes{0x55, 0x03, 0x00}) {
            SendAll(fd, reply);
        }
        WaitForHangUp(fd);
    });
    m_backend.SetTimeouts(3000, 1000);
    const DeviceHandle handle = OpenFirst(m_backend);
    ASSERT_NE(handle, INVALID_DEVICE_HANDLE);

    const Bytes command{0x55, 0x03, 0x00};
    std::uint32_t written = 0;
    EXPECT_EQ(m_backend.Write(handle, command.data(), 3, written), DEVICE_SUCCESS);
    EXPECT_EQ(written, 3u);

    Bytes got(22, 0);
    std::uint32_t read = 0;
    EXPECT_EQ(m_backend.Read(handle, got.data(), 22, read), DEVICE_SUCCESS);
    EXPECT_EQ(read, 22u);
    EXPECT_EQ(got, reply);
    EXPECT_EQ(m_backend.Close(handle), DEVICE_SUCCESS);
}

TEST_F(VirtualBridgeTransfer, ReplyArrivingInPiecesIsReadWhole)
{
    const Bytes block = Pattern(252, 9);
    const Bytes next = Pattern(6, 200);
    BridgeServer server(m_folder.Socket("logger"), [&](int fd) {
        SendAll(fd, Bytes(block.begin(), block.begin() + 1));
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        SendAll(fd, Bytes(block.begin() + 1, block.begin() + 101));
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        SendAll(fd, Bytes(block.begin() + 101, block.end()));
        SendAll(fd, next);
        WaitForHangUp(fd);
    });
    m_backend.SetTimeouts(3000, 1000);
    const DeviceHandle handle = OpenFirst(m_backend);

    Bytes got(252, 0);
    std::uint32_t read = 0;
    EXPECT_EQ(m_backend.Read(handle, got.data(), 252, read), DEVICE_SUCCESS);
    EXPECT_EQ(read, 252u);
    EXPECT_EQ(got, block);

    // Nothing beyond the asked length was taken from the stream.
    Bytes rest(6, 0);
    EXPECT_EQ(m_backend.Read(handle, rest.data(), 6, read), DEVICE_SUCCESS);
    EXPECT_EQ(read, 6u);
    EXPECT_EQ(rest, next);
    m_backend.Close(handle);
}

TEST_F(VirtualBridgeTransfer, ShortReplySucceedsWithTheBytesThatArrived)
{
    BridgeServer server(m_folder.Socket("logger"), [&](int fd) {
        SendAll(fd, Pattern(10));
        WaitForHangUp(fd);
    });
    m_backend.SetTimeouts(200, 1000);
    const DeviceHandle handle = OpenFirst(m_backend);

    Bytes got(22, 0);
    std::uint32_t read = 0;
    EXPECT_EQ(m_backend.Read(handle, got.data(), 22, read), DEVICE_SUCCESS);
    EXPECT_EQ(read, 10u);
    EXPECT_EQ(Bytes(got.begin(), got.begin() + 10), Pattern(10));
    EXPECT_EQ(Bytes(got.begin() + 10, got.end()), Bytes(12, 0));
    m_backend.Close(handle);
}

TEST_F(VirtualBridgeTransfer, NoReplyFailsOnceTheReadTimeoutEnds)
{
    BridgeServer server(m_folder.Socket("logger"), [](int fd) { WaitForHangUp(fd); });
    m_backend.SetTimeouts(200, 1000);
    const DeviceHandle handle = OpenFirst(m_backend);

    Bytes got(22, 0);
    std::uint32_t read = 77;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NE(m_backend.Read(handle, got.data(), 22, read), DEVICE_SUCCESS);
    EXPECT_GE(MillisecondsSince(start), 190);
    EXPECT_EQ(read, 0u);

    // A time-out is not a hang-up: the connection still carries what comes later.
    const Bytes ping{1};
    std::uint32_t written = 0;
    EXPECT_EQ(m_backend.Write(handle, ping.data(), 1, written), DEVICE_SUCCESS);
    m_backend.Close(handle);
}

TEST_F(VirtualBridgeTransfer, PeerThatHungUpFailsEveryLaterReadAndWrite)
{
    BridgeServer server(m_folder.Socket("logger"), [](int fd) { SendAll(fd, Pattern(5)); });
    m_backend.SetTimeouts(5000, 1000);
    const DeviceHandle handle = OpenFirst(m_backend);

    // What was sent before the hang-up is still delivered.
    Bytes got(22, 0);
    std::uint32_t read = 0;
    EXPECT_EQ(m_backend.Read(handle, got.data(), 22, read), DEVICE_SUCCESS);
    EXPECT_EQ(read, 5u);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_NE(m_backend.Read(handle, got.data(), 22, read), DEVICE_SUCCESS);
    EXPECT_EQ(read, 0u);
    EXPECT_LT(MillisecondsSince(start), 4000) << "a hang-up must not wait for the time-out";

    const Bytes command{0x55, 0x01, 0x00};
    std::uint32_t written = 9;
    EXPECT_NE(m_backend.Write(handle, command.data(), 3, written), DEVICE_SUCCESS);
    EXPECT_EQ(written, 0u);
    EXPECT_NE(m_backend.Read(handle, got.data(), 22, read), DEVICE_SUCCESS);
    EXPECT_EQ(m_backend.Close(handle), DEVICE_SUCCESS);
}

TEST_F(VirtualBridgeTransfer, WriteToAPeerThatHungUpFailsWithoutEndingTheProgram)
{
    std::promise<void> hungUp;
    BridgeServer server(m_folder.Socket("logger"), [&](int fd) {
        ::shutdown(fd, SHUT_RDWR);
        hungUp.set_value();
    });
    const DeviceHandle handle = OpenFirst(m_backend);
    hungUp.get_future().wait();
    // Let the server's close reach this side.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));

    const Bytes command{0x55, 0x01, 0x00};
    std::uint32_t written = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_NE(m_backend.Write(handle, command.data(), 3, written), DEVICE_SUCCESS);
    }
    Bytes got(4, 0);
    std::uint32_t read = 0;
    EXPECT_NE(m_backend.Read(handle, got.data(), 4, read), DEVICE_SUCCESS);
    m_backend.Close(handle);
}

TEST_F(VirtualBridgeTransfer, LargeWriteGoesThroughWhileThePeerReads)
{
    const std::size_t size = 1 << 20;
    std::promise<std::size_t> received;
    BridgeServer server(m_folder.Socket("logger"), [&](int fd) {
        received.set_value(ReceiveExactly(fd, size).size());
        WaitForHangUp(fd);
    });
    m_backend.SetTimeouts(1000, 5000);
    const DeviceHandle handle = OpenFirst(m_backend);
    const Bytes data = Pattern(size);
    std::uint32_t written = 0;
    EXPECT_EQ(m_backend.Write(handle, data.data(), static_cast<std::uint32_t>(size), written), DEVICE_SUCCESS);
    EXPECT_EQ(written, size);
    EXPECT_EQ(received.get_future().get(), size);
    m_backend.Close(handle);
}

TEST_F(VirtualBridgeTransfer, WriteThatCannotCompleteFailsWithinTheWriteTimeout)
{
    BridgeServer server(m_folder.Socket("logger"), [](int fd) { WaitForHangUpWithoutReading(fd); });
    m_backend.SetTimeouts(1000, 200);
    const DeviceHandle handle = OpenFirst(m_backend);
    const std::size_t size = 32 << 20;
    const Bytes data(size, 0xAA);
    std::uint32_t written = 0;
    EXPECT_NE(m_backend.Write(handle, data.data(), static_cast<std::uint32_t>(size), written), DEVICE_SUCCESS);
    EXPECT_LT(written, size);
    m_backend.Close(handle);
}

TEST_F(VirtualBridgeTransfer, HandlesAreDistinctAndClosingOneLeavesTheOther)
{
    BridgeServer server(m_folder.Socket("logger"), [](int fd) {
        const Bytes command = ReceiveExactly(fd, 1);
        if (!command.empty()) {
            SendAll(fd, Bytes{static_cast<unsigned char>(command[0] + 1)});
        }
        WaitForHangUp(fd);
    });
    m_backend.SetTimeouts(3000, 1000);
    ASSERT_EQ(Count(m_backend), 1u);
    DeviceHandle first = INVALID_DEVICE_HANDLE, second = INVALID_DEVICE_HANDLE;
    ASSERT_EQ(m_backend.Open(0, first), DEVICE_SUCCESS);
    ASSERT_EQ(m_backend.Open(0, second), DEVICE_SUCCESS);
    EXPECT_NE(first, second);

    EXPECT_EQ(m_backend.Close(first), DEVICE_SUCCESS);
    EXPECT_NE(m_backend.Close(first), DEVICE_SUCCESS);
    Bytes got(1, 0);
    std::uint32_t read = 0, written = 0;
    EXPECT_EQ(m_backend.Read(first, got.data(), 1, read), DEVICE_INVALID_HANDLE);
    EXPECT_EQ(m_backend.Write(first, got.data(), 1, written), DEVICE_INVALID_HANDLE);

    // The server turns to the second connection once the first is closed.
    const Bytes command{41};
    EXPECT_EQ(m_backend.Write(second, command.data(), 1, written), DEVICE_SUCCESS);
    EXPECT_EQ(m_backend.Read(second, got.data(), 1, read), DEVICE_SUCCESS);
    EXPECT_EQ(got, Bytes{42});
    EXPECT_EQ(m_backend.Close(second), DEVICE_SUCCESS);
}

}  // namespace
}  // namespace shakemeter
