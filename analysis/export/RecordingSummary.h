#pragma once
// One line per recording file for a season of recordings: start, kind, interval, rows, the
// extremes and RMS of X, Y and Z, and the shocks and falls the event detection finds. Files are
// read in parallel; a file that cannot be read gets a line with the reason and the rest go on.

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "analysis/vibration/EventDetector.h"
#include "recording/RecordingFile.h"

namespace shakemeter::exports {

struct RecordingSummary {
    std::string file;
    std::string failure;  // why the file could not be read; empty when it was
    std::string startTime;
    std::string kind;
    double intervalS = 0.0;
    std::size_t rows = 0;
    // X, Y, Z in g; meaningful only with rows.
    std::array<double, 3> max{};
    std::array<double, 3> min{};
    std::array<double, 3> rms{};
    std::size_t shocks = 0;
    double largestShock = 0.0;  // the highest vector-sum peak of a shock in g; 0 without shocks
    std::size_t falls = 0;
    double highestDropM = 0.0;  // 0 without falls

    bool readable() const { return failure.empty(); }
};

// Why a recording file could not be read, in words for the user ("no such file", "the recording
// is cut short", ...).
std::string RecordingReadFailure(const std::string& path, RecordingFileError error);

RecordingSummary SummarizeRecording(const std::string& path, const vibration::EventOptions& options = {});

// Every file summarised by `jobs` threads (0: one per processor core), each taking the next file
// not yet taken; the lines come in the order of the files. progress(done, total) is called after
// each file, from the thread that finished it, never by two threads at once.
std::vector<RecordingSummary> SummarizeRecordings(const std::vector<std::string>& paths, unsigned jobs,
                                                  const vibration::EventOptions& options = {},
                                                  const std::function<void(std::size_t, std::size_t)>& progress = {});

// The lines as an aligned table for a terminal, and as CSV with a header line (numbers that read
// back exactly, an unreadable file's reason in the last column). Both end lines with "\n".
std::string FormatSummaryTable(const std::vector<RecordingSummary>& lines);
std::string FormatSummaryCsv(const std::vector<RecordingSummary>& lines);

}  // namespace shakemeter::exports
