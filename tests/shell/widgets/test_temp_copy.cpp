// The temporary copy as a safety net: kept current while a reading goes on, marked while it holds
// a reading nobody saved, offered at the next start, and let go once saved or declined.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTest>

#include "MainFrameFixture.h"
#include "ShellTestSupport.h"
#include "logger/CLoggerLink.h"
#include "logger/widgets/CRunDlg.h"
#include "recording/RecordingFile.h"
#include "recording/UnsavedCopy.h"
#include "shell/CommandIds.h"
#include "shell/widgets/CMainFrame.h"
#include "shell/widgets/TempCopyKeeper.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

const QString kOffer = QString::fromLatin1(kUnsavedReadingQuestion);
const QString kCloseQuestion = QStringLiteral("Do you want to save the data before closing?");
const QString kSaveQuestion = QStringLiteral("Do you want to save the existing graph data before continuing?");

class TempCopyTest : public MainFrameFixture {
protected:
    void SetUp() override { Start(); }

    void Start()
    {
        MakeFrame();
        frame->resize(1000, 700);
        frame->show();
        AnswerLoggerDialogsWithOk();
        frame->CopyKeeper().SetPeriodMs(20);
    }

    // A real-time reading at the fastest rate with `rows` rows read (the first one at the start).
    void Read(int rows)
    {
        frame->SetRtChoice(0, "1000");
        for (int i = 0; i < rows; ++i) {
            devices.replies.push_back({0x00, static_cast<std::uint8_t>(0x10 + i), 0x00, 0x00, 0x00, 0xFA});
        }
        frame->OnCommand(ID_RUN);
        ASSERT_TRUE(frame->IsReading());
        for (int i = 1; i < rows; ++i) {
            frame->RunDialog()->Link().OnTimer(1);
        }
    }

    // The number of rows in the copy on disk; -1 when it cannot be read.
    int RowsInCopy() const
    {
        const RecordingFileResult copy = ReadRecordingFile(frame->TempCopyPath().toStdString());
        return copy.ok() ? static_cast<int>(copy.recording.m_pSamples.size()) : -1;
    }

    bool Marked() const { return CopyHoldsUnsavedReading(frame->TempCopyPath().toStdString()); }

    // The program ends without its closing sequence (a crash); a new window starts on the same files.
    void CrashAndRestart()
    {
        frame->CopyKeeper().WaitForWriter();
        frame->hide();
        devices.replies.clear();
        prompter.said.clear();
        frame.reset();
        Start();
        frame->OfferUnsavedReading();
    }
};

}  // namespace

TEST_F(TempCopyTest, TheCopyFollowsAReadingAndTheNextStartOffersIt)
{
    EXPECT_EQ(TempCopyKeeper::kPeriodMs, 60000);
    Read(3);
    devices.replies.push_back({0x00, 0x30, 0x00, 0x00, 0x00, 0xFA});
    devices.replies.push_back({0x00, 0x31, 0x00, 0x00, 0x00, 0xFA});
    EXPECT_TRUE(frame->CopyKeeper().Periodic());
    EXPECT_FALSE(QFile::exists(frame->TempCopyPath())) << "nothing written before the first period";
    EXPECT_TRUE(QTest::qWaitFor([&] { return RowsInCopy() == 3; }, 5000)) << RowsInCopy();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Marked(); }, 5000));
    frame->RunDialog()->Link().OnTimer(1);
    frame->RunDialog()->Link().OnTimer(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return RowsInCopy() == 5; }, 5000)) << RowsInCopy();

    // Saved while the reading goes on: the rows after the save are marked again.
    prompter.savePath = dir.filePath(QStringLiteral("midway.Vibration"));
    frame->OnCommand(ID_FILE_SAVE_BOTH);
    ASSERT_TRUE(QFile::exists(prompter.savePath));
    EXPECT_FALSE(Marked());
    EXPECT_TRUE(QTest::qWaitFor([&] { return Marked(); }, 5000));
    prompter.said.clear();

    CrashAndRestart();
    EXPECT_EQ(prompter.Texts(), QStringList{kOffer});
    EXPECT_EQ(prompter.said.front().icon, PromptIcon::Question);
    EXPECT_EQ(frame->ShownCount(), 0) << "No was answered";
    EXPECT_FALSE(Marked()) << "declined once, never offered again";
    EXPECT_EQ(RowsInCopy(), 5) << "the copy itself stays for Reload";

    prompter.said.clear();
    frame->OfferUnsavedReading();
    EXPECT_TRUE(prompter.said.empty());
}

TEST_F(TempCopyTest, AnOpenedReadingIsUnsavedUntilSavedUnderAName)
{
    Read(4);
    frame->OnCommand(ID_STOP_READING);
    EXPECT_FALSE(frame->CopyKeeper().Periodic());
    EXPECT_EQ(RowsInCopy(), 4);
    EXPECT_TRUE(Marked()) << "a stopped reading is as unsaved as a running one";

    prompter.answers = {true};
    CrashAndRestart();
    EXPECT_EQ(prompter.Texts(), QStringList{kOffer});
    ASSERT_EQ(frame->ShownCount(), 4);
    EXPECT_EQ(frame->Doc().recording().m_pSamples[3][0],
              ReadRecordingFile(frame->TempCopyPath().toStdString()).recording.m_pSamples[3][0]);
    EXPECT_TRUE(frame->Doc().PathName().isEmpty());
    EXPECT_TRUE(frame->Flags().m_bDataUnsaved);
    EXPECT_TRUE(Marked()) << "still nobody's file: a second crash offers it again";

    // Ctrl+S asks for a name, since the copy is not the user's file.
    prompter.savePath = dir.filePath(QStringLiteral("kept.Vibration"));
    frame->OnCommand(ID_FILE_SAVE);
    EXPECT_EQ(prompter.saveDialogs, 1);
    EXPECT_EQ(ReadRecordingFile(prompter.savePath.toStdString()).recording.m_pSamples.size(), 4u);
    EXPECT_FALSE(Marked());
}

TEST_F(TempCopyTest, ANormalEndLetsTheReadingGoWhateverTheAnswer)
{
    // Closing asks whether to save; No is the user's choice, and the next start does not ask again.
    Read(4);
    frame->OnCommand(ID_STOP_READING);
    ASSERT_TRUE(Marked());
    frame->close();
    EXPECT_EQ(prompter.Texts(), QStringList{kCloseQuestion});
    EXPECT_FALSE(Marked());
    EXPECT_EQ(RowsInCopy(), 4);
    CrashAndRestart();
    EXPECT_TRUE(prompter.said.empty());
}

TEST_F(TempCopyTest, ASaveQuestionDeclinedOrAFailedSaveDecidesTheMark)
{
    Read(3);
    frame->OnCommand(ID_STOP_READING);
    ASSERT_TRUE(Marked());

    // Yes, but the save fails: the reading is still the only copy.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.xls")));
    prompter.answers = {true};
    prompter.savePath = dir.filePath(QStringLiteral("taken.Vibration"));
    frame->OnCommand(ID_RUN);
    EXPECT_EQ(prompter.Texts().first(), kSaveQuestion);
    EXPECT_TRUE(Marked());

    // No: the new reading replaces it by the user's choice; the mark comes back with that reading.
    prompter.answers = {false};
    devices.replies.push_back({0x00, 0x20, 0x00, 0x00, 0x00, 0xFA});
    frame->OnCommand(ID_RUN);
    ASSERT_TRUE(frame->IsReading());
    EXPECT_FALSE(Marked());
    EXPECT_TRUE(QTest::qWaitFor([&] { return Marked(); }, 5000));
    EXPECT_EQ(RowsInCopy(), 1);
}

TEST_F(TempCopyTest, AReadingThatFailsKeepsEveryRowItReadInTheCopy)
{
    Read(2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return RowsInCopy() == 2; }, 5000));
    devices.replies.push_back({0x00, 0x40, 0x00, 0x00, 0x00, 0xFA});
    frame->RunDialog()->Link().OnTimer(1);
    frame->RunDialog()->Link().OnTimer(1);  // the logger does not answer
    ASSERT_FALSE(frame->IsReading());
    ASSERT_EQ(frame->ShownCount(), 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return RowsInCopy() == 3; }, 5000)) << RowsInCopy();
    EXPECT_TRUE(Marked());
}

TEST_F(TempCopyTest, AnFftReadingIsOfferedAsWellWithItsLastCapture)
{
    frame->OnCommand(ID_FFT_READING);
    ASSERT_TRUE(frame->IsReading());
    for (int n = 1; n <= 7; ++n) {
        devices.replies.push_back(std::vector<std::uint8_t>(n < 7 ? 252 : 24, 0x01));
    }
    frame->OnSpectrumTick();
    ASSERT_EQ(frame->ShownCount(), 128);
    EXPECT_TRUE(Marked()) << "every capture is written at once, and it is a reading";

    prompter.answers = {true};
    CrashAndRestart();
    EXPECT_EQ(prompter.Texts(), QStringList{kOffer});
    EXPECT_EQ(frame->ShownCount(), 128);
    EXPECT_TRUE(frame->Flags().m_bDataUnsaved);
}

TEST_F(TempCopyTest, ACopyThatCannotBeReadIsToldAndNotOfferedAgain)
{
    Read(3);
    frame->OnCommand(ID_STOP_READING);
    QFile copy(frame->TempCopyPath());
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly | QIODevice::Truncate));
    copy.write("\x14Vibration Shakemeter and then nothing");
    copy.close();

    prompter.answers = {true};
    CrashAndRestart();
    ASSERT_EQ(prompter.said.size(), 2u);
    EXPECT_EQ(prompter.said[0].text, kOffer);
    EXPECT_TRUE(prompter.said[1].text.contains(frame->TempCopyPath())) << prompter.said[1].text.toStdString();
    EXPECT_FALSE(Marked());
}

TEST_F(TempCopyTest, ADownloadLeavesNothingToOffer)
{
    Read(3);
    frame->OnCommand(ID_STOP_READING);
    ASSERT_TRUE(Marked());
    ScriptMemory(6);
    prompter.answers = {false};
    frame->OnCommand(ID_DOWNLOAD);
    EXPECT_EQ(RowsInCopy(), 6);
    EXPECT_FALSE(Marked()) << "the logger still holds what was downloaded";
}
