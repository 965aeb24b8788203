#include "launcher/ProgramStarter.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace setupgate {

StartResult ProgramStarter::Start(const QString& programPath)
{
    const QFileInfo info(programPath);
    StartResult result;
    if (!info.exists()) {
        result.message = QStringLiteral("The file could not be found:\n%1").arg(QDir::toNativeSeparators(programPath));
        return result;
    }
    // The installer runs in its own folder, as it would when opened from a file manager.
    qint64 pid = 0;
    result.started = QProcess::startDetached(programPath, {}, info.absolutePath(), &pid);
    if (!result.started)
        result.message =
            QStringLiteral("The program could not be started:\n%1").arg(QDir::toNativeSeparators(programPath));
    return result;
}

}  // namespace setupgate
