#include "logger/CombinedDeviceLibrary.h"

#include "logger/BackendSupport.h"
#include "logger/VirtualBridgeBackend.h"
#include "logger/UsbBridgeBackend.h"

namespace shakemeter {

CombinedDeviceLibrary::CombinedDeviceLibrary(std::vector<std::unique_ptr<DeviceLibrary>> backends)
    : m_backends(std::move(backends)), m_counts(m_backends.size(), 0)
{
    TimeoutsChanged(Timeouts().ReadMs(), Timeouts().WriteMs());
}

CombinedDeviceLibrary::~CombinedDeviceLibrary()
{
    for (const CombinedOpenDevice& device : TakeAllOpen()) {
        device.backend->Close(device.handle);
    }
}

DeviceStatus CombinedDeviceLibrary::GetNumDevices(std::uint32_t& count)
{
    count = 0;
    std::vector<std::uint32_t> counts(m_backends.size(), 0);
    DeviceStatus firstFailure = DEVICE_SUCCESS;
    bool anyListed = m_backends.empty();
    for (std::size_t i = 0; i < m_backends.size(); ++i) {
        std::uint32_t n = 0;
        const DeviceStatus status = m_backends[i]->GetNumDevices(n);
        if (status == DEVICE_SUCCESS) {
            counts[i] = n;
            anyListed = true;
        } else if (firstFailure == DEVICE_SUCCESS) {
            firstFailure = status;
        }
    }
    std::lock_guard lock(m_mutex);
    m_counts = counts;
    m_bScanned = true;
    if (!anyListed) {
        return firstFailure;
    }
    for (const std::uint32_t n : counts) {
        count += n;
    }
    return DEVICE_SUCCESS;
}

bool CombinedDeviceLibrary::Locate(std::uint32_t index, Location& location)
{
    ScanIfNeverScanned(*this, m_mutex, m_bScanned);
    std::lock_guard lock(m_mutex);
    std::uint32_t local = index;
    for (std::size_t i = 0; i < m_backends.size(); ++i) {
        if (local < m_counts[i]) {
            location.backend = m_backends[i].get();
            location.index = local;
            return true;
        }
        local -= m_counts[i];
    }
    return false;
}

DeviceStatus CombinedDeviceLibrary::GetProductString(std::uint32_t index, char* buffer, int kind)
{
    Location location;
    if (!Locate(index, location)) {
        return DEVICE_NOT_FOUND;
    }
    return location.backend->GetProductString(location.index, buffer, kind);
}

DeviceStatus CombinedDeviceLibrary::OpenDevice(std::uint32_t index, CombinedOpenDevice& device)
{
    Location location;
    if (!Locate(index, location)) {
        return DEVICE_NOT_FOUND;
    }
    const DeviceStatus status = location.backend->Open(location.index, device.handle);
    if (status == DEVICE_SUCCESS) {
        device.backend = location.backend;
    }
    return status;
}

DeviceStatus CombinedDeviceLibrary::CloseDevice(CombinedOpenDevice& device)
{
    return device.backend->Close(device.handle);
}

DeviceStatus CombinedDeviceLibrary::ReadDevice(CombinedOpenDevice& device, void* buffer, std::uint32_t toRead,
                                               std::uint32_t& read)
{
    return device.backend->Read(device.handle, buffer, toRead, read);
}

DeviceStatus CombinedDeviceLibrary::WriteDevice(CombinedOpenDevice& device, const void* buffer, std::uint32_t toWrite,
                                                std::uint32_t& written)
{
    return device.backend->Write(device.handle, buffer, toWrite, written);
}

void CombinedDeviceLibrary::TimeoutsChanged(std::uint32_t readMs, std::uint32_t writeMs)
{
    for (const auto& backend : m_backends) {
        backend->SetTimeouts(readMs, writeMs);
    }
}

std::string CombinedDeviceLibrary::BackendOf(std::uint32_t index)
{
    Location location;
    if (!Locate(index, location)) {
        return {};
    }
    return location.backend->BackendOf(location.index);
}

std::unique_ptr<CombinedDeviceLibrary> MakeSystemDeviceLibrary()
{
    std::vector<std::unique_ptr<DeviceLibrary>> backends;
    backends.push_back(std::make_unique<UsbBridgeBackend>());
    backends.push_back(std::make_unique<VirtualBridgeBackend>());
    return std::make_unique<CombinedDeviceLibrary>(std::move(backends));
}

DeviceLibrary& SystemDeviceLibrary()
{
    static const std::unique_ptr<CombinedDeviceLibrary> library = MakeSystemDeviceLibrary();
    return *library;
}

}  // namespace shakemeter
