#include "shell/widgets/DataExportCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QStatusBar>

#include <sstream>

#include "analysis/export/AnalysisCsv.h"
#include "analysis/export/Hdf5Export.h"
#include "analysis/export/RangeCsv.h"
#include "controls/Prompter.h"
#include "graph/core/VisibleRows.h"
#include "graph/widgets/CVxView.h"
#include "recording/AtomicFile.h"
#include "shell/widgets/CMainFrame.h"

namespace shakemeter {

namespace {

constexpr int kStatusMs = 5000;

QString WriteFailureText(const FileWriteError& error)
{
    return QStringLiteral("Cannot save \"%1\": %2.")
        .arg(QDir::toNativeSeparators(QString::fromStdString(error.path)), QString::fromStdString(error.reason));
}

// The recording's own name with another suffix, for the file dialog to propose.
QString ProposedName(CMainFrame& frame, const QString& suffix, const QString& fallback)
{
    const QString base = QFileInfo(frame.Doc().PathName()).completeBaseName();
    return (base.isEmpty() ? fallback : base) + suffix;
}

}  // namespace

void DataExportCommands::ExportVisibleRange()
{
    const std::optional<vibration::RowRange> rows = VisibleRows(m_frame.GraphView()->Model());
    if (!rows) {
        m_frame.UserPrompter().Tell(&m_frame, QStringLiteral("The graph shows no sample rows to export."),
                                    PromptIcon::Information);
        return;
    }
    ExportRows(*rows, vibration::Unit::G);
}

void DataExportCommands::ExportRows(vibration::RowRange rows, vibration::Unit unit)
{
    const QString path = m_frame.UserPrompter().ChooseSaveFile(
        &m_frame, QStringLiteral("CSV Files (*.csv)"), QStringLiteral("csv"),
        ProposedName(m_frame, QStringLiteral(" range.csv"), QStringLiteral("range")));
    if (!path.isEmpty())
        WriteRows(path, rows, unit);
}

void DataExportCommands::ExportHdf5()
{
    const QString path = m_frame.UserPrompter().ChooseSaveFile(
        &m_frame, QStringLiteral("HDF5 Files (*.h5 *.hdf5)"), QStringLiteral("h5"),
        ProposedName(m_frame, QStringLiteral(".h5"), QStringLiteral("recording")));
    if (!path.isEmpty())
        WriteHdf5(path);
}

bool DataExportCommands::WriteVisibleRange(const QString& path)
{
    const std::optional<vibration::RowRange> rows = VisibleRows(m_frame.GraphView()->Model());
    return rows && WriteRows(path, *rows, vibration::Unit::G);
}

bool DataExportCommands::WriteRows(const QString& path, vibration::RowRange rows, vibration::Unit unit)
{
    const std::string bytes =
        exports::BuildRangeCsv(m_frame.Doc().recording(), m_frame.GraphView()->Companions(), rows, unit);
    return WriteTable(path, bytes,
                      QStringLiteral("Rows %1 to %2 saved in %3").arg(rows.from + 1).arg(rows.to + 1).arg(path));
}

void DataExportCommands::ExportPsd(const vibration::PsdResult& psd, const vibration::PsdComparison* comparison)
{
    const QString path =
        m_frame.UserPrompter().ChooseSaveFile(&m_frame, QStringLiteral("CSV Files (*.csv)"), QStringLiteral("csv"),
                                              ProposedName(m_frame, QStringLiteral(" psd.csv"), QStringLiteral("psd")));
    if (!path.isEmpty())
        WritePsd(path, psd, comparison);
}

bool DataExportCommands::WritePsd(const QString& path, const vibration::PsdResult& psd,
                                  const vibration::PsdComparison* comparison)
{
    if (psd.frequency.empty())
        return false;
    std::ostringstream table;
    if (comparison != nullptr)
        exports::WritePsdComparisonCsv(table, *comparison, psd.unit);
    else
        exports::WritePsdCsv(table, psd, psd.unit);
    return WriteTable(path, table.str(), QStringLiteral("PSD saved in %1").arg(path));
}

void DataExportCommands::ExportEvents(const vibration::Events& events, vibration::Unit unit)
{
    const QString path = m_frame.UserPrompter().ChooseSaveFile(
        &m_frame, QStringLiteral("CSV Files (*.csv)"), QStringLiteral("csv"),
        ProposedName(m_frame, QStringLiteral(" events.csv"), QStringLiteral("events")));
    if (!path.isEmpty())
        WriteEvents(path, events, unit);
}

bool DataExportCommands::WriteEvents(const QString& path, const vibration::Events& events, vibration::Unit unit)
{
    std::ostringstream table;
    exports::WriteEventsCsv(table, events, unit, m_frame.Doc().recording().m_pFreeFallEvents);
    return WriteTable(path, table.str(), QStringLiteral("Events saved in %1").arg(path));
}

bool DataExportCommands::WriteTable(const QString& path, const std::string& bytes, const QString& saved)
{
    FileWriteError error;
    if (!WriteFileAtomically(path.toStdString(), bytes, FileSystemCalls::System(), &error)) {
        m_frame.UserPrompter().Tell(&m_frame, WriteFailureText(error), PromptIcon::None);
        return false;
    }
    m_frame.statusBar()->showMessage(saved, kStatusMs);
    return true;
}

bool DataExportCommands::WriteHdf5(const QString& path)
{
    FileWriteError error;
    if (!exports::WriteHdf5File(path.toStdString(), m_frame.Doc().recording(), m_frame.GraphView()->Companions(),
                                &error)) {
        m_frame.UserPrompter().Tell(&m_frame, WriteFailureText(error), PromptIcon::None);
        return false;
    }
    m_frame.statusBar()->showMessage(QStringLiteral("Recording saved in %1").arg(path), kStatusMs);
    return true;
}

}  // namespace shakemeter
