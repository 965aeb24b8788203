// The logger verbs of shakemeter-cli: devices, download, setup, live, spectrum. They drive the
// same CLoggerLink as the main window, through a host that prints the program's messages on
// standard error and sleeps the link's timer periods.

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include <unistd.h>

#include "logger/BridgeList.h"
#include "logger/CLoggerLink.h"
#include "logger/DeviceLibrary.h"
#include "logger/SetupBlock.h"
#include "recording/RecordingFile.h"
#include "recording/RecordingSaver.h"
#include "recording/TextReport.h"
#include "settings/SettingsFile.h"
#include "tools/cli/CliLoggerHost.h"
#include "tools/cli/Verbs.h"

namespace shakemeter::cli {

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

int Usage(const std::string& text)
{
    std::fprintf(stderr, "shakemeter-cli: %s\n", text.c_str());
    return EXIT_USAGE;
}

// A whole decimal number and nothing else.
std::optional<long> WholeNumber(const std::string& text)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Splits "500ms" into 500 and "ms".
bool SplitCountAndUnit(const std::string& text, long& count, std::string& unit)
{
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    const auto number = WholeNumber(text.substr(0, digits));
    if (!number)
        return false;
    count = *number;
    unit = text.substr(digits);
    return true;
}

// Options of the form --name VALUE and flags; the rest are positional arguments, and so is
// everything after "--".
struct ParsedArgs {
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> flags;
    std::vector<std::string> positional;
    std::string error;
};

ParsedArgs Parse(const Args& args, std::initializer_list<const char*> valued, std::initializer_list<const char*> flags)
{
    ParsedArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            parsed.positional.insert(parsed.positional.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                     args.end());
            return parsed;
        }
        if (a.rfind("--", 0) != 0) {
            parsed.positional.push_back(a);
            continue;
        }
        bool known = false;
        for (const char* name : valued) {
            if (a == name) {
                known = true;
                if (i + 1 >= args.size()) {
                    parsed.error = a + " needs a value";
                    return parsed;
                }
                parsed.options.emplace_back(a, args[++i]);
            }
        }
        for (const char* name : flags) {
            if (a == name) {
                known = true;
                parsed.flags.push_back(a);
            }
        }
        if (!known) {
            parsed.error = "unknown option '" + a + "'";
            return parsed;
        }
    }
    return parsed;
}

bool HasFlag(const ParsedArgs& parsed, const std::string& name)
{
    for (const std::string& f : parsed.flags)
        if (f == name)
            return true;
    return false;
}

// Both files of a save, named as the save command names them from the chosen path.
bool SaveBoth(const std::string& chosen, const Recording& recording, const RecordingView& view)
{
    FileWriteError error;
    if (SaveRecordingAndReport(chosen, recording, view, &error))
        return true;
    // Neither file was written; the message names the one that failed, as every writer's does.
    std::fprintf(stderr, "shakemeter-cli: cannot write %s: %s\n", error.path.c_str(), error.reason.c_str());
    return false;
}

// A transfer that failed before any message (no logger, or it could not be opened) still tells
// the user why the command failed.
int Failed(const CliLoggerHost& host)
{
    if (host.MessageCount() == 0)
        std::fprintf(stderr, "%s\n", kConnectFailedMessage);
    return EXIT_FAILED;
}

void SleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

int RunDevices(const Args& args)
{
    if (!args.empty())
        return Usage("devices takes no arguments");
    for (const BridgeInfo& bridge : ListBridges(SystemDeviceLibrary()))
        std::printf("%d\t%s\t%s\n", bridge.index, bridge.deviceString.c_str(), bridge.backend.c_str());
    return EXIT_OK;
}

int RunDownload(const Args& args)
{
    const ParsedArgs parsed = Parse(args, {}, {});
    if (!parsed.error.empty())
        return Usage(parsed.error);
    if (parsed.positional.size() != 1)
        return Usage("usage: download OUT");
    CliLoggerHost host;
    CLoggerLink link(SystemDeviceLibrary(), host);
    const bool ok = link.Download();
    link.CloseDevice();
    if (!ok)
        return Failed(host);
    const Recording& recording = host.Document();
    if (!SaveBoth(parsed.positional[0], recording, host.View()))
        return EXIT_FAILED;
    std::printf("%u samples, %u events\n", static_cast<unsigned>(recording.m_header.dwSampleCount),
                static_cast<unsigned>(recording.m_header.wFreeFallCount));
    return EXIT_OK;
}

int RunSetup(const Args& args)
{
    const ParsedArgs parsed = Parse(args, {"--rate", "--led", "--mode", "--thresholds", "--start"}, {});
    if (!parsed.error.empty())
        return Usage(parsed.error);
    if (!parsed.positional.empty())
        return Usage("setup takes no file");

    if (QCoreApplication::applicationName().isEmpty())
        QCoreApplication::setApplicationName(QStringLiteral("shakemeter"));
    const QString settingsPath = SettingsFilePath();
    Settings settings = ReadAllSettings(settingsPath);
    SetupBlockEditor editor(settings.m_lastSetup);

    // Applied in the order of the dialog: record mode and thresholds, rate, LED, start mode.
    std::optional<std::string> thresholds;
    for (const auto& [name, value] : parsed.options) {
        if (name == "--mode") {
            if (value == "normal")
                editor.SetNormalMode();
            else if (value == "motion")
                editor.SetMotionMode();
            else
                return Usage("--mode is normal or motion");
        } else if (name == "--thresholds") {
            thresholds = value;
        }
    }
    if (thresholds) {
        if (!editor.ThresholdsEnabled())
            return Usage("--thresholds needs the motion-detection mode (--mode motion)");
        int chosen[3] = {};
        std::size_t at = 0;
        for (int axis = 0; axis < 3; ++axis) {
            const std::size_t end = axis < 2 ? thresholds->find(',', at) : thresholds->size();
            if (end == std::string::npos)
                return Usage("--thresholds is X,Y,Z in g, each 1 to 18");
            const auto g = WholeNumber(thresholds->substr(at, end - at));
            if (!g || *g < 1 || *g > THRESHOLD_CHOICES)
                return Usage("--thresholds is X,Y,Z in g, each 1 to 18");
            chosen[axis] = static_cast<int>(*g) - 1;
            at = end + 1;
        }
        editor.SetThresholdSelections(chosen[0], chosen[1], chosen[2]);
    }
    for (const auto& [name, value] : parsed.options) {
        if (name == "--rate") {
            long count = 0;
            std::string unit;
            if (!SplitCountAndUnit(value, count, unit))
                return Usage("--rate is 50ms..999ms, 1s..59s, 1min..59min or 1h..12h");
            int unitCode = -1;
            long top = 0;
            if (unit == "ms") {
                unitCode = RATE_UNIT_MS;
                top = 999;
            } else if (unit == "s") {
                unitCode = RATE_UNIT_SECOND;
                top = 59;
            } else if (unit == "min") {
                unitCode = RATE_UNIT_MINUTE;
                top = 59;
            } else if (unit == "h") {
                unitCode = RATE_UNIT_HOUR;
                top = 12;
            }
            // Below 50 ms is well-formed; the program itself refuses it below.
            if (unitCode < 0 || count < 1 || count > top)
                return Usage("--rate is 50ms..999ms, 1s..59s, 1min..59min or 1h..12h");
            editor.SetRateUnit(unitCode);
            editor.SetRateText(std::to_string(count));
        } else if (name == "--led") {
            if (value == "10" || value == "20" || value == "30")
                editor.SetLedCycle(static_cast<std::uint8_t>(std::stoi(value)));
            else if (value == "off")
                editor.SetLedCycle(0);
            else
                return Usage("--led is 10, 20, 30 or off");
        } else if (name == "--start") {
            if (value == "manual")
                editor.SetStartMode(0);
            else if (value == "auto")
                editor.SetStartMode(1);
            else
                return Usage("--start is manual or auto");
        }
    }

    HeaderBlock block{};
    if (editor.Finish(CalendarTime::Now().localFields(), block) == SetupOutcome::RateTooSmall) {
        std::fprintf(stderr, "%s\n", kRateTooSmallMessage);
        return EXIT_FAILED;
    }
    if (editor.ThresholdsIncomplete()) {
        std::fprintf(stderr, "%s\n", kThresholdsMissingMessage);
        return EXIT_FAILED;
    }
    // The block is kept as the last setup before it is sent, also when sending then fails.
    settings.m_lastSetup = block;
    WriteAllSettings(settings, settingsPath);

    CliLoggerHost host;
    CLoggerLink link(SystemDeviceLibrary(), host);
    return link.WriteSetupAndReport(block) ? EXIT_OK : EXIT_FAILED;
}

int RunLive(const Args& args)
{
    const ParsedArgs parsed = Parse(args, {"--rate", "--points"}, {});
    if (!parsed.error.empty())
        return Usage(parsed.error);
    std::optional<std::uint16_t> interval;
    std::optional<long> points;
    for (const auto& [name, value] : parsed.options) {
        if (name == "--rate") {
            static const std::pair<const char*, std::uint16_t> rates[] = {
                {"500ms", 500}, {"1s", 1000}, {"2s", 2000}, {"5s", 5000}, {"10s", 10000}, {"60s", 60000}};
            for (const auto& [text, ms] : rates)
                if (value == text)
                    interval = ms;
            if (!interval)
                return Usage("--rate is 500ms, 1s, 2s, 5s, 10s or 60s");
        } else if (name == "--points") {
            points = WholeNumber(value);
            if (!points || *points < 1 || *points > kRealTimeMaxPoints)
                return Usage("--points is a number from 1 to 100000");
        }
    }
    if (!interval || !points || parsed.positional.size() != 1)
        return Usage("usage: live --rate 500ms|1s|2s|5s|10s|60s --points N OUT");

    CliLoggerHost host;
    CLoggerLink link(SystemDeviceLibrary(), host);
    host.View().SetRtRequested(static_cast<int>(*points));
    link.SetRealTimeInterval(*interval);
    // A reading can take hours: a terminal sees how far it got, on one line rewritten in place
    // and taken away before anything else is written. Scripts reading a pipe get no such line.
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    auto showProgress = [&] {
        if (terminal)
            std::fprintf(stderr, "\rlive: %d of %ld samples", host.View().m_nShownCount, *points);
    };
    auto clearProgress = [&] {
        if (terminal)
            std::fputs("\r\033[K", stderr);
    };
    if (!link.RunRealTime() && link.RealTimeStatus() != RealTimeState::Completed) {
        link.CloseDevice();
        return Failed(host);
    }
    showProgress();
    while (host.WaitForTick()) {
        clearProgress();
        link.OnTimer(kRealTimeTimerId);
        showProgress();
    }
    clearProgress();
    link.CloseDevice();
    // The samples read before a failure are kept and saved, but the command still failed.
    const bool complete = link.RealTimeStatus() == RealTimeState::Completed;
    if (!SaveBoth(parsed.positional[0], host.Document(), host.View()))
        return EXIT_FAILED;
    std::printf("%d samples\n", host.View().m_nShownCount);
    return complete ? EXIT_OK : EXIT_FAILED;
}

int RunSpectrum(const Args& args)
{
    const ParsedArgs parsed = Parse(args, {"--captures"}, {"--frequency"});
    if (!parsed.error.empty())
        return Usage(parsed.error);
    long captures = 1;
    for (const auto& [name, value] : parsed.options) {
        const auto k = WholeNumber(value);
        if (!k || *k < 1)
            return Usage("--captures is a number from 1");
        captures = *k;
    }
    if (parsed.positional.size() != 1)
        return Usage("usage: spectrum [--captures K] [--frequency] OUT");

    CliLoggerHost host;
    CLoggerLink link(SystemDeviceLibrary(), host);
    if (!link.ProbeDevice()) {
        host.ShowMessage(MessageKind::Plain, kConnectFailedMessage);
        return EXIT_FAILED;
    }
    if (!link.StartSpectrum()) {
        link.CloseDevice();
        return Failed(host);
    }
    link.StampSpectrumTime();
    for (long k = 0; k < captures; ++k) {
        SleepMs(kSpectrumPeriodMs);
        if (!link.ReadSpectrum()) {
            link.CloseDevice();
            return Failed(host);
        }
        link.StampSpectrumTime();
    }
    link.CloseDevice();

    RecordingView& view = host.View();
    if (HasFlag(parsed, "--frequency")) {
        view.SetFrequencyMode(true);
        view.RefreshSummary(host.Document());
    }
    if (!SaveBoth(parsed.positional[0], host.Document(), view))
        return EXIT_FAILED;
    std::printf("%u samples\n", static_cast<unsigned>(host.Document().m_header.dwSampleCount));
    return EXIT_OK;
}

}  // namespace shakemeter::cli
