#include "tools/sim/SimulatorOptions.h"

#include <charconv>
#include <limits>

#include "tools/sim/LoggerMemory.h"

namespace shakemeter {

namespace {

template <typename Number>
bool ParseUnsigned(const std::string& text, Number& value)
{
    if (text.empty() || text[0] == '+' || text[0] == '-')
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size();
}

bool ValidName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name)
        if (c == '/' || c == '\0' || c == '\n')
            return false;
    return true;
}

}  // namespace

SimulatorOptionsResult ParseSimulatorOptions(const std::vector<std::string>& args)
{
    SimulatorOptionsResult result;
    SimulatorOptions& o = result.options;
    // Whoever asks for the usage gets it, whatever else the line holds.
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            return result;
        }
    }
    auto fail = [&result](const std::string& message) {
        result.error = message;
        return result;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string option = args[i];
        std::optional<std::string> inlineValue;
        if (const auto eq = option.find('='); option.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = option.substr(eq + 1);
            option.resize(eq);
        }
        auto flag = [&]() {
            if (inlineValue)
                result.error = "option " + option + " takes no value";
            return !inlineValue;
        };
        auto value = [&](std::string& out) {
            if (inlineValue) {
                out = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) {
                result.error = "option " + option + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };

        std::string text;
        // The option's value as an unsigned number; false, with the message, when it is missing
        // or not one.
        auto number = [&](auto& n, const std::string& wanted) {
            if (!value(text))
                return false;
            if (ParseUnsigned(text, n))
                return true;
            result.error = option + " needs " + wanted + ", not '" + text + "'";
            return false;
        };
        if (option == "--help" || option == "-h") {
            if (!flag())
                return result;
            o.help = true;
        } else if (option == "--motion") {
            if (!flag())
                return result;
            o.motion = true;
        } else if (option == "--empty") {
            if (!flag())
                return result;
            o.empty = true;
        } else if (option == "--memory") {
            if (!value(text))
                return result;
            if (text.empty())
                return fail("--memory needs a file name");
            o.memoryFile = text;
        } else if (option == "--samples") {
            std::uint32_t n = 0;
            if (!number(n, "a whole number"))
                return result;
            o.samples = n;
        } else if (option == "--events") {
            std::uint16_t n = 0;
            if (!number(n, "a whole number from 0 to 65535"))
                return result;
            o.events = n;
        } else if (option == "--tone") {
            if (!value(text))
                return result;
            std::string error;
            auto tones = ToneSignal::Parse(text, error);
            if (!tones)
                return fail("--tone: " + error);
            o.tones = std::move(*tones);
        } else if (option == "--unplug-after" || option == "--stall-after") {
            std::uint64_t n = 0;
            if (!number(n, "a byte count"))
                return result;
            (option == "--unplug-after" ? o.faults.unplugAfterBytes : o.faults.stallAfterBytes) = n;
        } else if (option == "--short-block" || option == "--long-block") {
            std::uint32_t n = 0;
            if (!value(text))
                return result;
            if (!ParseUnsigned(text, n) || n == 0 || n > kLoggerMaxBlocks)
                return fail(option + " needs a block number from 1 to 65535, not '" + text + "'");
            (option == "--short-block" ? o.faults.shortDataBlock : o.faults.longDataBlock) = n;
        } else if (option == "--name") {
            if (!value(text))
                return result;
            if (!ValidName(text))
                return fail("--name needs a file name without '/', not '" + text + "'");
            o.name = text;
        } else if (option == "--folder") {
            if (!value(text))
                return result;
            if (text.empty())
                return fail("--folder needs a folder");
            o.folder = text;
        } else {
            return fail("unknown option '" + args[i] + "'");
        }
    }

    if (o.empty && (o.memoryFile || o.samples || o.motion || (o.events && *o.events > 0)))
        return fail("--empty cannot be combined with --memory, --samples, --motion or --events");
    if (o.memoryFile && (o.samples || o.motion))
        return fail("--memory takes its samples and mode from the file; drop --samples and --motion");
    if (o.samples && *o.samples > LoggerMemory::MaxSamples(o.motion))
        return fail("--samples: a download reaches at most " + std::to_string(LoggerMemory::MaxSamples(o.motion)) +
                    " samples in this mode");
    return result;
}

std::string SimulatorUsage()
{
    return "Usage: qz810-sim [options]\n"
           "Simulates a QZ810 logger on a virtual bridge: a Unix socket <folder>/<name>.sock.\n"
           "The socket path is printed as the first line; setup blocks received follow, one a line.\n"
           "\n"
           "Memory:\n"
           "  --memory FILE        serve a recording file as the logger's memory\n"
           "  --samples N          size of the generated memory (default 1000 samples at 50 ms)\n"
           "  --motion             generated memory in motion-detection mode (9-byte records)\n"
           "  --events N           N free-fall events (replace those of a --memory file)\n"
           "  --empty              an empty memory\n"
           "Live samples and captures:\n"
           "  --tone HZ:G[:AXES][,...]  sine components on top of 1 g gravity on Z; AXES of x, y, z\n"
           "                       (default x); default 12.25:0.5:x,40.1:0.2:y\n"
           "Faults:\n"
           "  --unplug-after BYTES close after BYTES sent in total and disappear\n"
           "  --stall-after BYTES  stop answering after BYTES sent in total\n"
           "  --short-block N      send data block N with half its length\n"
           "  --long-block N       send data block N with 3 bytes too many\n"
           "Bridge:\n"
           "  --name NAME          socket name (default qz810-sim-<pid>)\n"
           "  --folder DIR         bridge folder (default $XDG_RUNTIME_DIR/shakemeter/bridges,\n"
           "                       or /tmp/shakemeter-$UID/bridges)\n"
           "  --help               this text\n";
}

}  // namespace shakemeter
