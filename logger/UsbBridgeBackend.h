#pragma once
// USB bridges reached through libusb: devices with the bridge's vendor and product ids, listed in
// libusb's enumeration order. Kind 0 of the device string is the USB serial number. Opening claims
// interface 0 and uses its bulk IN and OUT endpoints. When libusb cannot start, nothing is listed;
// a bridge that cannot be opened (no permission) fails its query and its open, nothing else.
// Owns the libusb context and every handle it opened.

#include "logger/DeviceLibrary.h"

#include <cstdint>
#include <memory>
#include <string>

namespace shakemeter {

class UsbBridgeBackend : public DeviceLibrary {
public:
    static constexpr std::uint16_t BRIDGE_VENDOR_ID = 0x10C4;
    static constexpr std::uint16_t BRIDGE_PRODUCT_ID = 0xEA61;

    explicit UsbBridgeBackend(std::uint16_t vendorId = BRIDGE_VENDOR_ID, std::uint16_t productId = BRIDGE_PRODUCT_ID);
    ~UsbBridgeBackend() override;

    UsbBridgeBackend(const UsbBridgeBackend&) = delete;
    UsbBridgeBackend& operator=(const UsbBridgeBackend&) = delete;

    // True when libusb started; otherwise every call fails and nothing is listed.
    bool IsAvailable() const;

    DeviceStatus GetNumDevices(std::uint32_t& count) override;
    // Kind 0: serial number; kind 1: product description; kind 2: bus and port path.
    DeviceStatus GetProductString(std::uint32_t index, char* buffer, int kind) override;
    DeviceStatus Open(std::uint32_t index, DeviceHandle& handle) override;
    DeviceStatus Close(DeviceHandle handle) override;
    DeviceStatus Read(DeviceHandle handle, void* buffer, std::uint32_t toRead, std::uint32_t& read) override;
    DeviceStatus Write(DeviceHandle handle, const void* buffer, std::uint32_t toWrite, std::uint32_t& written) override;
    DeviceStatus SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override;
    DeviceStatus GetTimeouts(std::uint32_t& readMs, std::uint32_t& writeMs) override;
    std::string BackendOf(std::uint32_t index) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

}  // namespace shakemeter
