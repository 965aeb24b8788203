#include "shell/widgets/FrameLinkHost.h"

#include <QCoreApplication>

#include "analysis/widgets/CDataListDlg.h"
#include "graph/widgets/CVxView.h"
#include "logger/CLoggerLink.h"
#include "logger/widgets/CLoadingDlg.h"
#include "recording/RtWindowTable.h"
#include "shell/widgets/CMainFrame.h"
#include "controls/Prompter.h"
#include "shell/widgets/TempCopyKeeper.h"

namespace shakemeter {

FrameLinkHost::FrameLinkHost(CMainFrame& frame) : m_frame(frame)
{
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_link != nullptr) {
            m_link->OnTimer(kRealTimeTimerId);
        }
    });
}

Recording& FrameLinkHost::Document()
{
    return m_frame.Doc().recording();
}

RecordingView& FrameLinkHost::View()
{
    return m_frame.GraphView()->MutableCompanions();
}

void FrameLinkHost::ShowMessage(MessageKind kind, const std::string& text)
{
    // A message ends the wait: the window behind it is drawn again while the user reads it.
    m_frame.centralWidget()->setUpdatesEnabled(true);
    m_frame.UserPrompter().Tell(&m_frame, QString::fromStdString(text),
                                kind == MessageKind::Information ? PromptIcon::Information : PromptIcon::None);
}

void FrameLinkHost::ShowProgress(int rangeMax)
{
    // The main window waits for the transfer and is not drawn meanwhile: repainting a large graph
    // between blocks would stretch the transfer many times over. The progress window, a window of
    // its own, still repaints.
    m_frame.centralWidget()->setUpdatesEnabled(false);
    m_frame.ShowDownloadProgress(rangeMax);
}

void FrameLinkHost::SetProgress(int position)
{
    CLoadingDlg* progress = m_frame.LoadingDialog();
    progress->SetPos(position);
    // The window is blocked by the transfer; let the bar repaint between blocks. A progress
    // window with Cancel holds the input to itself, so only its button is heard.
    QCoreApplication::processEvents(progress->CancelOffered() ? QEventLoop::AllEvents
                                                              : QEventLoop::ExcludeUserInputEvents);
}

void FrameLinkHost::EndProgress()
{
    m_frame.LoadingDialog()->End();
    m_frame.centralWidget()->setUpdatesEnabled(true);
    m_frame.ApplyEnableTable();
}

void FrameLinkHost::WriteTempCopy()
{
    m_frame.WriteTempCopy();
}

void FrameLinkHost::StartTimer(int ms)
{
    m_timer.start(ms);
}

void FrameLinkHost::KillTimer()
{
    m_timer.stop();
}

bool FrameLinkHost::IsReading() const
{
    return m_frame.IsReading();
}

void FrameLinkHost::SetReading(bool reading)
{
    m_frame.SetReading(reading);
    if (!reading) {
        // A reading that ends shows its recording whole.
        m_frame.GraphView()->update();
    }
}

void FrameLinkHost::RecordingInstalled(const InstalledRecording& installed)
{
    CVxView* view = m_frame.GraphView();
    switch (installed.source) {
    case RecordingSource::Download:
        // The copy now holds the download, which the logger still keeps.
        m_frame.CopyKeeper().Settled();
        if (m_frame.DataListOpen()) {
            if (Document().HasRows()) {
                m_frame.RefreshDataList();
            } else {
                CloseDataList();
            }
        }
        ZoomOutToNewRecording();
        // The summary panel shows the texts the new recording's refresh made.
        view->UpdateSummaryPanel();
        view->SyncChildren();
        view->update();
        m_frame.ApplyEnableTable();
        break;
    case RecordingSource::Spectrum:
        RefreshOpenDataList();
        ZoomOutToNewRecording();
        emit spectrumCaptured();
        break;
    case RecordingSource::RealTime:
        StartRealTimeView(installed.valueRangeChanged);
        break;
    }
}

void FrameLinkHost::RowAppended(bool valueRangeGrew)
{
    CVxView* view = m_frame.GraphView();
    // A band being dragged keeps the plot as it is until it is dropped.
    if (valueRangeGrew && !view->State().m_bBandDragging) {
        view->InvalidatePlot();
    }
    view->UpdateSummaryPanel();
    RefreshOpenDataList();
    if (IsReading()) {
        UpdateRealTimePlot();
        m_frame.SetDataUnsaved();
    } else {
        // The reading was stopped before this row came: the whole view shows it.
        view->update();
    }
}

void FrameLinkHost::StartRealTimeView(bool valueRangeChanged)
{
    CVxView* view = m_frame.GraphView();
    // A reading of one sample ends here, before any row comes: it is no file's data from the first.
    m_frame.Doc().LeaveFile();
    view->MutableCompanions().ClearLeftFrequencyMode();
    view->ClearReadout();
    view->SetSummaryFullHeight(kSummaryPanelHeight);
    if (m_frame.m_bSummaryShown) {
        view->SetSummaryHeight(kSummaryPanelHeight);
    }
    RecordingView& companions = view->MutableCompanions();
    view->Model().SetRealTimeScale(StartRtWindowTable(companions, PlotWidth(), companions.m_nRtRequested));
    if (valueRangeChanged) {
        view->update();
    }
    view->UpdateSummaryPanel();
    RefreshOpenDataList();
    UpdateRealTimePlot();
}

void FrameLinkHost::RefreshOpenDataList()
{
    if (m_frame.DataListOpen()) {
        m_frame.RefreshDataList();
    }
}

int FrameLinkHost::PlotWidth() const
{
    CVxView* view = m_frame.GraphView();
    const PlotRect client{0, 0, view->width(), view->height()};
    return GraphModel::ScreenPlotRect(client, view->SummaryHeight(), 1).width();
}

void FrameLinkHost::ZoomOutToNewRecording()
{
    m_frame.RestoreSummaryAfterFrequencyMode();
    m_frame.GraphView()->ClearReadout();
    m_frame.ZoomOutToShownRecording();
}

void FrameLinkHost::UpdateRealTimePlot()
{
    // The view draws only the newest segment unless the picture must move or the axis grew.
    m_frame.GraphView()->UpdateRealTimePlot();
    m_frame.ApplyEnableTable();
}

void FrameLinkHost::CloseDataList()
{
    m_frame.DataList()->CloseWindow();
}

}  // namespace shakemeter
