#pragma once
// File > Export's data commands: the rows visible in the graph as a comma-separated table and the
// whole recording as an HDF5 file; the PSD window's and the Events list's tables. Each asks for a file name, writes
// through the export core and tells the user when the file could not be written.

#include <QString>
#include <string>

#include "analysis/vibration/EventDetector.h"
#include "analysis/vibration/TimeRows.h"
#include "analysis/vibration/Units.h"
#include "analysis/vibration/PsdComparison.h"
#include "analysis/vibration/WelchPsd.h"

namespace shakemeter {

class CMainFrame;

class DataExportCommands {
public:
    explicit DataExportCommands(CMainFrame& frame) : m_frame(frame) {}

    void ExportVisibleRange();
    void ExportHdf5();
    // The same without the file dialog; true when the file was written.
    bool WriteVisibleRange(const QString& path);
    // Rows from..to (0-based, inclusive) as the visible range is written, in the unit; the file
    // dialog first.
    void ExportRows(vibration::RowRange rows, vibration::Unit unit);
    bool WriteRows(const QString& path, vibration::RowRange rows, vibration::Unit unit);
    bool WriteHdf5(const QString& path);
    // A PSD as the PSD window shows it (in its own unit), as a comma-separated table; while the
    // window compares two recordings, both densities and their ratio.
    void ExportPsd(const vibration::PsdResult& psd, const vibration::PsdComparison* comparison = nullptr);
    bool WritePsd(const QString& path, const vibration::PsdResult& psd,
                  const vibration::PsdComparison* comparison = nullptr);
    // The events the Events list shows, with the shown recording's own free-fall events, in the unit.
    void ExportEvents(const vibration::Events& events, vibration::Unit unit);
    bool WriteEvents(const QString& path, const vibration::Events& events, vibration::Unit unit);

private:
    // Writes the bytes whole or not at all; tells the user why not, or the status bar what was saved.
    bool WriteTable(const QString& path, const std::string& bytes, const QString& saved);

    CMainFrame& m_frame;
};

}  // namespace shakemeter
