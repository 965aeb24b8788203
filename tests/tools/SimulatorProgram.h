#pragma once
// The built qz810-sim started in the background for tests that talk to it through a virtual
// bridge as the programs do.

#include <signal.h>

#include <string>
#include <vector>

#include "tools/ProgramRunner.h"

namespace shakemeter::testing {

// The logger simulator in the background, serving one virtual bridge until it is destroyed.
class Simulator : public StartedProgram {
public:
    Simulator(const std::string& folder, std::vector<std::string> args)
        : StartedProgram(SHAKEMETER_BINARY_DIR "/tools/qz810-sim", WithFolder(folder, std::move(args)), SIGTERM),
          m_socket(ReadLine())
    {
    }
    const std::string& socket() const { return m_socket; }

private:
    // An empty folder: the default one under $XDG_RUNTIME_DIR.
    static std::vector<std::string> WithFolder(const std::string& folder, std::vector<std::string> args)
    {
        if (!folder.empty())
            args.insert(args.begin(), {"--folder", folder});
        return args;
    }

    std::string m_socket;
};

}  // namespace shakemeter::testing
