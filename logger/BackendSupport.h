#pragma once
// What every backend does alike: the answer of a read or write before it touches a bridge, the
// first listing of bridges when an index is used before any count, and the device strings.

#include "logger/DeviceLibrary.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>

namespace shakemeter {

// Size of the caller's buffer for a device string, with its terminating zero.
constexpr std::size_t PRODUCT_STRING_SIZE = 256;

// Copies a device string into the caller's buffer, cut to fit.
inline void CopyProductString(const std::string& text, char* buffer)
{
    const std::size_t length = std::min(text.size(), PRODUCT_STRING_SIZE - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

// The status a transfer on an open device ends with at once, or nothing when it goes ahead: no
// buffer for a transfer of bytes, a connection already lost (lostStatus), nothing to move.
inline std::optional<DeviceStatus> EarlyTransferStatus(const void* buffer, std::uint32_t size, bool lost,
                                                       DeviceStatus lostStatus)
{
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
