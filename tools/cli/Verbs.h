#pragma once
// The verbs of shakemeter-cli. Each takes the arguments after the verb and returns the exit
// status: 0 success, 1 a failed operation (message on standard error), 2 a usage error.

#include <string>
#include <vector>

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

// The logger: devices, download, setup, live, spectrum.
int RunDevices(const Args& args);
int RunDownload(const Args& args);
int RunSetup(const Args& args);
int RunLive(const Args& args);
int RunSpectrum(const Args& args);

}  // namespace shakemeter::cli
