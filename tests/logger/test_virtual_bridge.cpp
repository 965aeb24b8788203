#include "logger/VirtualBridgeBackend.h"

#include "test_bridge_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>

namespace shakemeter {
namespace {

using namespace shakemeter::testing;
using Clock = std::chrono::steady_clock;

std::string DeviceString(DeviceLibrary& library, std::uint32_t index)
{
    char text[256] = "";
    return library.GetProductString(index, text, 0) == DEVICE_SUCCESS ? text : "<failed>";
}

std::uint32_t Count(DeviceLibrary& library)
{
    std::uint32_t count = 99;
    EXPECT_EQ(library.GetNumDevices(count), DEVICE_SUCCESS);
    return count;
}

long long MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
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

TEST(VirtualBridgeListing, ListsServedSocketsInNameOrderWithoutConnecting)
{
    RuntimeFolder folder;
    BridgeServer second(folder.Socket("qz810-sim-2"), [](int fd) { WaitForHangUp(fd); });
    BridgeServer tenth(folder.Socket("qz810-sim-10"), [](int fd) { WaitForHangUp(fd); });
    BridgeServer alpha(folder.Socket("alpha"), [](int fd) { WaitForHangUp(fd); });
    std::ofstream(folder.Bridges() + "/plain.sock") << "not a socket";
    std::ofstream(folder.Bridges() + "/notes.txt") << "not a bridge";

    VirtualBridgeBackend backend;
    ASSERT_EQ(Count(backend), 3u);
    EXPECT_EQ(DeviceString(backend, 0), "alpha");
    EXPECT_EQ(DeviceString(backend, 1), "qz810-sim-10");
    EXPECT_EQ(DeviceString(backend, 2), "qz810-sim-2");
    EXPECT_EQ(backend.BackendOf(2), "virtual");
    EXPECT_EQ(DeviceString(backend, 3), "<failed>");
    DeviceHandle handle = 5;
    EXPECT_NE(backend.Open(3, handle), DEVICE_SUCCESS);
    EXPECT_EQ(handle, INVALID_DEVICE_HANDLE);

    // A serving program that takes one client at a time must not see the listing as a client.
    VirtualBridgeBackend spelledDifferently(folder.Root() + "//shakemeter/./bridges/");
    EXPECT_EQ(Count(spelledDifferently), 3u);
    EXPECT_EQ(second.Accepted() + tenth.Accepted() + alpha.Accepted(), 0);
}

TEST(VirtualBridgeListing, FollowsProgramsThatComeGoAndCrash)
{
    RuntimeFolder folder;
    VirtualBridgeBackend backend;
    std::filesystem::remove_all(folder.Bridges());
    EXPECT_EQ(Count(backend), 0u);
    std::filesystem::create_directories(folder.Bridges());

    BridgeServer live(folder.Socket("b-live"), [](int fd) { WaitForHangUp(fd); });
    auto crashed = std::make_unique<BridgeServer>(folder.Socket("a-crashed"), [](int fd) { WaitForHangUp(fd); });
    ASSERT_EQ(Count(backend), 2u);
    crashed->StopListening();  // its socket file stays behind

    DeviceHandle handle = 5;
    EXPECT_NE(backend.Open(0, handle), DEVICE_SUCCESS);
    EXPECT_EQ(handle, INVALID_DEVICE_HANDLE);
    // A new scan leaves the stale file out, so the first bridge listed is one that answers.
    ASSERT_EQ(Count(backend), 1u);
    EXPECT_EQ(DeviceString(backend, 0), "b-live");

    ::unlink(folder.Socket("b-live").c_str());  // gone since the scan: the query fails
    EXPECT_EQ(DeviceString(backend, 0), "<failed>");
}

class VirtualBridgeTransfer : public ::testing::Test {
protected:
    DeviceHandle OpenFirst()
    {
        EXPECT_EQ(Count(m_backend), 1u);
        DeviceHandle handle = INVALID_DEVICE_HANDLE;
        EXPECT_EQ(m_backend.Open(0, handle), DEVICE_SUCCESS);
        return handle;
    }
    DeviceStatus Read(DeviceHandle handle, Bytes& into, std::uint32_t& read)
    {
        return m_backend.Read(handle, into.data(), static_cast<std::uint32_t>(into.size()), read);
    }
    DeviceStatus Write(DeviceHandle handle, const Bytes& bytes, std::uint32_t& written)
    {
        return m_backend.Write(handle, bytes.data(), static_cast<std::uint32_t>(bytes.size()), written);
    }

    RuntimeFolder m_folder;
    VirtualBridgeBackend m_backend;
};

TEST_F(VirtualBridgeTransfer, FixedLengthRepliesAreReadWholeWhateverPiecesTheyArriveIn)
{
    const Bytes command{0x55, 0x03, 0x00}, block = Pattern(252, 9), next = Pattern(6, 200);
    BridgeServer server(m_folder.Socket("logger"), [&](int fd) {
        if (ReceiveExactly(fd, 3) != command) {
            return;
        }
        SendAll(fd, Bytes(block.begin(), block.begin() + 1));
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        SendAll(fd, Bytes(block.begin() + 1, block.begin() + 101));
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        SendAll(fd, Bytes(block.begin() + 101, block.end()));
        SendAll(fd, next);
        WaitForHangUp(fd);
    });
    m_backend.SetTimeouts(3000, 1000);
    const DeviceHandle handle = OpenFirst();
    std::uint32_t written = 0, read = 0;
    EXPECT_EQ(Write(handle, command, written), DEVICE_SUCCESS);
    EXPECT_EQ(written, 3u);

    Bytes got(252, 0), rest(6, 0);
    EXPECT_EQ(Read(handle, got, read), DEVICE_SUCCESS);
    EXPECT_EQ(read, 252u);
    EXPECT_EQ(got, block);
    // Nothing beyond the asked length was taken from the stream.
    EXPECT_EQ(Read(handle, rest, read), DEVICE_SUCCESS);
    EXPECT_EQ(rest, next);
    EXPECT_EQ(m_backend.Close(handle), DEVICE_SUCCESS);
}

// A reply longer than its request's known length: what is left of it when the next command goes
// out belongs to no reply, and must not become the start of the next one.
TEST_F(VirtualBridgeTransfer, BytesLeftOfAnOverlongReplyDoNotStartTheNextReply)
{
    const Bytes header = Pattern(22, 1), surplus{0xEE, 0xEE, 0xEE}, sample = Pattern(6, 50);
    BridgeServer server(m_folder.Socket("logger"), [&](int fd) {
        ReceiveExactly(fd, 3);
        Bytes overlong = header;
        overlong.insert(overlong.end(), surplus.begin(), surplus.end());
        SendAll(fd, overlong);
        ReceiveExactly(fd, 3);
        SendAll(fd, sample);
        WaitForHangUp(fd);
    });
    m_backend.SetTimeouts(2000, 1000);
    const DeviceHandle handle = OpenFirst();
    std::uint32_t written = 0, read = 0;
    ASSERT_EQ(Write(handle, Bytes{0x00, 0x00, 0x00}, written), DEVICE_SUCCESS);
    Bytes got(22, 0);
    ASSERT_EQ(Read(handle, got, read), DEVICE_SUCCESS);
    EXPECT_EQ(got, header);
    // The surplus is there before the next command is written.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

    ASSERT_EQ(Write(handle, Bytes{0xF2, 0x00, 0x00}, written), DEVICE_SUCCESS);
    Bytes next(6, 0);
    ASSERT_EQ(Read(handle, next, read), DEVICE_SUCCESS);
    EXPECT_EQ(read, 6u);
    EXPECT_EQ(next, sample);
    EXPECT_EQ(m_backend.Close(handle), DEVICE_SUCCESS);
}

TEST_F(VirtualBridgeTransfer, ShortReplySucceedsAndMissingReplyFailsAfterTheTimeout)
{
    BridgeServer server(m_folder.Socket("logger"), [](int fd) {
        SendAll(fd, Pattern(10));
        WaitForHangUp(fd);
    });
    m_backend.SetTimeouts(200, 1000);
    const DeviceHandle handle = OpenFirst();
    Bytes got(22, 0);
    std::uint32_t read = 0, written = 0;
    EXPECT_EQ(Read(handle, got, read), DEVICE_SUCCESS);
    EXPECT_EQ(read, 10u);
    EXPECT_EQ(Bytes(got.begin(), got.begin() + 10), Pattern(10));

    const auto start = Clock::now();
    EXPECT_NE(Read(handle, got, read), DEVICE_SUCCESS);
    EXPECT_GE(MsSince(start), 190);
    EXPECT_EQ(read, 0u);
    // A time-out is not a hang-up: the connection still works.
    EXPECT_EQ(Write(handle, Bytes{1}, written), DEVICE_SUCCESS);
}

TEST_F(VirtualBridgeTransfer, PeerThatHungUpFailsEveryLaterReadAndWrite)
{
    BridgeServer server(m_folder.Socket("logger"), [](int fd) { SendAll(fd, Pattern(5)); });
    m_backend.SetTimeouts(5000, 1000);
    const DeviceHandle handle = OpenFirst();
    Bytes got(22, 0);
    std::uint32_t read = 0, written = 9;
    EXPECT_EQ(Read(handle, got, read), DEVICE_SUCCESS);  // sent before the hang-up
    EXPECT_EQ(read, 5u);

    const auto start = Clock::now();
    EXPECT_NE(Read(handle, got, read), DEVICE_SUCCESS);
    EXPECT_LT(MsSince(start), 4000) << "a hang-up must not wait for the time-out";
    EXPECT_NE(Write(handle, Bytes{0x55, 0x01, 0x00}, written), DEVICE_SUCCESS);
    EXPECT_EQ(written, 0u);
    EXPECT_NE(Read(handle, got, read), DEVICE_SUCCESS);
}

TEST_F(VirtualBridgeTransfer, WriteToAPeerThatHungUpFailsWithoutEndingTheProgram)
{
    std::promise<void> hungUp;
    BridgeServer server(m_folder.Socket("logger"), [&](int fd) {
        ::shutdown(fd, SHUT_RDWR);
        hungUp.set_value();
    });
    const DeviceHandle handle = OpenFirst();
    hungUp.get_future().wait();
    std::uint32_t written = 0;
    EXPECT_NE(Write(handle, Bytes{0x55, 0x01, 0x00}, written), DEVICE_SUCCESS);
    EXPECT_NE(Write(handle, Bytes{0x55, 0x01, 0x00}, written), DEVICE_SUCCESS);
}

TEST_F(VirtualBridgeTransfer, WriteWaitsForThePeerButNotBeyondTheWriteTimeout)
{
    const std::size_t drained = 1 << 20;
    BridgeServer server(m_folder.Socket("logger"), [&](int fd) {
        ReceiveExactly(fd, drained);
        WaitForHangUp(fd, false);
    });
    m_backend.SetTimeouts(1000, 300);
    const DeviceHandle handle = OpenFirst();
    std::uint32_t written = 0;
    EXPECT_EQ(Write(handle, Pattern(drained), written), DEVICE_SUCCESS);
    EXPECT_EQ(written, drained);

    const Bytes tooMuch(32 << 20, 0xAA);  // far beyond what the socket buffers hold
    EXPECT_EQ(Write(handle, tooMuch, written), DEVICE_WRITE_TIMED_OUT);
    EXPECT_LT(written, tooMuch.size());
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
    const DeviceHandle first = OpenFirst(), second = OpenFirst();
    EXPECT_NE(first, second);
    EXPECT_EQ(m_backend.Close(first), DEVICE_SUCCESS);
    EXPECT_EQ(m_backend.Close(first), DEVICE_INVALID_HANDLE);
    Bytes got(1, 0);
    std::uint32_t read = 0, written = 0;
    EXPECT_EQ(Read(first, got, read), DEVICE_INVALID_HANDLE);

    // The server turns to the second connection once the first is closed.
    EXPECT_EQ(Write(second, Bytes{41}, written), DEVICE_SUCCESS);
    EXPECT_EQ(Read(second, got, read), DEVICE_SUCCESS);
    EXPECT_EQ(got, Bytes{42});
}

}  // namespace
}  // namespace shakemeter
