#include "logger/BridgeList.h"
#include "logger/CombinedDeviceLibrary.h"
#include "logger/VirtualBridgeBackend.h"
#ifdef SHAKEMETER_HAVE_LIBUSB
#include "logger/UsbBridgeBackend.h"
#endif

#include "test_bridge_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

namespace shakemeter {
namespace {

using testing::BridgeServer;
using testing::ReceiveExactly;
using testing::RuntimeFolder;
using testing::SendAll;
using testing::WaitForHangUp;
using Bytes = std::vector<unsigned char>;

// A backend with a fixed list of bridges. Every open gives handle 1, as two independent libraries
// may well do; a read answers with the backend's marker byte.
class ListedBackend : public DeviceLibrary {
public:
    ListedBackend(std::string name, std::vector<std::string> serials, unsigned char marker)
        : m_strName(std::move(name)), m_serials(std::move(serials)), m_marker(marker)
    {
    }

    DeviceStatus GetNumDevices(std::uint32_t& count) override
    {
        count = 0;
        if (m_bCountFails) {
            return DEVICE_SYSTEM_ERROR;
        }
        m_listed = m_serials;
        count = static_cast<std::uint32_t>(m_listed.size());
        return DEVICE_SUCCESS;
    }
    DeviceStatus GetProductString(std::uint32_t index, char* buffer, int kind) override
    {
        if (index >= m_listed.size() || kind != 0 || m_listed[index] == "mute") {
            return DEVICE_NOT_FOUND;
        }
        std::snprintf(buffer, 256, "%s", m_listed[index].c_str());
        return DEVICE_SUCCESS;
    }
    DeviceStatus Open(std::uint32_t index, DeviceHandle& handle) override
    {
        handle = INVALID_DEVICE_HANDLE;
        if (index >= m_listed.size()) {
            return DEVICE_NOT_FOUND;
        }
        handle = 1;
        m_opened.push_back(index);
        return DEVICE_SUCCESS;
    }
    DeviceStatus Close(DeviceHandle handle) override
    {
        m_closed.push_back(handle);
        return DEVICE_SUCCESS;
    }
    DeviceStatus Read(DeviceHandle, void* buffer, std::uint32_t toRead, std::uint32_t& read) override
    {
        read = toRead == 0 ? 0 : 1;
        if (toRead != 0) {
            *static_cast<unsigned char*>(buffer) = m_marker;
        }
        return DEVICE_SUCCESS;
    }
    DeviceStatus Write(DeviceHandle, const void*, std::uint32_t toWrite, std::uint32_t& written) override
    {
        written = toWrite;
        m_nWritten += toWrite;
        return DEVICE_SUCCESS;
    }
    DeviceStatus SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override
    {
        m_readMs = readMs;
        m_writeMs = writeMs;
        return DEVICE_SUCCESS;
    }
    DeviceStatus GetTimeouts(std::uint32_t& readMs, std::uint32_t& writeMs) override
    {
        readMs = m_readMs;
        writeMs = m_writeMs;
        return DEVICE_SUCCESS;
    }
    std::string BackendOf(std::uint32_t index) override { return index < m_listed.size() ? m_strName : ""; }

    std::string m_strName;
    std::vector<std::string> m_serials;  // what the next scan finds
    std::vector<std::string> m_listed;   // what the last scan found
    unsigned char m_marker;
    bool m_bCountFails = false;
    std::vector<std::uint32_t> m_opened;
    std::vector<DeviceHandle> m_closed;
    std::uint32_t m_nWritten = 0;
    std::uint32_t m_readMs = 0;
    std::uint32_t m_writeMs = 0;
};

class CombinedLibrary : public ::testing::Test {
protected:
    CombinedLibrary()
    {
        auto usb = std::make_unique<ListedBackend>("usb", std::vector<std::string>{"U-1", "U-2"}, 0x11);
        auto virt = std::make_unique<ListedBackend>("virtual", std::vector<std::string>{"sim"}, 0x22);
        m_pUsb = usb.get();
        m_pVirtual = virt.get();
        std::vector<std::unique_ptr<DeviceLibrary>> backends;
        backends.push_back(std::move(usb));
        backends.push_back(std::move(virt));
        m_pLibrary = std::make_unique<CombinedDeviceLibrary>(std::move(backends));
    }

    std::string DeviceString(std::uint32_t index)
    {
        char text[256] = "";
        return m_pLibrary->GetProductString(index, text, 0) == DEVICE_SUCCESS ? text : "<failed>";
    }

    std::uint32_t Count()
    {
        std::uint32_t count = 99;
        EXPECT_EQ(m_pLibrary->GetNumDevices(count), DEVICE_SUCCESS);
        return count;
    }

    ListedBackend* m_pUsb = nullptr;
    ListedBackend* m_pVirtual = nullptr;
    std::unique_ptr<CombinedDeviceLibrary> m_pLibrary;
};

TEST_F(CombinedLibrary, ListsUsbBridgesFirstThenVirtualOnes)
{
    ASSERT_EQ(Count(), 3u);
    EXPECT_EQ(DeviceString(0), "U-1");
    EXPECT_EQ(DeviceString(1), "U-2");
    EXPECT_EQ(DeviceString(2), "sim");
    EXPECT_EQ(m_pLibrary->BackendOf(1), "usb");
    EXPECT_EQ(m_pLibrary->BackendOf(2), "virtual");
    EXPECT_EQ(DeviceString(3), "<failed>");
    EXPECT_EQ(m_pLibrary->BackendOf(3), "");

    DeviceHandle handle = INVALID_DEVICE_HANDLE;
    ASSERT_EQ(m_pLibrary->Open(2, handle), DEVICE_SUCCESS);
    EXPECT_EQ(m_pVirtual->m_opened, std::vector<std::uint32_t>{0});
    EXPECT_TRUE(m_pUsb->m_opened.empty());
    EXPECT_NE(m_pLibrary->Open(3, handle), DEVICE_SUCCESS);
    EXPECT_EQ(handle, INVALID_DEVICE_HANDLE);
}

TEST_F(CombinedLibrary, IndexesFollowTheLatestCount)
{
    ASSERT_EQ(Count(), 3u);
    m_pUsb->m_serials.clear();  // the USB bridge was unplugged
    m_pVirtual->m_serials = {"sim-a", "sim-b"};
    ASSERT_EQ(Count(), 2u);
    EXPECT_EQ(DeviceString(0), "sim-a");
    EXPECT_EQ(m_pLibrary->BackendOf(0), "virtual");
    EXPECT_EQ(DeviceString(2), "<failed>");
}

TEST_F(CombinedLibrary, QueriesBeforeAnyCountScanFirst)
{
    EXPECT_EQ(DeviceString(2), "sim");
}

TEST_F(CombinedLibrary, HandlesOfTwoBackendsStayDistinct)
{
    Count();
    DeviceHandle usb = INVALID_DEVICE_HANDLE, virt = INVALID_DEVICE_HANDLE;
    ASSERT_EQ(m_pLibrary->Open(0, usb), DEVICE_SUCCESS);
    ASSERT_EQ(m_pLibrary->Open(2, virt), DEVICE_SUCCESS);
    EXPECT_NE(usb, virt);
    EXPECT_NE(usb, INVALID_DEVICE_HANDLE);

    unsigned char byte = 0;
    std::uint32_t read = 0, written = 0;
    EXPECT_EQ(m_pLibrary->Read(usb, &byte, 1, read), DEVICE_SUCCESS);
    EXPECT_EQ(byte, 0x11);
    EXPECT_EQ(m_pLibrary->Read(virt, &byte, 1, read), DEVICE_SUCCESS);
    EXPECT_EQ(byte, 0x22);
    const Bytes command{0x55, 0x02, 0x00};
    EXPECT_EQ(m_pLibrary->Write(virt, command.data(), 3, written), DEVICE_SUCCESS);
    EXPECT_EQ(m_pVirtual->m_nWritten, 3u);
    EXPECT_EQ(m_pUsb->m_nWritten, 0u);

    EXPECT_EQ(m_pLibrary->Close(virt), DEVICE_SUCCESS);
    EXPECT_EQ(m_pVirtual->m_closed, std::vector<DeviceHandle>{1});
    EXPECT_TRUE(m_pUsb->m_closed.empty());
    EXPECT_NE(m_pLibrary->Close(virt), DEVICE_SUCCESS);
    EXPECT_NE(m_pLibrary->Read(virt, &byte, 1, read), DEVICE_SUCCESS);
    EXPECT_NE(m_pLibrary->Write(virt, &byte, 1, written), DEVICE_SUCCESS);
    EXPECT_EQ(m_pLibrary->Read(usb, &byte, 1, read), DEVICE_SUCCESS);

    // A handle never comes back after it was closed.
    DeviceHandle again = INVALID_DEVICE_HANDLE;
    ASSERT_EQ(m_pLibrary->Open(2, again), DEVICE_SUCCESS);
    EXPECT_NE(again, virt);
    EXPECT_NE(again, usb);
}

TEST_F(CombinedLibrary, BackendThatCannotListHidesNothingElse)
{
    m_pUsb->m_bCountFails = true;
    ASSERT_EQ(Count(), 1u);
    EXPECT_EQ(DeviceString(0), "sim");
    EXPECT_EQ(m_pLibrary->BackendOf(0), "virtual");

    m_pVirtual->m_bCountFails = true;
    std::uint32_t count = 99;
    EXPECT_NE(m_pLibrary->GetNumDevices(count), DEVICE_SUCCESS);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(DeviceString(0), "<failed>");
}

TEST_F(CombinedLibrary, TimeoutsReachEveryBackend)
{
    EXPECT_EQ(m_pLibrary->SetTimeouts(3000, 1000), DEVICE_SUCCESS);
    std::uint32_t readMs = 0, writeMs = 0;
    EXPECT_EQ(m_pLibrary->GetTimeouts(readMs, writeMs), DEVICE_SUCCESS);
    EXPECT_EQ(readMs, 3000u);
    EXPECT_EQ(writeMs, 1000u);
    EXPECT_EQ(m_pUsb->m_readMs, 3000u);
    EXPECT_EQ(m_pVirtual->m_writeMs, 1000u);
}

TEST_F(CombinedLibrary, BackendsStartWithTheSameTimeouts)
{
    std::uint32_t readMs = 0, writeMs = 0;
    m_pLibrary->GetTimeouts(readMs, writeMs);
    EXPECT_EQ(m_pUsb->m_readMs, readMs);
    EXPECT_EQ(m_pVirtual->m_readMs, readMs);
    EXPECT_EQ(m_pUsb->m_writeMs, writeMs);
    EXPECT_EQ(m_pVirtual->m_writeMs, writeMs);
}

TEST_F(CombinedLibrary, BridgeListShowsIndexStringAndBackend)
{
    m_pUsb->m_serials = {"U-1", "mute"};
    const std::vector<BridgeInfo> bridges = ListBridges(*m_pLibrary);
    ASSERT_EQ(bridges.size(), 3u);
    EXPECT_EQ(bridges[0].index, 0);
    EXPECT_EQ(bridges[0].deviceString, "U-1");
    EXPECT_EQ(bridges[0].backend, "usb");
    EXPECT_EQ(bridges[1].index, 1);
    EXPECT_EQ(bridges[1].deviceString, "");  // a bridge that does not answer its query
    EXPECT_EQ(bridges[2].index, 2);
    EXPECT_EQ(bridges[2].deviceString, "sim");
    EXPECT_EQ(bridges[2].backend, "virtual");

    m_pUsb->m_bCountFails = true;
    m_pVirtual->m_bCountFails = true;
    EXPECT_TRUE(ListBridges(*m_pLibrary).empty());
}

// The program's own composition over a private runtime folder: whatever libusb finds here (no bus,
// no permission or no bridge), the simulator's bridge is listed and carries bytes.
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
    std::uint32_t count = 0;
    ASSERT_EQ(library->GetNumDevices(count), DEVICE_SUCCESS);
    ASSERT_GE(count, 1u);
    const std::uint32_t last = count - 1;  // virtual bridges come after any USB bridge
    EXPECT_EQ(library->BackendOf(last), "virtual");

    const std::vector<BridgeInfo> bridges = ListBridges(*library);
    ASSERT_EQ(bridges.size(), count);
    EXPECT_EQ(bridges.back().deviceString, "qz810-sim-4242");

    library->SetTimeouts(3000, 1000);
    DeviceHandle handle = INVALID_DEVICE_HANDLE;
    ASSERT_EQ(library->Open(last, handle), DEVICE_SUCCESS);
    const Bytes command{0x55, 0x03, 0x00};
    std::uint32_t written = 0, read = 0;
    EXPECT_EQ(library->Write(handle, command.data(), 3, written), DEVICE_SUCCESS);
    Bytes reply(22, 0);
    EXPECT_EQ(library->Read(handle, reply.data(), 22, read), DEVICE_SUCCESS);
    EXPECT_EQ(reply, Bytes(22, 0x5A));
    EXPECT_EQ(library->Close(handle), DEVICE_SUCCESS);
}

#ifdef SHAKEMETER_HAVE_LIBUSB
TEST(UsbBridgeBackendWithoutBridges, ListsNothingAndOpensNothing)
{
    // Ids no device carries: the same outcome as a machine without the bridge or without libusb.
    UsbBridgeBackend backend(0xFFFF, 0xFFFE);
    std::uint32_t count = 99;
    const DeviceStatus status = backend.GetNumDevices(count);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(status == DEVICE_SUCCESS, backend.IsAvailable());
    char text[256];
    EXPECT_NE(backend.GetProductString(0, text, 0), DEVICE_SUCCESS);
    DeviceHandle handle = 3;
    EXPECT_NE(backend.Open(0, handle), DEVICE_SUCCESS);
    EXPECT_EQ(handle, INVALID_DEVICE_HANDLE);
    std::uint32_t read = 0;
    EXPECT_EQ(backend.Read(1, text, 1, read), DEVICE_INVALID_HANDLE);
    EXPECT_EQ(backend.BackendOf(0), "");
}
#endif

}  // namespace
}  // namespace shakemeter
