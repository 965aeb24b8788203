#pragma once
// File > "Save Session..." and "Open Session...": the session file names the shown recording's
// file and keeps what the graph shows with it (the compared recording and its alignment, the
// cursors, the zoom). Saving needs the shown data in a recording file. Opening reads the compared
// recording and checks the whole session against both recordings before anything changes, then
// opens the recording as Open does and puts the rest back once the graph stands (the zoom needs
// its geometry); a failure leaves the program as it was and says why.

#include <QObject>
#include <QString>
#include <optional>
#include <string>

#include "session/Session.h"

namespace shakemeter {

class CMainFrame;

class SessionCommands : public QObject {
    Q_OBJECT
public:
    explicit SessionCommands(CMainFrame& frame);

    // The file dialog, then the session; data not in a file is told before any dialog.
    void OnSaveSession();
    // The save question for unsaved data, the file dialog, then the session.
    void OnOpenSession();

    // The same without the dialogs; false after telling the user why.
    bool SaveSession(const QString& path);
    bool OpenSession(const QString& path);

    // The main window's zoom reset after an open has run: a session opened with the recording is
    // put back once the graph stands.
    void RecordingShown();

private:
    // The shown recording's file, or nothing when the shown data is in no file.
    std::optional<std::string> ShownRecordingFile() const;
    void TellNotInAFile();

    void PutBackPending();

    CMainFrame& m_frame;
    std::optional<Session> m_pending;  // opened, waiting for its recording's graph
    bool m_graphStands = false;        // the main window's zoom reset after the open has run
};

}  // namespace shakemeter
