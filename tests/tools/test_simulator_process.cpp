// The built qz810-sim as a program: it announces its socket, serves connection after connection,
// prints setup blocks, disappears when unplugged and leaves no socket behind.

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TestRecordings.h"
#include "logger/LoggerProtocol.h"
#include "logger/VirtualBridgeBackend.h"
#include "recording/RecordingFile.h"
#include "TempFolder.h"

extern char** environ;

namespace shakemeter {
namespace {

using Bytes = std::vector<unsigned char>;
constexpr int kPatienceMs = 5000;  // a safety net against hangs, not a measurement

class SimulatorProcess {
public:
    explicit SimulatorProcess(const std::vector<std::string>& args)
    {
        int out[2], err[2];
        if (::pipe(out) != 0 || ::pipe(err) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        const std::string program = SHAKEMETER_BINARY_DIR "/tools/qz810-sim";
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (::posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        m_out = out[0];
        m_err = err[0];
    }
    ~SimulatorProcess()
    {
        if (m_pid > 0)
            stop(SIGKILL);
        ::close(m_out);
        ::close(m_err);
    }

    // A line of standard output (or of standard error) without its newline; empty at the end.
    std::string readLine(bool errors = false)
    {
        std::string line;
        char c;
        pollfd p{errors ? m_err : m_out, POLLIN, 0};
        while (::poll(&p, 1, kPatienceMs) > 0 && ::read(p.fd, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }

    // The exit status after the signal (0: none sent), or -1 when it did not exit by itself.
    int stop(int signal)
    {
        if (signal != 0)
            ::kill(m_pid, signal);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
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
    const std::string path = sim.readLine();
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
        const std::string line = sim.readLine();
        EXPECT_EQ(line.rfind("setup: interval 9 (2 s), mode 0x00 (normal)", 0), 0u) << line;
        bridges.Close(handle);
    }

    EXPECT_EQ(sim.stop(SIGTERM), 0);
    EXPECT_FALSE(exists(path));
}

TEST_F(SimulatorProgram, AnUnpluggedLoggerClosesAndDisappears)
{
    SimulatorProcess sim({"--folder", m_folder, "--name", "gone", "--motion", "--samples", "3", "--events", "1",
                          "--unplug-after", "50"});
    const std::string path = sim.readLine();
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
    EXPECT_EQ(sim.stop(SIGINT), 0);
}

TEST_F(SimulatorProgram, ServesARecordingFileWithGeneratedEvents)
{
    const Recording rec = testing::MakeRecording(testing::HeaderAt(2023, 3, 5, 0, 0, 0, 9),
                                                 {{0.12, -0.5, 1.0, 1.12}, {-16.31, 0.0, 0.01, 16.31}});
    const std::string file = m_dir + "/two.Vibration";
    ASSERT_TRUE(WriteRecordingFile(file, rec, 2));

    SimulatorProcess sim({"--folder", m_folder, "--name", "file", "--memory", file, "--events", "2"});
    ASSERT_EQ(sim.readLine(), m_folder + "/file.sock");
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
    EXPECT_EQ(sim.stop(SIGTERM), 0);
}

TEST_F(SimulatorProgram, RefusesInvalidOptionsAndForeignFolders)
{
    SimulatorProcess badOption({"--folder", m_folder, "--samples", "many"});
    EXPECT_EQ(badOption.stop(0), 2);
    EXPECT_NE(badOption.readLine(true).find("--samples"), std::string::npos);
    EXPECT_EQ(badOption.readLine(), "");
    EXPECT_FALSE(exists(m_folder));

    ASSERT_EQ(::symlink("/tmp", m_folder.c_str()), 0);
    SimulatorProcess linked({"--folder", m_folder, "--empty"});
    EXPECT_EQ(linked.stop(0), 1);
    EXPECT_NE(linked.readLine(true).find("not a folder"), std::string::npos);
}

TEST_F(SimulatorProgram, HelpPrintsTheUsageAndServesNothing)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"-h"}, {"--folder", m_folder, "--samples", "many", "--help"}}) {
        SimulatorProcess help(args);
        EXPECT_EQ(help.stop(0), 0) << args.back();
        EXPECT_EQ(help.readLine(), "Usage: qz810-sim [options]");
        EXPECT_EQ(help.readLine(true), "");
        EXPECT_FALSE(exists(m_folder));
    }
}

}  // namespace
}  // namespace shakemeter
