#pragma once
// One device list over several backends, in the order given (the program's own: USB bridges, then
// virtual ones). An index refers to the lists of the latest GetNumDevices; handles are this
// library's own, so that equal handles of two backends never meet. A backend that cannot list
// (no libusb, no permission) contributes no bridges and does not hide the others.
// Owns its backends; time-outs are library-wide and reach every backend.

#include "logger/BridgeLibraryBase.h"

#include <memory>
#include <mutex>
#include <vector>

namespace shakemeter {

// An open device of the combined library: the backend that opened it and that backend's handle.
struct CombinedOpenDevice {
    DeviceLibrary* backend = nullptr;
    DeviceHandle handle = INVALID_DEVICE_HANDLE;
};

class CombinedDeviceLibrary : public BridgeLibraryBase<CombinedOpenDevice> {
public:
    explicit CombinedDeviceLibrary(std::vector<std::unique_ptr<DeviceLibrary>> backends);
    ~CombinedDeviceLibrary() override;

    DeviceStatus GetNumDevices(std::uint32_t& count) override;
    DeviceStatus GetProductString(std::uint32_t index, char* buffer, int kind) override;
    std::string BackendOf(std::uint32_t index) override;

private:
    struct Location {
        DeviceLibrary* backend = nullptr;
        std::uint32_t index = 0;
    };

    // Where a combined index lives; scans first when nothing was scanned yet.
    bool Locate(std::uint32_t index, Location& location);

    DeviceStatus OpenDevice(std::uint32_t index, CombinedOpenDevice& device) override;
    DeviceStatus CloseDevice(CombinedOpenDevice& device) override;
    DeviceStatus ReadDevice(CombinedOpenDevice& device, void* buffer, std::uint32_t toRead,
                            std::uint32_t& read) override;
    DeviceStatus WriteDevice(CombinedOpenDevice& device, const void* buffer, std::uint32_t toWrite,
                             std::uint32_t& written) override;
    void TimeoutsChanged(std::uint32_t readMs, std::uint32_t writeMs) override;

    std::vector<std::unique_ptr<DeviceLibrary>> m_backends;
    std::mutex m_mutex;
    bool m_bScanned = false;
    std::vector<std::uint32_t> m_counts;  // per backend, from the latest scan
};

// The backends of this program in listing order: the libusb bridges (when built with libusb),
// then the virtual bridges of VirtualBridgeFolder().
std::unique_ptr<CombinedDeviceLibrary> MakeSystemDeviceLibrary();

}  // namespace shakemeter
