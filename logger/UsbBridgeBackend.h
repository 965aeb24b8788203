#pragma once
// USB bridges reached through libusb: devices with the bridge's vendor and product ids, listed in
// libusb's enumeration order. Kind 0 of the device string is the USB serial number. Opening claims
// interface 0 and uses its bulk IN and OUT endpoints. When libusb cannot start, nothing is listed;
// a bridge that cannot be opened (no permission) fails its query and its open, nothing else.
// Owns the libusb context and every handle it opened.

#include "logger/BridgeLibraryBase.h"

#include <cstdint>
#include <memory>
#include <string>

namespace shakemeter {

struct UsbBridgeConnection;

class UsbBridgeBackend : public BridgeLibraryBase<std::shared_ptr<UsbBridgeConnection>> {
public:
    static constexpr std::uint16_t BRIDGE_VENDOR_ID = 0x10C4;
    static constexpr std::uint16_t BRIDGE_PRODUCT_ID = 0xEA61;

    explicit UsbBridgeBackend(std::uint16_t vendorId = BRIDGE_VENDOR_ID, std::uint16_t productId = BRIDGE_PRODUCT_ID);
    ~UsbBridgeBackend() override;

    // True when libusb started; otherwise every call fails and nothing is listed.
    bool IsAvailable() const;

    DeviceStatus GetNumDevices(std::uint32_t& count) override;
    // Kind 0: serial number; kind 1: product description; kind 2: bus and port path.
    DeviceStatus GetProductString(std::uint32_t index, char* buffer, int kind) override;
    std::string BackendOf(std::uint32_t index) override;

private:
    using Connection = std::shared_ptr<UsbBridgeConnection>;
    struct Impl;

    DeviceStatus OpenDevice(std::uint32_t index, Connection& connection) override;
    DeviceStatus CloseDevice(Connection& connection) override;
    DeviceStatus ReadDevice(Connection& connection, void* buffer, std::uint32_t toRead, std::uint32_t& read) override;
    DeviceStatus WriteDevice(Connection& connection, const void* buffer, std::uint32_t toWrite,
                             std::uint32_t& written) override;

    std::unique_ptr<Impl> m_pImpl;
};

}  // namespace shakemeter
