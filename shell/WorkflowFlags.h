#pragma once
// The save flags of the main window and the rules that decide when the user is asked whether the
// shown data is to be saved before it is replaced or the program closes. Pure: the window asks, the
// rules say whether to ask and how the flags change.

namespace shakemeter {

enum class SaveQuestion { Open, Download, Run, FftReading };

// What the question looks like for each command.
struct SaveQuestionStyle {
    bool questionIcon = true;
};

class WorkflowFlags {
public:
    bool m_bDataUnsaved = false;    // the shown data came from the logger and was not saved
    bool m_bAskOnOpenClose = true;  // the question is armed for Open and for closing
    bool m_bAskOnDownload = false;  // the question is armed for Download

    // Whether to ask before the command replaces the shown data.
    bool ShouldAsk(SaveQuestion command, int shownCount) const;
    // After the question was shown (whatever the answer; a question not asked changes nothing):
    // Open and Download disarm themselves.
    void AfterQuestion(SaveQuestion command);
    static SaveQuestionStyle StyleOf(SaveQuestion command);

    // Closing asks only when more than one sample of unsaved logger data is shown.
    bool ShouldAskOnClose(int shownCount) const;
    // "Yes" to the close question saves and disarms the question.
    void AfterCloseSaved();

    // Events of the workflow.
    void OnSaved();              // a successful save of both files
    void OnSetupWritten();       // a setup block reached the logger
    void OnRealTimeStarted();    // a real-time reading started
    void OnLoggerDataArrived();  // download finished, real-time sample, spectrum read: re-arms every question
};

}  // namespace shakemeter
