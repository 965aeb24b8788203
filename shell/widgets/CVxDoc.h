#pragma once
// The document: the one recording the program holds, and its file operations. A file is read into
// a new recording that replaces the shown one only when it was read completely, so a damaged or
// foreign file never leaves a half-read recording behind.

#include <QObject>
#include <QString>

#include "recording/Recording.h"
#include "recording/RecordingView.h"

namespace shakemeter {

enum class LoadStatus {
    Loaded,
    CannotOpen,     // missing, unreadable or not a file
    InvalidFormat,  // not a recording file: "Invalid Format!"
    Damaged,        // ends early, holds impossible counts or is too large
};

class CVxDoc : public QObject {
    Q_OBJECT
public:
    explicit CVxDoc(QObject* parent = nullptr);

    Recording& recording() { return m_recording; }
    const Recording& recording() const { return m_recording; }

    // Reads the file and, when complete, installs it with everything derived from it (spectrum,
    // summary, list refill). Reading needs read access only, so recordings on read-only media,
    // installed samples and other users' files open too.
    LoadStatus Load(const QString& path, RecordingView& view);
    // Reads the file as Load does without installing it: the recording read whole into `read`,
    // or the status with the reason in `error` (LoadError's words).
    static LoadStatus Read(const QString& path, Recording& read, QString& error);
    // Why the last Load failed, for a message that names the file ("No such file or directory").
    const QString& LoadError() const { return m_loadError; }

    // The file the shown data was opened from or saved to, for the standard save; empty once data
    // that came from elsewhere (the logger, the temporary copy) is shown.
    const QString& PathName() const { return m_pathName; }
    void SetPathName(const QString& path) { m_pathName = path; }
    // The shown data is not the file's any more: the standard save must not write over that file.
    void LeaveFile() { m_pathName.clear(); }

private:
    Recording m_recording;
    QString m_pathName;
    QString m_loadError;
};

}  // namespace shakemeter
