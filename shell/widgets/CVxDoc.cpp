#include "shell/widgets/CVxDoc.h"

#include <cerrno>
#include <cstring>

#include "recording/RecordingFile.h"

namespace shakemeter {

CVxDoc::CVxDoc(QObject* parent) : QObject(parent) {}

namespace {

// Why a file could not be opened, in the words the open message uses.
QString CannotOpenReason(int systemError)
{
    if (systemError == EISDIR)
        return QStringLiteral("it is a folder");
    if (systemError != 0)
        return QString::fromLocal8Bit(std::strerror(systemError));
    return QStringLiteral("it cannot be read");
}

}  // namespace

LoadStatus CVxDoc::Read(const QString& path, Recording& read, QString& error)
{
    error.clear();
    if (path.isEmpty()) {
        error = QStringLiteral("no file was chosen");
        return LoadStatus::CannotOpen;
    }
    // One open and one read: the file that was checked is the file that is read.
    RecordingFileResult result = ReadRecordingFile(path.toStdString());
    switch (result.error) {
    case RecordingFileError::None:
        break;
    case RecordingFileError::InvalidFormat:
        error = QString::fromLatin1(kInvalidFormatMessage);
        return LoadStatus::InvalidFormat;
    case RecordingFileError::CannotOpen:
        error = CannotOpenReason(result.systemError);
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

LoadStatus CVxDoc::Load(const QString& path, RecordingView& view)
{
    Recording read;
    const LoadStatus status = Read(path, read, m_loadError);
    // A file that opened is drawn again even when it was refused, as the shown one always was.
    if (status != LoadStatus::CannotOpen)
        view.SetPlotReady(false);
    if (status != LoadStatus::Loaded)
        return status;
    InstallCompleteRecording(m_recording, view, std::move(read));
    view.MarkListDirty();
    return LoadStatus::Loaded;
}

}  // namespace shakemeter
