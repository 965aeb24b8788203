// shakemeter-cli: the recording core and the logger link from the command line.

#include <cstdio>
#include <cstring>
#include <string>

#include "tools/cli/Verbs.h"

namespace {

const char* const kUsage =
    "usage: shakemeter-cli VERB [ARGS]\n"
    "\n"
    "Recording files:\n"
    "  info FILE [--frequency]          print the summary of a recording\n"
    "  export FILE OUT [--frequency]    write the tab-separated .xls report\n"
    "  csv FILE OUT [--frequency]       write a comma-separated table of the shown samples\n"
    "\n"
    "The logger:\n"
    "  devices                          list the attached bridges\n"
    "  download OUT                     read the logger memory into OUT.Vibration and OUT.xls\n"
    "  setup [--rate R] [--led 10|20|30|off] [--mode normal|motion] [--thresholds X,Y,Z]\n"
    "        [--start manual|auto]      configure the next logging run and stamp the clock\n"
    "  live --rate 500ms|1s|2s|5s|10s|60s --points N OUT\n"
    "                                   read live samples into OUT.Vibration and OUT.xls\n"
    "  spectrum [--captures K] [--frequency] OUT\n"
    "                                   read spectrum captures into OUT.Vibration and OUT.xls\n";

}  // namespace

int main(int argc, char** argv)
{
    using namespace shakemeter::cli;
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string verb = argv[1];
    const Args args(argv + 2, argv + argc);
    if (verb == "--help" || verb == "-h" || verb == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    struct Entry {
        const char* name;
        int (*run)(const Args&);
    };
    static const Entry verbs[] = {
        {"info", RunInfo},         {"export", RunExport}, {"csv", RunCsv},
        {"devices", RunDevices},   {"download", RunDownload}, {"setup", RunSetup},
        {"live", RunLive},         {"spectrum", RunSpectrum},
    };
    for (const Entry& entry : verbs) {
        if (verb == entry.name)
            return entry.run(args);
    }
    std::fprintf(stderr, "shakemeter-cli: unknown verb '%s'\n\n", verb.c_str());
    std::fputs(kUsage, stderr);
    return 2;
}
