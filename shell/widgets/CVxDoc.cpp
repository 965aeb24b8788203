#include "shell/widgets/CVxDoc.h"

#include <QFile>
#include <QFileInfo>

#include "recording/RecordingFile.h"

namespace shakemeter {

CVxDoc::CVxDoc(QObject* parent) : QObject(parent) {}

LoadStatus CVxDoc::Load(const QString& path, RecordingView& view)
{
    m_loadError.clear();
    if (path.isEmpty()) {
        m_loadError = QStringLiteral("no file was chosen");
        return LoadStatus::CannotOpen;
    }
    if (QFileInfo(path).isDir()) {
        m_loadError = QStringLiteral("it is a folder");
        return LoadStatus::CannotOpen;
    }
    {
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly | QIODevice::ExistingOnly)) {
            m_loadError = probe.errorString();
            return LoadStatus::CannotOpen;
        }
    }
    view.SetPlotReady(false);
    RecordingFileResult result = ReadRecordingFile(path.toStdString());
    switch (result.error) {
    case RecordingFileError::None:
        break;
    case RecordingFileError::InvalidFormat:
        m_loadError = QString::fromLatin1(kInvalidFormatMessage);
        return LoadStatus::InvalidFormat;
    case RecordingFileError::CannotOpen:
        m_loadError = QStringLiteral("it cannot be read");
        return LoadStatus::CannotOpen;
    case RecordingFileError::TooLarge:
        m_loadError = QStringLiteral("it is too large to be a recording");
        return LoadStatus::Damaged;
    default:
        m_loadError = QStringLiteral("the file is damaged or incomplete");
        return LoadStatus::Damaged;
    }
    InstallCompleteRecording(m_recording, view, std::move(result.recording));
    view.MarkListDirty();
    return LoadStatus::Loaded;
}

}  // namespace shakemeter
