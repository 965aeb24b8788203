#pragma once
// What the logger dialogs take from and give back to the main window: the last setup block, the
// real-time choices, the view's requested point count, the workflow flags they raise and the
// prompter that asks the user.

#include <string>

#include "logger/LoggerProtocol.h"
#include "recording/RecordingView.h"

namespace shakemeter {

class Prompter;

class LoggerDialogOwner {
public:
    virtual ~LoggerDialogOwner() = default;

    // The copy of the last setup block written to the logger (bytes 6..20 are kept in settings).
    virtual HeaderBlock& LastSetup() = 0;
    // A setup block reached the logger: the save questions are armed again.
    virtual void OnSetupWritten() = 0;

    // The real-time rate choice (0..5) and the points text, as last used.
    virtual int RtRateIndex() const = 0;
    virtual std::string RtPoints() const = 0;
    virtual void SetRtChoice(int rateIndex, const std::string& points) = 0;
    // A real-time reading started: the save questions are armed again.
    virtual void OnRealTimeStarted() = 0;

    // A download brought data that is not saved yet.
    virtual void SetDataUnsaved() = 0;

    virtual RecordingView& View() = 0;
    virtual Prompter& UserPrompter() = 0;
};

}  // namespace shakemeter
