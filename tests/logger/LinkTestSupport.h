#pragma once
// Shared pieces of the link tests: a link wired to a fake logger and a fake host, a fixed local
// time zone, and builders of header replies and sample streams.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "logger/CLoggerLink.h"
#include "tests/logger/FakeDeviceLibrary.h"
#include "tests/logger/FakeLoggerHost.h"

namespace shakemeter::test {

inline std::vector<std::uint8_t> CountPair(int counts)
{
    const auto word = static_cast<std::uint16_t>(counts * 8);
    return {static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word & 0xFF)};
}

// One record of three axes (counts of 4 mg) in wire order, with a tick for 9-byte records.
inline std::vector<std::uint8_t> Record(int a, int b, int c, int tick = -1)
{
    std::vector<std::uint8_t> r;
    for (int v : {a, b, c}) {
        const auto p = CountPair(v);
        r.insert(r.end(), p.begin(), p.end());
    }
    if (tick >= 0) {
        r[1] = static_cast<std::uint8_t>((r[1] & 0xF8) | ((tick >> 24) & 0x07));
        r.push_back(static_cast<std::uint8_t>(tick & 0xFF));
        r.push_back(static_cast<std::uint8_t>((tick >> 8) & 0xFF));
        r.push_back(static_cast<std::uint8_t>((tick >> 16) & 0xFF));
    }
    return r;
}

inline HeaderBlock HeaderReply(std::uint32_t dataBytes, std::uint16_t events, std::uint8_t mode = 0,
                               std::uint16_t interval = 200)
{
    RecordingHeader h;
    h.dwSampleCount = dataBytes;
    h.wFreeFallCount = events;
    h.wInterval = interval;
    h.byMode = mode;
    h.byThresholdX = 2;
    h.byThresholdY = 3;
    h.byThresholdZ = 4;
    h.wYear = 2023;
    h.byMonth = 3;
    h.byDay = 5;
    h.byHour = 14;
    h.byMinute = 7;
    h.bySecond = 9;
    h.byLedCycle = 20;
    h.byStartMode = 1;
    HeaderBlock block = EncodeHeaderBlock(h);
    block[21] = 0xAA;  // reserved: never kept
    return block;
}

// A stream of `count` records with X counting up from 1, Y = -X, Z = 250 (1.00 g).
inline std::vector<std::uint8_t> SampleStream(std::size_t count, bool motion, std::size_t totalBytes)
{
    std::vector<std::uint8_t> s;
    for (std::size_t k = 0; k < count; ++k) {
        const int x = static_cast<int>(k % 4000) + 1;
        const auto r = Record(x, -x, 250, motion ? static_cast<int>(k * 3) : -1);
        s.insert(s.end(), r.begin(), r.end());
    }
    s.resize(totalBytes, 0x5A);
    return s;
}

inline std::vector<std::uint8_t> EventStream(std::size_t count)
{
    // Sized first and filled in place: gcc 12 at -O3 takes repeated inserts for an overflow.
    std::vector<std::uint8_t> s(count * 6);
    for (std::size_t j = 0; j < count; ++j) {
        const std::uint8_t e[6] = {23, 3, 5, 14, 7, static_cast<std::uint8_t>(j % 60)};
        std::copy(e, e + 6, s.begin() + static_cast<std::ptrdiff_t>(j * 6));
    }
    return s;
}

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        m_hadTz = tz != nullptr;
        if (tz)
            m_oldTz = tz;
        setenv("TZ", "UTC", 1);
        tzset();
        link.SetClock([] { return CalendarTime::FromLocal(CalendarFields{2023, 3, 5, 14, 7, 9}); });
        host.document = PreviousRecording();
    }
    void TearDown() override
    {
        if (m_hadTz)
            setenv("TZ", m_oldTz.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    void ExpectPreviousRecording() const
    {
        const Recording expected = PreviousRecording();
        EXPECT_EQ(host.document.m_header, expected.m_header);
        EXPECT_EQ(host.document.m_pSamples, expected.m_pSamples);
        EXPECT_EQ(host.document.m_pFreeFallEvents, expected.m_pFreeFallEvents);
    }
    void ExpectClosedWithTimeoutsRestored() const
    {
        EXPECT_FALSE(link.IsOpen());
        EXPECT_EQ(device.openHandles, 0);
        EXPECT_EQ(device.readTimeout, 111u);
        EXPECT_EQ(device.writeTimeout, 222u);
    }
    std::vector<std::string> MessageTexts() const { return host.MessageTexts(); }

    FakeDeviceLibrary device;
    FakeLoggerHost host;
    CLoggerLink link{device, host};

private:
    bool m_hadTz = false;
    std::string m_oldTz;
};

}  // namespace shakemeter::test
