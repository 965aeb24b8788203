#include "shell/widgets/FrameLinkHost.h"

#include <QCoreApplication>

#include "graph/widgets/CVxView.h"
#include "analysis/widgets/CDataListDlg.h"
#include "logger/CLoggerLink.h"
#include "logger/widgets/CLoadingDlg.h"
#include "shell/widgets/CMainFrame.h"
#include "controls/Prompter.h"

namespace shakemeter {

FrameLinkHost::FrameLinkHost(CMainFrame& frame) : m_frame(frame) {
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_link != nullptr) {
            m_link->OnTimer(REALTIME_TIMER_ID);
        }
    });
}

Recording& FrameLinkHost::Document() { return m_frame.Doc().recording(); }

RecordingView& FrameLinkHost::View() { return m_frame.GraphView()->Companions(); }

void FrameLinkHost::ShowMessage(MessageKind kind, const std::string& text) {
    // A message ends the wait: the window behind it is drawn again while the user reads it.
    m_frame.centralWidget()->setUpdatesEnabled(true);
    m_frame.UserPrompter().Tell(&m_frame, QString::fromStdString(text),
                                kind == MessageKind::Information ? PromptIcon::Information : PromptIcon::None);
}

void FrameLinkHost::ShowProgress(int rangeMax) {
    // The main window waits for the transfer and is not drawn meanwhile: repainting a large graph
    // between blocks would stretch the transfer many times over. The progress window, a window of
    // its own, still repaints.
    m_frame.centralWidget()->setUpdatesEnabled(false);
    m_frame.ShowDownloadProgress(rangeMax);
}

void FrameLinkHost::SetProgress(int position) {
    m_frame.LoadingDialog()->SetPos(position);
    // The window is blocked by the transfer; let the bar repaint between blocks.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void FrameLinkHost::EndProgress() {
    m_frame.LoadingDialog()->End();
    m_frame.centralWidget()->setUpdatesEnabled(true);
    m_frame.ApplyEnableTable();
}

void FrameLinkHost::WriteTempCopy() { m_frame.WriteTempCopy(); }

void FrameLinkHost::StartTimer(int ms) { m_timer.start(ms); }

void FrameLinkHost::KillTimer() { m_timer.stop(); }

bool FrameLinkHost::IsReading() const { return m_frame.IsReading(); }

void FrameLinkHost::SetReading(bool reading) { m_frame.SetReading(reading); }

void FrameLinkHost::SetDataUnsaved() { m_frame.SetDataUnsaved(); }

int FrameLinkHost::PlotWidth() const {
    CVxView* view = m_frame.GraphView();
    const PlotRect client{0, 0, view->width(), view->height()};
    return GraphModel::ScreenPlotRect(client, view->SummaryHeight(), 1).width();
}

void FrameLinkHost::SetPlotScale(double scale) { m_frame.GraphView()->State().m_dScale = scale; }

bool FrameLinkHost::IsBandDragging() const { return m_frame.GraphView()->State().m_bBandDragging; }

void FrameLinkHost::OnZoomOut() {
    // The link asks for this only after it installed a new recording (download, spectrum read).
    m_frame.RestoreSummaryAfterFrequencyMode();
    m_frame.GraphView()->ClearReadout();
    m_frame.GraphView()->OnZoomOut();
}

void FrameLinkHost::UpdateAllViews() {
    // The summary panel shows the texts the new recording's refresh made.
    m_frame.GraphView()->UpdateSummaryPanel();
    m_frame.GraphView()->SyncChildren();
    m_frame.GraphView()->update();
    m_frame.ApplyEnableTable();
}

void FrameLinkHost::InvalidatePlot() { m_frame.GraphView()->InvalidatePlot(); }

void FrameLinkHost::InvalidateView() { m_frame.GraphView()->update(); }

void FrameLinkHost::UpdateRealTimePlot() {
    // The view draws only the newest segment unless the picture must move or the axis grew.
    m_frame.GraphView()->UpdateRealTimePlot();
    m_frame.ApplyEnableTable();
}

void FrameLinkHost::UpdateSummaryPanel() { m_frame.GraphView()->UpdateSummaryPanel(); }

void FrameLinkHost::RestoreTimeDomainSummary() {
    CVxView* view = m_frame.GraphView();
    // A real-time reading has just replaced the recording shown: it is no file's data, and the
    // panel is restored here already.
    m_frame.Doc().SetPathName(QString());
    view->Companions().m_bLeftFrequencyMode = false;
    view->ClearReadout();
    view->SetSummaryFullHeight(CMainFrame::kSummaryHeight);
    if (m_frame.m_bSummaryShown) {
        view->SetSummaryHeight(CMainFrame::kSummaryHeight);
    }
}

bool FrameLinkHost::IsDataListOpen() const { return m_frame.DataListOpen(); }

void FrameLinkHost::RefreshDataList() { m_frame.RefreshDataList(); }

void FrameLinkHost::CloseDataList() {
    m_frame.DataList()->CloseWindow();
}

}  // namespace shakemeter
