#pragma once
// The library-wide read and write time-outs a device library keeps: set by one thread while another
// is inside a transfer, so each call sees both values of one setting. Both start at one second.

#include "logger/DeviceLibrary.h"

#include <cstdint>
#include <mutex>

namespace shakemeter {

class DeviceTimeouts {
public:
    DeviceStatus Set(std::uint32_t readMs, std::uint32_t writeMs)
    {
        std::lock_guard lock(m_mutex);
        m_readMs = readMs;
        m_writeMs = writeMs;
        return DEVICE_SUCCESS;
    }

    DeviceStatus Get(std::uint32_t& readMs, std::uint32_t& writeMs) const
    {
        std::lock_guard lock(m_mutex);
        readMs = m_readMs;
        writeMs = m_writeMs;
        return DEVICE_SUCCESS;
    }

    std::uint32_t ReadMs() const
    {
        std::lock_guard lock(m_mutex);
        return m_readMs;
    }

    std::uint32_t WriteMs() const
    {
        std::lock_guard lock(m_mutex);
        return m_writeMs;
    }

private:
    mutable std::mutex m_mutex;
    std::uint32_t m_readMs = 1000;
    std::uint32_t m_writeMs = 1000;
};

}  // namespace shakemeter
