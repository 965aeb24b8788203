#pragma once
// The command line of qz810-sim. Parsing never exits or prints: it returns the options or the
// reason they are refused, so main decides what the user sees.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/sim/LoggerSimulator.h"
#include "tools/sim/ToneSignal.h"

namespace shakemeter {

struct SimulatorOptions {
    std::optional<std::string> memoryFile;
    std::optional<std::uint32_t> samples;  // generated memory size; 1000 when not given
    bool motion = false;
    std::optional<std::uint16_t> events;  // generated free-fall events (replace a file's own)
    bool empty = false;
    std::optional<std::vector<Tone>> tones;  // ToneSignal::DefaultTones() when not given
    SimulatorFaults faults;
    std::string name;    // empty: "qz810-sim-<pid>"
    std::string folder;  // empty: the bridge folder of this user
    bool help = false;
};

struct SimulatorOptionsResult {
    SimulatorOptions options;
    std::string error;  // empty on success
    bool Ok() const { return error.empty(); }
};

SimulatorOptionsResult ParseSimulatorOptions(const std::vector<std::string>& args);

std::string SimulatorUsage();

}  // namespace shakemeter
