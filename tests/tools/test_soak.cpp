// An hour of readings in accelerated time: 1,800 spectrum captures (one every 2 s) and a real-time
// reading of 100,000 points, through the virtual bridge against the built simulator, which answers
// at once; the link's timer is the loop below, with no wait between ticks. At the end the process
// holds no more memory than the recording itself plus a tenth. The sanitizer build runs a tenth of
// it, to find misuse of memory rather than to measure it.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "logger/CLoggerLink.h"
#include "logger/VirtualBridgeBackend.h"
#include "tests/logger/FakeLoggerHost.h"
#include "tools/SimulatorProgram.h"

namespace shakemeter {
namespace {

namespace fs = std::filesystem;

#ifdef SHAKEMETER_SANITIZED
constexpr int kScale = 10;
#else
constexpr int kScale = 1;
#endif
constexpr int kCaptures = 1800 / kScale;
constexpr int kLivePoints = kRealTimeMaxPoints / kScale;

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM").
std::size_t StatusBytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stoull(line.substr(field.size() + 1)) * 1024;
    return 0;
}

// How much `later` exceeds `earlier`; nothing when it is smaller.
std::size_t Growth(std::size_t earlier, std::size_t later)
{
    return later > earlier ? later - earlier : 0;
}

TEST(Soak, AnHourOfReadingsHoldsNoMoreMemoryThanItsRecording)
{
    const fs::path folder = fs::temp_directory_path() / ("soak-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    {
        testing::Simulator sim(folder.string(), {"--name", "soak"});
        ASSERT_FALSE(sim.socket().empty());
        VirtualBridgeBackend bridges(folder.string());
        test::FakeLoggerHost host;
        CLoggerLink link(bridges, host);
        // The FFT reading: one capture per tick over one connection, each replacing the last.
        // The first captures and a short real-time reading bring in the code and the buffers every
        // reading needs once; what is resident after them is the base the rest is measured from.
        const auto readCaptures = [&](int count) {
            ASSERT_TRUE(link.StartSpectrum());
            for (int capture = 0; capture < count; ++capture) {
                link.StampSpectrumTime();
                ASSERT_TRUE(link.ReadSpectrum()) << "capture " << capture;
            }
            link.CloseDevice();
        };
        const auto readLive = [&](int points) {
            host.view.SetRtRequested(points);
            link.SetRealTimeInterval(kRealTimeIntervals[0]);
            ASSERT_TRUE(link.RunRealTime());
            EXPECT_EQ(host.timerPeriod, kRealTimeIntervals[0]);
            for (int tick = 1; tick < points && link.RealTimeStatus() == RealTimeState::Reading; ++tick)
                link.OnTimer(kRealTimeTimerId);
            EXPECT_EQ(link.RealTimeStatus(), RealTimeState::Completed);
        };
        constexpr int kWarmUpCaptures = 10;
        readCaptures(kWarmUpCaptures);
        readLive(10);
        const std::size_t before = StatusBytes("VmRSS");
        const auto started = std::chrono::steady_clock::now();

        readCaptures(kCaptures - kWarmUpCaptures);
        const std::size_t afterCaptures = StatusBytes("VmRSS");
        EXPECT_EQ(host.document.m_pSamples.size(), 256u);
        EXPECT_EQ(host.Installed(RecordingSource::Spectrum), kCaptures);

        // The longest real-time reading the run dialog allows, at its fastest rate.
        readLive(kLivePoints);
        EXPECT_TRUE(host.messages.empty());
        ASSERT_EQ(host.view.m_nShownCount, kLivePoints);
        ASSERT_EQ(host.document.m_pSamples.size(), static_cast<std::size_t>(kLivePoints));
        EXPECT_FALSE(link.IsOpen());

        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const std::size_t after = StatusBytes("VmRSS");
        const std::size_t recording = host.document.m_pSamples.capacity() * sizeof(SampleRow) +
                                      host.document.m_pSampleTicks.capacity() * sizeof(std::int32_t);
        RecordProperty("seconds", std::to_string(seconds));
        RecordProperty("rss_growth_bytes", std::to_string(Growth(before, after)));
        RecordProperty("recording_bytes", std::to_string(recording));
        std::printf(
            "soak: %d captures and %d points in %.1f s; resident memory grew %zu bytes over the "
            "captures and %zu bytes in all for a recording of %zu bytes (peak %zu bytes resident)\n",
            kCaptures, kLivePoints, seconds, Growth(before, afterCaptures), Growth(before, after), recording,
            StatusBytes("VmHWM"));
#ifndef SHAKEMETER_SANITIZED
        // Captures replace each other: a leak of a few bytes each would add up over 1,790 of them.
        EXPECT_LE(Growth(before, afterCaptures), 64u * 1024);
        EXPECT_LE(Growth(before, after), recording + recording / 10);
#endif
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace shakemeter
