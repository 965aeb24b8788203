#pragma once
// The analysis verbs of shakemeter-cli: stats, psd and events, as parsed from the command line.
// Each prints a table, or one JSON document with json set, and returns the exit status: 0
// success, 1 an input that cannot be read or is refused (message on standard error).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analysis/vibration/EventDetector.h"
#include "analysis/vibration/Units.h"
#include "analysis/vibration/WelchPsd.h"

namespace shakemeter::cli {

struct StatsRequest {
    std::string file;
    std::optional<std::size_t> from;
    std::optional<std::size_t> to;
    vibration::Unit unit = vibration::Unit::G;
    bool json = false;
};

struct PsdRequest {
    std::vector<std::string> files;
    std::size_t segment = vibration::kDefaultSegment;
    std::optional<std::size_t> from;
    std::optional<std::size_t> to;
    vibration::Unit unit = vibration::Unit::G;
    bool json = false;
    std::string csv;  // the file to write the table to instead of printing it
};

struct EventsRequest {
    std::string file;
    vibration::EventOptions options;  // levels in g, whatever the unit of the peaks
    vibration::Unit unit = vibration::Unit::G;
    bool json = false;
    std::string csv;
};

struct SummaryRequest {
    std::vector<std::string> files;
    std::string csv;    // also written as CSV to this file when given
    unsigned jobs = 0;  // 0: one per processor core
};

int RunStats(const StatsRequest& request);
int RunPsd(const PsdRequest& request);
int RunEvents(const EventsRequest& request);
// The table of every file on standard output; 1 when a file could not be read (the others are
// still listed).
int RunSummary(const SummaryRequest& request);

}  // namespace shakemeter::cli
