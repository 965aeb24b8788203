#pragma once
// The built qz810-sim started in the background for tests that talk to it through a virtual
// bridge as the programs do.

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tools/ProgramRunner.h"

namespace shakemeter::testing {

// The logger simulator in the background, serving one virtual bridge until it is destroyed.
class Simulator {
public:
    Simulator(const std::string& folder, std::vector<std::string> args)
    {
        // An empty folder: the default one under $XDG_RUNTIME_DIR.
        if (!folder.empty())
            args.insert(args.begin(), {"--folder", folder});
        m_pid = Spawn(SHAKEMETER_BINARY_DIR "/tools/qz810-sim", args, m_out, m_err);
        m_socket = ReadLine();
    }
    ~Simulator()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        ::close(m_out[0]);
        ::close(m_err[0]);
    }
    const std::string& socket() const { return m_socket; }
    // One line of the simulator's output (its setup reports), empty after a while without one.
    std::string ReadLine()
    {
        std::string line;
        for (;;) {
            pollfd p{m_out[0], POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0)
                return line;
            char c;
            if (::read(m_out[0], &c, 1) != 1 || c == '\n')
                return line;
            line += c;
        }
    }

private:
    pid_t m_pid = -1;
    int m_out[2] = {-1, -1};
    int m_err[2] = {-1, -1};
    std::string m_socket;
};

}  // namespace shakemeter::testing
