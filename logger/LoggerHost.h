#pragma once
// What a CLoggerLink needs from the program around it: the document's recording and the view's
// companions it installs into, message boxes, the progress window, the temporary copy, the link's
// timer 1, the frame's reading flag, and two notices: a recording was installed, a row was
// appended. How the windows follow (zoom, summary panel, list, repaints) is the host's business.
// The main window, shakemeter-cli and the tests each implement it, so all three drive the same
// transfer code.
//
// The link calls these on the thread it runs on and never keeps references across calls other
// than to Document() and View(), which must outlive the link's transfers.

#include <string>

#include "recording/Recording.h"
#include "recording/RecordingView.h"

namespace shakemeter {

enum class MessageKind {
    Plain,        // OK button, no icon
    Information,  // OK button, information icon
};

// Where an installed recording came from.
enum class RecordingSource {
    Download,  // the logger's memory
    Spectrum,  // one spectrum capture
    RealTime,  // the first row of a real-time reading; the reading flag is already set
};

struct InstalledRecording {
    RecordingSource source = RecordingSource::Download;
    bool valueRangeChanged = false;  // the value range differs from the one shown before
};

class LoggerHost {
public:
    virtual ~LoggerHost() = default;

    // The document's recording and the view's companions of it.
    virtual Recording& Document() = 0;
    virtual RecordingView& View() = 0;

    // A modal message with an OK button; one per failed transfer.
    virtual void ShowMessage(MessageKind kind, const std::string& text) = 0;

    // The progress window of a download: shown with the range 0..rangeMax at position 0, moved
    // as blocks arrive, ended and destroyed on every path that showed it.
    virtual void ShowProgress(int rangeMax) = 0;
    virtual void SetProgress(int position) = 0;
    virtual void EndProgress() = 0;

    // The frame writes the shown recording to the temporary copy; errors are swallowed.
    virtual void WriteTempCopy() = 0;

    // Timer 1 of the link: after StartTimer(ms) the host calls CLoggerLink::OnTimer(1) every ms
    // milliseconds until KillTimer(). Starting a running timer restarts it with the new period.
    virtual void StartTimer(int ms) = 0;
    virtual void KillTimer() = 0;

    // The frame's reading flag (a real-time or spectrum reading is running). A reading that ends
    // clears it, and the whole view is then drawn again.
    virtual bool IsReading() const = 0;
    virtual void SetReading(bool reading) = 0;

    // A new recording is in Document() and View(), its facts refreshed.
    virtual void RecordingInstalled(const InstalledRecording& /*installed*/) {}
    // One more row of the real-time reading is in Document() and View(); valueRangeGrew when
    // the value range the graph shows grew with it.
    virtual void RowAppended(bool /*valueRangeGrew*/) {}
};

}  // namespace shakemeter
