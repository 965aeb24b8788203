// File > "Save Session..." and "Open Session..." in the window: what a session keeps of the graph
// comes back as it was saved, data in no file is not saved as a session, a session that cannot be
// opened leaves the window as it was, and a session named on the command line opens as one.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <nlohmann/json.hpp>

#include "MainFrameFixture.h"
#include "ShellTestSupport.h"
#include "analysis/widgets/CursorPanel.h"
#include "graph/core/VisibleRows.h"
#include "graph/widgets/CVxView.h"
#include "recording/RecordingFile.h"
#include "shell/CommandIds.h"
#include "shell/widgets/CMainFrame.h"
#include "shell/widgets/CompareCommands.h"
#include "shell/widgets/CursorCommands.h"
#include "shell/widgets/GraphPictureCommands.h"
#include "shell/widgets/SessionCommands.h"
#include "tools/ProgramRunner.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

class SessionsTest : public MainFrameFixture {
protected:
    void SetUp() override
    {
        MakeFrame();
        frame->resize(1200, 800);
        frame->show();
        week1 = WriteRecording(dir, QStringLiteral("week1.Vibration"), MakeLoggedRecording(2000));
        week2 = WriteRecording(dir, QStringLiteral("week2.Vibration"), MakeLoggedRecording(300));
        frame->OpenFromCommandLine(week1);
        view = frame->GraphView();
        PaintPastTheFirstZoomReset(*view);
    }

    // A comparison made with Analysis > Compare with... and aligned.
    void CompareWith(const QString& path, OverlayAlignment alignment)
    {
        ASSERT_TRUE(frame->Comparison()->CompareWith(path));
        frame->Comparison()->SetAlignment(alignment);
    }

    // Cursors and a zoom as a user leaves them: Two Cursors (its dock beside the graph), the lines
    // moved onto their rows.
    void MarkAndZoom(CursorPair cursors, int first, int last)
    {
        frame->Action(ID_ANALYSIS_TWO_CURSORS)->trigger();
        view->SetCursors(cursors);
        frame->Cursors()->Refresh();
        ASSERT_TRUE(view->ZoomOntoRows(first, last));
        view->repaint();
    }

    // What the graph shows: its recording's file and rows, the cursors, whether zoomed and the rows
    // between the plot's edges.
    std::string Now() const
    {
        view->repaint();
        const auto cursors = view->Model().Cursors();
        const auto visible = VisibleRows(view->Model());
        const GraphOverlay* overlay = view->Model().Overlay();
        const std::string compared =
            overlay == nullptr
                ? std::string("nothing")
                : overlay->comparedName + " (" + std::to_string(overlay->recording->RowCount()) + " rows) by " +
                      std::to_string(static_cast<int>(overlay->alignment.by)) + " " +
                      std::to_string(overlay->alignment.mainEventRow) + "/" +
                      std::to_string(overlay->alignment.overlayEventRow) + " " +
                      std::to_string(overlay->alignment.offsetSeconds) + " in the legend with " + overlay->shownName;
        return frame->Doc().PathName().toStdString() + " " + std::to_string(frame->Doc().recording().RowCount()) +
               " rows compared with " + compared + ", cursors " +
               (cursors ? std::to_string(cursors->rowA) + "-" + std::to_string(cursors->rowB) : "none") +
               (view->State().g_bFullView ? ", full view " : ", zoomed ") +
               (visible ? std::to_string(visible->from) + "-" + std::to_string(visible->to) : "none");
    }

    // Opens the session through the menu; waits until the graph stands and the session is back.
    void OpenThroughMenu(const QString& path)
    {
        prompter.openPath = path;
        frame->Action(ID_SESSION_OPEN)->trigger();
        PaintPastTheFirstZoomReset(*view);
        QTest::qWait(2 * CMainFrame::kZoomResetDelayMs);
        view->repaint();
    }

    ScopedTimeZone zone{"UTC0"};
    QString week1;
    QString week2;
    CVxView* view = nullptr;
};

TEST_F(SessionsTest, SavedSessionOpensAsItWasSaved)
{
    CompareWith(week2, OverlayAlignment{AlignBy::Event, 700, 20, -0.5});
    MarkAndZoom(CursorPair{600, 750}, 500, 900);
    const std::string saved = Now();
    const auto rows = VisibleRows(view->Model());
    ASSERT_TRUE(rows);
    ASSERT_FALSE(view->State().g_bFullView);

    // The commands end the File menu, after Export.
    QMenu* fileMenu = frame->menuBar()->actions().first()->menu();
    ASSERT_GE(fileMenu->actions().size(), 3);
    EXPECT_EQ(fileMenu->actions().at(fileMenu->actions().size() - 2), frame->Action(ID_SESSION_SAVE));
    EXPECT_EQ(fileMenu->actions().last(), frame->Action(ID_SESSION_OPEN));
    EXPECT_EQ(fileMenu->actions().at(fileMenu->actions().size() - 3)->text(), QStringLiteral("E&xport"));
    fileMenu->popup(frame->mapToGlobal(QPoint(0, 0)));
    QApplication::processEvents();
    KeepScreenshot(QStringLiteral("file-menu-session.png"), fileMenu->grab().toImage());
    fileMenu->hide();

    prompter.savePath = dir.filePath(QStringLiteral("trip.shakeproject"));
    frame->Action(ID_SESSION_SAVE)->trigger();
    EXPECT_EQ(prompter.proposedName, QStringLiteral("week1.shakeproject"));
    EXPECT_TRUE(prompter.said.empty());
    QFile file(prompter.savePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const nlohmann::json json = nlohmann::json::parse(file.readAll().toStdString());
    EXPECT_EQ(json["recording"], "week1.Vibration");
    EXPECT_EQ(json["comparison"], (nlohmann::json{{"file", "week2.Vibration"},
                                                  {"align", "event"},
                                                  {"shownEventRow", 700},
                                                  {"comparedEventRow", 20},
                                                  {"offsetSeconds", -0.5}}));
    EXPECT_EQ(json["cursors"], (nlohmann::json{{"a", 600}, {"b", 750}}));
    EXPECT_EQ(json["zoom"]["firstRow"], rows->from);
    EXPECT_EQ(json["zoom"]["lastRow"], rows->to);

    // Something else shown in between: another recording, no comparison, no cursors, the full view.
    ASSERT_EQ(frame->OpenPath(week2), LoadStatus::Loaded);
    frame->Doc().SetPathName(week2);
    view->Model().SetCursors(std::nullopt);
    PaintPastTheFirstZoomReset(*view);
    ASSERT_NE(Now(), saved);

    OpenThroughMenu(prompter.savePath);
    EXPECT_TRUE(prompter.said.empty()) << prompter.Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Now(), saved);

    // Saved again without a change, the session is the same file.
    const QString again = dir.filePath(QStringLiteral("again.shakeproject"));
    ASSERT_TRUE(frame->Sessions().SaveSession(again));
    QFile first(prompter.savePath), second(again);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), second.readAll());
}

TEST_F(SessionsTest, DataInNoFileIsNotSavedAsASession)
{
    // As a download leaves it: shown, unsaved, in no file.
    frame->SetDataUnsaved();
    prompter.savePath = dir.filePath(QStringLiteral("never.shakeproject"));
    frame->Action(ID_SESSION_SAVE)->trigger();
    EXPECT_EQ(prompter.saveDialogs, 0) << "no file is offered for a session that cannot be written";
    ASSERT_EQ(prompter.said.size(), 1u);
    EXPECT_TRUE(prompter.said[0].text.contains(QStringLiteral("Save it first"))) << prompter.said[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(prompter.savePath));
    EXPECT_FALSE(frame->Sessions().SaveSession(prompter.savePath));
    EXPECT_FALSE(QFile::exists(prompter.savePath));

    // A session that cannot be written is told with its name and leaves no file.
    frame->Doc().SetPathName(week1);
    frame->Flags().m_bDataUnsaved = false;
    prompter.said.clear();
    const QString missing = dir.filePath(QStringLiteral("none/s.shakeproject"));
    EXPECT_FALSE(frame->Sessions().SaveSession(missing));
    ASSERT_EQ(prompter.said.size(), 1u);
    EXPECT_TRUE(prompter.said[0].text.startsWith(QStringLiteral("Cannot save the session \"") + missing + "\": "))
        << prompter.said[0].text.toStdString();
}

TEST_F(SessionsTest, SessionThatCannotBeOpenedLeavesTheWindowAsItWas)
{
    CompareWith(week2, OverlayAlignment{AlignBy::FirstSample, 0, 0, 1.0});
    MarkAndZoom(CursorPair{100, 200}, 50, 400);
    const std::string before = Now();
    const auto session = [this](const QString& name, const std::string& text) {
        return WriteBytes(dir, name, QByteArray::fromStdString(text));
    };
    const std::string head = R"({"format": "shakemeter-session", "version": 1, )";
    // A capture of one row shows no time-domain row: nothing to compare with.
    Recording oneRow = MakeLoggedRecording(1);
    oneRow.m_header.wInterval = 0;
    WriteRecording(dir, QStringLiteral("empty.Vibration"), oneRow);
    const struct {
        QString path;
        QString told;
    } cases[] = {
        {session("text.shakeproject", "week2.Vibration"), "not JSON"},
        {session("later.shakeproject", R"({"format": "shakemeter-session", "version": 3})"), "later version"},
        {session("missing.shakeproject", head + R"("recording": "gone.Vibration"})"), "gone.Vibration"},
        {session("rows.shakeproject", head + R"("recording": "week2.Vibration", "cursors": {"a": 10, "b": 300}})"),
         "cursor B is at row 300, beyond the 300 rows of \"week2.Vibration\""},
        {session("zoom.shakeproject",
                 head + R"("recording": "week2.Vibration", "zoom": {"firstRow": 0, "lastRow": 2000}})"),
         "beyond the 300 rows"},
        {session(
             "uncompared.shakeproject",
             head + R"("recording": "week2.Vibration", "comparison": {"file": "gone.Vibration", "align": "clock"}})"),
         "the compared recording \"" + dir.filePath("gone.Vibration") + "\" cannot be read: "},
        {session(
             "empty.shakeproject",
             head + R"("recording": "week2.Vibration", "comparison": {"file": "empty.Vibration", "align": "clock"}})"),
         "the compared recording \"empty.Vibration\" holds no samples"},
        {session("event.shakeproject",
                 head + R"("recording": "week2.Vibration", "comparison": {"file": "week1.Vibration",
                 "align": "event", "shownEventRow": 1, "comparedEventRow": 2000}})"),
         "the compared recording's event is at row 2000, beyond the 2000 rows of \"week1.Vibration\""},
        {session("foreign.shakeproject", head + R"("recording": "text.shakeproject"})"),
         "Cannot open \"" + dir.filePath("text.shakeproject")},
        {dir.filePath(QStringLiteral("absent.shakeproject")), "absent.shakeproject"},
    };
    for (const auto& c : cases) {
        prompter.said.clear();
        OpenThroughMenu(c.path);
        ASSERT_EQ(prompter.said.size(), 1u) << c.path.toStdString();
        EXPECT_TRUE(prompter.said[0].text.contains(c.told))
            << c.path.toStdString() << ": " << prompter.said[0].text.toStdString();
        EXPECT_EQ(Now(), before) << c.path.toStdString();
    }
}

TEST_F(SessionsTest, OpenAsksTheSaveQuestionForUnsavedData)
{
    const QString path = dir.filePath(QStringLiteral("s.shakeproject"));
    ASSERT_TRUE(frame->Sessions().SaveSession(path));
    frame->SetDataUnsaved();
    // Yes, then no file chosen for the data: the session is not opened over it.
    prompter.answers = {true};
    prompter.savePath.clear();
    OpenThroughMenu(path);
    ASSERT_EQ(prompter.said.size(), 1u);
    EXPECT_TRUE(prompter.said[0].question);
    EXPECT_TRUE(frame->Doc().PathName().isEmpty());
    // No: the data goes and the session's recording is shown.
    prompter.answers = {false};
    OpenThroughMenu(path);
    EXPECT_EQ(frame->Doc().PathName(), week1);
}

// A session on the command line opens before the window is first painted; its zoom outlasts the
// zoom-out of the first paint.
TEST_F(SessionsTest, CommandLineSessionOpensAsASession)
{
    MarkAndZoom(CursorPair{1500, 1600}, 1200, 1900);
    const std::string saved = Now();
    const QString path = dir.filePath(QStringLiteral("cmd.shakeproject"));
    ASSERT_TRUE(frame->Sessions().SaveSession(path));

    frame.reset();
    MakeFrame();
    frame->resize(1200, 800);
    frame->OpenFromCommandLine(path);
    frame->show();
    view = frame->GraphView();
    PaintPastTheFirstZoomReset(*view);
    QTest::qWait(2 * CMainFrame::kZoomResetDelayMs);
    EXPECT_TRUE(prompter.said.empty()) << prompter.Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Now(), saved);
}

// The command line's render of a session is the program's picture of the same session at the same
// size, pixel for pixel: the comparison, the cursors and the zoom included.
TEST_F(SessionsTest, CommandLinePictureOfASessionIsTheProgramsPicture)
{
    const QString sample = QStringLiteral(SHAKEMETER_SOURCE_DIR "/samples/compare.shakeproject");
    OpenThroughMenu(sample);
    ASSERT_TRUE(prompter.said.empty()) << prompter.Texts().join(QLatin1Char('\n')).toStdString();
    ASSERT_NE(view->Model().Overlay(), nullptr);
    ASSERT_TRUE(view->Model().Cursors());
    ASSERT_FALSE(view->State().g_bFullView);

    const QImage fromProgram = PaneSizePicture(*frame, dir.filePath(QStringLiteral("program.png")));
    const QSize size = fromProgram.size();
    const auto render = [&](const QString& input, const QString& name) {
        return CommandLinePicture(input, dir.filePath(name), size);
    };
    const QImage fromCli = render(sample, QStringLiteral("cli.png"));
    EXPECT_EQ(fromCli.size(), size);
    EXPECT_TRUE(fromCli == fromProgram);
    // The session is what makes the picture: its recording alone draws another one.
    EXPECT_FALSE(render(QString::fromStdString(view->Model().Overlay()->comparedPath), QStringLiteral("plain.png")) ==
                 fromProgram);
    EXPECT_FALSE(render(QStringLiteral(SHAKEMETER_SOURCE_DIR "/samples/motion-events.Vibration"),
                        QStringLiteral("alone.png")) == fromProgram);
}

// A session opened while the cursors' dock is open on other cursors: the opening closes the dock,
// the session's cursors open it again with their own texts, and the zoom is laid out on the graph
// beside it, so the picture is still the command line's.
TEST_F(SessionsTest, SessionOpenedBesideAnOpenCursorDockIsTheCommandLinesPicture)
{
    MarkAndZoom(CursorPair{3, 1996}, 2, 1998);
    const CursorPanel* dock = frame->Cursors()->Panel();
    ASSERT_TRUE(dock->isVisible());
    const int graphBefore = view->width();
    const QString sample = QStringLiteral(SHAKEMETER_SOURCE_DIR "/samples/compare.shakeproject");
    OpenThroughMenu(sample);
    ASSERT_TRUE(prompter.said.empty()) << prompter.Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(dock->isVisible());
    EXPECT_NE(view->width(), graphBefore) << "the dock's width follows its texts";
    const QImage fromProgram = PaneSizePicture(*frame, dir.filePath(QStringLiteral("program.png")));
    EXPECT_TRUE(CommandLinePicture(sample, dir.filePath(QStringLiteral("cli.png")), fromProgram.size()) == fromProgram);
}

// The command line refuses a session it cannot draw with the reason, and writes nothing.
TEST_F(SessionsTest, CommandLineRefusesABadSession)
{
    const std::string out = dir.filePath(QStringLiteral("never.png")).toStdString();
    const std::string beyond =
        WriteBytes(dir, QStringLiteral("beyond.shakeproject"),
                   R"({"format": "shakemeter-session", "version": 1, "recording": "week2.Vibration",
                       "cursors": {"a": 1, "b": 300}})")
            .toStdString();
    auto run = shakemeter::testing::RunProgram(SHAKEMETER_CLI, {"render", beyond, out});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("cursor B is at row 300"), std::string::npos) << run.err;
    run = shakemeter::testing::RunProgram(SHAKEMETER_CLI, {"render", beyond, out, "--from", "3"});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("a session is drawn as it was saved"), std::string::npos) << run.err;

    const std::string later =
        WriteBytes(dir, QStringLiteral("later.shakeproject"), R"({"format": "shakemeter-session", "version": 2})")
            .toStdString();
    run = shakemeter::testing::RunProgram(SHAKEMETER_CLI, {"render", later, out});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("later version"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(later), std::string::npos) << run.err;

    const std::string uncompared = WriteBytes(dir, QStringLiteral("uncompared.shakeproject"),
                                              R"({"format": "shakemeter-session", "version": 1,
                                                  "recording": "week2.Vibration",
                                                  "comparison": {"file": "gone.Vibration", "align": "clock"}})")
                                       .toStdString();
    run = shakemeter::testing::RunProgram(SHAKEMETER_CLI, {"render", uncompared, out});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("gone.Vibration"), std::string::npos) << run.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));
}

}  // namespace
