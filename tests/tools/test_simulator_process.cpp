// The built qz810-sim as a program: it announces its socket, serves connection after connection,
// prints setup blocks, disappears when unplugged and leaves no socket behind.

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TestRecordings.h"
#include "logger/LoggerProtocol.h"
#include "logger/VirtualBridgeBackend.h"
#include "recording/RecordingFile.h"
#include "TempFolder.h"
#include "tools/ProgramRunner.h"

namespace shakemeter {
namespace {

using Bytes = std::vector<unsigned char>;
constexpr int kPatienceMs = 5000;  // a safety net against hangs, not a measurement

// The built simulator with the given options; killed at the end when still running.
class SimulatorProcess : public testing::StartedProgram {
public:
    explicit SimulatorProcess(const std::vector<std::string>& args)
        : StartedProgram(SHAKEMETER_BINARY_DIR "/tools/qz810-sim", args)
    {
    }
};

bool exists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

class SimulatorProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = shakemeter::testing::MakeTempFolder("qz810-sim-test");
        ASSERT_FALSE(m_dir.empty());
        m_folder = m_dir + "/bridges";
    }
    void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }

    std::string m_dir;
    std::string m_folder;
};

TEST_F(SimulatorProgram, AnnouncesItsSocketServesEveryConnectionAndCleansUp)
{
    SimulatorProcess sim({"--folder", m_folder, "--name", "proc", "--samples", "10"});
    const std::string path = sim.ReadLine();
    ASSERT_EQ(path, m_folder + "/proc.sock");
    struct stat folder {};
    ASSERT_EQ(::stat(m_folder.c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);

    VirtualBridgeBackend bridges(m_folder);
    ASSERT_EQ(bridges.SetTimeouts(kPatienceMs, kPatienceMs), DEVICE_SUCCESS);
    std::uint32_t count = 0;
    char name[256] = {};
    ASSERT_EQ(bridges.GetNumDevices(count), DEVICE_SUCCESS);
    ASSERT_EQ(count, 1u);
    ASSERT_EQ(bridges.GetProductString(0, name, 0), DEVICE_SUCCESS);
    EXPECT_STREQ(name, "proc");

    for (int connection = 0; connection < 2; ++connection) {
        DeviceHandle handle = INVALID_DEVICE_HANDLE;
        ASSERT_EQ(bridges.Open(0, handle), DEVICE_SUCCESS) << connection;
        const unsigned char header[] = {0x00, 0x00, 0x00};
        unsigned char reply[22] = {};
        std::uint32_t done = 0;
        ASSERT_EQ(bridges.Write(handle, header, 3, done), DEVICE_SUCCESS);
        ASSERT_EQ(bridges.Read(handle, reply, 22, done), DEVICE_SUCCESS);
        EXPECT_EQ(done, 22u);
        EXPECT_EQ(reply[0], 60);  // 10 samples of 6 bytes

        const unsigned char setup[] = {0x01, 0x00, 0x16, 0,    0, 0, 0, 0, 0, 9, 0, 0, 1,
                                       1,    1,    0xE8, 0x07, 1, 2, 3, 4, 5, 0, 0, 0};
        ASSERT_EQ(bridges.Write(handle, setup, sizeof setup, done), DEVICE_SUCCESS);
        const std::string line = sim.ReadLine();
        EXPECT_EQ(line.rfind("setup: interval 9 (2 s), mode 0x00 (normal)", 0), 0u) << line;
        bridges.Close(handle);
    }

    EXPECT_EQ(sim.Stop(SIGTERM), 0);
    EXPECT_FALSE(exists(path));
}

TEST_F(SimulatorProgram, AnUnpluggedLoggerClosesAndDisappears)
{
    SimulatorProcess sim({"--folder", m_folder, "--name", "gone", "--motion", "--samples", "3", "--events", "1",
                          "--unplug-after", "50"});
    const std::string path = sim.ReadLine();
    VirtualBridgeBackend bridges(m_folder);
    ASSERT_EQ(bridges.SetTimeouts(kPatienceMs, kPatienceMs), DEVICE_SUCCESS);
    DeviceHandle handle = INVALID_DEVICE_HANDLE;
    ASSERT_EQ(bridges.Open(0, handle), DEVICE_SUCCESS);
    auto exchange = [&](Bytes command, std::uint32_t length) {
        std::uint32_t done = 0;
        Bytes reply(length);
        if (bridges.Write(handle, command.data(), 3, done) != DEVICE_SUCCESS ||
            bridges.Read(handle, reply.data(), length, done) != DEVICE_SUCCESS)
            return Bytes{};
        reply.resize(done);
        return reply;
    };
    const Bytes header = exchange({0, 0, 0}, 22);
    ASSERT_EQ(header.size(), 22u);
    EXPECT_EQ(header[0], 27);           // three 9-byte records
    EXPECT_EQ(header[4], 1);            // one event
    EXPECT_EQ(header[8] & 0x03, 0x03);  // motion and free-fall detection
    EXPECT_EQ(exchange({0, 0, 1}, 27).size(), 27u);
    EXPECT_EQ(exchange({0, 0, 1}, 6).size(), 1u);  // 50 bytes in all, then the end
    EXPECT_TRUE(exchange({0, 0, 0}, 22).empty());
    bridges.Close(handle);

    for (int i = 0; i < kPatienceMs / 10 && exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(exists(path));
    std::uint32_t count = 1;
    ASSERT_EQ(bridges.GetNumDevices(count), DEVICE_SUCCESS);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(sim.Stop(SIGINT), 0);
}

TEST_F(SimulatorProgram, ServesARecordingFileWithGeneratedEvents)
{
    const Recording rec = testing::MakeRecording(testing::HeaderAt(2023, 3, 5, 0, 0, 0, 9),
                                                 {{0.12, -0.5, 1.0, 1.12}, {-16.31, 0.0, 0.01, 16.31}});
    const std::string file = m_dir + "/two.Vibration";
    ASSERT_TRUE(WriteRecordingFile(file, rec, 2));

    SimulatorProcess sim({"--folder", m_folder, "--name", "file", "--memory", file, "--events", "2"});
    ASSERT_EQ(sim.ReadLine(), m_folder + "/file.sock");
    VirtualBridgeBackend bridges(m_folder);
    ASSERT_EQ(bridges.SetTimeouts(kPatienceMs, kPatienceMs), DEVICE_SUCCESS);
    DeviceHandle handle = INVALID_DEVICE_HANDLE;
    ASSERT_EQ(bridges.Open(0, handle), DEVICE_SUCCESS);
    const unsigned char requests[] = {0, 0, 0, 0, 0, 1};
    unsigned char reply[22 + 12] = {};
    std::uint32_t done = 0;
    ASSERT_EQ(bridges.Write(handle, requests, sizeof requests, done), DEVICE_SUCCESS);
    for (std::uint32_t got = 0; got < sizeof reply; got += done)
        ASSERT_EQ(bridges.Read(handle, reply + got, sizeof reply - got, done), DEVICE_SUCCESS);
    bridges.Close(handle);

    EXPECT_EQ(reply[0], 12);
    EXPECT_EQ(reply[4], 2);
    EXPECT_EQ(reply[6], 9);
    EXPECT_EQ(reply[12] | (reply[13] << 8), 2023);
    EXPECT_EQ(DecodeMemorySample(reply + 22)[0], HundredthsToG(12));
    EXPECT_EQ(DecodeMemorySample(reply + 22)[1], HundredthsToG(-50));
    EXPECT_EQ(DecodeMemorySample(reply + 28)[0], HundredthsToG(-1631));
    EXPECT_EQ(sim.Stop(SIGTERM), 0);
}

TEST_F(SimulatorProgram, RefusesInvalidOptionsAndForeignFolders)
{
    SimulatorProcess badOption({"--folder", m_folder, "--samples", "many"});
    EXPECT_EQ(badOption.Stop(0), 2);
    EXPECT_NE(badOption.ReadLine(true).find("--samples"), std::string::npos);
    EXPECT_EQ(badOption.ReadLine(), "");
    EXPECT_FALSE(exists(m_folder));

    ASSERT_EQ(::symlink("/tmp", m_folder.c_str()), 0);
    SimulatorProcess linked({"--folder", m_folder, "--empty"});
    EXPECT_EQ(linked.Stop(0), 1);
    EXPECT_NE(linked.ReadLine(true).find("not a folder"), std::string::npos);
}

TEST_F(SimulatorProgram, HelpPrintsTheUsageAndServesNothing)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"-h"}, {"--folder", m_folder, "--samples", "many", "--help"}}) {
        SimulatorProcess help(args);
        EXPECT_EQ(help.Stop(0), 0) << args.back();
        EXPECT_EQ(help.ReadLine(), "Usage: qz810-sim [options]");
        EXPECT_EQ(help.ReadLine(true), "");
        EXPECT_FALSE(exists(m_folder));
    }
}

}  // namespace
}  // namespace shakemeter
