// The logger commands as the main window runs them: download with its progress window, a
// real-time reading with Stop Reading, and closing while a reading runs.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "MainFrameFixture.h"
#include "ShellTestSupport.h"
#include "graph/widgets/CVxView.h"
#include "logger/CLoggerLink.h"
#include "logger/FakeDeviceLibrary.h"
#include "logger/widgets/CDownloadDlg.h"
#include "logger/widgets/CLoadingDlg.h"
#include "logger/widgets/CRunDlg.h"
#include "recording/RecordingFile.h"
#include "shell/CommandIds.h"
#include "shell/widgets/CMainFrame.h"
#include "shell/widgets/FrameLinkHost.h"
#include "controls/CNumericEdit.h"
#include "controls/CSummaryBar.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

class LoggerCommandsTest : public MainFrameFixture {
protected:
    void SetUp() override
    {
        MakeFrame();
        frame->resize(1200, 800);
        frame->show();
        AnswerLoggerDialogsWithOk();
    }
    // Replies for count real-time samples, then that many ticks of the running reading.
    void QueueSamples(int count, const std::vector<std::uint8_t>& reply = {0x00, 0x32, 0x00, 0x00, 0x00, 0xFA})
    {
        for (int i = 0; i < count; ++i) {
            devices.replies.push_back(reply);
        }
    }
    void Ticks(int count)
    {
        for (int i = 0; i < count; ++i) {
            frame->RunDialog()->Link().OnTimer(1);
        }
    }
};

}  // namespace

TEST_F(LoggerCommandsTest, DownloadShowsProgressInstallsTheMemoryAndArmsTheQuestions)
{
    ScriptMemory(100);  // 600 bytes: three blocks
    frame->OnCommand(ID_DOWNLOAD);
    EXPECT_EQ(frame->ShownCount(), 100);
    EXPECT_FALSE(frame->ProgressOpen()) << "the progress window is gone after the transfer";
    EXPECT_EQ(frame->LoadingDialog()->Maximum(), 3);
    EXPECT_TRUE(frame->Flags().m_bDataUnsaved);
    EXPECT_TRUE(QFile::exists(frame->TempCopyPath()));
    EXPECT_EQ(devices.openHandles, 0);
    EXPECT_TRUE(frame->Action(ID_FILE_SAVE_BOTH)->isEnabled());
    // A second Download asks, since it would discard the first; so does Open after it.
    ScriptMemory(100);
    frame->OnCommand(ID_DOWNLOAD);
    const QString question = QStringLiteral("Do you want to save the existing graph data before continuing?");
    EXPECT_EQ(prompter.Texts(), QStringList{question});
    prompter.openPath = dir.filePath(QStringLiteral("none.Vibration"));
    frame->OnCommand(ID_FILE_OPEN_RECORDING);
    EXPECT_EQ(prompter.Texts().count(question), 2);
}

namespace {

// Notes the bar's position at every paint of the progress bar, and counts the paints of the
// graph view that happen while the bar is up.
class PaintRecorder : public QObject {
public:
    PaintRecorder(QProgressBar* bar, QWidget* view) : m_bar(bar), m_view(view)
    {
        bar->installEventFilter(this);
        view->installEventFilter(this);
    }
    QList<int> positions;
    int viewPaintsDuringTransfer = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            if (watched == m_bar) {
                positions << m_bar->value();
            } else if (watched == m_view && m_bar->isVisible()) {
                ++viewPaintsDuringTransfer;
            }
        }
        return false;
    }

private:
    QProgressBar* m_bar;
    QWidget* m_view;
};

}  // namespace

TEST_F(LoggerCommandsTest, EachDownloadRefreshesTheSummaryPanel)
{
    ScriptMemory(100);
    frame->OnCommand(ID_DOWNLOAD);
    QTest::qWait(20);
    CSummaryBar* panel = frame->GraphView()->SummaryBar();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->Field(1015)->text(), QStringLiteral("100"));
    ScriptMemory(50);
    frame->OnCommand(ID_DOWNLOAD);
    EXPECT_EQ(panel->Field(1015)->text(), QStringLiteral("50"));
}

TEST_F(LoggerCommandsTest, TheProgressBarRepaintsWhileTheBlocksArrive)
{
    ScriptMemory(2520);  // 15120 bytes: sixty blocks
    auto* bar = frame->LoadingDialog()->findChild<QProgressBar*>(QStringLiteral("1153"));
    ASSERT_NE(bar, nullptr);
    frame->GraphView()->update();  // a view that wants drawing waits until the transfer is over
    PaintRecorder recorder(bar, frame->GraphView());
    frame->OnCommand(ID_DOWNLOAD);
    ASSERT_EQ(frame->ShownCount(), 2520);
    // The transfer holds the window, yet the bar was drawn again and again as blocks came in,
    // each time further along.
    QList<int> distinct;
    for (int p : recorder.positions) {
        if (distinct.isEmpty() || distinct.last() != p) {
            distinct << p;
        }
    }
    EXPECT_GE(distinct.size(), 10) << "positions painted: " << distinct.size();
    EXPECT_TRUE(std::is_sorted(distinct.begin(), distinct.end()));
    EXPECT_GT(distinct.last(), 30);
    // Drawing the main window between blocks would stretch a long transfer many times over.
    EXPECT_EQ(recorder.viewPaintsDuringTransfer, 0);
    EXPECT_TRUE(frame->centralWidget()->updatesEnabled());
}

namespace {

// Presses the progress window's Cancel when the bar, drawn again between blocks, reaches a
// position; notes which window held the input then.
class CancelAt : public QObject {
public:
    CancelAt(CLoadingDlg* dialog, int position) : m_dialog(dialog), m_position(position)
    {
        dialog->findChild<QProgressBar*>(QStringLiteral("1153"))->installEventFilter(this);
    }
    bool pressed = false;
    QWidget* modal = nullptr;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !pressed && m_dialog->Pos() >= m_position) {
            pressed = true;
            modal = QApplication::activeModalWidget();
            QTest::mouseClick(m_dialog->CancelButton(), Qt::LeftButton);
        }
        return false;
    }

private:
    CLoadingDlg* m_dialog;
    int m_position;
};

}  // namespace

// The download's progress window offers Cancel below its bar; pressed, the transfer stops asking
// for blocks, the logger gets no other command, the shown recording and its save state stay, the
// connection is closed and nothing is told. The spectrum's wait keeps the bar alone.
TEST_F(LoggerCommandsTest, CancelOnTheProgressWindowEndsTheDownloadAndKeepsTheRecording)
{
    ScriptMemory(100);
    frame->OnCommand(ID_DOWNLOAD);
    ASSERT_EQ(frame->ShownCount(), 100);
    frame->Flags().OnSaved();
    const bool unsaved = frame->Flags().m_bDataUnsaved;
    CLoadingDlg* loading = frame->LoadingDialog();
    const QSize barOnly = loading->size();
    EXPECT_FALSE(loading->CancelOffered());

    devices.exchanges.clear();
    ScriptMemory(2520);  // sixty blocks
    const qsizetype told = prompter.Texts().size();
    CancelAt cancel(loading, 5);
    frame->OnCommand(ID_DOWNLOAD);
    ASSERT_TRUE(cancel.pressed);
    EXPECT_EQ(cancel.modal, loading) << "the progress window holds the input during the transfer";
    EXPECT_EQ(frame->ShownCount(), 100);
    EXPECT_EQ(frame->Flags().m_bDataUnsaved, unsaved);
    EXPECT_EQ(prompter.Texts().size(), told) << "nothing is told";
    EXPECT_EQ(devices.openHandles, 0);
    EXPECT_TRUE(frame->DownloadDialog()->Link().DownloadCancelled());
    const auto written = devices.Written();
    ASSERT_GE(written.size(), 2u);
    EXPECT_LT(written.size(), 10u) << "no block asked after the press";
    for (const auto& command : written)
        EXPECT_EQ(command[0], 0) << "only read requests reach the logger";
    // The window is gone and next time looks as before unless a download shows it.
    EXPECT_FALSE(frame->ProgressOpen());
    EXPECT_FALSE(loading->CancelOffered());
    EXPECT_EQ(loading->size(), barOnly);
    EXPECT_EQ(loading->windowModality(), Qt::NonModal);
    EXPECT_TRUE(frame->centralWidget()->updatesEnabled());

    // The next download is whole.
    devices.replies.clear();
    ScriptMemory(50);
    frame->OnCommand(ID_DOWNLOAD);
    EXPECT_EQ(frame->ShownCount(), 50);
}

TEST_F(LoggerCommandsTest, AFailedTransferTellsOnceAndTheWindowDrawsAgain)
{
    ScriptMemory(2520);
    devices.failReadAt = 5;  // the logger goes away after a few blocks
    frame->OnCommand(ID_DOWNLOAD);
    EXPECT_EQ(prompter.Texts(), QStringList{QStringLiteral("Failed reading data from the shakemeter.")});
    EXPECT_FALSE(frame->ProgressOpen());
    EXPECT_TRUE(frame->centralWidget()->updatesEnabled());
    EXPECT_EQ(frame->ShownCount(), 0);
    EXPECT_FALSE(frame->Flags().m_bDataUnsaved);
}

TEST_F(LoggerCommandsTest, RealTimeReadingRunsUntilStopReadingAndKeepsItsSamples)
{
    frame->SetRtChoice(0, "50");
    for (int i = 0; i < 4; ++i) {
        devices.replies.push_back({0x00, 0x32, 0x00, 0x00, 0x00, 0xFA});
    }
    frame->OnCommand(ID_RUN);
    ASSERT_TRUE(frame->IsReading());
    EXPECT_TRUE(frame->RunLinkHost().TimerActive());
    EXPECT_EQ(frame->RunLinkHost().TimerInterval(), 500);
    EXPECT_TRUE(frame->Action(ID_STOP_READING)->isEnabled());
    EXPECT_FALSE(frame->Action(ID_FILE_OPEN_RECORDING)->isEnabled());
    EXPECT_FALSE(frame->Action(ID_FILE_OPEN)->isEnabled()) << "the standard open would pull the rows away";
    EXPECT_EQ(frame->GraphView()->SummaryHeight(), 155);
    frame->RunDialog()->Link().OnTimer(1);
    frame->RunDialog()->Link().OnTimer(1);
    EXPECT_EQ(frame->ShownCount(), 3);
    EXPECT_TRUE(frame->Flags().m_bDataUnsaved);
    frame->OnCommand(ID_STOP_READING);
    EXPECT_FALSE(frame->IsReading());
    EXPECT_FALSE(frame->RunLinkHost().TimerActive());
    EXPECT_EQ(devices.openHandles, 0);
    const RecordingFileResult copy = ReadRecordingFile(frame->TempCopyPath().toStdString());
    ASSERT_TRUE(copy.ok());
    EXPECT_EQ(copy.recording.m_header.dwSampleCount, 3u);
    EXPECT_EQ(copy.recording.m_bRealTime, 1);
    EXPECT_TRUE(frame->Action(ID_RELOAD)->isEnabled());
}

// A reading that failed leaves nothing open behind it: the next one starts from its first sample
// and its copy holds only its own rows.
TEST_F(LoggerCommandsTest, AReadingAfterAFailedOneStartsAfresh)
{
    frame->SetRtChoice(0, "50");
    QueueSamples(2);
    frame->OnCommand(ID_RUN);
    Ticks(2);  // the second tick finds the logger no longer answering
    EXPECT_FALSE(frame->IsReading());
    EXPECT_FALSE(frame->RunLinkHost().TimerActive());
    EXPECT_EQ(devices.openHandles, 0);
    EXPECT_EQ(frame->ShownCount(), 2);
    EXPECT_TRUE(frame->Action(ID_RUN)->isEnabled());

    prompter.answers = {false};
    QueueSamples(3, {0x00, 0x10, 0x00, 0x00, 0x00, 0x20});
    frame->OnCommand(ID_RUN);
    ASSERT_TRUE(frame->IsReading());
    Ticks(2);
    EXPECT_EQ(frame->GraphView()->Companions().m_summary.samples, "3");
    frame->OnCommand(ID_STOP_READING);
    EXPECT_EQ(devices.openHandles, 0);
    const RecordingFileResult copy = ReadRecordingFile(frame->TempCopyPath().toStdString());
    ASSERT_TRUE(copy.ok());
    EXPECT_EQ(copy.recording.m_header.dwSampleCount, 3u);
}

// Saving while the reading goes on writes the rows read so far; the rows that follow are unsaved
// again, and the reading itself goes on.
TEST_F(LoggerCommandsTest, SavingDuringAReadingKeepsTheRowsSoFarAndTheReadingGoing)
{
    frame->SetRtChoice(0, "50");
    QueueSamples(4);
    frame->OnCommand(ID_RUN);
    Ticks(1);
    prompter.savePath = dir.filePath(QStringLiteral("midway.Vibration"));
    frame->OnCommand(ID_FILE_SAVE);
    EXPECT_FALSE(frame->Flags().m_bDataUnsaved);
    const RecordingFileResult saved = ReadRecordingFile(prompter.savePath.toStdString());
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved.recording.m_pSamples.size(), 2u) << "no room kept for rows still to come";

    Ticks(1);
    EXPECT_TRUE(frame->Flags().m_bDataUnsaved);
    EXPECT_TRUE(frame->IsReading());
    EXPECT_TRUE(frame->RunLinkHost().TimerActive());
    Ticks(1);
    frame->OnCommand(ID_STOP_READING);
    EXPECT_EQ(frame->ShownCount(), 4);
    EXPECT_EQ(devices.openHandles, 0);
}

TEST_F(LoggerCommandsTest, RealTimeReadingLaysOutItsWindowAndFollowsEachRow)
{
    frame->GraphView()->MutableCompanions().SetRtWindow({});
    frame->SetRtChoice(0, "50");
    for (int i = 0; i < 3; ++i) {
        devices.replies.push_back({0x00, 0x32, 0x00, 0x00, 0x00, 0xFA});
    }
    frame->OnCommand(ID_RUN);
    ASSERT_TRUE(frame->IsReading());
    // 50 points fit the first window of 100 samples: the table ends with its next size.
    const std::vector<int>& table = frame->GraphView()->Companions().m_nRtWindow;
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0], 100);
    QTest::qWait(20);
    CSummaryBar* panel = frame->GraphView()->SummaryBar();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->Field(1015)->text(), QStringLiteral("1"));
    frame->RunDialog()->Link().OnTimer(1);
    EXPECT_EQ(panel->Field(1015)->text(), QStringLiteral("2"));
    EXPECT_TRUE(frame->Flags().m_bDataUnsaved);
    frame->OnCommand(ID_STOP_READING);
}

TEST_F(LoggerCommandsTest, DownloadOfEventsOnlyClosesTheOpenList)
{
    ScriptMemory(20);
    frame->OnCommand(ID_DOWNLOAD);
    frame->OnCommand(ID_IMPORT_LIST);
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame->DataListOpen(); }, 5000));
    RecordingHeader header;
    header.wFreeFallCount = 1;
    header.wInterval = 200;
    devices.ScriptDownload(EncodeHeaderBlock(header), {}, {23, 3, 5, 14, 7, 9});
    frame->OnCommand(ID_DOWNLOAD);
    EXPECT_EQ(frame->ShownCount(), 0);
    EXPECT_FALSE(frame->DataListOpen());
}

TEST_F(LoggerCommandsTest, ClosingDuringAReadingKeepsATemporaryCopy)
{
    frame->SetRtChoice(1, "100");
    devices.replies.push_back({0x00, 0x32, 0x00, 0x00, 0x00, 0xFA});
    frame->OnCommand(ID_RUN);
    ASSERT_TRUE(frame->IsReading());
    QFile::remove(frame->TempCopyPath());
    frame->close();
    EXPECT_TRUE(QFile::exists(frame->TempCopyPath()));
    EXPECT_TRUE(prompter.said.empty()) << "one sample: no close question";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->isVisible(); }, 5000));
}
