#include "logger/BridgeList.h"
#include "logger/CombinedDeviceLibrary.h"
#include "logger/UsbBridgeBackend.h"

#include "FakeDeviceLibrary.h"
#include "test_bridge_support.h"

#include <gtest/gtest.h>

namespace shakemeter {
namespace {

using namespace shakemeter::testing;
using test::FakeDeviceLibrary;

// Two fake backends that hand out the same handle for every open, as independent libraries may.
class CombinedLibrary : public ::testing::Test {
protected:
    CombinedLibrary()
    {
        auto usb = std::make_unique<FakeDeviceLibrary>();
        auto virt = std::make_unique<FakeDeviceLibrary>();
        m_usb = usb.get();
        m_virtual = virt.get();
        m_usb->bridges = 2;
        m_usb->replies = {{0x11}};
        m_virtual->replies = {{0x22}};
        std::vector<std::unique_ptr<DeviceLibrary>> backends;
        backends.push_back(std::move(usb));
        backends.push_back(std::move(virt));
        m_library = std::make_unique<CombinedDeviceLibrary>(std::move(backends));
    }
    std::uint32_t Count()
    {
        std::uint32_t count = 99;
        EXPECT_EQ(m_library->GetNumDevices(count), DEVICE_SUCCESS);
        return count;
    }
    DeviceHandle Open(std::uint32_t index)
    {
        DeviceHandle handle = INVALID_DEVICE_HANDLE;
        EXPECT_EQ(m_library->Open(index, handle), DEVICE_SUCCESS);
        return handle;
    }

    FakeDeviceLibrary* m_usb = nullptr;
    FakeDeviceLibrary* m_virtual = nullptr;
    std::unique_ptr<CombinedDeviceLibrary> m_library;
};

TEST_F(CombinedLibrary, IndexesRunThroughTheBackendsInOrderAsOfTheLatestCount)
{
    ASSERT_EQ(Count(), 3u);
    Open(1);
    Open(2);
    EXPECT_EQ(m_usb->opened, std::vector<std::uint32_t>{1});
    EXPECT_EQ(m_virtual->opened, std::vector<std::uint32_t>{0});
    DeviceHandle handle = 5;
    EXPECT_NE(m_library->Open(3, handle), DEVICE_SUCCESS);
    EXPECT_EQ(handle, INVALID_DEVICE_HANDLE);

    m_usb->bridges = 0;  // unplugged: the virtual bridge moves to index 0
    ASSERT_EQ(Count(), 1u);
    Open(0);
    EXPECT_EQ(m_virtual->opened, (std::vector<std::uint32_t>{0, 0}));
    char text[256];
    EXPECT_NE(m_library->GetProductString(1, text, 0), DEVICE_SUCCESS);
}

TEST_F(CombinedLibrary, HandlesOfTwoBackendsStayDistinct)
{
    const DeviceHandle usb = Open(0), virt = Open(2);
    EXPECT_NE(usb, virt);
    EXPECT_NE(usb, INVALID_DEVICE_HANDLE);
    unsigned char byte = 0;
    std::uint32_t read = 0;
    EXPECT_EQ(m_library->Read(virt, &byte, 1, read), DEVICE_SUCCESS);
    EXPECT_EQ(byte, 0x22);
    EXPECT_EQ(m_library->Read(usb, &byte, 1, read), DEVICE_SUCCESS);
    EXPECT_EQ(byte, 0x11);

    EXPECT_EQ(m_library->Close(virt), DEVICE_SUCCESS);
    EXPECT_EQ(m_virtual->closes, 1);
    EXPECT_EQ(m_usb->closes, 0);
    EXPECT_NE(m_library->Close(virt), DEVICE_SUCCESS);
    EXPECT_NE(m_library->Read(virt, &byte, 1, read), DEVICE_SUCCESS);
    const DeviceHandle again = Open(2);  // a closed handle is never handed out again
    EXPECT_NE(again, virt);
    EXPECT_NE(again, usb);
}

// The library owns its backends, so what they closed is counted outside them.
TEST(CombinedLibraryLifetime, DestroyingTheLibraryClosesOnlyWhatIsStillOpen)
{
    struct CountingBackend : FakeDeviceLibrary {
        int* closedOutside = nullptr;
        DeviceStatus Close(DeviceHandle handle) override
        {
            ++*closedOutside;
            return FakeDeviceLibrary::Close(handle);
        }
    };
    int closed = 0;
    auto backend = std::make_unique<CountingBackend>();
    backend->bridges = 3;
    backend->closedOutside = &closed;
    std::vector<std::unique_ptr<DeviceLibrary>> backends;
    backends.push_back(std::move(backend));
    auto library = std::make_unique<CombinedDeviceLibrary>(std::move(backends));

    DeviceHandle first = INVALID_DEVICE_HANDLE, second = INVALID_DEVICE_HANDLE, third = INVALID_DEVICE_HANDLE;
    ASSERT_EQ(library->Open(0, first), DEVICE_SUCCESS);
    ASSERT_EQ(library->Open(1, second), DEVICE_SUCCESS);
    ASSERT_EQ(library->Open(2, third), DEVICE_SUCCESS);
    ASSERT_EQ(library->Close(second), DEVICE_SUCCESS);
    EXPECT_EQ(closed, 1);
    library.reset();
    EXPECT_EQ(closed, 3);
}

TEST_F(CombinedLibrary, BackendThatCannotListHidesNothingElse)
{
    m_usb->numDevicesFails = true;
    ASSERT_EQ(Count(), 1u);
    Open(0);
    EXPECT_EQ(m_virtual->opened, std::vector<std::uint32_t>{0});

    m_virtual->numDevicesFails = true;
    std::uint32_t count = 99;
    EXPECT_NE(m_library->GetNumDevices(count), DEVICE_SUCCESS);
    EXPECT_EQ(count, 0u);
}

TEST_F(CombinedLibrary, TimeoutsAreLibraryWideAndReachEveryBackend)
{
    EXPECT_EQ(m_usb->readTimeout, m_virtual->readTimeout);
    EXPECT_EQ(m_usb->writeTimeout, m_virtual->writeTimeout);
    EXPECT_EQ(m_library->SetTimeouts(3000, 0), DEVICE_SUCCESS);
    std::uint32_t readMs = 0, writeMs = 9;
    EXPECT_EQ(m_library->GetTimeouts(readMs, writeMs), DEVICE_SUCCESS);
    EXPECT_EQ(readMs, 3000u);
    EXPECT_EQ(writeMs, 0u);
    EXPECT_EQ(m_usb->readTimeout, 3000u);
    EXPECT_EQ(m_virtual->readTimeout, 3000u);
    EXPECT_EQ(m_virtual->writeTimeout, 0u);
}

TEST_F(CombinedLibrary, BridgeListShowsEveryIndexWithItsStringAndBackend)
{
    m_usb->stringFails = {1};
    const std::vector<BridgeInfo> bridges = ListBridges(*m_library);
    ASSERT_EQ(bridges.size(), 3u);
    EXPECT_EQ(bridges[0].deviceString, "fake0");
    EXPECT_EQ(bridges[1].index, 1);
    EXPECT_EQ(bridges[1].deviceString, "");  // listed, though it did not answer its query
    EXPECT_EQ(bridges[2].index, 2);
    EXPECT_EQ(bridges[2].deviceString, "fake0");
    EXPECT_EQ(bridges[2].backend, "fake");

    m_usb->numDevicesFails = m_virtual->numDevicesFails = true;
    EXPECT_TRUE(ListBridges(*m_library).empty());
}

// The program's own composition: whatever libusb finds here (no bus, no permission, no bridge),
// the simulator's bridge is listed last and carries bytes.
TEST(SystemBridgeLibrary, ListsAndServesVirtualBridgesWhateverUsbFinds)
{
    RuntimeFolder folder;
    BridgeServer server(folder.Socket("qz810-sim-4242"), [](int fd) {
        if (ReceiveExactly(fd, 3).size() == 3) {
            SendAll(fd, Bytes(22, 0x5A));
        }
        WaitForHangUp(fd);
    });
    const std::unique_ptr<CombinedDeviceLibrary> library = MakeSystemDeviceLibrary();
    const std::vector<BridgeInfo> bridges = ListBridges(*library);
    ASSERT_GE(bridges.size(), 1u);
    EXPECT_EQ(bridges.back().deviceString, "qz810-sim-4242");
    EXPECT_EQ(bridges.back().backend, "virtual");

    DeviceHandle handle = INVALID_DEVICE_HANDLE;
    ASSERT_EQ(library->Open(static_cast<std::uint32_t>(bridges.back().index), handle), DEVICE_SUCCESS);
    const Bytes command{0x55, 0x03, 0x00};
    Bytes reply(22, 0);
    std::uint32_t written = 0, read = 0;
    EXPECT_EQ(library->Write(handle, command.data(), 3, written), DEVICE_SUCCESS);
    EXPECT_EQ(library->Read(handle, reply.data(), 22, read), DEVICE_SUCCESS);
    EXPECT_EQ(reply, Bytes(22, 0x5A));
    EXPECT_EQ(library->Close(handle), DEVICE_SUCCESS);
}

TEST(UsbBridgeBackend, WithoutMatchingBridgesListsAndOpensNothing)
{
    UsbBridgeBackend backend(0xFFFF, 0xFFFE);  // ids no device carries
    std::uint32_t count = 99;
    EXPECT_EQ(backend.GetNumDevices(count) == DEVICE_SUCCESS, backend.IsAvailable());
    EXPECT_EQ(count, 0u);
    char text[256];
    EXPECT_NE(backend.GetProductString(0, text, 0), DEVICE_SUCCESS);
    DeviceHandle handle = 3;
    EXPECT_NE(backend.Open(0, handle), DEVICE_SUCCESS);
    EXPECT_EQ(handle, INVALID_DEVICE_HANDLE);
}

}  // namespace
}  // namespace shakemeter
