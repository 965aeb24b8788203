#include "logger/UsbBridgeBackend.h"

#include "logger/BackendSupport.h"

#include <libusb.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <mutex>
#include <vector>

namespace shakemeter {

namespace {

constexpr int BRIDGE_INTERFACE = 0;

// libusb reads a time-out of 0 as "wait forever"; here 0 means "do not wait", as in the other
// backend, so that no call can block the caller without bound.
unsigned int UsbTimeout(std::uint32_t ms)
{
    return ms == 0 ? 1u : static_cast<unsigned int>(std::min<std::uint32_t>(ms, UINT_MAX));
}

DeviceStatus StatusOfTransfer(int result, bool reading)
{
    if (result == LIBUSB_ERROR_TIMEOUT) {
        return reading ? DEVICE_READ_TIMED_OUT : DEVICE_WRITE_TIMED_OUT;
    }
    return reading ? DEVICE_READ_ERROR : DEVICE_WRITE_ERROR;
}

}  // namespace

// Guarded by the backend's mutex, like everything libusb is asked about.
struct UsbBridgeConnection {
    libusb_device_handle* device = nullptr;  // null once closed
    unsigned char inEndpoint = 0;
    unsigned char outEndpoint = 0;
    std::size_t inPacketSize = 64;
    // Bytes of the last IN transfer beyond what its read asked for, handed to the next read of the
    // same exchange; a write starts a new exchange and drops them.
    std::vector<unsigned char> pending;
};

struct UsbBridgeBackend::Impl {
    using Connection = UsbBridgeConnection;

    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    libusb_context* context = nullptr;
    std::mutex mutex;
    bool bScanned = false;
    std::vector<libusb_device*> devices;  // each holds a reference

    void ReleaseDevices()
    {
        for (libusb_device* device : devices) {
            libusb_unref_device(device);
        }
        devices.clear();
    }

    void Scan()
    {
        ReleaseDevices();
        bScanned = true;
        if (context == nullptr) {
            return;
        }
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(context, &list);
        if (count < 0) {
            return;
        }
        for (ssize_t i = 0; i < count; ++i) {
            libusb_device_descriptor descriptor{};
            if (libusb_get_device_descriptor(list[i], &descriptor) == 0 && descriptor.idVendor == vendorId &&
                descriptor.idProduct == productId) {
                devices.push_back(libusb_ref_device(list[i]));
            }
        }
        libusb_free_device_list(list, 1);
    }

    libusb_device* DeviceAt(std::uint32_t index)
    {
        if (!bScanned) {
            Scan();
        }
        return index < devices.size() ? devices[index] : nullptr;
    }

    // The status a transfer ends with before it reaches the bridge (called under the mutex). A
    // connection closed by another thread since the look-up of its handle is an unknown handle.
    static std::optional<DeviceStatus> EarlyStatus(const Connection& connection, const void* buffer, std::uint32_t size)
    {
        if (connection.device == nullptr) {
            return DEVICE_INVALID_HANDLE;
        }
        return EarlyTransferStatus(buffer, size, false, DEVICE_SUCCESS);
    }

    static void CloseConnection(Connection& connection)
    {
        libusb_release_interface(connection.device, BRIDGE_INTERFACE);
        libusb_close(connection.device);
        connection.device = nullptr;
    }

    static bool FindBulkEndpoints(libusb_device* device, Connection& connection)
    {
        libusb_config_descriptor* config = nullptr;
        if (libusb_get_active_config_descriptor(device, &config) != 0) {
            return false;
        }
        bool found = false;
        if (config->bNumInterfaces > BRIDGE_INTERFACE && config->interface[BRIDGE_INTERFACE].num_altsetting > 0) {
            const libusb_interface_descriptor& setting = config->interface[BRIDGE_INTERFACE].altsetting[0];
            for (int i = 0; i < setting.bNumEndpoints; ++i) {
                const libusb_endpoint_descriptor& endpoint = setting.endpoint[i];
                if ((endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK) {
                    continue;
                }
                if ((endpoint.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_IN) {
                    if (connection.inEndpoint == 0) {
                        connection.inEndpoint = endpoint.bEndpointAddress;
                        if (endpoint.wMaxPacketSize > 0) {
                            connection.inPacketSize = endpoint.wMaxPacketSize;
                        }
                    }
                } else if (connection.outEndpoint == 0) {
                    connection.outEndpoint = endpoint.bEndpointAddress;
                }
            }
            found = connection.inEndpoint != 0 && connection.outEndpoint != 0;
        }
        libusb_free_config_descriptor(config);
        return found;
    }
};

UsbBridgeBackend::UsbBridgeBackend(std::uint16_t vendorId, std::uint16_t productId) : m_pImpl(std::make_unique<Impl>())
{
    m_pImpl->vendorId = vendorId;
    m_pImpl->productId = productId;
    if (libusb_init(&m_pImpl->context) != 0) {
        m_pImpl->context = nullptr;
    }
}

UsbBridgeBackend::~UsbBridgeBackend()
{
    for (const Connection& connection : TakeAllOpen()) {
        Impl::CloseConnection(*connection);
    }
    m_pImpl->ReleaseDevices();
    if (m_pImpl->context != nullptr) {
        libusb_exit(m_pImpl->context);
    }
}

bool UsbBridgeBackend::IsAvailable() const
{
    return m_pImpl->context != nullptr;
}

DeviceStatus UsbBridgeBackend::GetNumDevices(std::uint32_t& count)
{
    count = 0;
    std::lock_guard lock(m_pImpl->mutex);
    if (m_pImpl->context == nullptr) {
        return DEVICE_SYSTEM_ERROR;
    }
    m_pImpl->Scan();
    count = static_cast<std::uint32_t>(m_pImpl->devices.size());
    return DEVICE_SUCCESS;
}

DeviceStatus UsbBridgeBackend::GetProductString(std::uint32_t index, char* buffer, int kind)
{
    if (buffer == nullptr) {
        return DEVICE_INVALID_PARAMETER;
    }
    std::lock_guard lock(m_pImpl->mutex);
    libusb_device* device = m_pImpl->DeviceAt(index);
    if (device == nullptr) {
        return DEVICE_NOT_FOUND;
    }
    if (kind == 2) {
        std::string path = "usb:" + std::to_string(libusb_get_bus_number(device));
        std::uint8_t ports[8] = {};
        const int depth = libusb_get_port_numbers(device, ports, static_cast<int>(sizeof ports));
        for (int i = 0; i < depth; ++i) {
            path += (i == 0 ? "-" : ".") + std::to_string(ports[i]);
        }
        CopyProductString(path, buffer);
        return DEVICE_SUCCESS;
    }
    if (kind != 0 && kind != 1) {
        return DEVICE_INVALID_PARAMETER;
    }
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != 0) {
        return DEVICE_NOT_FOUND;
    }
    // Strings are read from the device itself: a bridge we may not open does not answer.
    libusb_device_handle* handle = nullptr;
    if (libusb_open(device, &handle) != 0) {
        return DEVICE_NOT_FOUND;
    }
    const std::uint8_t stringIndex = kind == 0 ? descriptor.iSerialNumber : descriptor.iProduct;
    std::string text;
    DeviceStatus status = DEVICE_SUCCESS;
    if (stringIndex != 0) {
        unsigned char data[PRODUCT_STRING_SIZE] = {};
        const int length = libusb_get_string_descriptor_ascii(handle, stringIndex, data, sizeof data - 1);
        if (length < 0) {
            status = DEVICE_NOT_FOUND;
        } else {
            text.assign(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
        }
    }
    libusb_close(handle);
    if (status == DEVICE_SUCCESS) {
        CopyProductString(text, buffer);
    }
    return status;
}

DeviceStatus UsbBridgeBackend::OpenDevice(std::uint32_t index, Connection& connection)
{
    std::lock_guard lock(m_pImpl->mutex);
    libusb_device* device = m_pImpl->DeviceAt(index);
    if (device == nullptr) {
        return DEVICE_NOT_FOUND;
    }
    auto opened = std::make_shared<UsbBridgeConnection>();
    if (!Impl::FindBulkEndpoints(device, *opened)) {
        return DEVICE_NOT_FOUND;
    }
    if (libusb_open(device, &opened->device) != 0) {
        return DEVICE_NOT_FOUND;
    }
    libusb_set_auto_detach_kernel_driver(opened->device, 1);
    if (libusb_claim_interface(opened->device, BRIDGE_INTERFACE) != 0) {
        libusb_close(opened->device);
        return DEVICE_NOT_FOUND;
    }
    connection = std::move(opened);
    return DEVICE_SUCCESS;
}

DeviceStatus UsbBridgeBackend::CloseDevice(Connection& connection)
{
    std::lock_guard lock(m_pImpl->mutex);
    Impl::CloseConnection(*connection);
    return DEVICE_SUCCESS;
}

DeviceStatus UsbBridgeBackend::ReadDevice(Connection& connection, void* buffer, std::uint32_t toRead,
                                          std::uint32_t& read)
{
    std::lock_guard lock(m_pImpl->mutex);
    if (const auto early = Impl::EarlyStatus(*connection, buffer, toRead)) {
        return *early;
    }
    auto* out = static_cast<unsigned char*>(buffer);
    std::uint32_t got = 0;
    if (!connection->pending.empty()) {
        const std::size_t take = std::min<std::size_t>(toRead, connection->pending.size());
        std::memcpy(out, connection->pending.data(), take);
        connection->pending.erase(connection->pending.begin(),
                                  connection->pending.begin() + static_cast<std::ptrdiff_t>(take));
        got = static_cast<std::uint32_t>(take);
        if (got == toRead) {
            read = got;
            return DEVICE_SUCCESS;
        }
    }
    // The bridge passes the logger's reply on as it arrives, so one reply can come in several
    // transfers: collect until the whole length is there or the time-out ends. The time-out
    // bounds the whole read, not each transfer.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(Timeouts().ReadMs());
    int result = 0;
    while (got < toRead) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 && got > 0) {
            break;
        }
        // Ask for whole packets: a packet longer than the space left would overflow the transfer.
        const std::size_t wanted = toRead - got;
        const std::size_t packets = (wanted + connection->inPacketSize - 1) / connection->inPacketSize;
        std::vector<unsigned char> scratch(packets * connection->inPacketSize);
        if (scratch.size() > static_cast<std::size_t>(INT_MAX)) {
            return DEVICE_INVALID_PARAMETER;
        }
        int transferred = 0;
        result = libusb_bulk_transfer(connection->device, connection->inEndpoint, scratch.data(),
                                      static_cast<int>(scratch.size()), &transferred,
                                      UsbTimeout(static_cast<std::uint32_t>(std::max<long long>(left, 0))));
        const std::size_t arrived = transferred > 0 ? static_cast<std::size_t>(transferred) : 0;
        const std::size_t used = std::min(arrived, wanted);
        std::memcpy(out + got, scratch.data(), used);
        got += static_cast<std::uint32_t>(used);
        connection->pending.insert(connection->pending.end(), scratch.begin() + static_cast<std::ptrdiff_t>(used),
                                   scratch.begin() + static_cast<std::ptrdiff_t>(arrived));
        if (result != 0) {
            break;
        }
    }
    read = got;
    if (got > 0) {
        return DEVICE_SUCCESS;
    }
    return StatusOfTransfer(result, true);
}

DeviceStatus UsbBridgeBackend::WriteDevice(Connection& connection, const void* buffer, std::uint32_t toWrite,
                                           std::uint32_t& written)
{
    std::lock_guard lock(m_pImpl->mutex);
    if (const auto early = Impl::EarlyStatus(*connection, buffer, toWrite)) {
        return *early;
    }
    if (toWrite > static_cast<std::uint32_t>(INT_MAX)) {
        return DEVICE_INVALID_PARAMETER;
    }
    // The reply to what is written now comes after it; bytes an over-long reply left are no part of it.
    connection->pending.clear();
    // libusb takes a non-const buffer for both directions; an OUT transfer only reads it.
    std::vector<unsigned char> data(static_cast<const unsigned char*>(buffer),
                                    static_cast<const unsigned char*>(buffer) + toWrite);
    int transferred = 0;
    const int result = libusb_bulk_transfer(connection->device, connection->outEndpoint, data.data(),
                                            static_cast<int>(toWrite), &transferred, UsbTimeout(Timeouts().WriteMs()));
    written = transferred > 0 ? static_cast<std::uint32_t>(transferred) : 0;
    if (result == 0 && written == toWrite) {
        return DEVICE_SUCCESS;
    }
    return StatusOfTransfer(result, false);
}

std::string UsbBridgeBackend::BackendOf(std::uint32_t index)
{
    std::lock_guard lock(m_pImpl->mutex);
    return m_pImpl->DeviceAt(index) == nullptr ? std::string() : std::string("usb");
}

}  // namespace shakemeter
