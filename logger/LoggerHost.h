#pragma once
// What a CLoggerLink needs from the program around it: the document's recording, the view's
// companions, message boxes, the progress window, the temporary copy, the graph's refresh hooks,
// the frame's reading flags and the link's timer 1. The main window, shakemeter-cli and the
// tests each implement it, so all three drive the same transfer code.
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

    // The frame's reading flag (a real-time or spectrum reading is running).
    virtual bool IsReading() const = 0;
    virtual void SetReading(bool reading) = 0;
    // The shown data came from the logger and is not saved yet.
    virtual void SetDataUnsaved() {}

    // Width of the plot area in pixels (plot right minus plot left), for the real-time window.
    virtual int PlotWidth() const { return 0; }
    // The graph's pixels per sample that the real-time window table ended with.
    virtual void SetPlotScale(double /*scale*/) {}
    // A zoom band is being dragged: the real-time range change does not repaint the plot.
    virtual bool IsBandDragging() const { return false; }

    // Graph refreshes: back to the whole recording; repaint all views of the document; repaint
    // the plot area; repaint the whole view without erasing; draw the newest real-time sample.
    virtual void OnZoomOut() {}
    virtual void UpdateAllViews() {}
    virtual void InvalidatePlot() {}
    virtual void InvalidateView() {}
    virtual void UpdateRealTimePlot() {}
    // The summary panel takes its texts from View().m_summary (when its window exists).
    virtual void UpdateSummaryPanel() {}
    // A real-time reading shows the summary panel at its time-domain height (155 px, when the
    // frame has the panel switched on).
    virtual void RestoreTimeDomainSummary() {}

    // The data list window: whether it is open, refill and repaint it (the view's list is dirty),
    // close it.
    virtual bool IsDataListOpen() const { return false; }
    virtual void RefreshDataList() {}
    virtual void CloseDataList() {}
};

}  // namespace shakemeter
