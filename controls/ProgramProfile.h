#pragma once
// The program's own profile: what a desktop program keeps between runs beyond the settings file,
// whose keys are fixed (the folder last used in the file dialogs, the main window's normal size).
// QSettings in the platform's native format, named after the application.

#include <QString>
#include <memory>

#include "analysis/vibration/EventDetector.h"
#include "analysis/vibration/Units.h"

class QSettings;

namespace shakemeter {

inline constexpr const char* kProfileLastFolderKey = "FileDialogs/LastFolder";
inline constexpr const char* kProfileNormalSizeKey = "MainWindow/NormalSize";
inline constexpr const char* kProfileWindowStateKey = "MainWindow/State";
inline constexpr const char* kProfileAnalysisUnitKey = "Analysis/Unit";
inline constexpr const char* kProfileShockLevelKey = "Analysis/ShockLevel";
inline constexpr const char* kProfileFallLevelKey = "Analysis/FallLevel";
inline constexpr const char* kProfileMinFallRowsKey = "Analysis/MinFallRows";
// The graph's legend and event marks (off unless chosen), and the pictures' and pages' theme.
inline constexpr const char* kProfileGraphLegendKey = "Graph/Legend";
inline constexpr const char* kProfileGraphEventMarksKey = "Graph/EventMarks";
inline constexpr const char* kProfilePictureSizeKey = "GraphPicture/Size";
inline constexpr const char* kProfilePicturePaneSizeKey = "GraphPicture/PaneSize";
inline constexpr const char* kProfilePictureLightThemeKey = "GraphPicture/LightTheme";
inline constexpr const char* kProfilePrintLightThemeKey = "Print/LightTheme";

// The profile in the file at path (tests keep theirs apart), or the program's own when path is
// empty.
std::unique_ptr<QSettings> OpenProgramProfile(const QString& path);

// The unit the analysis windows show accelerations in (the graph, summary and report stay in g);
// g when none was chosen or the profile holds something else.
vibration::Unit AnalysisUnit(const QString& path = QString());
void SetAnalysisUnit(vibration::Unit unit, const QString& path = QString());

// The levels of the event list; a level that is missing or out of range keeps its default.
vibration::EventOptions AnalysisEventOptions(const QString& path = QString());
void SetAnalysisEventOptions(const vibration::EventOptions& options, const QString& path = QString());

}  // namespace shakemeter
