#pragma once
// Runs a built program of the project to its end and collects its exit status and both outputs,
// for the tests that drive the command-line programs as a user would.

#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace shakemeter::testing {

constexpr int kPatienceMs = 60000;  // a safety net against hangs, not a measurement

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

// Starts a program with its standard output and standard error on the given descriptors; -1 when
// it cannot start.
inline pid_t SpawnWithOutputs(const std::string& program, const std::vector<std::string>& args, int outFd, int errFd)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

inline pid_t Spawn(const std::string& program, const std::vector<std::string>& args, int out[2], int err[2])
{
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return -1;
    const pid_t pid = SpawnWithOutputs(program, args, out[1], err[1]);
    ::close(out[1]);
    ::close(err[1]);
    return pid;
}

// A program started in the background with its two outputs; sent endSignal and waited for when
// it is destroyed still running.
class StartedProgram {
public:
    StartedProgram(const std::string& program, const std::vector<std::string>& args, int endSignal = SIGKILL)
        : m_endSignal(endSignal)
    {
        m_pid = Spawn(program, args, m_out, m_err);
    }
    ~StartedProgram()
    {
        if (m_pid > 0)
            Stop(m_endSignal);
        ::close(m_out[0]);
        ::close(m_err[0]);
    }
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    // -1 when it could not start.
    pid_t pid() const { return m_pid; }

    // A line of standard output (or of standard error) without its newline; empty at the end or
    // after patienceMs without a character.
    std::string ReadLine(bool errors = false, int patienceMs = 5000)
    {
        std::string line;
        char c;
        pollfd p{errors ? m_err[0] : m_out[0], POLLIN, 0};
        while (::poll(&p, 1, patienceMs) > 0 && ::read(p.fd, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }

    // The exit status after the signal (0: none sent), or -1 when it did not exit by itself.
    int Stop(int signal)
    {
        if (signal != 0)
            ::kill(m_pid, signal);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    int m_endSignal;
    pid_t m_pid = -1;
    int m_out[2] = {-1, -1};
    int m_err[2] = {-1, -1};
};

// Reads two outputs of a program into texts until both have ended (true) or neither said anything
// for patienceMs (false). A terminal whose last writer left reads as an error: that ends it too.
// The descriptors stay open.
inline bool ReadUntilBothEnd(int first, int second, std::string& firstText, std::string& secondText, int patienceMs)
{
    pollfd fds[2] = {{first, POLLIN, 0}, {second, POLLIN, 0}};
    std::string* texts[2] = {&firstText, &secondText};
    int open = 2;
    while (open > 0 && ::poll(fds, 2, patienceMs) > 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                texts[i]->append(buffer, static_cast<std::size_t>(n));
            } else {
                fds[i].fd = -1;
                --open;
            }
        }
    }
    return open == 0;
}

// Waits for a program whose outputs ended (killing it first when they did not) and gives its exit
// status, -1 when it did not exit by itself.
inline int Reap(pid_t pid, bool ended)
{
    if (!ended)
        ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs a program to its end and collects both of its outputs. A program silent for patienceMs is
// killed (and reports code -1).
inline Outcome RunProgram(const std::string& program, const std::vector<std::string>& args,
                          int patienceMs = kPatienceMs)
{
    int out[2], err[2];
    Outcome outcome;
    const pid_t pid = Spawn(program, args, out, err);
    if (pid < 0)
        return outcome;
    const bool ended = ReadUntilBothEnd(out[0], err[0], outcome.out, outcome.err, patienceMs);
    outcome.code = Reap(pid, ended);
    ::close(out[0]);
    ::close(err[0]);
    return outcome;
}

}  // namespace shakemeter::testing
