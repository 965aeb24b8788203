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
    CannotOpen,     // missing, read-only or in use: ends silently
    InvalidFormat,  // not a recording file: "Invalid Format!"
    Damaged,        // ends early or holds impossible counts: ends silently
};

class CVxDoc : public QObject {
    Q_OBJECT
public:
    explicit CVxDoc(QObject* parent = nullptr);

    Recording& recording() { return m_recording; }
    const Recording& recording() const { return m_recording; }

    // Reads the file and, when complete, installs it with everything derived from it (spectrum,
    // summary, list refill). A file that cannot be opened for reading and writing is refused, as
    // the program's own files are opened exclusively.
    LoadStatus Load(const QString& path, RecordingView& view);
    // Stores the recording (nothing when nothing is shown) in place of the file, atomically.
    bool Store(const QString& path, int shownCount) const;

    // The file the document was last opened from or saved to, for the standard save.
    const QString& PathName() const { return m_pathName; }
    void SetPathName(const QString& path) { m_pathName = path; }

private:
    Recording m_recording;
    QString m_pathName;
};

}  // namespace shakemeter
