// qz810-sim: a QZ810 logger on a virtual bridge, for tests, demos and anyone without the hardware.

#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "recording/RecordingFile.h"
#include "tools/sim/LoggerMemory.h"
#include "tools/sim/LoggerSimulator.h"
#include "tools/sim/SimulatorOptions.h"
#include "tools/sim/SocketServer.h"

namespace {

using namespace shakemeter;

int g_stopPipe[2] = {-1, -1};

void RequestStop(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_stopPipe[1], &byte, 1);
}

bool InstallStopHandlers()
{
    if (::pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

const char* Describe(RecordingFileError error)
{
    switch (error) {
    case RecordingFileError::InvalidFormat:
        return "not a recording file";
    case RecordingFileError::Truncated:
        return "the file ends early";
    case RecordingFileError::TooLarge:
        return "the file is too large";
    case RecordingFileError::CannotOpen:
        return "cannot open the file";
    default:
        return "cannot read the file";
    }
}

// A generated run that ended a moment ago.
CalendarFields RecentStart(std::uint32_t samples)
{
    const std::time_t start = std::time(nullptr) - static_cast<std::time_t>(samples / 20 + 60);
    std::tm local{};
    ::localtime_r(&start, &local);
    return CalendarFields{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                          local.tm_hour,        local.tm_min,     local.tm_sec};
}

int UsageError(const std::string& message)
{
    std::cerr << "qz810-sim: " << message << "\nTry 'qz810-sim --help' for the options." << std::endl;
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const SimulatorOptionsResult parsed = ParseSimulatorOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.Ok())
        return UsageError(parsed.error);
    const SimulatorOptions& options = parsed.options;
    if (options.help) {
        std::cout << SimulatorUsage();
        return 0;
    }

    LoggerMemory memory;
    if (options.memoryFile) {
        const RecordingFileResult file = ReadRecordingFile(*options.memoryFile);
        if (!file.ok())
            return UsageError(*options.memoryFile + ": " + Describe(file.error));
        std::string error;
        auto fromFile = LoggerMemory::FromRecording(file.recording, error);
        if (!fromFile)
            return UsageError(*options.memoryFile + ": " + error);
        memory = std::move(*fromFile);
        if (options.events)
            memory.ReplaceEvents(*options.events);
    } else if (!options.empty) {
        GeneratedMemorySettings settings;
        settings.samples = options.samples.value_or(settings.samples);
        settings.motion = options.motion;
        settings.events = options.events.value_or(0);
        settings.start = RecentStart(settings.samples);
        memory = LoggerMemory::Generate(settings);
    }

    const std::string folder = options.folder.empty() ? SocketServer::DefaultBridgeFolder() : options.folder;
    const std::string name = options.name.empty() ? "qz810-sim-" + std::to_string(::getpid()) : options.name;
    if (!InstallStopHandlers()) {
        std::cerr << "qz810-sim: cannot set up signal handling" << std::endl;
        return 1;
    }
    SocketServer server(folder, name);
    std::string error;
    if (!server.Listen(error)) {
        std::cerr << "qz810-sim: " << error << std::endl;
        return 1;
    }
    std::cout << server.SocketPath() << std::endl;

    const std::size_t recordSize = memory.Header().IsMotion() ? LOGGER_MOTION_SAMPLE_SIZE : LOGGER_SAMPLE_SIZE;
    std::cerr << "qz810-sim: memory of " << memory.DataBytes() << " bytes (" << memory.DataBytes() / recordSize
              << (memory.Header().IsMotion() ? " motion-detection" : "") << " samples), " << memory.EventCount()
              << " free-fall events" << std::endl;

    LoggerSimulator simulator(std::move(memory), ToneSignal(options.tones.value_or(ToneSignal::DefaultTones())),
                              options.faults);
    simulator.SetSetupSink([](const std::string& line) { std::cout << line << std::endl; });
    simulator.SetNoteSink([](const std::string& line) { std::cerr << "qz810-sim: " << line << std::endl; });
    server.Run(simulator, g_stopPipe[0]);
    server.Close();
    return 0;
}
