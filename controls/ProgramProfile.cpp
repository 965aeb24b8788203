#include "controls/ProgramProfile.h"

#include <QCoreApplication>
#include <QSettings>

namespace shakemeter {

std::unique_ptr<QSettings> OpenProgramProfile(const QString& path)
{
    if (!path.isEmpty()) {
        return std::make_unique<QSettings>(path, QSettings::IniFormat);
    }
    QString name = QCoreApplication::applicationName();
    if (name.isEmpty()) {
        name = QStringLiteral("Shakemeter");
    }
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, name, name);
}

}  // namespace shakemeter
