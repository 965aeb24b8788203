// The logger's replies as the link reads them: the first byte picks the transfer (download,
// real-time reading, spectrum reading), the rest is what the logger answers, read after read,
// until it runs out (then every read fails, as with a logger that went silent). Whatever comes,
// the link keeps its promises: at most one message per transfer, the connection closed after a
// failure, the recording shown before untouched by a failed download or capture, and a recording
// it installs consistent with its own header, with values the 13-bit counts can give.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "logger/CLoggerLink.h"
#include "tests/logger/FakeLoggerHost.h"

namespace {

using namespace shakemeter;

// A bridge whose logger answers from the fuzzer's bytes; writes always succeed.
class ReplyStream : public DeviceLibrary {
public:
    ReplyStream(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    DeviceStatus GetNumDevices(std::uint32_t& count) override
    {
        count = 1;
        return DEVICE_SUCCESS;
    }
    DeviceStatus GetProductString(std::uint32_t index, char* buffer, int) override
    {
        if (index != 0)
            return DEVICE_NOT_FOUND;
        std::strcpy(buffer, "fuzz");
        return DEVICE_SUCCESS;
    }
    DeviceStatus Open(std::uint32_t, DeviceHandle& handle) override
    {
        handle = 1;
        ++m_open;
        return DEVICE_SUCCESS;
    }
    DeviceStatus Close(DeviceHandle) override
    {
        --m_open;
        return DEVICE_SUCCESS;
    }
    DeviceStatus Read(DeviceHandle, void* buffer, std::uint32_t toRead, std::uint32_t& read) override
    {
        read = static_cast<std::uint32_t>(std::min<std::size_t>(toRead, m_size - m_at));
        std::memcpy(buffer, m_data + m_at, read);
        m_at += read;
        return read > 0 || toRead == 0 ? DEVICE_SUCCESS : DEVICE_READ_TIMED_OUT;
    }
    DeviceStatus Write(DeviceHandle, const void*, std::uint32_t toWrite, std::uint32_t& written) override
    {
        written = toWrite;
        return DEVICE_SUCCESS;
    }
    DeviceStatus SetTimeouts(std::uint32_t, std::uint32_t) override { return DEVICE_SUCCESS; }
    DeviceStatus GetTimeouts(std::uint32_t& r, std::uint32_t& w) override
    {
        r = w = 1000;
        return DEVICE_SUCCESS;
    }
    std::string BackendOf(std::uint32_t) override { return "fuzz"; }

    int OpenConnections() const { return m_open; }
    bool Exhausted() const { return m_at >= m_size; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
    int m_open = 0;
};

Recording Previous()
{
    return shakemeter::test::PreviousRecording();
}

bool IsPrevious(const Recording& r)
{
    const Recording p = Previous();
    return r.m_header == p.m_header && r.m_pSamples == p.m_pSamples && r.m_pSampleTicks == p.m_pSampleTicks &&
           r.m_pFreeFallEvents == p.m_pFreeFallEvents;
}

// |4095 counts| is 16.38 g; the vector sum of three such axes stays below 28.4 g.
bool PlausibleRows(const Recording& r)
{
    for (const SampleRow& row : r.m_pSamples)
        for (std::size_t i = 0; i < 4; ++i)
            if (!std::isfinite(row[i]) || std::fabs(row[i]) > (i < 3 ? 16.39 : 28.4) || (i == 3 && row[i] < 0))
                return false;
    return true;
}

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void Download(test::FakeLoggerHost& host, ReplyStream& device, CLoggerLink& link)
{
    const bool ok = link.Download();
    Require(!link.IsOpen() && device.OpenConnections() == 0);
    Require(host.messages.size() == (ok ? 0u : 1u));
    if (!ok) {
        Require(IsPrevious(host.document));
        Require(host.tempCopies == 0);
        return;
    }
    const Recording& r = host.document;
    Require(r.m_pSamples.size() == r.m_header.dwSampleCount);
    Require(r.m_pSampleTicks.size() == (r.IsMotion() ? r.m_pSamples.size() : 0u));
    Require(r.m_pFreeFallEvents.size() == r.m_header.wFreeFallCount);
    Require(PlausibleRows(r));
}

void RealTime(test::FakeLoggerHost& host, ReplyStream& device, CLoggerLink& link, std::uint8_t points)
{
    host.view.SetRtRequested(1 + points % 40);
    link.SetRealTimeInterval(1000);
    const bool started = link.RunRealTime();
    if (!started && link.RealTimeStatus() != RealTimeState::Completed) {
        Require(host.messages.size() == 1u && IsPrevious(host.document));
        Require(!link.IsOpen() && device.OpenConnections() == 0);
        return;
    }
    for (int tick = 0; tick < 64 && link.RealTimeStatus() == RealTimeState::Reading; ++tick)
        link.OnTimer(kRealTimeTimerId);
    const RealTimeState state = link.RealTimeStatus();
    Require(state == RealTimeState::Completed || state == RealTimeState::Failed);
    Require(!link.IsOpen() && device.OpenConnections() == 0);
    Require(host.messages.size() == (state == RealTimeState::Failed ? 1u : 0u));
    const std::uint32_t count = host.document.m_header.dwSampleCount;
    Require(count >= 1 && count <= static_cast<std::uint32_t>(host.view.m_nRtRequested));
    Require(state == RealTimeState::Failed || count == static_cast<std::uint32_t>(host.view.m_nRtRequested));
    Require(PlausibleRows(host.document));
}

void Spectrum(test::FakeLoggerHost& host, ReplyStream& device, CLoggerLink& link)
{
    Require(link.StartSpectrum());
    for (int capture = 0; capture < 3; ++capture) {
        const bool ok = link.ReadSpectrum();
        if (!ok) {
            Require(host.messages.size() == 1u && !link.IsOpen() && device.OpenConnections() == 0);
            Require(capture > 0 || IsPrevious(host.document));
            return;
        }
        Require(host.messages.empty() && link.IsOpen());
        Require(host.document.m_pSamples.size() == 256u && host.view.m_pSpectrum.size() == 256u);
        Require(PlausibleRows(host.document));
    }
    link.CloseDevice();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t mode = data[0];
    std::array<std::uint8_t, 4096> replies{};
    std::size_t length = std::min(size - 1, replies.size());
    std::memcpy(replies.data(), data + 1, length);
    if (mode % 3 == 0 && length >= 4) {
        // A download reads as many blocks as the header asks for; counts a memory can hold are
        // kept below 64 KiB so that one run stays short, larger ones exercise the refusal.
        std::uint32_t bytes = 0;
        std::memcpy(&bytes, replies.data(), 4);
        if (bytes <= LOGGER_MAX_MEMORY_BYTES)
            bytes &= 0xFFFF;
        std::memcpy(replies.data(), &bytes, 4);
    }
    ReplyStream device(replies.data(), length);
    test::FakeLoggerHost host;
    host.document = Previous();
    CLoggerLink link(device, host);
    link.SetClock([] { return CalendarTime::FromLocal(CalendarFields{2024, 5, 14, 9, 30, 0}); });
    switch (mode % 3) {
    case 0:
        Download(host, device, link);
        break;
    case 1:
        RealTime(host, device, link, mode);
        break;
    default:
        Spectrum(host, device, link);
        break;
    }
    return 0;
}
