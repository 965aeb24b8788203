#pragma once
// A main window for a test: its settings file and temporary copy in a temporary folder, a prompter
// that answers from a script and a fake logger behind the bridge library.

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "ShellTestSupport.h"
#include "logger/FakeDeviceLibrary.h"
#include "shell/widgets/CMainFrame.h"

namespace shakemeter::test {

// A main window's surroundings with its settings file and temporary copy in `dir`; the program
// profile stays the program's own unless a test names one.
FrameEnvironment FrameEnvironmentIn(const QTemporaryDir& dir, Prompter& prompter, DeviceLibrary& devices,
                                    const QString& settingsName = QStringLiteral("s.ini"),
                                    const QString& tempCopyName = QStringLiteral("PreMeasure.Vibration"));

class MainFrameFixture : public ::testing::Test {
protected:
    // Builds the window; the settings file and the temporary copy take the given names in the folder.
    void MakeFrame(const QString& settingsName = QStringLiteral("s.ini"),
                   const QString& tempCopyName = QStringLiteral("PreMeasure.Vibration"));
    // The logger dialogs are answered at once: poll, then press their OK button; each one counts.
    void AnswerLoggerDialogsWithOk();
    // The logger's memory: `samples` samples at 50 ms from 05/03/23 with X at 100 counts, and
    // `events` free-fall events.
    void ScriptMemory(int samples, int events = 0);

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    FakeDeviceLibrary devices;
    std::unique_ptr<CMainFrame> frame;
    int dialogsRun = 0;
};

// For tests that build their windows themselves: the surroundings of FrameEnvironmentIn with a
// program profile of their own in the folder, so that what one test keeps there (docks, legend,
// analysis unit) reaches no other.
class OwnProfileFrameTest : public ::testing::Test {
protected:
    void SetUp() override;
    // The window of `frame`, 1400 x 800: room for the docks beside the graph.
    void MakeWideFrame();

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    FakeDeviceLibrary devices;
    FrameEnvironment env;
    std::unique_ptr<CMainFrame> frame;
};

}  // namespace shakemeter::test
