#pragma once
// What one logger link sees of the main window: the document, the view, the prompter, the progress
// window, the temporary copy, the reading flags and the link's own timer 1. Each link of the main
// window gets its own host, so each has its own timer.

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
    void SetDataUnsaved() override;
    int PlotWidth() const override;
    void SetPlotScale(double scale) override;
    bool IsBandDragging() const override;
    void OnZoomOut() override;
    void UpdateAllViews() override;
    void InvalidatePlot() override;
    void InvalidateView() override;
    void UpdateRealTimePlot() override;
    void UpdateSummaryPanel() override;
    void RestoreTimeDomainSummary() override;
    bool IsDataListOpen() const override;
    void RefreshDataList() override;
    void CloseDataList() override;

private:
    CMainFrame& m_frame;
    CLoggerLink* m_link = nullptr;
    QTimer m_timer;
};

}  // namespace shakemeter
