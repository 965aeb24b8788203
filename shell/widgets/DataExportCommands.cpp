#include "shell/widgets/DataExportCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QStatusBar>

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
    if (!VisibleRows(m_frame.GraphView()->Model())) {
        m_frame.UserPrompter().Tell(&m_frame, QStringLiteral("The graph shows no sample rows to export."),
                                    PromptIcon::Information);
        return;
    }
    const QString path = m_frame.UserPrompter().ChooseSaveFile(
        &m_frame, QStringLiteral("CSV Files (*.csv)"), QStringLiteral("csv"),
        ProposedName(m_frame, QStringLiteral(" range.csv"), QStringLiteral("range")));
    if (!path.isEmpty())
        WriteVisibleRange(path);
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
    CVxView& view = *m_frame.GraphView();
    const std::optional<vibration::RowRange> rows = VisibleRows(view.Model());
    if (!rows)
        return false;
    const std::string bytes =
        exports::BuildRangeCsv(m_frame.Doc().recording(), view.Companions(), *rows, vibration::Unit::G);
    FileWriteError error;
    if (!WriteFileAtomically(path.toStdString(), bytes, FileSystemCalls::System(), &error)) {
        m_frame.UserPrompter().Tell(&m_frame, WriteFailureText(error), PromptIcon::None);
        return false;
    }
    m_frame.statusBar()->showMessage(
        QStringLiteral("Rows %1 to %2 saved in %3").arg(rows->from + 1).arg(rows->to + 1).arg(path), kStatusMs);
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
