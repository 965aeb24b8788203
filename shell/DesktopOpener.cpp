#include "shell/DesktopOpener.h"

#include <QProcess>
#include <QStandardPaths>

namespace shakemeter {

bool StartDesktopOpener(const QUrl& document, std::function<void()> onFailure, const QString& opener)
{
    const QString program = QStandardPaths::findExecutable(opener);
    if (program.isEmpty()) {
        return false;
    }
    // Without a parent: destroying a running process would end the browser it waits for.
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(process, &QProcess::finished, process,
                     [process, onFailure](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if ((status != QProcess::NormalExit || code != 0) && onFailure) {
                             onFailure();
                         }
                     });
    process->start(program, {document.toString()});
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    return true;
}

}  // namespace shakemeter
