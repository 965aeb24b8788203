#pragma once
// What a backend's read or write answers before it touches a bridge; every backend answers alike.

#include "logger/DeviceLibrary.h"

#include <cstdint>
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

}  // namespace shakemeter
