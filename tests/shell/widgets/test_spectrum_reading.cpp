// The reading for FFT analysis as the main window drives it: probe, capture start, progress
// window, the 2-second reads and Stop Reading, against a fake bridge library.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include "MainFrameFixture.h"
#include "ShellTestSupport.h"
#include "graph/widgets/CVxView.h"
#include "logger/CLoggerLink.h"
#include "logger/FakeDeviceLibrary.h"
#include "logger/widgets/CLoadingDlg.h"
#include "logger/widgets/LoggerDialogBase.h"
#include "analysis/widgets/PsdWindow.h"
#include "analysis/widgets/WaterfallWidget.h"
#include "shell/CommandIds.h"
#include "shell/widgets/CMainFrame.h"
#include "controls/CSummaryBar.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

class SpectrumReadingTest : public MainFrameFixture {
protected:
    void SetUp() override
    {
        MakeFrame();
        frame->SetDialogRunner([](LoggerDialogBase&) { return 0; });
    }

    void QueueCapture()
    {
        for (int n = 1; n <= 7; ++n) {
            devices.replies.push_back(std::vector<std::uint8_t>(n < 7 ? 252 : 24, 0x01));
        }
    }
    int BlockRequests() const
    {
        int count = 0;
        for (const auto& e : devices.exchanges) {
            if (e.kind == FakeDeviceLibrary::Exchange::Write && e.bytes.size() == 3 && e.bytes[0] == 0xF3 &&
                e.bytes[2] != 0) {
                ++count;
            }
        }
        return count;
    }
};

}  // namespace

TEST_F(SpectrumReadingTest, WithoutALoggerTheCommandTellsAndStaysIdle)
{
    devices.bridges = 0;
    frame->OnCommand(ID_FFT_READING);
    EXPECT_EQ(prompter.Texts(),
              QStringList{QStringLiteral("Connecting failed. Ensure logger inserted and try again.")});
    EXPECT_FALSE(frame->IsReading());
    EXPECT_FALSE(frame->ProgressOpen());
}

TEST_F(SpectrumReadingTest, WaitingThenPollingEveryTwoSeconds)
{
    frame->OnCommand(ID_FFT_READING);
    EXPECT_TRUE(frame->IsReading());
    EXPECT_TRUE(frame->ProgressOpen());
    EXPECT_EQ(frame->LoadingDialog()->Maximum(), 20);
    EXPECT_TRUE(frame->SpectrumTimerActive());
    // Waiting: only Stop Reading among the device commands.
    EXPECT_TRUE(frame->Action(ID_STOP_READING)->isEnabled());
    EXPECT_FALSE(frame->Action(ID_RUN)->isEnabled());
    EXPECT_FALSE(frame->Action(ID_FREQUENCY_GRAPH)->isEnabled());
    frame->OnProgressTick();
    frame->OnProgressTick();
    EXPECT_EQ(frame->LoadingDialog()->Pos(), 1);

    QueueCapture();
    frame->OnSpectrumTick();
    EXPECT_FALSE(frame->ProgressOpen());
    EXPECT_EQ(frame->ProgressCounter(), 0);
    EXPECT_EQ(BlockRequests(), 7);
    EXPECT_EQ(frame->ShownCount(), 128) << "a spectrum recording shown in the time domain";
    EXPECT_TRUE(frame->Flags().m_bDataUnsaved);
    EXPECT_TRUE(frame->SpectrumTimerActive());
    EXPECT_TRUE(QFile::exists(frame->TempCopyPath()));
    // Polling: the domain switches join Stop Reading.
    EXPECT_TRUE(frame->Action(ID_FREQUENCY_GRAPH)->isEnabled());
    EXPECT_TRUE(frame->Action(ID_TIME_GRAPH)->isEnabled());
    EXPECT_FALSE(frame->Action(ID_DOWNLOAD)->isEnabled());

    frame->OnCommand(ID_STOP_READING);
    frame->OnSpectrumTick();
    EXPECT_FALSE(frame->SpectrumTimerActive());
    EXPECT_EQ(BlockRequests(), 7);
    EXPECT_EQ(devices.openHandles, 0);
}

TEST_F(SpectrumReadingTest, TheSummaryPanelDescribesEachCaptureRead)
{
    frame->resize(1200, 800);
    frame->show();
    ASSERT_EQ(frame->OpenPath(WriteRecording(dir, QStringLiteral("a.Vibration"), MakeLoggedRecording(10))),
              LoadStatus::Loaded);
    QTest::qWait(20);
    CSummaryBar* panel = frame->GraphView()->SummaryBar();
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(panel->Field(1015)->text(), QStringLiteral("10"));
    frame->OnCommand(ID_FFT_READING);
    QueueCapture();
    frame->OnSpectrumTick();
    const SummaryTexts& texts = frame->GraphView()->Companions().m_summary;
    EXPECT_EQ(panel->Field(1015)->text().toStdString(), texts.samples);
    EXPECT_EQ(panel->Field(1080)->text(), QStringLiteral("1/256 "));
    EXPECT_EQ(panel->Field(1014)->text().toStdString(), texts.startTime);
    frame->OnCommand(ID_STOP_READING);
    frame->OnSpectrumTick();
}

TEST_F(SpectrumReadingTest, StopDuringTheWaitReadsNothingAndClosesAtTheTick)
{
    frame->OnCommand(ID_FFT_READING);
    frame->OnCommand(ID_STOP_READING);
    EXPECT_TRUE(frame->ProgressOpen()) << "the progress window stays until the tick";
    frame->OnSpectrumTick();
    EXPECT_FALSE(frame->ProgressOpen());
    EXPECT_EQ(BlockRequests(), 0);
    EXPECT_EQ(devices.openHandles, 0);
    EXPECT_FALSE(frame->SpectrumTimerActive());
}

TEST_F(SpectrumReadingTest, AStoppedSpectrumNeverReadsIntoAnotherReading)
{
    frame->OnCommand(ID_FFT_READING);
    QueueCapture();
    frame->OnSpectrumTick();
    frame->OnCommand(ID_STOP_READING);
    // Another reading starts before the spectrum's next tick.
    frame->SetReading(true);
    QueueCapture();
    frame->OnSpectrumTick();
    EXPECT_EQ(BlockRequests(), 7);
    EXPECT_FALSE(frame->SpectrumTimerActive());
}

TEST_F(SpectrumReadingTest, AFailedReadEndsTheReading)
{
    frame->OnCommand(ID_FFT_READING);
    devices.replies.push_back(std::vector<std::uint8_t>(252, 0));  // one block, then the logger is gone
    frame->OnSpectrumTick();
    EXPECT_FALSE(frame->IsReading());
    EXPECT_FALSE(frame->SpectrumTimerActive());
    EXPECT_EQ(prompter.Texts(), QStringList{QStringLiteral("Failed reading data from the shakemeter.")});
    EXPECT_EQ(devices.openHandles, 0);
    EXPECT_EQ(frame->ShownCount(), 0);
}

TEST_F(SpectrumReadingTest, TheReadOutGoesWithTheCaptureOrDomainItDescribed)
{
    frame->resize(1200, 800);
    frame->show();
    frame->OnCommand(ID_FFT_READING);
    QueueCapture();
    frame->OnSpectrumTick();
    frame->OnCommand(ID_FREQUENCY_GRAPH);
    CVxView* view = frame->GraphView();
    int moves = 0;
    const auto pointAtTheMiddle = [view, &moves] {
        PaintPastTheFirstZoomReset(*view);
        const PlotRect plot = view->Model().plot();
        // A move to where the pointer already is makes no event: each time a pixel further.
        ++moves;
        QTest::mouseMove(view, QPoint((plot.left + plot.right) / 2 + moves, (plot.top + plot.bottom) / 2));
    };
    pointAtTheMiddle();
    ASSERT_TRUE(view->ReadoutText().contains(QStringLiteral("Frequency:"))) << view->ReadoutText().toStdString();

    // The next capture replaces the spectrum the values were read from.
    QueueCapture();
    frame->OnSpectrumTick();
    EXPECT_TRUE(view->ReadoutText().trimmed().isEmpty()) << view->ReadoutText().toStdString();

    pointAtTheMiddle();
    ASSERT_TRUE(view->ReadoutText().contains(QStringLiteral("Frequency:")));
    frame->OnCommand(ID_STOP_READING);
    frame->OnSpectrumTick();
    EXPECT_TRUE(view->ReadoutText().contains(QStringLiteral("Frequency:"))) << "stopping keeps the graph shown";
    // The time-domain graph has other points: a frequency read-out under it would be wrong.
    frame->OnCommand(ID_TIME_GRAPH);
    EXPECT_TRUE(view->ReadoutText().trimmed().isEmpty()) << view->ReadoutText().toStdString();

    pointAtTheMiddle();
    ASSERT_TRUE(view->ReadoutText().contains(QStringLiteral("    Time:")));
    frame->OnCommand(ID_FREQUENCY_GRAPH);
    EXPECT_TRUE(view->ReadoutText().trimmed().isEmpty()) << view->ReadoutText().toStdString();
}

TEST_F(SpectrumReadingTest, EveryCaptureReachesThePsdWindowAndANewReadingStartsItAgain)
{
    frame->OnCommand(ID_FFT_READING);
    for (int c = 0; c < 3; ++c) {
        QueueCapture();
        frame->OnSpectrumTick();
    }
    // Kept while the window is closed, so opening it mid-reading shows the reading whole.
    EXPECT_FALSE(frame->Psd()->isVisible());
    EXPECT_EQ(frame->Psd()->History().size(), 3u);
    EXPECT_EQ(frame->Psd()->Waterfall()->lines(), 3u);
    EXPECT_EQ(frame->Psd()->source(), PsdWindow::Source::SpectrumReading);
    frame->OnCommand(ID_STOP_READING);
    frame->OnSpectrumTick();
    EXPECT_EQ(frame->Psd()->History().size(), 3u) << "a stopped reading is kept for reading";

    frame->Flags().m_bDataUnsaved = false;
    frame->OnCommand(ID_FFT_READING);
    ASSERT_TRUE(frame->IsReading());
    EXPECT_TRUE(frame->Psd()->History().empty());
    QueueCapture();
    frame->OnSpectrumTick();
    EXPECT_EQ(frame->Psd()->History().size(), 1u);
    frame->OnCommand(ID_STOP_READING);
    frame->OnSpectrumTick();
}
