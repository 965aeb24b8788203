#include "logger/CombinedDeviceLibrary.h"

#include "logger/BackendSupport.h"
#include "logger/VirtualBridgeBackend.h"
#include "logger/UsbBridgeBackend.h"

namespace shakemeter {

CombinedDeviceLibrary::CombinedDeviceLibrary(std::vector<std::unique_ptr<DeviceLibrary>> backends)
    : m_backends(std::move(backends)), m_counts(m_backends.size(), 0)
{
    std::uint32_t readMs = 0;
    std::uint32_t writeMs = 0;
    m_timeouts.Get(readMs, writeMs);
    for (const auto& backend : m_backends) {
        backend->SetTimeouts(readMs, writeMs);
    }
}

CombinedDeviceLibrary::~CombinedDeviceLibrary()
{
    for (const auto& [handle, device] : m_open) {
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

bool CombinedDeviceLibrary::FindOpen(DeviceHandle handle, OpenDevice& device)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_open.find(handle);
    if (it == m_open.end()) {
        return false;
    }
    device = it->second;
    return true;
}

DeviceStatus CombinedDeviceLibrary::GetProductString(std::uint32_t index, char* buffer, int kind)
{
    Location location;
    if (!Locate(index, location)) {
        return DEVICE_NOT_FOUND;
    }
    return location.backend->GetProductString(location.index, buffer, kind);
}

DeviceStatus CombinedDeviceLibrary::Open(std::uint32_t index, DeviceHandle& handle)
{
    handle = INVALID_DEVICE_HANDLE;
    Location location;
    if (!Locate(index, location)) {
        return DEVICE_NOT_FOUND;
    }
    DeviceHandle inner = INVALID_DEVICE_HANDLE;
    const DeviceStatus status = location.backend->Open(location.index, inner);
    if (status != DEVICE_SUCCESS) {
        return status;
    }
    std::lock_guard lock(m_mutex);
    handle = m_nextHandle++;
    m_open.emplace(handle, OpenDevice{location.backend, inner});
    return DEVICE_SUCCESS;
}

DeviceStatus CombinedDeviceLibrary::Close(DeviceHandle handle)
{
    OpenDevice device;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_open.find(handle);
        if (it == m_open.end()) {
            return DEVICE_INVALID_HANDLE;
        }
        device = it->second;
        m_open.erase(it);
    }
    return device.backend->Close(device.handle);
}

DeviceStatus CombinedDeviceLibrary::Read(DeviceHandle handle, void* buffer, std::uint32_t toRead, std::uint32_t& read)
{
    read = 0;
    return WithOpenDevice(
        handle, [&](DeviceLibrary& backend, DeviceHandle inner) { return backend.Read(inner, buffer, toRead, read); });
}

DeviceStatus CombinedDeviceLibrary::Write(DeviceHandle handle, const void* buffer, std::uint32_t toWrite,
                                          std::uint32_t& written)
{
    written = 0;
    return WithOpenDevice(handle, [&](DeviceLibrary& backend, DeviceHandle inner) {
        return backend.Write(inner, buffer, toWrite, written);
    });
}

DeviceStatus CombinedDeviceLibrary::SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs)
{
    m_timeouts.Set(readMs, writeMs);
    for (const auto& backend : m_backends) {
        backend->SetTimeouts(readMs, writeMs);
    }
    return DEVICE_SUCCESS;
}

DeviceStatus CombinedDeviceLibrary::GetTimeouts(std::uint32_t& readMs, std::uint32_t& writeMs)
{
    return m_timeouts.Get(readMs, writeMs);
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
