#pragma once
// What every device library of this program does alike: it keeps the library-wide time-outs and
// answers for them, and it keeps the table of open devices behind the handles it gives out (its
// own numbers, never reused while it lives). A library supplies what differs: how to open a device
// by index, how to close it and how to move bytes through it. An unknown handle fails every call
// the same way before a library sees it.
// The table has its own lock, held only while a handle is looked up, so that a Close may come while
// another thread is inside a transfer: that transfer keeps its copy of the device and ends on it.

#include "logger/DeviceLibrary.h"
#include "logger/DeviceTimeouts.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace shakemeter {

template <typename Device>
class BridgeLibraryBase : public DeviceLibrary {
public:
    BridgeLibraryBase() = default;
    // A library owns what its handles stand for; a copy would close it twice.
    BridgeLibraryBase(const BridgeLibraryBase&) = delete;
    BridgeLibraryBase& operator=(const BridgeLibraryBase&) = delete;

    DeviceStatus Open(std::uint32_t index, DeviceHandle& handle) final
    {
        handle = INVALID_DEVICE_HANDLE;
        Device device{};
        const DeviceStatus status = OpenDevice(index, device);
        if (status != DEVICE_SUCCESS) {
            return status;
        }
        std::lock_guard lock(m_openMutex);
        handle = m_nextHandle++;
        m_open.emplace(handle, std::move(device));
        return DEVICE_SUCCESS;
    }

    DeviceStatus Close(DeviceHandle handle) final
    {
        Device device{};
        {
            std::lock_guard lock(m_openMutex);
            const auto it = m_open.find(handle);
            if (it == m_open.end()) {
                return DEVICE_INVALID_HANDLE;
            }
            device = std::move(it->second);
            m_open.erase(it);
        }
        return CloseDevice(device);
    }

    DeviceStatus Read(DeviceHandle handle, void* buffer, std::uint32_t toRead, std::uint32_t& read) final
    {
        read = 0;
        std::optional<Device> device = FindOpen(handle);
        if (!device) {
            return DEVICE_INVALID_HANDLE;
        }
        return ReadDevice(*device, buffer, toRead, read);
    }

    DeviceStatus Write(DeviceHandle handle, const void* buffer, std::uint32_t toWrite, std::uint32_t& written) final
    {
        written = 0;
        std::optional<Device> device = FindOpen(handle);
        if (!device) {
            return DEVICE_INVALID_HANDLE;
        }
        return WriteDevice(*device, buffer, toWrite, written);
    }

    DeviceStatus SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) final
    {
        m_timeouts.Set(readMs, writeMs);
        TimeoutsChanged(readMs, writeMs);
        return DEVICE_SUCCESS;
    }

    DeviceStatus GetTimeouts(std::uint32_t& readMs, std::uint32_t& writeMs) final
    {
        return m_timeouts.Get(readMs, writeMs);
    }

protected:
    const DeviceTimeouts& Timeouts() const { return m_timeouts; }

    // Empties the table and hands over the devices still open, for a library's destructor to close
    // while what they need (a context, other libraries) still exists.
    std::vector<Device> TakeAllOpen()
    {
        std::lock_guard lock(m_openMutex);
        std::vector<Device> devices;
        devices.reserve(m_open.size());
        for (auto& [handle, device] : m_open) {
            devices.push_back(std::move(device));
        }
        m_open.clear();
        return devices;
    }

private:
    // The primitives on one device. Open fills `device` only on success; the others get the
    // library's copy of a device that was open when the call came in.
    virtual DeviceStatus OpenDevice(std::uint32_t index, Device& device) = 0;
    virtual DeviceStatus CloseDevice(Device& device) = 0;
    virtual DeviceStatus ReadDevice(Device& device, void* buffer, std::uint32_t toRead, std::uint32_t& read) = 0;
    virtual DeviceStatus WriteDevice(Device& device, const void* buffer, std::uint32_t toWrite,
                                     std::uint32_t& written) = 0;
    // After the time-outs changed; a library that passes them on to others does it here.
    virtual void TimeoutsChanged(std::uint32_t /*readMs*/, std::uint32_t /*writeMs*/) {}

    std::optional<Device> FindOpen(DeviceHandle handle)
    {
        std::lock_guard lock(m_openMutex);
        const auto it = m_open.find(handle);
        if (it == m_open.end()) {
            return std::nullopt;
        }
        return it->second;
    }

    DeviceTimeouts m_timeouts;
    std::mutex m_openMutex;
    std::map<DeviceHandle, Device> m_open;
    DeviceHandle m_nextHandle = 1;
};

}  // namespace shakemeter
