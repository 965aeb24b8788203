#include "shell/widgets/CVxDoc.h"

#include <QFile>

#include "recording/RecordingFile.h"

namespace shakemeter {

CVxDoc::CVxDoc(QObject* parent) : QObject(parent) {}

LoadStatus CVxDoc::Load(const QString& path, RecordingView& view) {
    if (path.isEmpty()) {
        return LoadStatus::CannotOpen;
    }
    {
        QFile probe(path);
        if (!probe.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
            return LoadStatus::CannotOpen;
        }
    }
    view.m_bPlotReady = false;
    RecordingFileResult result = ReadRecordingFile(path.toStdString());
    switch (result.error) {
    case RecordingFileError::None:
        break;
    case RecordingFileError::InvalidFormat:
        return LoadStatus::InvalidFormat;
    case RecordingFileError::CannotOpen:
        return LoadStatus::CannotOpen;
    default:
        return LoadStatus::Damaged;
    }
    InstallCompleteRecording(m_recording, view, std::move(result.recording));
    view.m_bListDirty = true;
    return LoadStatus::Loaded;
}

bool CVxDoc::Store(const QString& path, int shownCount) const {
    return WriteRecordingFile(path.toStdString(), m_recording, shownCount);
}

}  // namespace shakemeter
