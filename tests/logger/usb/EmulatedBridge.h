#pragma once
// USB bridges emulated under umockdev, for tests of the libusb backend through the real libusb:
// each bridge is a sysfs USB device with the bridge's descriptors (vendor, product, serial
// number, interface 0 with one bulk IN and one bulk OUT endpoint) and a device node whose usbfs
// requests this process answers. What the host writes to the OUT endpoint goes to a logger (the
// simulator's command handling); the logger's answers wait there for the host's IN transfers,
// the way a bridge passes serial data on. Faults: the bridge hands answers over in pieces, stops
// taking writes, or disappears (every later request fails with "no device").
// The test program must run under umockdev-wrapper, which preloads the emulation.

#include <umockdev.h>

#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tools/sim/LoggerSimulator.h"

namespace shakemeter::usbtest {

using Bytes = std::vector<std::uint8_t>;

struct BridgeDescription {
    std::uint16_t vendor = 0x10C4;
    std::uint16_t product = 0xEA61;
    std::string serial = "QZ0001";
    std::string productName = "QZ810 USB bridge";
};

class EmulatedBridge {
public:
    static constexpr std::uint8_t IN_ENDPOINT = 0x81;
    static constexpr std::uint8_t OUT_ENDPOINT = 0x01;
    static constexpr std::uint16_t PACKET_SIZE = 64;

    EmulatedBridge(BridgeDescription description, std::string devnode)
        : m_description(std::move(description)), m_devnode(std::move(devnode))
    {
    }
    ~EmulatedBridge()
    {
        for (UMockdevIoctlData* urb : m_inFlight)
            umockdev_ioctl_data_unref(urb);
        for (const Completed& done : m_completed)
            umockdev_ioctl_data_unref(done.urb);
    }
    EmulatedBridge(const EmulatedBridge&) = delete;
    EmulatedBridge& operator=(const EmulatedBridge&) = delete;

    // The logger behind the bulk endpoints (borrowed); none: writes are taken, nothing answers.
    void SetLogger(LoggerSimulator* logger)
    {
        std::lock_guard lock(m_mutex);
        m_logger = logger;
    }
    // At most this many bytes per IN transfer (0: as many as the transfer takes).
    void SetPieceSize(std::size_t bytes)
    {
        std::lock_guard lock(m_mutex);
        m_pieceSize = bytes;
    }
    // OUT transfers stay pending until the host gives up on them.
    void SetRefusingWrites(bool refusing)
    {
        std::lock_guard lock(m_mutex);
        m_refusingWrites = refusing;
    }
    void Unplug()
    {
        std::lock_guard lock(m_mutex);
        m_gone = true;
    }

    Bytes Received() const
    {
        std::lock_guard lock(m_mutex);
        return m_received;
    }
    bool Gone() const
    {
        std::lock_guard lock(m_mutex);
        return m_gone;
    }
    const std::string& Devnode() const { return m_devnode; }
    const BridgeDescription& Description() const { return m_description; }

    // The device, configuration, interface and endpoint descriptors sysfs shows.
    Bytes Descriptors() const
    {
        const std::uint16_t v = m_description.vendor;
        const std::uint16_t p = m_description.product;
        return {
            18,
            1,
            0x00,
            0x02,
            0,
            0,
            0,
            64,
            Lo(v),
            Hi(v),
            Lo(p),
            Hi(p),
            0x00,
            0x01,
            1,
            2,
            3,
            1,  // device
            9,
            2,
            32,
            0,
            1,
            1,
            0,
            0x80,
            50,  // configuration
            9,
            4,
            0,
            0,
            2,
            0xFF,
            0,
            0,
            0,  // interface 0
            7,
            5,
            IN_ENDPOINT,
            2,
            Lo(PACKET_SIZE),
            Hi(PACKET_SIZE),
            0,  // bulk IN
            7,
            5,
            OUT_ENDPOINT,
            2,
            Lo(PACKET_SIZE),
            Hi(PACKET_SIZE),
            0,  // bulk OUT
        };
    }

    // umockdev's "handle-ioctl" signal; runs on umockdev's worker thread.
    static gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self)
    {
        return static_cast<EmulatedBridge*>(self)->Handle(client) ? TRUE : FALSE;
    }

private:
    struct Completed {
        UMockdevIoctlData* urb;
        Bytes data;
        int status;
    };

    static std::uint8_t Lo(std::uint16_t v) { return static_cast<std::uint8_t>(v & 0xFF); }
    static std::uint8_t Hi(std::uint16_t v) { return static_cast<std::uint8_t>(v >> 8); }
    static usbdevfs_urb* Urb(UMockdevIoctlData* data) { return reinterpret_cast<usbdevfs_urb*>(data->data); }

    bool Handle(UMockdevIoctlClient* client)
    {
        std::lock_guard lock(m_mutex);
        const unsigned long request = umockdev_ioctl_client_get_request(client);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        switch (request) {
        case USBDEVFS_GET_CAPABILITIES: {
            UMockdevIoctlData* caps = umockdev_ioctl_data_resolve(arg, 0, sizeof(std::uint32_t), nullptr);
            const std::uint32_t value = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                        USBDEVFS_CAP_REAP_AFTER_DISCONNECT | USBDEVFS_CAP_ZERO_PACKET;
            std::memcpy(caps->data, &value, sizeof value);
            umockdev_ioctl_data_unref(caps);
            return Complete(client, 0, 0);
        }
        case USBDEVFS_GETDRIVER:
        case USBDEVFS_IOCTL:
            return Complete(client, -1, ENODATA);  // no kernel driver is bound
        case USBDEVFS_CLAIMINTERFACE:
        case USBDEVFS_RELEASEINTERFACE:
        case USBDEVFS_CLEAR_HALT:
        case USBDEVFS_RESETEP:
        case USBDEVFS_RESET:
            return m_gone ? Complete(client, -1, ENODEV) : Complete(client, 0, 0);
        case USBDEVFS_SUBMITURB:
            return Submit(client, arg);
        case USBDEVFS_REAPURB:
        case USBDEVFS_REAPURBNDELAY:
            return Reap(client, arg);
        case USBDEVFS_DISCARDURB:
            return Discard(client, arg);
        default:
            return Complete(client, -1, ENOTTY);
        }
    }

    static bool Complete(UMockdevIoctlClient* client, long result, int error)
    {
        umockdev_ioctl_client_complete(client, result, error);
        return true;
    }

    bool Submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
    {
        if (m_unplugAfterReply && m_toHost.empty())
            m_gone = true;
        if (m_gone)
            return Complete(client, -1, ENODEV);
        UMockdevIoctlData* urbData = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
        usbdevfs_urb* urb = Urb(urbData);
        const auto length = static_cast<std::size_t>(std::max(urb->buffer_length, 0));
        UMockdevIoctlData* buffer =
            umockdev_ioctl_data_resolve(urbData, offsetof(usbdevfs_urb, buffer), length, nullptr);
        const Bytes payload(buffer->data, buffer->data + length);
        umockdev_ioctl_data_unref(buffer);

        if (urb->type == USBDEVFS_URB_TYPE_CONTROL) {
            m_completed.push_back({urbData, ControlReply(payload), 0});
        } else if (urb->type != USBDEVFS_URB_TYPE_BULK) {
            umockdev_ioctl_data_unref(urbData);
            return Complete(client, -1, EINVAL);
        } else if (urb->endpoint == IN_ENDPOINT) {
            m_inFlight.push_back(urbData);
        } else if (m_refusingWrites) {
            m_inFlight.push_back(urbData);
        } else {
            m_received.insert(m_received.end(), payload.begin(), payload.end());
            if (m_logger != nullptr) {
                const SimulatorReply reply = m_logger->Receive(payload);
                m_toHost.insert(m_toHost.end(), reply.bytes.begin(), reply.bytes.end());
                m_unplugAfterReply = m_unplugAfterReply || reply.closeConnection;
            }
            m_completed.push_back({urbData, {}, 0});
            urb->actual_length = urb->buffer_length;
        }
        return Complete(client, 0, 0);
    }

    // Standard requests the backend makes: string descriptors, answered in UTF-16LE.
    Bytes ControlReply(const Bytes& setup) const
    {
        if (setup.size() < 8 || setup[0] != 0x80 || setup[1] != 6 || setup[3] != 3)
            return {};
        const std::size_t asked = setup[6] | (setup[7] << 8);
        Bytes data;
        const std::uint8_t index = setup[2];
        if (index == 0) {
            data = {4, 3, 0x09, 0x04};
        } else {
            const std::string& text = index == 3   ? m_description.serial
                                      : index == 2 ? m_description.productName
                                                   : std::string("Shakemeter test bench");
            data = {static_cast<std::uint8_t>(2 + 2 * text.size()), 3};
            for (char c : text) {
                data.push_back(static_cast<std::uint8_t>(c));
                data.push_back(0);
            }
        }
        data.resize(std::min(data.size(), asked));
        return data;
    }

    void FillInTransfers()
    {
        for (auto it = m_inFlight.begin(); it != m_inFlight.end();) {
            usbdevfs_urb* urb = Urb(*it);
            if (urb->endpoint != IN_ENDPOINT) {
                ++it;
                continue;
            }
            if (!m_toHost.empty()) {
                std::size_t n = std::min(m_toHost.size(), static_cast<std::size_t>(urb->buffer_length));
                if (m_pieceSize > 0)
                    n = std::min(n, m_pieceSize);
                Bytes piece(m_toHost.begin(), m_toHost.begin() + static_cast<std::ptrdiff_t>(n));
                m_toHost.erase(m_toHost.begin(), m_toHost.begin() + static_cast<std::ptrdiff_t>(n));
                m_completed.push_back({*it, std::move(piece), 0});
                it = m_inFlight.erase(it);
            } else if (m_gone || m_unplugAfterReply) {
                m_gone = true;
                m_completed.push_back({*it, {}, -ESHUTDOWN});
                it = m_inFlight.erase(it);
            } else {
                ++it;
            }
        }
        if (m_unplugAfterReply && m_toHost.empty())
            m_gone = true;
        if (m_gone) {
            for (UMockdevIoctlData* urb : m_inFlight)
                m_completed.push_back({urb, {}, -ESHUTDOWN});
            m_inFlight.clear();
        }
    }

    bool Reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
    {
        FillInTransfers();
        if (m_completed.empty())
            return Complete(client, -1, m_gone ? ENODEV : EAGAIN);
        Completed done = std::move(m_completed.front());
        m_completed.pop_front();
        usbdevfs_urb* urb = Urb(done.urb);
        urb->status = done.status;
        if (urb->type == USBDEVFS_URB_TYPE_CONTROL) {
            std::memcpy(static_cast<std::uint8_t*>(urb->buffer) + 8, done.data.data(), done.data.size());
            urb->actual_length = static_cast<int>(done.data.size());
        } else if (urb->endpoint == IN_ENDPOINT) {
            std::memcpy(urb->buffer, done.data.data(), done.data.size());
            urb->actual_length = static_cast<int>(done.data.size());
        } else if (done.status != 0) {
            urb->actual_length = 0;
        }
        UMockdevIoctlData* pointer = umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr);
        umockdev_ioctl_data_set_ptr(pointer, 0, done.urb);
        umockdev_ioctl_data_unref(pointer);
        umockdev_ioctl_data_unref(done.urb);
        return Complete(client, 0, 0);
    }

    bool Discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
    {
        const gulong address = *reinterpret_cast<gulong*>(arg->data);
        const auto it = std::find_if(m_inFlight.begin(), m_inFlight.end(),
                                     [address](UMockdevIoctlData* urb) { return urb->client_addr == address; });
        if (it == m_inFlight.end())
            return Complete(client, -1, EINVAL);
        m_completed.push_back({*it, {}, -ENOENT});
        m_inFlight.erase(it);
        return Complete(client, 0, 0);
    }

    const BridgeDescription m_description;
    const std::string m_devnode;
    mutable std::mutex m_mutex;
    LoggerSimulator* m_logger = nullptr;
    std::size_t m_pieceSize = 0;
    bool m_refusingWrites = false;
    bool m_gone = false;
    bool m_unplugAfterReply = false;
    Bytes m_received;
    std::deque<std::uint8_t> m_toHost;
    std::deque<UMockdevIoctlData*> m_inFlight;
    std::deque<Completed> m_completed;
};

// The emulated machine: a umockdev test bed with the bridges and other USB devices added to it.
// Create it, add the devices, then start libusb (libusb lists the devices at its start).
class EmulatedUsb {
public:
    EmulatedUsb() : m_testbed(umockdev_testbed_new()) {}
    ~EmulatedUsb()
    {
        for (Attached& a : m_attached) {
            umockdev_testbed_detach_ioctl(m_testbed, a.bridge->Devnode().c_str(), nullptr);
            g_object_unref(a.handler);
        }
        m_attached.clear();
        g_object_unref(m_testbed);
    }
    EmulatedUsb(const EmulatedUsb&) = delete;
    EmulatedUsb& operator=(const EmulatedUsb&) = delete;

    static bool Available() { return umockdev_in_mock_environment() != FALSE; }

    // Adds a device on a bus of its own; its usbfs requests are answered by the returned bridge.
    EmulatedBridge& Add(const BridgeDescription& description)
    {
        const int bus = static_cast<int>(m_attached.size()) + 1;
        char devnode[64];
        std::snprintf(devnode, sizeof devnode, "/dev/bus/usb/%03d/001", bus);
        auto bridge = std::make_unique<EmulatedBridge>(description, devnode);
        UMockdevIoctlBase* handler = umockdev_ioctl_base_new();
        g_signal_connect_after(handler, "handle-ioctl", reinterpret_cast<GCallback>(&EmulatedBridge::OnIoctl),
                               bridge.get());
        // The node is made ready before the device appears, so that an open never finds it half set up.
        umockdev_testbed_attach_ioctl(m_testbed, devnode, handler, nullptr);

        std::string hex;
        for (std::uint8_t b : bridge->Descriptors()) {
            char pair[3];
            std::snprintf(pair, sizeof pair, "%02x", b);
            hex += pair;
        }
        const std::string busText = std::to_string(bus);
        char busPadded[16];
        std::snprintf(busPadded, sizeof busPadded, "%03d", bus);
        const std::string record = "P: /devices/usb" + busText +
                                   "\n"
                                   "N: bus/usb/" +
                                   busPadded +
                                   "/001\n"
                                   "E: SUBSYSTEM=usb\n"
                                   "E: DRIVER=usb\n"
                                   "E: BUSNUM=" +
                                   busPadded +
                                   "\n"
                                   "E: DEVNUM=001\n"
                                   "E: DEVNAME=" +
                                   devnode +
                                   "\n"
                                   "E: DEVTYPE=usb_device\n"
                                   "A: bConfigurationValue=1\\n\n"
                                   "A: busnum=" +
                                   busText +
                                   "\\n\n"
                                   "A: devnum=1\\n\n"
                                   "A: speed=12\\n\n"
                                   "H: descriptors=" +
                                   hex + "\n";
        umockdev_testbed_add_from_string(m_testbed, record.c_str(), nullptr);
        m_attached.push_back({std::move(bridge), handler});
        return *m_attached.back().bridge;
    }

private:
    struct Attached {
        std::unique_ptr<EmulatedBridge> bridge;
        UMockdevIoctlBase* handler;
    };

    UMockdevTestbed* m_testbed;
    std::vector<Attached> m_attached;
};

}  // namespace shakemeter::usbtest
