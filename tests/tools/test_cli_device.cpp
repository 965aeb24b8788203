// shakemeter-cli's logger verbs end to end: the built program against the built logger simulator
// on a virtual bridge, through the same backend a user without hardware gets.

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "recording/RecordingFile.h"
#include "tools/ProgramRunner.h"
#include "tools/SimulatorProgram.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;
using namespace shakemeter;
using namespace shakemeter::testing;

// Runs a program with its standard error on a terminal (a pseudo-terminal) and its standard
// output on a pipe; gives its exit status, its output, and what reached the terminal as err.
Outcome RunOnTerminal(const std::string& program, const std::vector<std::string>& args)
{
    Outcome outcome;
    int terminal = -1;
    int follower = -1;
    int out[2] = {-1, -1};
    if (::openpty(&terminal, &follower, nullptr, nullptr, nullptr) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
        return outcome;
    const pid_t pid = SpawnWithOutputs(program, args, out[1], follower);
    ::close(out[1]);
    ::close(follower);
    const bool ended = pid > 0 && ReadUntilBothEnd(out[0], terminal, outcome.out, outcome.err, kPatienceMs);
    if (pid > 0)
        outcome.code = Reap(pid, ended);
    ::close(out[0]);
    ::close(terminal);
    return outcome;
}

class CliDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = shakemeter::testing::MakeTempFolder("shakemeter-cli-test");
        ASSERT_FALSE(m_root.empty());
        const fs::path runtime = m_root / "run";
        m_bridges = runtime / "shakemeter" / "bridges";
        fs::create_directories(m_bridges);
        fs::create_directories(m_root / "config");
        Keep("XDG_RUNTIME_DIR", runtime.string());
        Keep("XDG_CONFIG_HOME", (m_root / "config").string());
    }
    void TearDown() override
    {
        for (const auto& [name, value] : m_saved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    void Keep(const std::string& name, const std::string& value)
    {
        const char* old = std::getenv(name.c_str());
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }
    Outcome Cli(const std::vector<std::string>& args)
    {
        return RunProgram(SHAKEMETER_BINARY_DIR "/tools/shakemeter-cli", args);
    }
    std::string Out(const std::string& name) const { return (m_root / name).string(); }

    fs::path m_root;
    fs::path m_bridges;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST_F(CliDevice, MotionDetectionWithoutThresholdsIsRefusedAndNothingIsSent)
{
    Simulator sim(m_bridges.string(), {"--samples", "10"});
    ASSERT_FALSE(sim.socket().empty());
    // No thresholds given and none saved: the logger would run without the ones the user meant.
    const Outcome refused = Cli({"setup", "--mode", "motion", "--start", "auto"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err, "Please choose all three thresholds (X, Y and Z) for motion detection.\n");
    EXPECT_EQ(sim.ReadLine(), "") << "no setup block reached the logger";

    const Outcome chosen = Cli({"setup", "--mode", "motion", "--thresholds", "1,2,3"});
    EXPECT_EQ(chosen.code, 0) << chosen.err;
    EXPECT_NE(sim.ReadLine().find("01 01 02 03"), std::string::npos);
}

TEST_F(CliDevice, LiveShowsItsProgressOnATerminalOnly)
{
    Simulator sim(m_bridges.string(), {"--samples", "10"});
    ASSERT_FALSE(sim.socket().empty());
    const std::string cli = SHAKEMETER_BINARY_DIR "/tools/shakemeter-cli";
    const Outcome shown = RunOnTerminal(cli, {"live", "--rate", "500ms", "--points", "3", Out("watched")});
    ASSERT_EQ(shown.code, 0) << shown.err;
    EXPECT_EQ(shown.out, "3 samples\n");
    for (const char* step : {"live: 1 of 3 samples", "live: 2 of 3 samples", "live: 3 of 3 samples"})
        EXPECT_NE(shown.err.find(step), std::string::npos) << step << " in " << shown.err;
    // The line is taken away at the end, so the terminal's next line starts clean.
    EXPECT_EQ(shown.err.substr(shown.err.size() - 4), "\r\033[K");

    const Outcome piped = Cli({"live", "--rate", "500ms", "--points", "2", Out("piped")});
    ASSERT_EQ(piped.code, 0) << piped.err;
    EXPECT_EQ(piped.err, "") << "a script reading the errors gets no progress lines";
}

TEST_F(CliDevice, DownloadSetupLiveSpectrumAndUnplugThroughTheVirtualBridge)
{
    // No bridge yet: the transfer fails before any exchange and says why.
    const Outcome nothing = Cli({"download", Out("none")});
    EXPECT_EQ(nothing.code, 1);
    EXPECT_EQ(nothing.err, "Connecting failed. Ensure logger inserted and try again.\n");
    EXPECT_EQ(Cli({"download"}).code, 2);

    {
        Simulator sim(m_bridges.string(), {"--samples", "500", "--events", "3"});
        ASSERT_FALSE(sim.socket().empty());

        const Outcome devices = Cli({"devices"});
        EXPECT_EQ(devices.code, 0);
        EXPECT_NE(devices.out.find("\tvirtual\n"), std::string::npos) << devices.out;

        const Outcome download = Cli({"download", Out("memory.Vibration")});
        ASSERT_EQ(download.code, 0) << download.err;
        EXPECT_EQ(download.out, "500 samples, 3 events\n");
        const RecordingFileResult downloaded = ReadRecordingFile(Out("memory.Vibration"));
        ASSERT_TRUE(downloaded.ok());
        EXPECT_EQ(downloaded.recording.m_header.dwSampleCount, 500u);
        EXPECT_EQ(downloaded.recording.m_pFreeFallEvents.size(), 3u);
        EXPECT_TRUE(fs::exists(Out("memory.xls")));

        const Outcome setup = Cli(
            {"setup", "--rate", "2s", "--led", "20", "--mode", "motion", "--thresholds", "3,4,5", "--start", "auto"});
        EXPECT_EQ(setup.code, 0) << setup.err;
        EXPECT_EQ(setup.err, "The DATA LOGGER is running... \n");
        const std::string report = sim.ReadLine();
        EXPECT_NE(report.find("bytes 00 00 00 00 00 00 09 00 01 03 04 05"), std::string::npos) << report;
        // The block sent became the last setup: a plain setup sends the same choices again.
        const Outcome again = Cli({"setup"});
        EXPECT_EQ(again.code, 0) << again.err;
        EXPECT_NE(sim.ReadLine().find("00 09 00 01 03 04 05"), std::string::npos);

        const Outcome refused = Cli({"setup", "--rate", "20ms"});
        EXPECT_EQ(refused.code, 1);
        EXPECT_EQ(refused.err, "The sampling rate must be larger than 50ms!\n");
        EXPECT_EQ(Cli({"setup", "--rate", "13h"}).code, 2);

        const Outcome live = Cli({"live", "--rate", "500ms", "--points", "2", Out("live")});
        ASSERT_EQ(live.code, 0) << live.err;
        const RecordingFileResult liveFile = ReadRecordingFile(Out("live.Vibration"));
        ASSERT_TRUE(liveFile.ok());
        EXPECT_EQ(liveFile.recording.m_header.dwSampleCount, 2u);
        EXPECT_EQ(liveFile.recording.m_header.wInterval, 500);
        EXPECT_EQ(liveFile.recording.m_bRealTime, 1);
        EXPECT_EQ(Cli({"live", "--rate", "750ms", "--points", "2", Out("x")}).code, 2);

        const Outcome spectrum = Cli({"spectrum", "--captures", "1", Out("capture")});
        ASSERT_EQ(spectrum.code, 0) << spectrum.err;
        const RecordingFileResult captured = ReadRecordingFile(Out("capture.Vibration"));
        ASSERT_TRUE(captured.ok());
        EXPECT_EQ(captured.recording.m_header.dwSampleCount, 256u);
        EXPECT_EQ(captured.recording.m_header.wInterval, 0);
        EXPECT_TRUE(fs::exists(Out("capture.xls")));
    }

    // Unplugged after 600 bytes, in the middle of the sample blocks.
    Simulator unplugging(m_bridges.string(), {"--samples", "2000", "--unplug-after", "600"});
    ASSERT_FALSE(unplugging.socket().empty());
    const Outcome cut = Cli({"download", Out("cut")});
    EXPECT_EQ(cut.code, 1);
    EXPECT_EQ(cut.err, "Failed reading data from the shakemeter.\n");
    EXPECT_FALSE(fs::exists(Out("cut.Vibration")));
    EXPECT_FALSE(fs::exists(Out("cut.xls")));
}

// After "--" every name is an output name, also one that starts with dashes: the transfer runs
// and writes the files under that name instead of taking it for an option.
TEST_F(CliDevice, OutputNamesStartingWithDashesAreNamesAfterTheEndOfOptions)
{
    const fs::path before = fs::current_path();
    fs::current_path(m_root);
    const Outcome unplugged = Cli({"download", "--", "--none"});
    Outcome download, live, spectrum;
    {
        Simulator sim(m_bridges.string(), {"--samples", "20"});
        if (!sim.socket().empty()) {
            download = Cli({"download", "--", "--memory"});
            live = Cli({"live", "--rate", "500ms", "--points", "2", "--", "--live"});
            spectrum = Cli({"spectrum", "--frequency", "--", "--capture"});
        }
    }
    fs::current_path(before);

    // No logger: the transfer itself is what failed, not the command line.
    EXPECT_EQ(unplugged.code, 1) << unplugged.err;
    EXPECT_EQ(unplugged.err, "Connecting failed. Ensure logger inserted and try again.\n");
    EXPECT_EQ(download.code, 0) << download.err;
    EXPECT_EQ(download.out, "20 samples, 0 events\n");
    EXPECT_TRUE(ReadRecordingFile(Out("--memory.Vibration")).ok());
    EXPECT_TRUE(fs::exists(Out("--memory.xls")));
    EXPECT_EQ(live.code, 0) << live.err;
    EXPECT_TRUE(ReadRecordingFile(Out("--live.Vibration")).ok());
    EXPECT_EQ(spectrum.code, 0) << spectrum.err;
    EXPECT_TRUE(ReadRecordingFile(Out("--capture.Vibration")).ok());
}

// A logger that sends one block with bytes beyond its length: the download still gets every
// sample and event as the memory holds them, instead of the rest shifted by the surplus.
TEST_F(CliDevice, ABlockSentLongShiftsNothingAfterIt)
{
    {
        Simulator plain(m_bridges.string(), {"--samples", "100", "--events", "3"});
        ASSERT_FALSE(plain.socket().empty());
        ASSERT_EQ(Cli({"download", Out("memory.Vibration")}).code, 0);
    }
    const RecordingFileResult memory = ReadRecordingFile(Out("memory.Vibration"));
    ASSERT_TRUE(memory.ok());

    Simulator longBlock(m_bridges.string(), {"--memory", Out("memory.Vibration"), "--long-block", "1"});
    ASSERT_FALSE(longBlock.socket().empty());
    const Outcome download = Cli({"download", Out("again.Vibration")});
    ASSERT_EQ(download.code, 0) << download.err;
    const RecordingFileResult again = ReadRecordingFile(Out("again.Vibration"));
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again.recording.m_header, memory.recording.m_header);
    EXPECT_EQ(again.recording.m_pSamples, memory.recording.m_pSamples);
    EXPECT_EQ(again.recording.m_pFreeFallEvents, memory.recording.m_pFreeFallEvents);
}

TEST_F(CliDevice, ADownloadThatCannotBeSavedNamesTheFileAndWritesNeither)
{
    Simulator sim(m_bridges.string(), {"--samples", "50"});
    ASSERT_FALSE(sim.socket().empty());
    fs::create_directories(Out("taken.xls"));
    const Outcome outcome = Cli({"download", Out("taken.Vibration")});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.err, "shakemeter-cli: cannot write " + Out("taken.xls") + ": Is a directory\n");
    EXPECT_FALSE(fs::exists(Out("taken.Vibration")));
}

}  // namespace
