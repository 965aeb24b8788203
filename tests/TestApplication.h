#pragma once
// The application object of a test or benchmark program. Qt keeps argc and argv for the life of
// the application, so they live here for the life of the program.

#include <QCoreApplication>
#include <string>

namespace shakemeter::testing {

struct ProgramArguments {
    int argc = 1;
    std::string name;
    char* argv[2] = {nullptr, nullptr};

    explicit ProgramArguments(const char* programName) : name(programName) { argv[0] = name.data(); }
};

// Made on first use, or the one another part of the program made, and never destroyed: tearing
// it down among the other static objects at exit is not safe once widgets existed.
template <typename Application>
Application& ProgramApplication(const char* programName)
{
    static ProgramArguments arguments(programName);
    if (QCoreApplication::instance() == nullptr)
        new Application(arguments.argc, arguments.argv);
    return *static_cast<Application*>(QCoreApplication::instance());
}

}  // namespace shakemeter::testing
