#include "launcher/InstallerPaths.h"

namespace setupgate {

// The parts are joined one by one, each constant part with its own separator, so a launcher
// folder given with or without a trailing separator gives the same path on every platform.
namespace {
QString Join(QString path, const QString& part)
{
    while (path.endsWith(QLatin1Char('/')) && path.size() > 1)
        path.chop(1);
    return path + QLatin1Char('/') + part;
}
}  // namespace

QString ApplicationInstallerPath(const QString& launcherDir)
{
    return Join(Join(launcherDir, QStringLiteral("Software")), QStringLiteral("setup.exe"));
}

QString DriverInstallerPath(const QString& launcherDir)
{
    return Join(Join(Join(launcherDir, QStringLiteral("Software")), QStringLiteral("Driver")),
                QStringLiteral("USBXpressInstaller.exe"));
}

}  // namespace setupgate
