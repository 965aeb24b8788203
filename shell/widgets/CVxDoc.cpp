#include "shell/widgets/CVxDoc.h"

#include <QFile>
#include <QFileInfo>

#include "recording/RecordingFile.h"

namespace shakemeter {

CVxDoc::CVxDoc(QObject* parent) : QObject(parent) {}

namespace {

// Whether the file can be opened for reading at all, with the reason when not.
bool Openable(const QString& path, QString& error)
{
    if (path.isEmpty()) {
        error = QStringLiteral("no file was chosen");
        return false;
    }
    if (QFileInfo(path).isDir()) {
        error = QStringLiteral("it is a folder");
        return false;
    }
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly | QIODevice::ExistingOnly)) {
        error = probe.errorString();
        return false;
    }
    return true;
}

// The file read whole into `read`, or the status with the reason.
LoadStatus ReadOpenable(const QString& path, Recording& read, QString& error)
{
    RecordingFileResult result = ReadRecordingFile(path.toStdString());
    switch (result.error) {
    case RecordingFileError::None:
        break;
    case RecordingFileError::InvalidFormat:
        error = QString::fromLatin1(kInvalidFormatMessage);
        return LoadStatus::InvalidFormat;
    case RecordingFileError::CannotOpen:
        error = QStringLiteral("it cannot be read");
        return LoadStatus::CannotOpen;
    case RecordingFileError::TooLarge:
        error = QStringLiteral("it is too large to be a recording");
        return LoadStatus::Damaged;
    default:
        error = QStringLiteral("the file is damaged or incomplete");
        return LoadStatus::Damaged;
    }
    read = std::move(result.recording);
    return LoadStatus::Loaded;
}

}  // namespace

LoadStatus CVxDoc::Read(const QString& path, Recording& read, QString& error)
{
    error.clear();
    if (!Openable(path, error))
        return LoadStatus::CannotOpen;
    return ReadOpenable(path, read, error);
}

LoadStatus CVxDoc::Load(const QString& path, RecordingView& view)
{
    m_loadError.clear();
    if (!Openable(path, m_loadError))
        return LoadStatus::CannotOpen;
    view.SetPlotReady(false);
    Recording read;
    const LoadStatus status = ReadOpenable(path, read, m_loadError);
    if (status != LoadStatus::Loaded)
        return status;
    InstallCompleteRecording(m_recording, view, std::move(read));
    view.MarkListDirty();
    return LoadStatus::Loaded;
}

}  // namespace shakemeter
