#include "recording/RecordingSaver.h"

#include <utility>
#include <vector>

#include "recording/AtomicFile.h"
#include "recording/RecordingFile.h"
#include "recording/TextReport.h"

namespace shakemeter {

bool SaveRecordingAndReport(const std::string& chosenPath, const Recording& recording, const RecordingView& view,
                            FileWriteError* error, FileSystemCalls& calls)
{
    const SaveFileNamePair names = SaveFileNames(chosenPath);
    std::string report = FormatTextReport(recording, view);
    std::string bytes;
    AppendRecordingBytes(bytes, recording, view.m_nShownCount);
    // The report goes first, as it always did; the recording follows once both are complete.
    std::vector<std::pair<std::string, std::string>> files;
    files.emplace_back(names.reportPath, std::move(report));
    files.emplace_back(names.recordingPath, std::move(bytes));
    return WriteFilesAtomically(std::move(files), calls, error);
}

}  // namespace shakemeter
