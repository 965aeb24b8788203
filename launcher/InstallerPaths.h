#pragma once
// Where the installers lie on the installation medium, relative to the launcher's folder:
// Software/setup.exe and Software/Driver/USBXpressInstaller.exe.

#include <QString>

namespace setupgate {

QString ApplicationInstallerPath(const QString& launcherDir);
QString DriverInstallerPath(const QString& launcherDir);

}  // namespace setupgate
