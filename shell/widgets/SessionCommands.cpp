#include "shell/widgets/SessionCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QStatusBar>
#include <QTimer>
#include <memory>
#include <utility>

#include "controls/Prompter.h"
#include "graph/widgets/CVxView.h"
#include "recording/RecordingFile.h"
#include "session/GraphSession.h"
#include "session/SessionFile.h"
#include "shell/widgets/CMainFrame.h"
#include "shell/widgets/CompareCommands.h"
#include "shell/widgets/CursorCommands.h"

namespace shakemeter {

namespace {

constexpr int kStatusMs = 5000;
const char* const kSessionFilter = "Shakemeter Sessions (*.shakeproject)";

}  // namespace

SessionCommands::SessionCommands(CMainFrame& frame) : QObject(&frame), m_frame(frame) {}

std::optional<std::string> SessionCommands::ShownRecordingFile() const
{
    // Data from the logger belongs to no file until saved; a session could not name it.
    if (m_frame.Doc().PathName().isEmpty() || m_frame.Flags().m_bDataUnsaved || m_frame.ShownCount() == 0)
        return std::nullopt;
    return QFileInfo(m_frame.Doc().PathName()).absoluteFilePath().toStdString();
}

void SessionCommands::TellNotInAFile()
{
    m_frame.UserPrompter().Tell(&m_frame,
                                QStringLiteral("The shown data is in no recording file yet. Save it first (File > "
                                               "Save...); a session names the recording by its file."),
                                PromptIcon::Information);
}

void SessionCommands::OnSaveSession()
{
    if (!ShownRecordingFile()) {
        TellNotInAFile();
        return;
    }
    const QString proposed = QFileInfo(m_frame.Doc().PathName()).completeBaseName() + QStringLiteral(".shakeproject");
    const QString path = m_frame.UserPrompter().ChooseSaveFile(&m_frame, QString::fromLatin1(kSessionFilter),
                                                               QStringLiteral("shakeproject"), proposed);
    if (!path.isEmpty())
        SaveSession(path);
}

bool SessionCommands::SaveSession(const QString& path)
{
    const std::optional<std::string> recording = ShownRecordingFile();
    if (!recording) {
        TellNotInAFile();
        return false;
    }
    const Session session = SessionOfGraph(m_frame.GraphView()->Model(), *recording);
    FileWriteError error;
    if (!WriteSessionFile(path.toStdString(), session, &error)) {
        m_frame.UserPrompter().Tell(&m_frame,
                                    QStringLiteral("Cannot save the session \"%1\": %2.")
                                        .arg(QDir::toNativeSeparators(path), QString::fromStdString(error.reason)),
                                    PromptIcon::None);
        return false;
    }
    m_frame.statusBar()->showMessage(QStringLiteral("Session saved in %1").arg(QDir::toNativeSeparators(path)),
                                     kStatusMs);
    return true;
}

void SessionCommands::OnOpenSession()
{
    if (!m_frame.AskSaveQuestion(SaveQuestion::Open))
        return;
    const QString path = m_frame.UserPrompter().ChooseOpenFile(&m_frame, QString::fromLatin1(kSessionFilter),
                                                               QStringLiteral("shakeproject"));
    if (!path.isEmpty())
        OpenSession(path);
}

bool SessionCommands::OpenSession(const QString& path)
{
    Prompter& prompter = m_frame.UserPrompter();
    const SessionReadResult read = ReadSessionFile(path.toStdString());
    if (!read.session) {
        prompter.Tell(&m_frame, QString::fromStdString(read.error), PromptIcon::None);
        return false;
    }
    const Session& session = *read.session;
    const auto refuse = [&](const std::string& text) {
        prompter.Tell(&m_frame, QString::fromStdString(text), PromptIcon::None);
        return false;
    };
    // The compared recording is read, and the rows are checked against both recordings, before the
    // shown recording is replaced. A shown recording that cannot be read is told by the open
    // below, which then changes nothing either.
    std::shared_ptr<const Recording> compared;
    if (session.comparison) {
        auto read = std::make_shared<Recording>();
        QString reason;
        const QString file = QString::fromStdString(session.comparison->file);
        const LoadStatus status = CVxDoc::Read(file, *read, reason);
        if (status == LoadStatus::InvalidFormat)
            reason = QStringLiteral("it is not a recording file");
        if (status != LoadStatus::Loaded)
            return refuse(SessionOpenFailure(
                path.toStdString(),
                "the compared recording \"" + session.comparison->file + "\" cannot be read: " + reason.toStdString()));
        compared = std::move(read);
    }
    const bool rowsToCheck = session.cursors || session.zoom || compared;
    if (rowsToCheck) {
        const RecordingFileResult shown = ReadRecordingFile(session.recording);
        if (shown.ok()) {
            const std::string fault = SessionRowsFault(session, path.toStdString(), shown.recording, compared.get());
            if (!fault.empty())
                return refuse(fault);
        }
    }
    const QString recording = QString::fromStdString(session.recording);
    if (m_frame.OpenPath(recording) != LoadStatus::Loaded)
        return false;
    m_frame.Doc().SetPathName(recording);
    m_pending = session;
    m_graphStands = false;
    return true;
}

void SessionCommands::RecordingShown()
{
    m_graphStands = true;
    PutBackPending();
}

void SessionCommands::PutBackPending()
{
    if (!m_pending || !m_graphStands)
        return;
    CVxView& view = *m_frame.GraphView();
    // The pane's first graph zooms out once more after its first paint (timer 4): the session's
    // zoom waits until that has happened.
    const QTimer* firstZoomOut = view.ViewTimer(4);
    const bool firstPaintToCome = view.DisplayMode() == 1 && view.State().g_nLastMode != 1;
    if (firstZoomOut->isActive() || firstPaintToCome) {
        connect(firstZoomOut, &QTimer::timeout, this, &SessionCommands::PutBackPending, Qt::SingleShotConnection);
        return;
    }
    const Session session = *std::exchange(m_pending, std::nullopt);
    // Another recording opened before the graph stood: the session is not its own.
    if (m_frame.Doc().PathName() != QString::fromStdString(session.recording))
        return;
    // Compared as Analysis > Compare with... compares, so that the comparison is the user's own
    // (aligned, moved and removed there, and ended by the next recording shown).
    if (session.comparison) {
        CompareCommands* compare = m_frame.Comparison();
        if (compare->CompareWith(QString::fromStdString(session.comparison->file)))
            compare->SetAlignment(session.comparison->alignment);
    }
    ApplySessionMarks(view.Model(), session, nullptr);
    // The cursors' dock, filled with them, takes its room from the graph before the zoom is laid
    // out: a zoom laid out on a wider graph and then narrowed spans other times than the same zoom
    // laid out on the narrower one, as a picture of the session lays it out. Showing the dock lays
    // the window out at once (a widget shown activates its visible parents' layouts, and the dock's
    // size already follows its texts), so the graph stands at its final width once Adopt returns;
    // the graph's paint takes that width into the model.
    m_frame.Cursors()->Adopt();
    view.repaint();
    if (session.zoom) {
        if (const std::optional<ZoomRows> rows = SessionZoomRows(view.Model(), *session.zoom, false))
            view.ZoomOntoRows(rows->first, rows->last);
    }
    view.InvalidatePlot();
    m_frame.ApplyEnableTable();
}

}  // namespace shakemeter
