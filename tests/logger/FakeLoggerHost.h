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

    // The texts of the messages shown, in order.
    std::vector<std::string> MessageTexts() const
    {
        std::vector<std::string> out;
        for (const auto& m : messages)
            out.push_back(m.second);
        return out;
    }
    int RangeGrowths() const { return static_cast<int>(std::count(rowsAppended.begin(), rowsAppended.end(), true)); }
    int Installed(RecordingSource source) const
    {
        return static_cast<int>(std::count_if(installed.begin(), installed.end(),
                                              [&](const InstalledRecording& r) { return r.source == source; }));
    }
};

// The recording a test installs before a transfer, to see that failures leave it alone.
inline Recording PreviousRecording()
{
    Recording r;
    r.m_header.dwSampleCount = 3;
    r.m_header.wInterval = 41;
    r.m_pSamples = {SampleRow{1, 2, 3, 4}, SampleRow{5, 6, 7, 8}, SampleRow{9, 10, 11, 12}};
    r.m_pFreeFallEvents = {"01/01/20 00:00:00"};
    r.m_header.wFreeFallCount = 1;
    return r;
}

}  // namespace shakemeter::test
