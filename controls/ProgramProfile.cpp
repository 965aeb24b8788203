#include "controls/ProgramProfile.h"

#include "analysis/vibration/EventTable.h"

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

vibration::Unit AnalysisUnit(const QString& path)
{
    const QString text = OpenProgramProfile(path)->value(QLatin1String(kProfileAnalysisUnitKey)).toString();
    return vibration::ParseUnit(text.toStdString()).value_or(vibration::Unit::G);
}

void SetAnalysisUnit(vibration::Unit unit, const QString& path)
{
    OpenProgramProfile(path)->setValue(QLatin1String(kProfileAnalysisUnitKey),
                                       QString::fromLatin1(vibration::UnitName(unit)));
}

vibration::EventOptions AnalysisEventOptions(const QString& path)
{
    const std::unique_ptr<QSettings> profile = OpenProgramProfile(path);
    vibration::EventOptions options;
    bool ok = false;
    const double shock = profile->value(QLatin1String(kProfileShockLevelKey)).toDouble(&ok);
    if (ok && vibration::ValidEventLevel(shock))
        options.shockLevel = shock;
    const double fall = profile->value(QLatin1String(kProfileFallLevelKey)).toDouble(&ok);
    if (ok && vibration::ValidEventLevel(fall))
        options.fallLevel = fall;
    const qlonglong rows = profile->value(QLatin1String(kProfileMinFallRowsKey)).toLongLong(&ok);
    if (ok && vibration::ValidMinFallRows(rows))
        options.minFallRows = static_cast<std::size_t>(rows);
    return options;
}

void SetAnalysisEventOptions(const vibration::EventOptions& options, const QString& path)
{
    const std::unique_ptr<QSettings> profile = OpenProgramProfile(path);
    profile->setValue(QLatin1String(kProfileShockLevelKey), options.shockLevel);
    profile->setValue(QLatin1String(kProfileFallLevelKey), options.fallLevel);
    profile->setValue(QLatin1String(kProfileMinFallRowsKey), static_cast<qulonglong>(options.minFallRows));
}

}  // namespace shakemeter
