// The main window's commands, save questions, files and closing, driven without modal loops.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "MainFrameFixture.h"
#include "ShellTestSupport.h"
#include "graph/widgets/CVxView.h"
#include "logger/FakeDeviceLibrary.h"
#include "logger/widgets/LoggerDialogBase.h"
#include "recording/RecordingFile.h"
#include "shell/CommandIds.h"
#include "shell/widgets/CInstrumentView.h"
#include "shell/widgets/CMainFrame.h"
#include "analysis/widgets/CDataListDlg.h"
#include "analysis/widgets/PsdWindow.h"
#include "analysis/vibration/TimeRows.h"
#include "controls/CInstrumentPanel.h"
#include "controls/CPictureToolBar.h"
#include "controls/CSummaryBar.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

const QString kSaveQuestion = QStringLiteral("Do you want to save the existing graph data before continuing?");

class MainFrameTest : public MainFrameFixture {
protected:
    void SetUp() override
    {
        MakeFrame(QStringLiteral("ZEVORUVIDIVADUDAREZ.ini"));
        frame->SetDialogRunner([this](LoggerDialogBase& dialog) {
            ++dialogsRun;
            lastDialog = dialog.objectName();
            return 0;
        });
        frame->resize(1200, 800);
    }

    bool Enabled(int id) const { return frame->Action(id)->isEnabled(); }
    // A logged recording of the given rows in the shown window, its first paints over.
    CVxView* ShowLogged(int rows)
    {
        frame->show();
        Load(MakeLoggedRecording(rows));
        CVxView* view = frame->GraphView();
        PaintPastTheFirstZoomReset(*view);
        return view;
    }
    // The read-out with the mouse over the plot's middle height at x.
    static QString ReadoutAt(CVxView* view, int x)
    {
        const PlotRect plot = view->Model().plot();
        QTest::mouseMove(view, QPoint(x, (plot.top + plot.bottom) / 2));
        return view->ReadoutText();
    }
    void Load(const Recording& recording, const QString& name = QStringLiteral("a.Vibration"))
    {
        ASSERT_EQ(frame->OpenPath(WriteRecording(dir, name, recording)), LoadStatus::Loaded);
    }

    QString lastDialog;
};

}  // namespace

TEST_F(MainFrameTest, MainWindowHasItsTitleMenusAndThirteenToolbarButtons)
{
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("QZ810 Vibration Shakemeter"));
    QStringList menus;
    for (QAction* a : frame->menuBar()->actions()) {
        menus << a->text();
    }
    EXPECT_EQ(menus, (QStringList{"&File(F)", "&Instrument(I)", "&Window(W)", "&Analysis", "&Help(H)"}));
    int buttons = 0;
    for (QAction* a : frame->ToolBar()->actions()) {
        buttons += a->isSeparator() ? 0 : 1;
    }
    EXPECT_EQ(buttons, 13);
    EXPECT_EQ(frame->Action(ID_RUN)->statusTip(), QStringLiteral("Read real-time data at a specific sampling rate."));
    EXPECT_EQ(frame->Action(ID_RUN)->toolTip(), QStringLiteral("Read real-time data."));
    EXPECT_FALSE(frame->Action(ID_PRINT_FREE_FALL)->isEnabled());
}

namespace {

// A menu as lines: item texts (greyed ones marked "~"), "-" for separators, sub-menus indented.
QStringList MenuLines(const QMenu* menu, const QString& indent = QString())
{
    QStringList lines;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            lines << indent + QStringLiteral("-");
        } else if (a->menu() != nullptr) {
            lines << indent + a->text();
            lines << MenuLines(a->menu(), indent + QStringLiteral("  "));
        } else {
            lines << indent + (a->isEnabled() ? QString() : QStringLiteral("~")) + a->text();
        }
    }
    return lines;
}

}  // namespace

TEST_F(MainFrameTest, MenusHoldEveryItemWithItsSeparatorsAndGreyedItems)
{
    const QList<QAction*> tops = frame->menuBar()->actions();
    ASSERT_EQ(tops.size(), 5);
    // Nothing shown yet: the file commands that need data are greyed, Free Fall Events always.
    EXPECT_EQ(
        MenuLines(tops[0]->menu()),
        (QStringList{"~&Save...", "&Open...", "-", "~&Print Setup...", "Print Pre&view", "  ~&Graph", "  ~&List",
                     "  ~Free Fall Events", "&Print...", "  ~&Graph", "  ~&List", "  ~Free Fall Events", "-", "&Exit",
                     "-", "E&xport", "  ~Visible &Range as CSV...", "  ~&HDF5 File...", "  ~Graph as &Picture..."} +
         QStringList{"  ~Range &Between Cursors as CSV...", "~Save Sessio&n...", "Open Sess&ion..."}));
    EXPECT_EQ(MenuLines(tops[1]->menu()),
              (QStringList{"Shakemeter Setup...", "-", "&Download Data...", "-", "&Run...", "~&Stop Reading...", "-",
                           "Reading for FFT Analysis...", "-", "Reload Current File"}));
    EXPECT_EQ(MenuLines(tops[2]->menu()), (QStringList{"&Instrument", "~&Data Summary"}));
    EXPECT_EQ(MenuLines(tops[4]->menu()), (QStringList{"&About...", "&Help topics..."}));
    EXPECT_TRUE(frame->Action(ID_VIEW_INSTRUMENT)->isChecked());
    EXPECT_TRUE(frame->Action(ID_VIEW_SUMMARY)->isChecked());
    // With data shown the Free Fall Events items stay greyed while the rest wake up.
    Load(MakeLoggedRecording(5));
    EXPECT_EQ(
        MenuLines(tops[0]->menu()),
        (QStringList{"&Save...", "&Open...", "-", "&Print Setup...", "Print Pre&view", "  &Graph", "  ~&List",
                     "  ~Free Fall Events", "&Print...", "  &Graph", "  ~&List", "  ~Free Fall Events", "-", "&Exit",
                     "-", "E&xport", "  Visible &Range as CSV...", "  &HDF5 File...", "  Graph as &Picture..."} +
         QStringList{"  ~Range &Between Cursors as CSV...", "Save Sessio&n...", "Open Sess&ion..."}));
}

TEST_F(MainFrameTest, PointingAtACommandShowsItsPromptInTheStatusBar)
{
    frame->show();
    frame->Action(ID_FILE_SAVE_BOTH)->showStatusText(frame.get());
    EXPECT_EQ(
        frame->statusBar()->currentMessage(),
        QStringLiteral("Save as  record file for  Shakemeter software and  xls document for Windows Office Excel "));
    frame->Action(ID_FFT_READING)->showStatusText(frame.get());
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Read real-time spectral data for FFT analysis."));
    EXPECT_EQ(frame->Action(ID_DOWNLOAD)->toolTip(), QStringLiteral("Data Download"));
    EXPECT_EQ(frame->Action(ID_FREQUENCY_GRAPH)->toolTip(), QStringLiteral("Frequency-domain Graph"));
}

TEST_F(MainFrameTest, StateChangedElsewhereReachesTheButtonsBeforeTheNextInput)
{
    Load(MakeLoggedRecording(5));
    ASSERT_FALSE(Enabled(ID_PRINT_LIST));
    // A change the window was not told about: the list became shown.
    frame->GraphView()->Model().SetListShown(true);
    QEventLoop idle;  // a loop that waits for input, as the program's own does
    QTimer::singleShot(20, &idle, &QEventLoop::quit);
    idle.exec();
    EXPECT_TRUE(Enabled(ID_PRINT_LIST));
}

TEST_F(MainFrameTest, ARecordingNamedAtStartIsShownBeforeTheWindowAppears)
{
    const QString path = WriteRecording(dir, "start.Vibration", MakeLoggedRecording(6));
    ASSERT_FALSE(frame->isVisible());
    frame->OpenFromCommandLine(path);
    EXPECT_EQ(frame->ShownCount(), 6);
    EXPECT_EQ(frame->Doc().PathName(), path);
    EXPECT_TRUE(Enabled(ID_FILE_SAVE_BOTH));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("QZ810 Vibration Shakemeter"));
    // A file that is not a recording is named once and leaves the program usable.
    QByteArray foreign("\x14vibration shakemeter", 21);
    foreign.append(QByteArray(40, '\0'));
    frame->OpenFromCommandLine(WriteBytes(dir, "bad.Vibration", foreign));
    EXPECT_EQ(prompter.Texts(), QStringList{QStringLiteral("Invalid Format!")});
    EXPECT_EQ(frame->ShownCount(), 6);
    EXPECT_EQ(frame->Doc().PathName(), path);
}

TEST_F(MainFrameTest, EnableTableInTheFourStates)
{
    // Idle, nothing shown.
    EXPECT_FALSE(Enabled(ID_FILE_SAVE_BOTH));
    EXPECT_TRUE(Enabled(ID_DOWNLOAD));
    EXPECT_FALSE(Enabled(ID_STOP_READING));
    EXPECT_FALSE(Enabled(ID_VIEW_SUMMARY));
    // Idle with a spectrum recording shown.
    Load(MakeSpectrumRecording());
    EXPECT_TRUE(Enabled(ID_FILE_SAVE_BOTH));
    EXPECT_TRUE(Enabled(ID_FREQUENCY_GRAPH));
    EXPECT_TRUE(Enabled(ID_PRINT_GRAPH));
    // Reading (real-time, or spectrum polling): device commands off, Stop on.
    frame->SetReading(true);
    EXPECT_TRUE(Enabled(ID_STOP_READING));
    EXPECT_FALSE(Enabled(ID_DOWNLOAD));
    EXPECT_FALSE(Enabled(ID_FILE_OPEN_RECORDING));
    EXPECT_FALSE(Enabled(ID_PRINT_GRAPH));
    EXPECT_TRUE(Enabled(ID_FILE_SAVE_BOTH));
    EXPECT_TRUE(Enabled(ID_TIME_GRAPH));
    // The instrument pane's menu carries the same rule: only "&Stop Running..." is on.
    for (int id : {ID_LOGGER_SETUP, ID_DOWNLOAD, ID_RUN, ID_RELOAD}) {
        for (QAction* a : frame->Actions(id)) {
            EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
        }
    }
    for (QAction* a : frame->Actions(ID_STOP_READING)) {
        EXPECT_TRUE(a->isEnabled());
    }
    // A logged recording keeps the domain switches off.
    frame->SetReading(false);
    Load(MakeLoggedRecording(10), QStringLiteral("b.Vibration"));
    EXPECT_FALSE(Enabled(ID_FREQUENCY_GRAPH));
    EXPECT_FALSE(Enabled(ID_TIME_GRAPH));
}

TEST_F(MainFrameTest, DisabledCommandsDoNothingEvenWhenTriggered)
{
    frame->SetReading(true);
    frame->Action(ID_DOWNLOAD)->setEnabled(true);  // a stale state must not matter
    frame->OnCommand(ID_DOWNLOAD);
    EXPECT_EQ(dialogsRun, 0);
    EXPECT_FALSE(Enabled(ID_DOWNLOAD));
}

TEST_F(MainFrameTest, DownloadThenOpenOrDownloadAsks)
{
    Load(MakeLoggedRecording(20));
    frame->SetDataUnsaved();  // as a finished download does
    frame->OnCommand(ID_DOWNLOAD);
    ASSERT_EQ(prompter.said.size(), 1u);
    EXPECT_EQ(prompter.said[0].icon, PromptIcon::Question);
    EXPECT_EQ(lastDialog, QStringLiteral("225"));
    frame->SetDataUnsaved();
    prompter.openPath = WriteRecording(dir, "other.Vibration", MakeLoggedRecording(3));
    frame->OnCommand(ID_FILE_OPEN_RECORDING);
    ASSERT_EQ(prompter.said.size(), 2u);
    EXPECT_EQ(prompter.said[1].text, kSaveQuestion);
    EXPECT_EQ(prompter.said[1].icon, PromptIcon::None);
    EXPECT_FALSE(frame->Flags().m_bDataUnsaved);
}

TEST_F(MainFrameTest, RunAndFftAskWheneverDataIsShownAndYesSaves)
{
    Load(MakeLoggedRecording(5));
    frame->OnCommand(ID_RUN);
    ASSERT_EQ(prompter.said.size(), 1u);
    EXPECT_EQ(prompter.said[0].icon, PromptIcon::Question);
    EXPECT_EQ(lastDialog, QStringLiteral("144"));
    // Yes runs the save flow; a cancelled file dialog cancels the command, which would discard
    // the data the user wanted kept.
    prompter.answers = {true};
    devices.bridges = 0;
    frame->OnCommand(ID_FFT_READING);
    EXPECT_EQ(prompter.saveDialogs, 1);
    EXPECT_EQ(prompter.said.back().text, kSaveQuestion);
    // Saved, the command goes on.
    prompter.answers = {true};
    prompter.savePath = dir.filePath(QStringLiteral("kept.Vibration"));
    frame->OnCommand(ID_FFT_READING);
    EXPECT_EQ(prompter.saveDialogs, 2);
    EXPECT_TRUE(QFile::exists(prompter.savePath));
    EXPECT_EQ(prompter.said.back().text, QStringLiteral("Connecting failed. Ensure logger inserted and try again."));
}

TEST_F(MainFrameTest, OpenAndReloadOfGoodAndBadFiles)
{
    Load(MakeLoggedRecording(7));
    EXPECT_EQ(frame->ShownCount(), 7);
    EXPECT_EQ(frame->GraphView()->DisplayMode(), 1);
    // Empty and truncated files keep the shown recording and say why.
    const QString empty = WriteBytes(dir, "empty.Vibration", QByteArray());
    EXPECT_EQ(frame->OpenPath(empty), LoadStatus::Damaged);
    std::string bytes;
    AppendRecordingBytes(bytes, MakeLoggedRecording(30), 30);
    const QString cut = WriteBytes(dir, "cut.Vibration", QByteArray(bytes.data(), 200));
    EXPECT_EQ(frame->OpenPath(cut), LoadStatus::Damaged);
    EXPECT_EQ(prompter.Texts(),
              (QStringList{QStringLiteral("Cannot open \"%1\": the file is damaged or incomplete.").arg(empty),
                           QStringLiteral("Cannot open \"%1\": the file is damaged or incomplete.").arg(cut)}));
    EXPECT_EQ(frame->ShownCount(), 7);
    // A read-only file opens: opening only reads.
    const QString readOnly = WriteRecording(dir, "ro.Vibration", MakeLoggedRecording(3));
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner);
    EXPECT_EQ(frame->OpenPath(readOnly), LoadStatus::Loaded);
    EXPECT_EQ(frame->ShownCount(), 3);
    ASSERT_EQ(frame->OpenPath(WriteRecording(dir, "seven.Vibration", MakeLoggedRecording(7))), LoadStatus::Loaded);
    prompter.said.clear();
    // A foreign file: the one message, and still the old recording.
    QByteArray foreign("\x14vibration shakemeter", 21);
    foreign.append(QByteArray(40, '\0'));
    EXPECT_EQ(frame->OpenPath(WriteBytes(dir, "foreign.Vibration", foreign)), LoadStatus::InvalidFormat);
    ASSERT_EQ(prompter.Texts(), QStringList{QStringLiteral("Invalid Format!")});
    EXPECT_EQ(frame->ShownCount(), 7);
    // Reload reads the temporary copy.
    Recording other = MakeLoggedRecording(12);
    WriteRecording(dir, "PreMeasure.Vibration", other);
    frame->OnCommand(ID_RELOAD);
    EXPECT_EQ(frame->ShownCount(), 12);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("QZ810 Vibration Shakemeter"));
}

TEST_F(MainFrameTest, SaveWritesBothFilesAndClearsTheFlags)
{
    Load(MakeLoggedRecording(4));
    frame->OnSetupWritten();
    frame->SetDataUnsaved();
    prompter.savePath = dir.filePath(QStringLiteral("run1.xls"));
    frame->OnCommand(ID_FILE_SAVE_BOTH);
    const QString recordingPath = dir.filePath(QStringLiteral("run1.Vibration"));
    ASSERT_TRUE(QFile::exists(recordingPath));
    QFile report(dir.filePath(QStringLiteral("run1.xls")));
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        report.readAll().startsWith("                                 Test Report\r\n\r\n>>Start Time: 05/03/23"));
    const RecordingFileResult back = ReadRecordingFile(recordingPath.toStdString());
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.recording.m_header.dwSampleCount, 4u);
    EXPECT_FALSE(frame->Flags().m_bDataUnsaved);
    EXPECT_FALSE(frame->Flags().m_bAskOnOpenClose);
    EXPECT_FALSE(frame->Flags().m_bAskOnDownload);
    // The proposed name is the local time with two blanks between date and time, its extension
    // already on, so that the dots of the time keep their seconds.
    EXPECT_EQ(prompter.proposedName.size(), 28);
    EXPECT_EQ(prompter.proposedName.mid(8, 2), QStringLiteral("  "));
    EXPECT_TRUE(prompter.proposedName.endsWith(QStringLiteral(".Vibration")));
}

TEST_F(MainFrameTest, CancelledSaveChangesNothing)
{
    Load(MakeLoggedRecording(4));
    frame->SetDataUnsaved();
    frame->OnCommand(ID_FILE_SAVE_BOTH);
    EXPECT_TRUE(frame->Flags().m_bDataUnsaved);
    EXPECT_EQ(QDir(dir.path()).entryList({"*.xls"}, QDir::Files).size(), 0);
}

TEST_F(MainFrameTest, CloseWritesEverySettingAndAsksOnlyAboveOneSample)
{
    frame->GraphView()->Colors().x = 9;
    frame->LastSetup()[6] = 41;
    frame->SetRtChoice(4, "250");
    Load(MakeLoggedRecording(1));
    frame->SetDataUnsaved();
    frame->show();
    frame->close();
    EXPECT_TRUE(frame->isVisible()) << "the window closes a moment later";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->isVisible(); }, 5000));
    EXPECT_TRUE(prompter.said.empty());
    QFile ini(dir.filePath(QStringLiteral("ZEVORUVIDIVADUDAREZ.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(ini.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("LOGGERINFOR1=41")));
    EXPECT_TRUE(text.contains(QStringLiteral("XColor=9")));
    EXPECT_TRUE(text.contains(QStringLiteral("RTSAMP=4")));
    EXPECT_TRUE(text.contains(QStringLiteral("RTSAMPPONT=250")));
    EXPECT_TRUE(text.contains(QStringLiteral("Y TEMPLOW=-20.00")));
    EXPECT_EQ(text.count(QLatin1Char('=')), 32);
}

TEST_F(MainFrameTest, CloseWithUnsavedDataAsksOnceAndStillCloses)
{
    Load(MakeLoggedRecording(2));
    frame->SetDataUnsaved();
    frame->show();
    frame->close();
    frame->close();  // a second request while the first completes asks nothing more
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->isVisible(); }, 5000));
    EXPECT_EQ(prompter.Texts(), QStringList{QStringLiteral("Do you want to save the data before closing?")});
}

TEST_F(MainFrameTest, SettingsAreReadAtCreation)
{
    QFile ini(dir.filePath(QStringLiteral("ZEVORUVIDIVADUDAREZ.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[LOGGERInfo]\r\nLOGGERINFOR1=456\r\n[VIEWInfo]\r\nVIEW1=0\r\n[RTSAMPInfo]\r\nRTSAMP=5\r\n");
    ini.close();
    CMainFrame other(FrameEnvironmentIn(dir, prompter, devices, QStringLiteral("ZEVORUVIDIVADUDAREZ.ini"),
                                        QStringLiteral("t.Vibration")));
    EXPECT_EQ(other.LastSetup()[6], 200);  // 456 keeps its low byte
    EXPECT_EQ(other.RtRateIndex(), 5);
    EXPECT_FALSE(other.GraphView()->State().m_bShowX);
    EXPECT_TRUE(other.GraphView()->State().m_bShowY);
}

TEST_F(MainFrameTest, EveryViewSettingComesBackInTheNextWindow)
{
    const std::vector<bool GraphState::*> flags{
        &GraphState::m_bShowX,      &GraphState::m_bShowY,    &GraphState::m_bShowZ,   &GraphState::m_bShowVectorSum,
        &GraphState::m_bMarkPoints, &GraphState::m_bVertGrid, &GraphState::m_bHorzGrid};
    GraphState& state = frame->GraphView()->Model().state();
    std::vector<bool> changed;
    for (bool GraphState::*flag : flags) {
        state.*flag = !(state.*flag);
        changed.push_back(state.*flag);
    }
    state.m_dPresetYMin = -3.5;
    state.m_dPresetYMax = 7.25;
    frame->GraphView()->Colors() = GraphColors{1, 2, 4, 6, 7, 8};
    frame->show();
    frame->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->isVisible(); }, 5000));

    CMainFrame next(FrameEnvironmentIn(dir, prompter, devices, QStringLiteral("ZEVORUVIDIVADUDAREZ.ini"),
                                       QStringLiteral("t.Vibration")));
    const GraphState& read = next.GraphView()->State();
    for (std::size_t i = 0; i < flags.size(); ++i) {
        EXPECT_EQ(read.*flags[i], changed[i]) << "switch " << i;
    }
    EXPECT_EQ(read.m_dPresetYMin, -3.5);
    EXPECT_EQ(read.m_dPresetYMax, 7.25);
    const GraphColors& colors = next.GraphView()->Colors();
    EXPECT_EQ((std::vector<int>{colors.background, colors.x, colors.y, colors.z, colors.vectorSum, colors.grid}),
              (std::vector<int>{1, 2, 4, 6, 7, 8}));
}

TEST_F(MainFrameTest, WindowMenuTogglesPanesAndSummary)
{
    frame->show();
    QApplication::processEvents();
    frame->OnCommand(ID_VIEW_INSTRUMENT);
    EXPECT_EQ(frame->Splitter()->sizes().at(0), 0);
    EXPECT_FALSE(frame->Action(ID_VIEW_INSTRUMENT)->isChecked());
    frame->OnCommand(ID_VIEW_INSTRUMENT);
    EXPECT_EQ(frame->Splitter()->sizes().at(0), 130);
    EXPECT_TRUE(frame->Action(ID_VIEW_INSTRUMENT)->isChecked());

    Load(MakeSpectrumRecording());
    frame->OnCommand(ID_FREQUENCY_GRAPH);
    EXPECT_EQ(frame->GraphView()->SummaryHeight(), 0);
    frame->OnCommand(ID_VIEW_SUMMARY);  // off
    frame->OnCommand(ID_VIEW_SUMMARY);  // on again: checked, but 0 high in frequency mode
    EXPECT_TRUE(frame->Action(ID_VIEW_SUMMARY)->isChecked());
    EXPECT_EQ(frame->GraphView()->SummaryHeight(), 0);
    frame->OnCommand(ID_TIME_GRAPH);
    EXPECT_EQ(frame->GraphView()->SummaryHeight(), 155);
    EXPECT_EQ(frame->GraphView()->Companions().m_nShownCount, 128);
}

TEST_F(MainFrameTest, StartScreenPanelRunsCommandsAndGivesWayToTheSummary)
{
    frame->show();
    QApplication::processEvents();
    CVxView* view = frame->GraphView();
    view->repaint();
    ASSERT_NE(view->InstrumentPanel(), nullptr);
    // Clicking RUN starts the run dialog like the menu command.
    QTest::mouseClick(view->InstrumentPanel()->Button(1175), Qt::LeftButton);
    EXPECT_EQ(lastDialog, QStringLiteral("144"));
    Load(MakeLoggedRecording(3));
    view->repaint();
    EXPECT_EQ(view->InstrumentPanel(), nullptr);
    ASSERT_NE(view->SummaryBar(), nullptr);
    EXPECT_EQ(view->SummaryBar()->Field(1015)->text(), QStringLiteral("3"));
    EXPECT_EQ(view->SummaryBar()->Field(1086)->text(), QStringLiteral("Normal"));
    EXPECT_EQ(view->SummaryBar()->Field(1090)->text(), QStringLiteral("NONE"));
    EXPECT_EQ(view->SummaryBar()->height(), 155);
}

TEST_F(MainFrameTest, InstrumentPaneMenuOpensOnlyOverTheItem)
{
    frame->show();
    QApplication::processEvents();
    CInstrumentView* pane = frame->InstrumentView();
    QStringList shown;
    int separators = 0;
    pane->SetMenuRunner([&](QMenu& menu, const QPoint&) {
        for (QAction* a : menu.actions()) {
            if (a->isSeparator()) {
                ++separators;
            } else {
                shown << a->text();
            }
        }
    });
    ASSERT_EQ(pane->topLevelItemCount(), 1);
    EXPECT_EQ(pane->topLevelItem(0)->text(0), QStringLiteral("-Shakemeter"));
    const QRect itemRect = pane->visualItemRect(pane->topLevelItem(0));
    EXPECT_FALSE(pane->ContextMenuAt(QPoint(5, itemRect.bottom() + 40)));
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_TRUE(pane->ContextMenuAt(itemRect.center()));
    EXPECT_EQ(shown, (QStringList{"Shakemeter Setup", "&Download Data", "&Run...", "&Stop Running...",
                                  "&Reload Current File"}));
    EXPECT_EQ(separators, 4);
    EXPECT_EQ(pane->currentItem(), pane->topLevelItem(0));
}

TEST_F(MainFrameTest, HelpOpensTheInstalledPage)
{
    QUrl opened;
    FrameEnvironment env;
    env.prompter = &prompter;
    env.devices = &devices;
    env.settingsPath = dir.filePath(QStringLiteral("s.ini"));
    env.helpPath = WriteBytes(dir, "help.html", "<html></html>");
    CMainFrame other(env);
    other.SetUrlOpener([&](const QUrl& url) {
        opened = url;
        return true;
    });
    other.OnCommand(ID_HELP_TOPICS);
    EXPECT_EQ(opened, QUrl::fromLocalFile(env.helpPath));
}

TEST_F(MainFrameTest, ImportDataToListOpensTheListAndItsClosingGreysListPrinting)
{
    frame->show();
    Load(MakeLoggedRecording(6));
    EXPECT_FALSE(Enabled(ID_PRINT_LIST));
    frame->OnCommand(ID_IMPORT_LIST);
    EXPECT_TRUE(Enabled(ID_PRINT_LIST));
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame->DataListOpen(); }, 5000));
    frame->DataList()->CloseWindow();
    EXPECT_FALSE(Enabled(ID_PRINT_LIST));
    EXPECT_FALSE(Enabled(ID_PREVIEW_LIST));
}

TEST_F(MainFrameTest, DoubleClickEnlargesTheGraphAndRestoresTheWindowMenuChoices)
{
    frame->show();
    Load(MakeLoggedRecording(50));
    frame->GraphView()->repaint();
    frame->OnCommand(ID_VIEW_SUMMARY);  // summary off by the Window menu
    frame->ToggleEnlargedGraph();
    EXPECT_EQ(frame->Splitter()->sizes().at(0), 0);
    EXPECT_EQ(frame->GraphView()->SummaryHeight(), 0);
    frame->ToggleEnlargedGraph();
    EXPECT_EQ(frame->Splitter()->sizes().at(0), 130);
    EXPECT_EQ(frame->GraphView()->SummaryHeight(), 0) << "the summary stays off as the Window menu says";
    frame->OnCommand(ID_VIEW_SUMMARY);
    EXPECT_EQ(frame->GraphView()->SummaryHeight(), 155);
}

TEST_F(MainFrameTest, GraphScreenHasItsToolbarAndAZoomBandUndoneByUndoZoom)
{
    CVxView* view = ShowLogged(400);
    ASSERT_NE(view->GraphBar(), nullptr);
    EXPECT_EQ(view->GraphBar()->Images(CPictureToolBar::Normal).size(), 6u);
    const PlotRect plot = view->Model().plot();
    ASSERT_GT(plot.right - plot.left, 100);
    const int y = (plot.top + plot.bottom) / 2;
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(plot.left + 20, y - 40));
    QTest::mouseMove(view, QPoint(plot.left + 120, y + 40));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(plot.left + 120, y + 40));
    EXPECT_EQ(view->State().g_nZoomLevel, 1);
    view->repaint();
    EXPECT_TRUE(view->HorizontalBar()->isEnabled());
    view->OnGraphCommand(CVxView::ID_GRAPH_ZOOM_OUT);
    EXPECT_EQ(view->State().g_nZoomLevel, 0);
    EXPECT_FALSE(view->HorizontalBar()->isEnabled());
}

TEST_F(MainFrameTest, MouseOverThePlotReadsTheSampleOut)
{
    CVxView* view = ShowLogged(10);
    const QString readout = ReadoutAt(view, view->Model().plot().left);
    EXPECT_TRUE(readout.startsWith(QStringLiteral("Data Point No.:1    Time: 05/03/23 14:07:09")))
        << readout.toStdString();
}

TEST_F(MainFrameTest, AnotherFileEmptiesTheReadOutOfTheOldOne)
{
    CVxView* view = ShowLogged(10);
    const QString readout = ReadoutAt(view, view->Model().plot().right);
    ASSERT_TRUE(readout.startsWith(QStringLiteral("Data Point No.:10"))) << readout.toStdString();
    const int compositions = view->CompositionCount();
    Load(MakeLoggedRecording(4), QStringLiteral("b.Vibration"));
    EXPECT_TRUE(view->ReadoutText().trimmed().isEmpty()) << view->ReadoutText().toStdString();
    view->repaint();
    EXPECT_GT(view->CompositionCount(), compositions) << "the picture holding the old line is composed again";
}

TEST_F(MainFrameTest, AnalysisPsdOpensTheDensityOfTheShownRecording)
{
    const QList<QAction*> tops = frame->menuBar()->actions();
    EXPECT_EQ(
        MenuLines(tops[3]->menu()),
        (QStringList{"&PSD...", "Trace &Legend", "Event &Marks", "-", "&Statistics", "&Events", "-", "Values in &g",
                     "Values in m/s^&2", "-", "~Two &Cursors", "-", "~Compare &with...", "~&Align Comparison...",
                     "~Move Comparison Earl&ier", "~Move Comparison La&ter", "~Remo&ve Comparison"}));
    QAction* psd = frame->Action(ID_ANALYSIS_PSD);
    ASSERT_NE(psd, nullptr);
    EXPECT_FALSE(psd->statusTip().isEmpty());
    EXPECT_EQ(psd->toolTip(), QStringLiteral("PSD"));
    EXPECT_FALSE(frame->Psd()->isVisible());

    Load(MakeLoggedRecording(600));
    frame->OnCommand(ID_ANALYSIS_PSD);
    EXPECT_TRUE(frame->Psd()->isVisible());
    const vibration::TimeRows rows = vibration::TimeRowsOf(frame->Doc().recording());
    vibration::WelchPsd welch(vibration::kDefaultSegment);
    welch.AddSegments(rows.rows, {0, rows.count - 1});
    const vibration::PsdResult core = welch.Result(1.0 / rows.dt);
    ASSERT_EQ(frame->Psd()->Shown().frequency, core.frequency);
    for (int axis = 0; axis < 3; ++axis)
        EXPECT_EQ(frame->Psd()->Shown().axes[axis].psd, core.axes[axis].psd);
    frame->Psd()->close();
}

// The density names the shown recording in its status line and in its export: a file opened while
// the window is open replaces it, and one too short for a segment leaves nothing to export.
// The visible range of the next file is its whole, known once the graph has zoomed out to it: the
// window does not keep the zoom of the file before.
TEST_F(MainFrameTest, AnOpenPsdWindowOfTheVisibleRangeFollowsTheNextFileOnceZoomedOut)
{
    CVxView* view = ShowLogged(2000);
    ASSERT_TRUE(view->ZoomOntoRows(500, 1500));
    view->repaint();
    frame->OnCommand(ID_ANALYSIS_PSD);
    frame->Psd()->SetSource(PsdWindow::Source::VisibleRange);
    ASSERT_FALSE(frame->Psd()->StatusText().startsWith(QStringLiteral("Rows 1 to")))
        << frame->Psd()->StatusText().toStdString();

    Load(MakeLoggedRecording(3000), QStringLiteral("b.Vibration"));
    PaintPastTheFirstZoomReset(*view);
    // The main window zooms out to a file it opened a moment after showing it.
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return frame->Psd()->StatusText().startsWith(QStringLiteral("Rows 1 to 3000,")); }, 5000))
        << frame->Psd()->StatusText().toStdString();
    frame->Psd()->close();
}

TEST_F(MainFrameTest, AnOpenPsdWindowFollowsTheNextFile)
{
    Load(MakeLoggedRecording(600));
    frame->OnCommand(ID_ANALYSIS_PSD);
    ASSERT_TRUE(frame->Psd()->StatusText().startsWith(QStringLiteral("Rows 1 to 600,")))
        << frame->Psd()->StatusText().toStdString();

    Load(MakeLoggedRecording(1000), QStringLiteral("b.Vibration"));
    EXPECT_TRUE(frame->Psd()->StatusText().startsWith(QStringLiteral("Rows 1 to 1000,")))
        << frame->Psd()->StatusText().toStdString();
    const vibration::TimeRows rows = vibration::TimeRowsOf(frame->Doc().recording());
    vibration::WelchPsd welch(vibration::kDefaultSegment);
    welch.AddSegments(rows.rows, {0, rows.count - 1});
    EXPECT_EQ(frame->Psd()->Shown().axes[0].psd, welch.Result(1.0 / rows.dt).axes[0].psd);

    Load(MakeLoggedRecording(100), QStringLiteral("c.Vibration"));
    EXPECT_TRUE(frame->Psd()->Shown().frequency.empty());
    EXPECT_TRUE(frame->Psd()->StatusText().startsWith(QStringLiteral("Rows 1 to 100 are fewer")))
        << frame->Psd()->StatusText().toStdString();
    frame->Psd()->close();
}
