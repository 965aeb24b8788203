#pragma once
// The USB bridge library as the link uses it: exactly eight roles, status 0 for success.
// Backends (libusb bridges, virtual bridges of the logger simulator) are listed as one: first the
// USB bridges, then the virtual ones.

#include <cstdint>
#include <memory>
#include <string>

namespace shakemeter {

using DeviceStatus = int;
constexpr DeviceStatus DEVICE_SUCCESS = 0;
// Failure statuses of this program's backends; callers only ever test for DEVICE_SUCCESS.
constexpr DeviceStatus DEVICE_INVALID_HANDLE = 0x01;
constexpr DeviceStatus DEVICE_READ_ERROR = 0x02;
constexpr DeviceStatus DEVICE_WRITE_ERROR = 0x03;
constexpr DeviceStatus DEVICE_INVALID_PARAMETER = 0x06;
constexpr DeviceStatus DEVICE_SYSTEM_ERROR = 0x12;
constexpr DeviceStatus DEVICE_READ_TIMED_OUT = 0x13;
constexpr DeviceStatus DEVICE_WRITE_TIMED_OUT = 0x14;
constexpr DeviceStatus DEVICE_NOT_FOUND = 0xFF;
using DeviceHandle = std::intptr_t;
constexpr DeviceHandle INVALID_DEVICE_HANDLE = -1;

class DeviceLibrary {
public:
    virtual ~DeviceLibrary() = default;

    // Number of attached bridges (set to 0 before asking).
    virtual DeviceStatus GetNumDevices(std::uint32_t& count) = 0;
    // Device string of the given kind (0: serial number) into a buffer of 256 bytes.
    virtual DeviceStatus GetProductString(std::uint32_t index, char* buffer, int kind) = 0;
    virtual DeviceStatus Open(std::uint32_t index, DeviceHandle& handle) = 0;
    virtual DeviceStatus Close(DeviceHandle handle) = 0;
    // Reads up to toRead bytes within the read time-out; fewer than asked is success, none is not.
    virtual DeviceStatus Read(DeviceHandle handle, void* buffer, std::uint32_t toRead, std::uint32_t& read) = 0;
    virtual DeviceStatus Write(DeviceHandle handle, const void* buffer, std::uint32_t toWrite,
                               std::uint32_t& written) = 0;
    virtual DeviceStatus SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) = 0;
    virtual DeviceStatus GetTimeouts(std::uint32_t& readMs, std::uint32_t& writeMs) = 0;

    // Backend of a listed bridge ("usb" or "virtual"), for device lists; not one of the roles.
    virtual std::string BackendOf(std::uint32_t index) = 0;
};

// The library of this program: libusb bridges (vendor 0x10C4, product 0xEA61) and the virtual
// bridges in VirtualBridgeFolder(). Shared by every link of the process.
DeviceLibrary& SystemDeviceLibrary();

// Folder of the virtual bridges: $XDG_RUNTIME_DIR/shakemeter/bridges, or
// /tmp/shakemeter-$UID/bridges when XDG_RUNTIME_DIR is unset.
std::string VirtualBridgeFolder();

}  // namespace shakemeter
