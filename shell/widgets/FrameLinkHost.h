#pragma once
// What one logger link sees of the main window: the document, the view, the prompter, the progress
// window, the temporary copy, the reading flags and the link's own timer 1; and how the windows
// follow a recording the link installed or a row it appended. Each link of the main window gets
// its own host, so each has its own timer.

#include <QObject>
#include <QTimer>

#include "logger/LoggerHost.h"

namespace shakemeter {

class CMainFrame;
class CLoggerLink;

class FrameLinkHost : public QObject, public LoggerHost {
    Q_OBJECT
public:
    explicit FrameLinkHost(CMainFrame& frame);

    // The link whose OnTimer the timer calls.
    void Attach(CLoggerLink* link) { m_link = link; }
    bool TimerActive() const { return m_timer.isActive(); }
    int TimerInterval() const { return m_timer.interval(); }

    Recording& Document() override;
    RecordingView& View() override;
    void ShowMessage(MessageKind kind, const std::string& text) override;
    void ShowProgress(int rangeMax) override;
    void SetProgress(int position) override;
    void EndProgress() override;
    void WriteTempCopy() override;
    void StartTimer(int ms) override;
    void KillTimer() override;
    bool IsReading() const override;
    void SetReading(bool reading) override;
    void RecordingInstalled(const InstalledRecording& installed) override;
    void RowAppended(bool valueRangeGrew) override;

signals:
    // A capture of the spectrum reading is now the document's recording.
    void spectrumCaptured();

private:
    // A real-time reading has just replaced the recording shown: the summary panel at its
    // time-domain height, the window table laid out for the plot's width.
    void StartRealTimeView(bool valueRangeChanged);
    void RefreshOpenDataList();
    // Width of the plot area in pixels (plot right minus plot left).
    int PlotWidth() const;
    // Back to the whole of a recording just installed.
    void ZoomOutToNewRecording();
    // Draws the newest real-time sample.
    void UpdateRealTimePlot();
    void CloseDataList();

    CMainFrame& m_frame;
    CLoggerLink* m_link = nullptr;
    QTimer m_timer;
};

}  // namespace shakemeter
