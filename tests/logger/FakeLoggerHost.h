#pragma once
// The program around a link, for tests: owns a recording and its view companions, and records
// every message, progress step, temporary copy, timer change and notice the link gives.

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "logger/LoggerHost.h"

namespace shakemeter::test {

class FakeLoggerHost : public LoggerHost {
public:
    Recording document;
    RecordingView view;

    std::vector<std::pair<MessageKind, std::string>> messages;
    std::vector<std::string> progress;  // "show 6", "set 1", "end"
    int tempCopies = 0;
    int timerPeriod = 0;  // 0 when the timer is not running
    int timerStarts = 0;
    bool reading = false;
    std::vector<InstalledRecording> installed;
    std::vector<bool> rowsAppended;  // per row: whether the shown value range grew
    // Called at every progress step, as a user's click would come in while the bar repaints.
    std::function<void(int)> onProgress;

    Recording& Document() override { return document; }
    RecordingView& View() override { return view; }
    void ShowMessage(MessageKind kind, const std::string& text) override { messages.emplace_back(kind, text); }
    void ShowProgress(int rangeMax) override { progress.push_back("show " + std::to_string(rangeMax)); }
    void SetProgress(int position) override
    {
        progress.push_back("set " + std::to_string(position));
        if (onProgress)
            onProgress(position);
    }
    void EndProgress() override { progress.push_back("end"); }
    void WriteTempCopy() override { ++tempCopies; }
    void StartTimer(int ms) override
    {
        timerPeriod = ms;
        ++timerStarts;
    }
    void KillTimer() override { timerPeriod = 0; }
    bool IsReading() const override { return reading; }
    void SetReading(bool value) override { reading = value; }
    void RecordingInstalled(const InstalledRecording& recording) override { installed.push_back(recording); }
    void RowAppended(bool valueRangeGrew) override { rowsAppended.push_back(valueRangeGrew); }

    int RangeGrowths() const { return static_cast<int>(std::count(rowsAppended.begin(), rowsAppended.end(), true)); }
    int Installed(RecordingSource source) const
    {
        return static_cast<int>(std::count_if(installed.begin(), installed.end(),
                                              [&](const InstalledRecording& r) { return r.source == source; }));
    }
};

}  // namespace shakemeter::test
