#pragma once
// The tab-separated ".xls" report written beside every saved recording: the summary texts, the
// free-fall events and the list of all shown rows, 8-bit text with CR LF line ends. Long
// recordings are laid out in blocks of 60000 rows placed side by side, every block written.
// Also the names the save command gives its two files.

#include <iosfwd>
#include <string>

#include "recording/CalendarTime.h"
#include "recording/Recording.h"
#include "recording/RecordingView.h"

namespace shakemeter {

constexpr int REPORT_BLOCK_ROWS = 60000;

// The whole report of the shown rows (view.m_nShownCount) of recording, from the view's summary
// texts and sample times. The view must have been refreshed for this recording.
std::string FormatTextReport(const Recording& recording, const RecordingView& view);

// The same bytes written to out in pieces, so a long report never sits in memory whole.
// Returns false when the stream failed.
bool WriteTextReport(std::ostream& out, const Recording& recording, const RecordingView& view);

// The name the save dialog proposes: local time as "%y-%m-%d  %H.%M.%S" (two blanks).
std::string DefaultReportBaseName(const CalendarTime& now);

// The name to propose in the save dialog: the base name with ".Vibration" already on it. The base
// name's own dots ("14.07.09") would otherwise pass for an extension, and cutting it off would drop
// the seconds, so that two saves within one minute would silently share their files.
std::string DefaultSaveFileName(const CalendarTime& now);

struct SaveFileNamePair {
    std::string recordingPath;  // ".Vibration"
    std::string reportPath;     // ".xls"
};

// Both files of a save from the name the user chose: the file name is cut before its last "."
// (a dot in a folder name does not count; a name without a dot stays whole) and gets
// ".Vibration" and ".xls".
SaveFileNamePair SaveFileNames(const std::string& chosenPath);

}  // namespace shakemeter
