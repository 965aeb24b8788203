// info, export and csv: a recording file read as the program opens it, then shown as the summary,
// the ".xls" report or a comma-separated table.

#include <cstdio>
#include <string>
#include <vector>

#include "analysis/export/Hdf5Export.h"
#include "analysis/export/RangeCsv.h"
#include "analysis/vibration/TimeRows.h"
#include "recording/AtomicFile.h"
#include "recording/CsvExport.h"
#include "recording/RecordingFile.h"
#include "recording/RecordingView.h"
#include "recording/TextReport.h"
#include "tools/cli/Verbs.h"

namespace shakemeter::cli {

namespace {

struct FileArgs {
    std::string input;
    std::string output;
    bool frequency = false;
};

// Parses "FILE [OUT] [--frequency]"; prints the usage line and returns false on anything else.
// After "--" every argument is a file, also one whose name starts with '-'.
bool ParseFileArgs(const Args& args, bool wantsOutput, const char* usage, FileArgs& parsed)
{
    std::vector<std::string> positional;
    bool unknownOption = false;
    bool options = true;
    for (const std::string& arg : args) {
        if (options && arg == "--")
            options = false;
        else if (options && arg == "--frequency")
            parsed.frequency = true;
        else if (options && arg.size() > 1 && arg[0] == '-')
            unknownOption = true;
        else
            positional.push_back(arg);
    }
    if (unknownOption || positional.size() != (wantsOutput ? 2u : 1u)) {
        std::fprintf(stderr, "usage: shakemeter-cli %s\n", usage);
        return false;
    }
    parsed.input = positional[0];
    if (wantsOutput)
        parsed.output = positional[1];
    return true;
}

int Load(const FileArgs& args, Recording& document, RecordingView& view)
{
    return LoadRecording(args.input, args.frequency, document, view);
}

// A recording file named on the command line, opened as the program opens it.
struct OpenedFile {
    FileArgs args;
    Recording document;
    RecordingView view;
};

// Parses the verb's arguments and opens the file; returns 0, or the exit status (2 for a usage
// error) after printing the reason.
int Open(const Args& args, bool wantsOutput, const char* usage, OpenedFile& file)
{
    if (!ParseFileArgs(args, wantsOutput, usage, file.args))
        return 2;
    return Load(file.args, file.document, file.view);
}

}  // namespace

bool WriteOutput(const std::string& path, const std::string& bytes)
{
    FileWriteError error;
    if (WriteFileAtomically(path, bytes, FileSystemCalls::System(), &error))
        return true;
    std::fprintf(stderr, "shakemeter-cli: cannot write %s: %s\n", path.c_str(), error.reason.c_str());
    return false;
}

int LoadRecording(const std::string& input, bool frequency, Recording& document, RecordingView& view)
{
    RecordingFileResult result = ReadRecordingFile(input);
    if (!result.ok()) {
        if (result.error == RecordingFileError::InvalidFormat)
            std::fprintf(stderr, "%s\n", kInvalidFormatMessage);
        else
            std::fprintf(stderr, "shakemeter-cli: cannot read %s\n", input.c_str());
        return 1;
    }
    InstallCompleteRecording(document, view, std::move(result.recording));
    if (frequency) {
        if (document.Kind() != RecordingKind::Spectrum) {
            std::fprintf(stderr, "shakemeter-cli: %s is not a spectrum recording\n", input.c_str());
            return 1;
        }
        view.SetFrequencyMode(true);
        view.RefreshSummary(document);
    }
    return 0;
}

int RunInfo(const Args& args)
{
    OpenedFile file;
    if (const int status = Open(args, false, "info FILE [--frequency]", file))
        return status;
    const Recording& document = file.document;
    const RecordingView& view = file.view;

    // Lines 3 to 9 of the report are the summary; a report without rows gives them cheaply.
    RecordingView summaryOnly = view;
    summaryOnly.HideRows();
    const std::string report = FormatTextReport(document, summaryOnly);
    std::size_t begin = 0;
    for (int line = 1; line <= 9; ++line) {
        const std::size_t end = report.find("\r\n", begin);
        if (end == std::string::npos)
            break;
        if (line >= 3)
            std::printf("%s\n", report.substr(begin, end - begin).c_str());
        begin = end + 2;
    }
    if (file.args.frequency)
        std::printf("The frequency of the max magnitude is %.2f HZ\n", view.m_dPeakFrequency);
    return 0;
}

int RunExport(const Args& args)
{
    OpenedFile file;
    if (const int status = Open(args, true, "export FILE OUT [--frequency]", file))
        return status;
    return WriteOutput(file.args.output, FormatTextReport(file.document, file.view)) ? 0 : 1;
}

int RunCsv(const Args& args)
{
    OpenedFile file;
    if (const int status = Open(args, true, "csv FILE OUT [--frequency]", file))
        return status;
    return WriteOutput(file.args.output, BuildCsv(file.document, file.view)) ? 0 : 1;
}

}  // namespace shakemeter::cli

namespace shakemeter::cli {

int RunRangeCsv(const std::string& file, const std::string& out, std::optional<std::size_t> from,
                std::optional<std::size_t> to, vibration::Unit unit)
{
    Recording document;
    RecordingView view;
    if (const int status = Load(FileArgs{file, out, false}, document, view))
        return status;
    const vibration::RangeChoice choice = vibration::ChooseRange(vibration::TimeRowsOf(document).count, from, to);
    if (!choice.range) {
        std::fprintf(stderr, "shakemeter-cli: %s: %s\n", file.c_str(), choice.refusal.c_str());
        return 1;
    }
    return WriteOutput(out, exports::BuildRangeCsv(document, view, *choice.range, unit)) ? 0 : 1;
}

int RunHdf5(const std::string& file, const std::string& out)
{
    Recording document;
    RecordingView view;
    if (const int status = Load(FileArgs{file, out, false}, document, view))
        return status;
    FileWriteError error;
    if (!exports::WriteHdf5File(out, document, view, &error)) {
        std::fprintf(stderr, "shakemeter-cli: cannot write %s: %s\n", error.path.c_str(), error.reason.c_str());
        return 1;
    }
    return 0;
}

}  // namespace shakemeter::cli
