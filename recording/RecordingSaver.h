#pragma once
// The save command's two files as one unit: the recording file and the ".xls" report beside it,
// both named from the path the user chose. Either both are replaced or neither is.

#include <string>

#include "recording/AtomicFile.h"
#include "recording/Recording.h"
#include "recording/RecordingView.h"

namespace shakemeter {

// Writes the report of the shown rows and the recording (nothing at all when the view shows no
// rows, as the save command does) to temporary files, then renames them over the targets. On
// failure `error` (when given) names the file that could not be written and why.
bool SaveRecordingAndReport(const std::string& chosenPath, const Recording& recording, const RecordingView& view,
                            FileWriteError* error = nullptr, FileSystemCalls& calls = FileSystemCalls::System());

}  // namespace shakemeter
