#pragma once
// One device list over several backends, in the order given (the program's own: USB bridges, then
// virtual ones). An index refers to the lists of the latest GetNumDevices; handles are this
// library's own, so that equal handles of two backends never meet. A backend that cannot list
// (no libusb, no permission) contributes no bridges and does not hide the others.
// Owns its backends; time-outs are library-wide and reach every backend.

#include "logger/DeviceLibrary.h"
#include "logger/DeviceTimeouts.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace shakemeter {

class CombinedDeviceLibrary : public DeviceLibrary {
public:
    explicit CombinedDeviceLibrary(std::vector<std::unique_ptr<DeviceLibrary>> backends);
    ~CombinedDeviceLibrary() override;

    CombinedDeviceLibrary(const CombinedDeviceLibrary&) = delete;
    CombinedDeviceLibrary& operator=(const CombinedDeviceLibrary&) = delete;

    DeviceStatus GetNumDevices(std::uint32_t& count) override;
    DeviceStatus GetProductString(std::uint32_t index, char* buffer, int kind) override;
    DeviceStatus Open(std::uint32_t index, DeviceHandle& handle) override;
    DeviceStatus Close(DeviceHandle handle) override;
    DeviceStatus Read(DeviceHandle handle, void* buffer, std::uint32_t toRead, std::uint32_t& read) override;
    DeviceStatus Write(DeviceHandle handle, const void* buffer, std::uint32_t toWrite, std::uint32_t& written) override;
    DeviceStatus SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override;
    DeviceStatus GetTimeouts(std::uint32_t& readMs, std::uint32_t& writeMs) override;
    std::string BackendOf(std::uint32_t index) override;

private:
    struct Location {
        DeviceLibrary* backend = nullptr;
        std::uint32_t index = 0;
    };
    struct OpenDevice {
        DeviceLibrary* backend = nullptr;
        DeviceHandle handle = INVALID_DEVICE_HANDLE;
    };

    // Where a combined index lives; scans first when nothing was scanned yet.
    bool Locate(std::uint32_t index, Location& location);
    bool FindOpen(DeviceHandle handle, OpenDevice& device);
    // Runs a call on the backend's own handle of an open device; an unknown handle fails at once.
    template <typename Call>
    DeviceStatus WithOpenDevice(DeviceHandle handle, Call call)
    {
        OpenDevice device;
        if (!FindOpen(handle, device)) {
            return DEVICE_INVALID_HANDLE;
        }
        return call(*device.backend, device.handle);
    }

    std::vector<std::unique_ptr<DeviceLibrary>> m_backends;
    std::mutex m_mutex;
    bool m_bScanned = false;
    std::vector<std::uint32_t> m_counts;  // per backend, from the latest scan
    std::map<DeviceHandle, OpenDevice> m_open;
    DeviceHandle m_nextHandle = 1;
    DeviceTimeouts m_timeouts;
};

// The backends of this program in listing order: the libusb bridges (when built with libusb),
// then the virtual bridges of VirtualBridgeFolder().
std::unique_ptr<CombinedDeviceLibrary> MakeSystemDeviceLibrary();

}  // namespace shakemeter
