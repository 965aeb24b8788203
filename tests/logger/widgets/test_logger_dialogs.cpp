// The logger dialogs against an in-process fake bridge library: presence polling, the setup
// dialog's control rules and what "Setup" sends, download, the run dialog's refusals and start.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include "ApplicationEnvironment.h"

#include "logger/FakeDeviceLibrary.h"
#include "logger/FakeLoggerHost.h"
#include "logger/widgets/CDownloadDlg.h"
#include "logger/widgets/CLoadingDlg.h"
#include "logger/widgets/CLoggerSetupDlg.h"
#include "logger/widgets/CRunDlg.h"
#include "logger/widgets/LoggerDialogOwner.h"
#include "controls/CNumericEdit.h"
#include "controls/Prompter.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new shakemeter::testing::ApplicationEnvironment("test_logger_widgets"));

class RecordingPrompter : public Prompter {
public:
    QStringList told;
    bool AskYesNo(QWidget*, const QString& text, PromptIcon) override
    {
        told << text;
        return false;
    }
    void Tell(QWidget*, const QString& text, PromptIcon) override { told << text; }
    QString ChooseOpenFile(QWidget*, const QString&, const QString&) override { return {}; }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
};

class FakeOwner : public LoggerDialogOwner {
public:
    explicit FakeOwner(FakeLoggerHost& host) : m_host(host)
    {
        lastSetup.fill(0);
        lastSetup[6] = 200;  // 50 ms
        lastSetup[19] = 10;
    }
    HeaderBlock lastSetup{};
    int setupsWritten = 0;
    int rateIndex = 2;
    std::string points = "10000";
    int realTimeStarts = 0;
    int unsaved = 0;
    RecordingPrompter prompter;

    HeaderBlock& LastSetup() override { return lastSetup; }
    void OnSetupWritten() override { ++setupsWritten; }
    int RtRateIndex() const override { return rateIndex; }
    std::string RtPoints() const override { return points; }
    void SetRtChoice(int index, const std::string& text) override
    {
        rateIndex = index;
        points = text;
    }
    void OnRealTimeStarted() override { ++realTimeStarts; }
    void SetDataUnsaved() override { ++unsaved; }
    RecordingView& View() override { return m_host.view; }
    Prompter& UserPrompter() override { return prompter; }

private:
    FakeLoggerHost& m_host;
};

std::vector<std::vector<std::uint8_t>> Writes(const FakeDeviceLibrary& devices)
{
    std::vector<std::vector<std::uint8_t>> writes;
    for (const auto& e : devices.exchanges) {
        if (e.kind == FakeDeviceLibrary::Exchange::Write) {
            writes.push_back(e.bytes);
        }
    }
    return writes;
}

template <typename T>
T* Control(QWidget& dialog, int id)
{
    return dialog.findChild<T*>(QString::number(id));
}

void Retype(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

// The whole text at once, as a paste gives it.
void Paste(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    if (text.isEmpty()) {
        edit->del();
    } else {
        QApplication::clipboard()->setText(text);
        edit->paste();
    }
}

class LoggerDialogTest : public ::testing::Test {
protected:
    FakeDeviceLibrary devices;
    FakeLoggerHost host;
    FakeOwner owner{host};
};

}  // namespace

TEST_F(LoggerDialogTest, PollingSetsTitleStatusAndGatesSetup)
{
    CLoggerSetupDlg dialog(devices, host, owner);
    dialog.Initialise();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Connecting..."));
    EXPECT_TRUE(dialog.IsPolling());
    devices.bridges = 0;
    dialog.Poll();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Not Connected"));
    EXPECT_EQ(Control<QLabel>(dialog, CLoggerSetupDlg::IDC_STATUS)->text(),
              QStringLiteral("Connecting failed. Ensure logger inserted and try again."));
    dialog.OnOK();
    EXPECT_TRUE(devices.exchanges.empty());
    EXPECT_EQ(dialog.result(), 0);
    devices.bridges = 1;
    dialog.Poll();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Connected"));
    EXPECT_TRUE(Control<QLabel>(dialog, CLoggerSetupDlg::IDC_STATUS)->text().isEmpty());
}

TEST_F(LoggerDialogTest, SetupStartsFromTheLastBlockAndClampsTheRate)
{
    CLoggerSetupDlg dialog(devices, host, owner);
    dialog.Initialise();
    auto* rate = Control<CNumericEdit>(dialog, CLoggerSetupDlg::IDC_RATE);
    auto* unit = Control<QComboBox>(dialog, CLoggerSetupDlg::IDC_UNIT);
    EXPECT_EQ(rate->text(), QStringLiteral("50"));
    EXPECT_EQ(unit->currentIndex(), 0);
    EXPECT_TRUE(Control<QRadioButton>(dialog, CLoggerSetupDlg::IDC_LED_10)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(dialog, CLoggerSetupDlg::IDC_NORMAL)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(dialog, CLoggerSetupDlg::IDC_MANUAL)->isChecked());
    EXPECT_FALSE(Control<QComboBox>(dialog, CLoggerSetupDlg::IDC_THRESHOLD_X)->isEnabled());
    EXPECT_EQ(Control<QComboBox>(dialog, CLoggerSetupDlg::IDC_THRESHOLD_Z)->itemText(17), QStringLiteral("18g "));

    dialog.show();
    Retype(rate, QStringLiteral("1500"));
    EXPECT_EQ(rate->text(), QStringLiteral("999"));
    Paste(rate, QStringLiteral("-5"));
    EXPECT_EQ(rate->text(), QStringLiteral("1"));
    Paste(rate, QStringLiteral("77"));
    EXPECT_EQ(rate->text(), QStringLiteral("77"));
    Paste(rate, QString());
    EXPECT_EQ(rate->text(), QStringLiteral("1"));
    Retype(rate, QStringLiteral("59"));
    unit->setCurrentIndex(3);
    emit unit->activated(3);
    EXPECT_EQ(rate->text(), QStringLiteral("12"));
    unit->setCurrentIndex(1);
    emit unit->activated(1);
    Retype(rate, QStringLiteral("5"));
    unit->setCurrentIndex(0);
    emit unit->activated(0);
    EXPECT_EQ(rate->text(), QStringLiteral("50"));
    // The arrow keys step like the spin, which stops at 50 in ms.
    QTest::keyClick(rate, Qt::Key_Down);
    EXPECT_EQ(rate->text(), QStringLiteral("50"));
    QTest::keyClick(rate, Qt::Key_Up);
    EXPECT_EQ(rate->text(), QStringLiteral("51"));
}

TEST_F(LoggerDialogTest, SetupRefusesBelowFiftyMillisecondsAndKeepsTheDialog)
{
    owner.lastSetup[6] = 0;  // saved interval 0
    CLoggerSetupDlg dialog(devices, host, owner);
    dialog.Initialise();
    dialog.Poll();
    dialog.OnOK();
    EXPECT_EQ(owner.prompter.told, QStringList{QStringLiteral("The sampling rate must be larger than 50ms!")});
    EXPECT_TRUE(Writes(devices).empty());
    EXPECT_EQ(owner.lastSetup[6], 0);
}

TEST_F(LoggerDialogTest, MotionDetectionWithAThresholdLeftEmptyIsRefusedUntilAllThreeAreChosen)
{
    owner.lastSetup[20] = 1;  // automatic start: a block sent would report the logger running
    const HeaderBlock before = owner.lastSetup;
    CLoggerSetupDlg dialog(devices, host, owner);
    dialog.SetClock([] { return CalendarFields{2024, 2, 29, 13, 14, 15}; });
    dialog.Initialise();
    dialog.Poll();
    QRadioButton* motion = Control<QRadioButton>(dialog, CLoggerSetupDlg::IDC_MOTION);
    QTest::mouseClick(motion, Qt::LeftButton, {}, QPoint(4, motion->height() / 2));
    ASSERT_TRUE(motion->isChecked());
    QComboBox* x = Control<QComboBox>(dialog, CLoggerSetupDlg::IDC_THRESHOLD_X);
    QComboBox* y = Control<QComboBox>(dialog, CLoggerSetupDlg::IDC_THRESHOLD_Y);
    QComboBox* z = Control<QComboBox>(dialog, CLoggerSetupDlg::IDC_THRESHOLD_Z);
    ASSERT_TRUE(x->isEnabled());
    EXPECT_EQ(z->currentIndex(), -1) << "saved thresholds of 0 show no choice";
    x->setCurrentIndex(1);
    y->setCurrentIndex(2);
    dialog.OnOK();
    ASSERT_EQ(owner.prompter.told, QStringList{QString::fromLatin1(kThresholdsMissingMessage)});
    EXPECT_TRUE(owner.prompter.told[0].contains(QStringLiteral("all three thresholds")));
    EXPECT_TRUE(Writes(devices).empty());
    EXPECT_TRUE(host.messages.empty()) << "nothing reports the logger running";
    EXPECT_EQ(owner.lastSetup, before);
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    z->setCurrentIndex(17);
    dialog.OnOK();
    const auto writes = Writes(devices);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[1][8], MODE_MOTION);
    EXPECT_EQ(writes[1][9], 2);
    EXPECT_EQ(writes[1][10], 3);
    EXPECT_EQ(writes[1][11], 18);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].second, "The DATA LOGGER is running... ");
}

TEST_F(LoggerDialogTest, DefaultThenSetupSendsTheDefaultBlockWithThePreviousThresholds)
{
    owner.lastSetup[8] = MODE_MOTION | MODE_FREEFALL;
    owner.lastSetup[9] = 3;
    owner.lastSetup[10] = 4;
    owner.lastSetup[11] = 5;
    owner.lastSetup[19] = 30;
    owner.lastSetup[20] = 1;
    CLoggerSetupDlg dialog(devices, host, owner);
    dialog.SetClock([] { return CalendarFields{2024, 2, 29, 13, 14, 15}; });
    dialog.Initialise();
    EXPECT_EQ(Control<QComboBox>(dialog, CLoggerSetupDlg::IDC_THRESHOLD_Y)->currentIndex(), 3);
    EXPECT_TRUE(Control<QRadioButton>(dialog, CLoggerSetupDlg::IDC_AUTOMATIC)->isChecked());
    dialog.OnDefault();
    dialog.Poll();
    dialog.OnOK();
    const auto writes = Writes(devices);
    ASSERT_EQ(writes.size(), 2u);
    ASSERT_EQ(writes[0].size(), 3u);
    EXPECT_EQ(writes[0][0], 0x01);
    const std::vector<std::uint8_t>& block = writes[1];
    ASSERT_EQ(block.size(), 22u);
    EXPECT_EQ(block[6], 200);
    EXPECT_EQ(block[7], 0);
    EXPECT_EQ(block[8], 0) << "normal mode without free-fall detection";
    EXPECT_EQ(block[9], 3);
    EXPECT_EQ(block[10], 4);
    EXPECT_EQ(block[11], 5);
    EXPECT_EQ(block[12] | (block[13] << 8), 2024);
    EXPECT_EQ(block[14], 2);
    EXPECT_EQ(block[19], 10);
    EXPECT_EQ(block[20], 0);
    EXPECT_EQ(block[21], 0);
    EXPECT_EQ(std::vector<std::uint8_t>(owner.lastSetup.begin(), owner.lastSetup.end()), block);
    EXPECT_EQ(owner.setupsWritten, 1);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].first, MessageKind::Information);
    EXPECT_EQ(host.messages[0].second, "To start logging,you must press and hold until green LED flash.");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(devices.openHandles, 0);
}

TEST_F(LoggerDialogTest, FailedSetupWriteTellsOnceButKeepsTheBlock)
{
    owner.lastSetup[19] = 15;  // shown as 10s, sent unchanged
    CLoggerSetupDlg dialog(devices, host, owner);
    dialog.Initialise();
    EXPECT_TRUE(Control<QRadioButton>(dialog, CLoggerSetupDlg::IDC_LED_10)->isChecked());
    dialog.Poll();
    devices.failWriteAt = 1;
    dialog.OnOK();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].second, "Failed writing data to the shakemeter.");
    EXPECT_EQ(owner.lastSetup[19], 15);
    EXPECT_EQ(owner.setupsWritten, 0);
    EXPECT_EQ(devices.openHandles, 0);
}

TEST_F(LoggerDialogTest, DownloadWaitsForTheLoggerThenInstallsTheMemory)
{
    CDownloadDlg dialog(devices, host, owner);
    dialog.Initialise();
    EXPECT_EQ(dialog.StatusText(), QStringLiteral("Waiting for connecting..."));
    devices.bridges = 0;
    dialog.Poll();
    dialog.OnOK();
    EXPECT_TRUE(devices.exchanges.empty());
    devices.bridges = 1;
    dialog.Poll();
    EXPECT_EQ(dialog.StatusText(),
              QStringLiteral("Press Download to stop logging and load data from logger, or Cancel to exit."));
    RecordingHeader header;
    header.dwSampleCount = 12;  // two 6-byte samples
    header.wInterval = 200;
    header.wYear = 2023;
    header.byMonth = 3;
    header.byDay = 5;
    devices.ScriptDownload(EncodeHeaderBlock(header), std::vector<std::uint8_t>(12, 0), {});
    dialog.OnOK();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(host.document.RowCount(), 2u);
    EXPECT_EQ(owner.unsaved, 1);
    EXPECT_EQ(devices.openHandles, 0);
}

TEST_F(LoggerDialogTest, RunRefusesWithoutRateOrPointsAndStartsOtherwise)
{
    CRunDlg dialog(devices, host, owner);
    dialog.Initialise();
    EXPECT_EQ(dialog.RateList()->currentIndex(), 2);
    EXPECT_EQ(dialog.PointsEdit()->text(), QStringLiteral("10000"));
    dialog.show();
    Retype(dialog.PointsEdit(), QStringLiteral("250000"));
    EXPECT_EQ(dialog.PointsEdit()->text(), QStringLiteral("100000"));
    Retype(dialog.PointsEdit(), QStringLiteral("0"));
    EXPECT_EQ(dialog.PointsEdit()->text(), QStringLiteral("1"));
    Retype(dialog.PointsEdit(), QString());
    EXPECT_TRUE(dialog.PointsEdit()->text().isEmpty()) << "an empty field stays empty while typing";

    dialog.Poll();
    dialog.OnOK();
    EXPECT_TRUE(devices.exchanges.empty()) << "no points: nothing is sent";
    EXPECT_EQ(dialog.result(), 0);
    Retype(dialog.PointsEdit(), QStringLiteral("2"));
    dialog.RateList()->setCurrentIndex(-1);
    dialog.OnOK();
    EXPECT_TRUE(devices.exchanges.empty()) << "no rate: nothing is sent";

    dialog.RateList()->setCurrentIndex(1);
    devices.replies.push_back({0x00, 0x64, 0x00, 0x00, 0x00, 0x00});
    dialog.OnOK();
    const auto writes = Writes(devices);
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes[0], (std::vector<std::uint8_t>{0xF1, 0xE8, 0x03}));
    EXPECT_EQ(owner.rateIndex, 1);
    EXPECT_EQ(owner.points, "2");
    EXPECT_EQ(host.view.m_nRtRequested, 2);
    EXPECT_EQ(owner.realTimeStarts, 1);
    EXPECT_TRUE(host.reading);
    EXPECT_EQ(host.timerPeriod, 1000);
    dialog.Link().StopRealTime();
}

// The points text comes from the settings file as it stands there; the arrows step from the
// nearest number in range, however far outside it the text is.
TEST_F(LoggerDialogTest, RunArrowsStepIntoTheRangeFromAnyKeptPointsText)
{
    CRunDlg dialog(devices, host, owner);
    owner.points = "99999999999999999999";
    dialog.Initialise();
    dialog.show();
    QTest::keyClick(dialog.PointsEdit(), Qt::Key_Up);
    EXPECT_EQ(dialog.PointsEdit()->text(), QStringLiteral("100000"));

    owner.points = "-99999999999999999999";
    dialog.Initialise();
    QTest::keyClick(dialog.PointsEdit(), Qt::Key_Down);
    EXPECT_EQ(dialog.PointsEdit()->text(), QStringLiteral("1"));
    QTest::keyClick(dialog.PointsEdit(), Qt::Key_Up);
    EXPECT_EQ(dialog.PointsEdit()->text(), QStringLiteral("2"));
}

TEST(LoadingDialogTest, BarFollowsItsRangeAndStaysFullPastTheEnd)
{
    CLoadingDlg loading;
    loading.SetRange(20);
    loading.ShowCentred();
    EXPECT_TRUE(loading.IsOpen());
    loading.SetPos(7);
    EXPECT_EQ(loading.Pos(), 7);
    loading.SetPos(25);
    EXPECT_EQ(loading.Pos(), 20);
    // Only the reading that showed it ends it: Escape and a close request leave it up.
    QTest::keyClick(&loading, Qt::Key_Escape);
    EXPECT_TRUE(loading.IsOpen());
    EXPECT_FALSE(loading.close());
    EXPECT_TRUE(loading.IsOpen());
    EXPECT_FALSE(loading.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    loading.End();
    EXPECT_FALSE(loading.IsOpen());
}
