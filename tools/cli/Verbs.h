#pragma once
// The verbs of shakemeter-cli. Each takes the arguments after the verb and returns the exit
// status: 0 success, 1 a failed operation (message on standard error), 2 a usage error.

#include <string>
#include <vector>

namespace shakemeter::cli {

using Args = std::vector<std::string>;

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
