#pragma once
// Support of the main window's tests: one QApplication for the test program, a prompter that
// answers from a script and records what it was asked, and recordings written to a temporary
// folder.

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <string>

#include "ScopedTimeZone.h"
#include "recording/Recording.h"
#include "controls/Prompter.h"

class QAction;
class QImage;
class QMenu;

namespace shakemeter {
class CMainFrame;
class CVxView;
}  // namespace shakemeter

namespace shakemeter::test {

class ScriptedPrompter : public Prompter {
public:
    struct Said {
        QString text;
        PromptIcon icon;
        bool question;
    };
    std::vector<Said> said;
    std::deque<bool> answers;  // Yes/No answers in order; No when none is left
    QString openPath;          // what the open dialog gives
    QString savePath;          // what the save dialog gives
    int saveDialogs = 0;
    QString proposedName;

    bool AskYesNo(QWidget*, const QString& text, PromptIcon icon) override
    {
        said.push_back({text, icon, true});
        if (answers.empty()) {
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Tell(QWidget*, const QString& text, PromptIcon icon) override { said.push_back({text, icon, false}); }
    QString ChooseOpenFile(QWidget*, const QString&, const QString&) override { return openPath; }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QString& proposed) override
    {
        ++saveDialogs;
        proposedName = proposed;
        return savePath;
    }
    QStringList Texts() const
    {
        QStringList texts;
        for (const Said& s : said) {
            texts << s.text;
        }
        return texts;
    }
};

// A logged recording of `rows` rows at 50 ms starting 05/03/23 14:07:09, X rising by 0.01 g.
Recording MakeLoggedRecording(int rows);
// A spectrum recording: 256 rows, interval 0.
Recording MakeSpectrumRecording();
// Writes the recording's file into the folder; returns its path.
QString WriteRecording(const QTemporaryDir& dir, const QString& name, const Recording& recording);
QString WriteBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);

// Paints the graph pane now and waits until the zoom reset its first graph paint starts (timer 4,
// 100 ms) has run, however slowly the machine goes, then paints again.
void PaintPastTheFirstZoomReset(CVxView& view);

// The picture File > Export > "Graph as Picture..." saves of the window's graph at the pane's size,
// written to `path` and read back (null when it could not be saved, the reason failing the test).
QImage PaneSizePicture(CMainFrame& frame, const QString& path);
// `shakemeter-cli render INPUT OUT --width W --height H` at `size`, read back (a failed run fails the
// test).
QImage CommandLinePicture(const QString& input, const QString& out, QSize size);

// SHAKEMETER_SCREENSHOTS=dir keeps what a user sees of the windows, for the help page.
void KeepScreenshot(const QString& name, const QImage& image);
// The menu's item of that text (with its &), or null.
QAction* FindAction(QMenu* menu, const QString& text);

using testing::ScopedTimeZone;

}  // namespace shakemeter::test
