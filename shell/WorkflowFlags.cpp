#include "shell/WorkflowFlags.h"

namespace shakemeter {

bool WorkflowFlags::ShouldAsk(SaveQuestion command, int shownCount) const
{
    if (shownCount < 1) {
        return false;
    }
    switch (command) {
    case SaveQuestion::Open:
        return m_bDataUnsaved && m_bAskOnOpenClose;
    case SaveQuestion::Download:
        return m_bDataUnsaved && m_bAskOnDownload;
    case SaveQuestion::Run:
    case SaveQuestion::FftReading:
        return true;
    }
    return false;
}

void WorkflowFlags::AfterQuestion(SaveQuestion command)
{
    switch (command) {
    case SaveQuestion::Open:
        m_bDataUnsaved = false;
        m_bAskOnOpenClose = false;
        break;
    case SaveQuestion::Download:
        m_bDataUnsaved = false;
        m_bAskOnDownload = false;
        break;
    case SaveQuestion::Run:
    case SaveQuestion::FftReading:
        break;
    }
}

SaveQuestionStyle WorkflowFlags::StyleOf(SaveQuestion command)
{
    return SaveQuestionStyle{command != SaveQuestion::Open};
}

bool WorkflowFlags::ShouldAskOnClose(int shownCount) const
{
    return shownCount > 1 && m_bDataUnsaved && m_bAskOnOpenClose;
}

void WorkflowFlags::AfterCloseSaved()
{
    m_bDataUnsaved = false;
    m_bAskOnOpenClose = false;
}

void WorkflowFlags::OnSaved()
{
    m_bDataUnsaved = false;
    m_bAskOnOpenClose = false;
    m_bAskOnDownload = false;
}

void WorkflowFlags::OnSetupWritten()
{
    m_bAskOnOpenClose = true;
    m_bAskOnDownload = true;
}

void WorkflowFlags::OnRealTimeStarted()
{
    OnSetupWritten();
}

void WorkflowFlags::OnLoggerDataArrived()
{
    // New data is protected whatever was saved or answered before.
    m_bDataUnsaved = true;
    m_bAskOnOpenClose = true;
    m_bAskOnDownload = true;
}

}  // namespace shakemeter
