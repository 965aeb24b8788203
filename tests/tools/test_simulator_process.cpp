// The built qz810-sim as a program: it announces its socket, serves connection after connection,
// and leaves no socket behind.

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "logger/VirtualBridgeBackend.h"

extern char** environ;

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
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, err[0]);
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
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        ::close(m_out);
        ::close(m_err);
    }

    bool started() const { return m_pid > 0; }

    // One line of standard output without its newline; empty on end of output or time-out.
    std::string readLine() { return readLineFrom(m_out); }

    std::string readAllErrors()
    {
        std::string text;
        char c;
        while (::read(m_err, &c, 1) == 1)
            text += c;
        return text;
    }

    // Sends the signal and returns the exit status, or -1 if the program did not exit normally.
    int stop(int signal)
    {
        ::kill(m_pid, signal);
        return waitExit();
    }

    int waitExit()
    {
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    static std::string readLineFrom(int fd)
    {
        std::string line;
        for (;;) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, kPatienceMs) <= 0)
                return line;
            char c;
            if (::read(fd, &c, 1) != 1 || c == '\n')
                return line;
            line += c;
        }
    }

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
};

int connectTo(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads up to `size` bytes; stops early at end of stream or when nothing comes for a while.
Bytes readUpTo(int fd, std::size_t size)
{
    Bytes bytes;
    while (bytes.size() < size) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, kPatienceMs) <= 0)
            break;
        unsigned char buffer[256];
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, size - bytes.size()));
        if (n <= 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

bool exists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool disappears(const std::string& path)
{
    for (int i = 0; i < kPatienceMs / 10 && exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !exists(path);
}

class SimulatorProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/qz810-sim-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_folder = m_dir + "/bridges";
    }
    void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }

    std::string m_dir;
    std::string m_folder;
};

TEST_F(SimulatorProgram, AnnouncesItsSocketServesEveryConnectionAndCleansUpOnSigterm)
{
    SimulatorProcess sim({"--folder", m_folder, "--name", "proc", "--samples", "10"});
    ASSERT_TRUE(sim.started());
    const std::string path = sim.readLine();
    ASSERT_EQ(path, m_folder + "/proc.sock");

    struct stat folder {};
    ASSERT_EQ(::stat(m_folder.c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);

    for (int connection = 0; connection < 2; ++connection) {
        const int fd = connectTo(path);
        ASSERT_GE(fd, 0) << connection;
        const unsigned char header[] = {0x00, 0x00, 0x00};
        ASSERT_EQ(::write(fd, header, 3), 3);
        const Bytes reply = readUpTo(fd, 22);
        ASSERT_EQ(reply.size(), 22u) << connection;
        EXPECT_EQ(reply[0], 60);  // 10 samples of 6 bytes
        EXPECT_EQ(reply[1] | reply[2] | reply[3] | reply[4] | reply[5], 0);
        ::close(fd);
    }

    EXPECT_EQ(sim.stop(SIGTERM), 0);
    EXPECT_FALSE(exists(path));
}

TEST_F(SimulatorProgram, PrintsEverySetupBlockAsALine)
{
    SimulatorProcess sim({"--folder", m_folder, "--name", "setup", "--empty"});
    const std::string path = sim.readLine();
    const int fd = connectTo(path);
    ASSERT_GE(fd, 0);
    const unsigned char setup[] = {0x01, 0x00, 0x16, 0, 0, 0, 0, 0, 0, 9, 0, 0, 1, 1, 1,
                                   0xE8, 0x07, 1, 2, 3, 4, 5, 0, 0, 0};
    ASSERT_EQ(::write(fd, setup, sizeof setup), static_cast<ssize_t>(sizeof setup));
    const std::string line = sim.readLine();
    EXPECT_EQ(line.rfind("setup: interval 9 (2 s), mode 0x00 (normal)", 0), 0u) << line;
    ::close(fd);
    EXPECT_EQ(sim.stop(SIGINT), 0);
    EXPECT_FALSE(exists(path));
}

TEST_F(SimulatorProgram, AnUnpluggedLoggerClosesAndDisappears)
{
    SimulatorProcess sim({"--folder", m_folder, "--name", "gone", "--samples", "100", "--unplug-after", "30"});
    const std::string path = sim.readLine();
    const int fd = connectTo(path);
    ASSERT_GE(fd, 0);
    const unsigned char requests[] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x01};
    ASSERT_EQ(::write(fd, requests, sizeof requests), static_cast<ssize_t>(sizeof requests));
    EXPECT_EQ(readUpTo(fd, 22 + 252).size(), 30u);  // then the end of the stream
    ::close(fd);

    EXPECT_TRUE(disappears(path));
    EXPECT_EQ(connectTo(path), -1);
    EXPECT_EQ(sim.stop(SIGTERM), 0);
}

// The program's own virtual-bridge library sees the simulator as a logger.
TEST_F(SimulatorProgram, IsALoggerToTheProgramsVirtualBridges)
{
    SimulatorProcess sim({"--folder", m_folder, "--name", "bridge", "--motion", "--samples", "3", "--events", "1",
                          "--unplug-after", "50"});
    ASSERT_EQ(sim.readLine(), m_folder + "/bridge.sock");

    shakemeter::VirtualBridgeBackend bridges(m_folder);
    std::uint32_t count = 0;
    ASSERT_EQ(bridges.GetNumDevices(count), shakemeter::DEVICE_SUCCESS);
    ASSERT_EQ(count, 1u);
    char name[256] = {};
    ASSERT_EQ(bridges.GetProductString(0, name, 0), shakemeter::DEVICE_SUCCESS);
    EXPECT_STREQ(name, "bridge");
    ASSERT_EQ(bridges.SetTimeouts(kPatienceMs, kPatienceMs), shakemeter::DEVICE_SUCCESS);

    shakemeter::DeviceHandle handle = shakemeter::INVALID_DEVICE_HANDLE;
    ASSERT_EQ(bridges.Open(0, handle), shakemeter::DEVICE_SUCCESS);
    auto exchange = [&](std::vector<unsigned char> command, std::uint32_t length) {
        std::uint32_t done = 0;
        if (bridges.Write(handle, command.data(), 3, done) != shakemeter::DEVICE_SUCCESS)
            return Bytes{};
        Bytes reply(length);
        std::uint32_t got = 0;
        if (bridges.Read(handle, reply.data(), length, got) != shakemeter::DEVICE_SUCCESS)
            return Bytes{};
        reply.resize(got);
        return reply;
    };
    const Bytes header = exchange({0, 0, 0}, 22);
    ASSERT_EQ(header.size(), 22u);
    EXPECT_EQ(header[0], 27);                    // three 9-byte records
    EXPECT_EQ(header[4], 1);                     // one event
    EXPECT_EQ(header[8] & 0x03, 0x03);           // motion and free-fall detection
    EXPECT_EQ(exchange({0, 0, 1}, 27).size(), 27u);
    EXPECT_EQ(exchange({0, 0, 1}, 6).size(), 1u);  // 50 bytes in all, then unplugged
    EXPECT_TRUE(exchange({0, 0, 0}, 22).empty());
    bridges.Close(handle);

    EXPECT_TRUE(disappears(m_folder + "/bridge.sock"));
    ASSERT_EQ(bridges.GetNumDevices(count), shakemeter::DEVICE_SUCCESS);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(sim.stop(SIGTERM), 0);
}

TEST_F(SimulatorProgram, RefusesInvalidOptionsWithStatusTwo)
{
    SimulatorProcess sim({"--folder", m_folder, "--samples", "many"});
    EXPECT_EQ(sim.waitExit(), 2);
    EXPECT_NE(sim.readAllErrors().find("--samples"), std::string::npos);
    EXPECT_EQ(sim.readLine(), "");
    EXPECT_FALSE(exists(m_folder));
}

TEST_F(SimulatorProgram, RefusesAFolderOfAnotherKind)
{
    ASSERT_EQ(::symlink("/tmp", m_folder.c_str()), 0);
    SimulatorProcess sim({"--folder", m_folder, "--empty"});
    EXPECT_EQ(sim.waitExit(), 1);
    EXPECT_NE(sim.readAllErrors().find("not a folder"), std::string::npos);
}

}  // namespace
