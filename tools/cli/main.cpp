// shakemeter-cli: the recording core, the vibration analysis and the logger link from the
// command line. The grammar of every verb is declared here; the verbs get checked arguments.

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include <CLI/CLI.hpp>

#include "tools/cli/AnalysisVerbs.h"
#include "tools/cli/RenderVerb.h"
#include "tools/cli/Verbs.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::cli;

constexpr int EXIT_USAGE = 2;

const char* const kUsage =
    "usage: shakemeter-cli VERB [ARGS]    (shakemeter-cli VERB --help for one verb)\n"
    "\n"
    "Recording files:\n"
    "  info FILE [--frequency]          print the summary of a recording\n"
    "  export FILE OUT [--frequency]    write the tab-separated .xls report\n"
    "  csv FILE OUT [--frequency]       write a comma-separated table of the shown samples\n"
    "  csv FILE OUT [--from R] [--to R] [--unit g|m/s2]\n"
    "                                   the same table for rows R..R, in the unit\n"
    "  hdf5 FILE OUT.h5                 write the recording as an HDF5 file\n"
    "  render FILE OUT.png|OUT.svg|OUT.pdf [--width W] [--height H] [--frequency] [--from R --to R]\n"
    "         [--cursors A,B]\n"
    "                                   draw the graph as the program shows it (1600 x 900)\n"
    "  render SESSION.shakeproject OUT.png|OUT.svg|OUT.pdf [--width W] [--height H]\n"
    "                                   the same of a saved session: its recording, comparison,\n"
    "                                   cursors and zoom\n"
    "\n"
    "Analysis (a table, or one JSON document with --json):\n"
    "  stats FILE [--from R] [--to R] [--unit g|m/s2] [--json]\n"
    "                                   max, min, mean, RMS, AC RMS, peak-to-peak, crest factor\n"
    "  psd FILE... [--segment L] [--from R] [--to R] [--unit g|m/s2] [--json] [--csv OUT]\n"
    "                                   Welch power spectral density and Grms of X, Y, Z\n"
    "  events FILE [--shock G] [--fall G] [--min-fall-rows N] [--unit g|m/s2] [--json] [--csv OUT]\n"
    "                                   shocks, free falls with drop heights, logged events\n"
    "  summary FILE... [--csv OUT] [--jobs N]\n"
    "                                   one line per recording: start, kind, rows, extremes,\n"
    "                                   RMS, shocks and falls (files read in parallel)\n"
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

// A level in g: a finite number not below zero.
const CLI::Validator kLevel(
    [](std::string& text) -> std::string {
        try {
            std::size_t used = 0;
            const double v = std::stod(text, &used);
            if (used == text.size() && std::isfinite(v) && v >= 0)
                return {};
        } catch (const std::exception&) {
        }
        return "a level in g (a number from 0) is expected, not " + text;
    },
    "LEVEL");

// A segment length: a power of two from 16 to 65536.
const CLI::Validator kSegment(
    [](std::string& text) -> std::string {
        std::size_t segment = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), segment);
        if (error == std::errc() && end == text.data() + text.size() && vibration::WelchPsd::IsValidSegment(segment))
            return {};
        return "the segment length is a power of two from 16 to 65536, not " + text;
    },
    "L");

// The row options of stats and psd, read back after parsing.
struct RowOptions {
    long long from = 0;
    long long to = 0;
    CLI::Option* fromOption = nullptr;
    CLI::Option* toOption = nullptr;

    void add(CLI::App* verb)
    {
        fromOption =
            verb->add_option("--from", from, "first row, 0-based (default: the first)")->check(CLI::NonNegativeNumber);
        toOption =
            verb->add_option("--to", to, "last row, inclusive (default: the last)")->check(CLI::NonNegativeNumber);
    }
    std::optional<std::size_t> first() const
    {
        return fromOption->count() ? std::optional<std::size_t>(static_cast<std::size_t>(from)) : std::nullopt;
    }
    std::optional<std::size_t> last() const
    {
        return toOption->count() ? std::optional<std::size_t>(static_cast<std::size_t>(to)) : std::nullopt;
    }
};

// The file and logger verbs keep their own argument lists: the parsed values are passed on in
// the one form they read.
struct Forward {
    // An option is passed on when it was given, an empty value too (the verb refuses that).
    struct Valued {
        CLI::Option* option;
        const std::string* value;
    };
    std::vector<std::string> positional;
    std::vector<Valued> options;
    std::vector<std::string> flags;

    // The names come last, after "--": an output named "--x" is still a name.
    Args args() const
    {
        Args out;
        for (const Valued& v : options) {
            if (v.option->count() > 0) {
                out.push_back(v.option->get_name());
                out.push_back(*v.value);
            }
        }
        for (const std::string& flag : flags)
            out.push_back(flag);
        out.push_back("--");
        out.insert(out.end(), positional.begin(), positional.end());
        return out;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return EXIT_USAGE;
    }
    const std::string verb = argv[1];
    if (verb == "--help" || verb == "-h" || verb == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }

    CLI::App app("The QZ810 logger's recordings and the logger itself from the command line.", "shakemeter-cli");
    app.require_subcommand(1);
    std::function<int()> run;

    // Recording files.
    std::string file;
    std::string out;
    bool frequency = false;
    RowOptions csvRows;
    std::string csvUnit = "g";
    CLI::Option* csvUnitOption = nullptr;
    struct FileVerb {
        const char* name;
        const char* help;
        bool writes;
        int (*body)(const Args&);
    };
    static const FileVerb fileVerbs[] = {
        {"info", "print the summary of a recording", false, RunInfo},
        {"export", "write the tab-separated .xls report", true, RunExport},
        {"csv", "write a comma-separated table of the shown samples", true, RunCsv},
    };
    for (const FileVerb& v : fileVerbs) {
        CLI::App* cmd = app.add_subcommand(v.name, v.help);
        cmd->add_option("FILE", file, "the .Vibration recording")->required();
        if (v.writes)
            cmd->add_option("OUT", out, "the file to write")->required();
        cmd->add_flag("--frequency", frequency, "the spectrum of a spectrum recording instead of its samples");
        const bool csv = std::string(v.name) == "csv";
        if (csv) {
            csvRows.add(cmd);
            csvUnitOption = cmd->add_option("--unit", csvUnit, "g or m/s2 (default g); the header names it")
                                ->check(CLI::IsMember({"g", "m/s2"}));
        }
        cmd->callback([&, csv] {
            // With a range or a unit the table is that of the samples; without, the table of today.
            if (csv && (csvRows.fromOption->count() || csvRows.toOption->count() || csvUnitOption->count())) {
                if (frequency)
                    throw CLI::ValidationError("--frequency",
                                               "the spectrum has no rows to choose nor a unit to change");
                run = [&] {
                    return RunRangeCsv(file, out, csvRows.first(), csvRows.last(), *vibration::ParseUnit(csvUnit));
                };
                return;
            }
            // The names come last, after "--": a file whose name starts with '-' is still a file.
            Args args;
            if (frequency)
                args.push_back("--frequency");
            args.push_back("--");
            args.push_back(file);
            if (v.writes)
                args.push_back(out);
            run = [&v, args] { return v.body(args); };
        });
    }

    {
        CLI::App* cmd = app.add_subcommand("hdf5", "write the recording as an HDF5 file");
        cmd->add_option("FILE", file, "the .Vibration recording")->required();
        cmd->add_option("OUT", out, "the .h5 file to write")->required();
        cmd->callback([&] { run = [&] { return RunHdf5(file, out); }; });
    }
    RenderRequest render;
    RowOptions renderRows;
    {
        CLI::App* cmd = app.add_subcommand("render", "draw the graph as the program shows it, as PNG, SVG or PDF");
        cmd->add_option("FILE", render.file, "the .Vibration recording, or a .shakeproject session")->required();
        cmd->add_option("OUT", render.out, "the picture: .png, .svg or .pdf")->required();
        cmd->add_option("--width", render.width, "width in pixels (default 1600)")->check(CLI::Range(200, 20000));
        cmd->add_option("--height", render.height, "height in pixels (default 900)")->check(CLI::Range(200, 20000));
        cmd->add_flag("--frequency", render.frequency, "the spectrum of a spectrum recording instead of its samples");
        renderRows.add(cmd);
        cmd->add_option("--cursors", render.cursors, "rows of cursors A and B, 0-based: A,B")
            ->delimiter(',')
            ->expected(2)
            ->check(CLI::NonNegativeNumber);
        cmd->callback([&] {
            render.from = renderRows.fromOption->count() ? std::optional<long long>(renderRows.from) : std::nullopt;
            render.to = renderRows.toOption->count() ? std::optional<long long>(renderRows.to) : std::nullopt;
            run = [&] { return RunRender(argc, argv, render); };
        });
    }

    // Analysis.
    StatsRequest stats;
    RowOptions statsRows;
    std::string statsUnit = "g";
    {
        CLI::App* cmd = app.add_subcommand("stats", "statistics of X, Y, Z and the vector sum over a row range");
        cmd->add_option("FILE", stats.file, "the .Vibration recording")->required();
        statsRows.add(cmd);
        cmd->add_option("--unit", statsUnit, "g or m/s2 (default g)")->check(CLI::IsMember({"g", "m/s2"}));
        cmd->add_flag("--json", stats.json, "one JSON document instead of the table");
        cmd->callback([&] {
            stats.from = statsRows.first();
            stats.to = statsRows.last();
            stats.unit = *vibration::ParseUnit(statsUnit);
            run = [&] { return RunStats(stats); };
        });
    }
    PsdRequest psd;
    RowOptions psdRows;
    std::string psdUnit = "g";
    long long segment = static_cast<long long>(vibration::kDefaultSegment);
    {
        CLI::App* cmd = app.add_subcommand("psd", "Welch power spectral density and Grms of X, Y and Z");
        cmd->add_option("FILE", psd.files,
                        "one or more .Vibration recordings of the same sampling rate; "
                        "their segments are pooled")
            ->required();
        cmd->add_option("--segment", segment, "segment length L in rows, a power of two from 16 to 65536 (default 256)")
            ->check(kSegment);
        psdRows.add(cmd);
        cmd->footer("--from and --to choose the same rows in every file; segments start at --from.");
        cmd->add_option("--unit", psdUnit, "g or m/s2 (default g)")->check(CLI::IsMember({"g", "m/s2"}));
        CLI::Option* json = cmd->add_flag("--json", psd.json, "one JSON document instead of the table");
        cmd->add_option("--csv", psd.csv, "write frequency, X, Y, Z and the Grms line to this file instead")
            ->excludes(json);
        cmd->callback([&] {
            psd.from = psdRows.first();
            psd.to = psdRows.last();
            psd.segment = static_cast<std::size_t>(segment);
            psd.unit = *vibration::ParseUnit(psdUnit);
            run = [&] { return RunPsd(psd); };
        });
    }
    EventsRequest events;
    long long minFallRows = 2;
    std::string eventsUnit = "g";
    {
        CLI::App* cmd = app.add_subcommand("events", "shocks, free falls with their drop heights, logged events");
        cmd->add_option("FILE", events.file, "the .Vibration recording")->required();
        cmd->add_option("--shock", events.options.shockLevel, "shock level in g: vector sum at or above it (default 2)")
            ->check(kLevel);
        cmd->add_option("--fall", events.options.fallLevel,
                        "free-fall level in g: vector sum at or below it (default 0.35)")
            ->check(kLevel);
        cmd->add_option("--min-fall-rows", minFallRows, "rows a free fall holds at least (default 2)")
            ->check(CLI::Range(1LL, 1000000000LL));
        cmd->add_option("--unit", eventsUnit, "unit of the shock peaks, g or m/s2 (default g); levels stay in g")
            ->check(CLI::IsMember({"g", "m/s2"}));
        CLI::Option* json = cmd->add_flag("--json", events.json, "one JSON document instead of the table");
        cmd->add_option("--csv", events.csv, "write the events as a table to this file instead")->excludes(json);
        cmd->callback([&] {
            events.options.minFallRows = static_cast<std::size_t>(minFallRows);
            events.unit = *vibration::ParseUnit(eventsUnit);
            run = [&] { return RunEvents(events); };
        });
    }

    SummaryRequest summary;
    {
        CLI::App* cmd = app.add_subcommand("summary", "one line per recording, the files read in parallel");
        cmd->add_option("FILE", summary.files, "the .Vibration recordings")->required();
        cmd->add_option("--csv", summary.csv, "also write the table as CSV to this file");
        cmd->add_option("--jobs", summary.jobs, "files read at once (default: one per processor core)")
            ->check(CLI::Range(1u, 1024u));
        cmd->callback([&] { run = [&] { return RunSummary(summary); }; });
    }

    // The logger.
    {
        CLI::App* cmd = app.add_subcommand("devices", "list the attached bridges");
        cmd->callback([&] { run = [] { return RunDevices({}); }; });
    }
    std::string target;
    {
        CLI::App* cmd = app.add_subcommand("download", "read the logger memory into OUT.Vibration and OUT.xls");
        cmd->add_option("OUT", target, "the name of both files")->required();
        cmd->callback([&] { run = [&] { return RunDownload({"--", target}); }; });
    }
    Forward setup;
    std::string rate, led, mode, thresholds, start;
    {
        CLI::App* cmd = app.add_subcommand("setup", "configure the next logging run and stamp the clock");
        CLI::Option* rateOption =
            cmd->add_option("--rate", rate, "sampling interval: 50ms..999ms, 1s..59s, 1min..59min or 1h..12h");
        CLI::Option* ledOption = cmd->add_option("--led", led, "LED flash cycle in seconds, or off")
                                     ->check(CLI::IsMember({"10", "20", "30", "off"}));
        CLI::Option* modeOption =
            cmd->add_option("--mode", mode, "record mode")->check(CLI::IsMember({"normal", "motion"}));
        CLI::Option* thresholdsOption =
            cmd->add_option("--thresholds", thresholds, "motion thresholds X,Y,Z in g, each 1 to 18");
        CLI::Option* startOption =
            cmd->add_option("--start", start, "start mode")->check(CLI::IsMember({"manual", "auto"}));
        setup.options = {{modeOption, &mode},
                         {thresholdsOption, &thresholds},
                         {rateOption, &rate},
                         {ledOption, &led},
                         {startOption, &start}};
        cmd->callback([&] { run = [&] { return RunSetup(setup.args()); }; });
    }
    Forward live;
    std::string liveRate, points;
    {
        CLI::App* cmd = app.add_subcommand("live", "read live samples into OUT.Vibration and OUT.xls");
        CLI::Option* rateOption = cmd->add_option("--rate", liveRate, "reading interval")
                                      ->required()
                                      ->check(CLI::IsMember({"500ms", "1s", "2s", "5s", "10s", "60s"}));
        CLI::Option* pointsOption = cmd->add_option("--points", points, "samples to read, 1 to 100000")->required();
        cmd->add_option("OUT", target, "the name of both files")->required();
        live.options = {{rateOption, &liveRate}, {pointsOption, &points}};
        cmd->callback([&] {
            live.positional = {target};
            run = [&] { return RunLive(live.args()); };
        });
    }
    Forward spectrum;
    std::string captures;
    bool spectrumFrequency = false;
    {
        CLI::App* cmd = app.add_subcommand("spectrum", "read spectrum captures into OUT.Vibration and OUT.xls");
        spectrum.options = {{cmd->add_option("--captures", captures, "captures to read (default 1)"), &captures}};
        cmd->add_flag("--frequency", spectrumFrequency, "save with the frequency domain shown");
        cmd->add_option("OUT", target, "the name of both files")->required();
        cmd->callback([&] {
            spectrum.positional = {target};
            if (spectrumFrequency)
                spectrum.flags.push_back("--frequency");
            run = [&] { return RunSpectrum(spectrum.args()); };
        });
    }

    bool known = true;
    try {
        app.get_subcommand(verb);
    } catch (const CLI::OptionNotFound&) {
        known = false;
    }
    if (!known) {
        std::fprintf(stderr, "shakemeter-cli: unknown verb '%s'\n\n", verb.c_str());
        std::fputs(kUsage, stderr);
        return EXIT_USAGE;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help asked for is a success; every other parse failure is a usage error.
        return app.exit(e) == 0 ? 0 : EXIT_USAGE;
    }
    const int status = run ? run() : EXIT_USAGE;
    // What a verb prints is its answer: printed text that could not be written (a full disk) fails
    // the command, or a script would take a cut or empty table for the result.
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::fprintf(stderr, "shakemeter-cli: cannot write the output: %s\n",
                     errno != 0 ? std::strerror(errno) : "a write failed");
        return status == 0 ? 1 : status;
    }
    return status;
}
