#pragma once
// The program around a logger link when it runs from the command line: it owns the recording and
// its view companions, prints the program's messages on standard error, and runs the link's
// timer by sleeping its period between ticks. There is no window to follow a new recording or row.

#include <string>

#include "logger/LoggerHost.h"

namespace shakemeter::cli {

class CliLoggerHost : public LoggerHost {
public:
    Recording& Document() override { return m_document; }
    RecordingView& View() override { return m_view; }
    void ShowMessage(MessageKind kind, const std::string& text) override;
    void ShowProgress(int) override {}
    void SetProgress(int) override {}
    void EndProgress() override {}
    // The temporary copy belongs to the main window; the command line writes its own files.
    void WriteTempCopy() override {}
    void StartTimer(int ms) override;
    void KillTimer() override { m_timerPeriod = 0; }
    bool IsReading() const override { return m_reading; }
    void SetReading(bool reading) override { m_reading = reading; }

    // Messages shown so far: a failed transfer shows exactly one.
    int MessageCount() const { return m_messages; }
    // Sleeps the timer's period and returns true while the timer runs; false once it stopped.
    bool WaitForTick() const;

private:
    Recording m_document;
    RecordingView m_view;
    int m_messages = 0;
    int m_timerPeriod = 0;
    bool m_reading = false;
};

}  // namespace shakemeter::cli
