#pragma once
// What every backend does alike: the answer of a read or write before it touches a bridge, and
// the first listing of bridges when an index is used before any count.

#include "logger/DeviceLibrary.h"

#include <cstdint>
#include <mutex>
#include <optional>

namespace shakemeter {

// The status a transfer ends with at once, or nothing when it goes ahead: an unknown handle, no
// buffer for a transfer of bytes, a connection already lost (lostStatus), nothing to move.
inline std::optional<DeviceStatus> EarlyTransferStatus(bool knownHandle, const void* buffer, std::uint32_t size,
                                                       bool lost, DeviceStatus lostStatus)
{
    if (!knownHandle) {
        return DEVICE_INVALID_HANDLE;
    }
    if (buffer == nullptr && size != 0) {
        return DEVICE_INVALID_PARAMETER;
    }
    if (lost) {
        return lostStatus;
    }
    if (size == 0) {
        return DEVICE_SUCCESS;
    }
    return std::nullopt;
}

// Lists the bridges once when nothing was listed yet, so that the indexes of the other calls refer
// to a listing; `scanned` is the library's flag, guarded by its mutex.
inline void ScanIfNeverScanned(DeviceLibrary& library, std::mutex& mutex, const bool& scanned)
{
    bool listed = false;
    {
        std::lock_guard lock(mutex);
        listed = scanned;
    }
    if (!listed) {
        std::uint32_t count = 0;
        library.GetNumDevices(count);
    }
}

}  // namespace shakemeter
