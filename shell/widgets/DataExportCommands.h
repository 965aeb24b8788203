#pragma once
// File > Export's data commands: the rows visible in the graph as a comma-separated table and the
// whole recording as an HDF5 file. Each asks for a file name, writes through the export core and
// tells the user when the file could not be written.

#include <QString>

namespace shakemeter {

class CMainFrame;

class DataExportCommands {
public:
    explicit DataExportCommands(CMainFrame& frame) : m_frame(frame) {}

    void ExportVisibleRange();
    void ExportHdf5();
    // The same without the file dialog; true when the file was written.
    bool WriteVisibleRange(const QString& path);
    bool WriteHdf5(const QString& path);

private:
    CMainFrame& m_frame;
};

}  // namespace shakemeter
