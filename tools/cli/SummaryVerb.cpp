// summary: one line per recording file, the files read in parallel.

#include <cstdio>

#include <unistd.h>

#include "analysis/export/RecordingSummary.h"
#include "tools/cli/AnalysisVerbs.h"
#include "tools/cli/Verbs.h"

namespace shakemeter::cli {

int RunSummary(const SummaryRequest& request)
{
    // A progress line helps on a terminal; in a log or a pipe it would only be noise.
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    const auto progress = [terminal](std::size_t done, std::size_t total) {
        if (terminal)
            std::fprintf(stderr, "\rsummary: %zu of %zu files", done, total);
    };
    const std::vector<exports::RecordingSummary> lines =
        exports::SummarizeRecordings(request.files, request.jobs, {}, progress);
    if (terminal && !lines.empty())
        std::fputs("\r\033[K", stderr);

    int status = 0;
    for (const exports::RecordingSummary& line : lines) {
        if (!line.readable()) {
            std::fprintf(stderr, "shakemeter-cli: cannot read %s: %s\n", line.file.c_str(), line.failure.c_str());
            status = 1;
        }
    }
    std::fputs(exports::FormatSummaryTable(lines).c_str(), stdout);
    if (!request.csv.empty() && !WriteOutput(request.csv, exports::FormatSummaryCsv(lines)))
        return 1;
    return status;
}

}  // namespace shakemeter::cli
