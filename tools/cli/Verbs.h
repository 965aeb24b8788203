#pragma once
// The verbs of shakemeter-cli. Each takes the arguments after the verb and returns the exit
// status: 0 success, 1 a failed operation (message on standard error), 2 a usage error.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analysis/vibration/Units.h"
#include "recording/Recording.h"
#include "recording/RecordingView.h"

namespace shakemeter::cli {

using Args = std::vector<std::string>;

// Opens the recording as the program does and, with frequency, switches to the frequency domain.
// Returns 0, or the exit status after printing the reason.
int LoadRecording(const std::string& input, bool frequency, Recording& document, RecordingView& view);

// Recording files: info, export, csv.
int RunInfo(const Args& args);
int RunExport(const Args& args);
int RunCsv(const Args& args);
// csv with a row range or a unit: rows from..to (0-based, inclusive; the ends default to the first
// and the last row) of the samples, in the unit.
int RunRangeCsv(const std::string& file, const std::string& out, std::optional<std::size_t> from,
                std::optional<std::size_t> to, vibration::Unit unit);
// hdf5: the whole recording as an HDF5 file.
int RunHdf5(const std::string& file, const std::string& out);

// Replaces path with bytes (atomically); false after naming the file and the reason on stderr.
bool WriteOutput(const std::string& path, const std::string& bytes);

// The logger: devices, download, setup, live, spectrum.
int RunDevices(const Args& args);
int RunDownload(const Args& args);
int RunSetup(const Args& args);
int RunLive(const Args& args);
int RunSpectrum(const Args& args);

}  // namespace shakemeter::cli
