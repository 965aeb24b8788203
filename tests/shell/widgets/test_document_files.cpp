// The document's files as the main window handles them: which files open, what a failed open or
// save tells, what the standard save writes and when it asks, when unsaved data is protected, and
// the summary panel of a recording that replaces a spectrum.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTest>
#include <sys/prctl.h>
#include <unistd.h>

#include "MainFrameFixture.h"
#include "ShellTestSupport.h"
#include "graph/widgets/CVxView.h"
#include "logger/FakeDeviceLibrary.h"
#include "logger/widgets/CDownloadDlg.h"
#include "logger/widgets/CRunDlg.h"
#include "recording/RecordingFile.h"
#include "shell/CommandIds.h"
#include "shell/widgets/CMainFrame.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

const QString kSaveQuestion = QStringLiteral("Do you want to save the existing graph data before continuing?");
const QString kCloseQuestion = QStringLiteral("Do you want to save the data before closing?");

class DocumentFilesTest : public MainFrameFixture {
protected:
    void SetUp() override
    {
        MakeFrame();
        frame->resize(1200, 800);
        AnswerLoggerDialogsWithOk();
    }

    QString Write(const QString& name, int rows) { return WriteRecording(dir, name, MakeLoggedRecording(rows)); }
    QByteArray Bytes(const QString& name) const
    {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }
    int SummaryHeight() const { return frame->GraphView()->SummaryHeight(); }
    int SummaryFullHeight() const { return frame->GraphView()->SummaryFullHeight(); }
};

// Root may write any file: while it lives, the test runs as a user without that privilege.
class ScopedUnprivilegedUser {
public:
    ScopedUnprivilegedUser()
    {
        if (::geteuid() == 0) {
            m_switched = ::seteuid(65534) == 0;
        }
    }
    ~ScopedUnprivilegedUser()
    {
        if (m_switched) {
            EXPECT_EQ(::seteuid(0), 0);
            // The change of identity made the process undumpable, which would keep the leak
            // checker of a sanitizer build from inspecting it at exit.
            ::prctl(PR_SET_DUMPABLE, 1);
        }
    }
    ScopedUnprivilegedUser(const ScopedUnprivilegedUser&) = delete;
    ScopedUnprivilegedUser& operator=(const ScopedUnprivilegedUser&) = delete;

private:
    bool m_switched = false;
};

}  // namespace

TEST_F(DocumentFilesTest, TheSummaryPanelReturnsWhenARecordingLeavesFrequencyMode)
{
    frame->show();
    const QString spectrum = WriteRecording(dir, "s.Vibration", MakeSpectrumRecording());
    auto showSpectrumInFrequencyMode = [&] {
        ASSERT_EQ(frame->OpenPath(spectrum), LoadStatus::Loaded);
        frame->OnCommand(ID_FREQUENCY_GRAPH);
        ASSERT_EQ(SummaryHeight(), 0);
    };

    // Opened.
    showSpectrumInFrequencyMode();
    ASSERT_EQ(frame->OpenPath(Write("a.Vibration", 20)), LoadStatus::Loaded);
    EXPECT_EQ(SummaryHeight(), 155);
    EXPECT_EQ(SummaryFullHeight(), 155);
    EXPECT_FALSE(frame->GraphView()->Companions().m_bLeftFrequencyMode);
    // Window > Data Summary brings back the full panel, not a height of 0.
    frame->OnCommand(ID_VIEW_SUMMARY);
    frame->OnCommand(ID_VIEW_SUMMARY);
    EXPECT_EQ(SummaryHeight(), 155);

    // Reloaded.
    showSpectrumInFrequencyMode();
    WriteRecording(dir, "PreMeasure.Vibration", MakeLoggedRecording(12));
    frame->OnCommand(ID_RELOAD);
    ASSERT_EQ(frame->ShownCount(), 12);
    EXPECT_EQ(SummaryHeight(), 155);

    // Downloaded.
    showSpectrumInFrequencyMode();
    ScriptMemory(30);
    frame->OnCommand(ID_DOWNLOAD);
    ASSERT_EQ(frame->ShownCount(), 30);
    EXPECT_EQ(SummaryHeight(), 155);
    EXPECT_EQ(SummaryFullHeight(), 155);

    // Switched off by the user: the panel stays off but comes back full.
    showSpectrumInFrequencyMode();
    frame->OnCommand(ID_VIEW_SUMMARY);
    ASSERT_EQ(frame->OpenPath(Write("b.Vibration", 5)), LoadStatus::Loaded);
    EXPECT_EQ(SummaryHeight(), 0);
    frame->OnCommand(ID_VIEW_SUMMARY);
    EXPECT_EQ(SummaryHeight(), 155);
}

TEST_F(DocumentFilesTest, ReadOnlyRecordingsOpenByEveryRoute)
{
    const QString path = Write("ro.Vibration", 9);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                          QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
    {
        ScopedUnprivilegedUser user;
        frame->OpenFromCommandLine(path);  // the command line and a double-click
    }
    EXPECT_EQ(frame->ShownCount(), 9);
    EXPECT_EQ(frame->Doc().PathName(), path);

    prompter.openPath = path;
    for (int command : {ID_FILE_OPEN_RECORDING, ID_FILE_OPEN}) {
        ASSERT_EQ(frame->OpenPath(Write("other.Vibration", 3)), LoadStatus::Loaded);
        {
            ScopedUnprivilegedUser user;
            frame->OnCommand(command);
        }
        EXPECT_EQ(frame->ShownCount(), 9) << command;
    }
    EXPECT_TRUE(prompter.said.empty()) << prompter.Texts().join('|').toStdString();
}

TEST_F(DocumentFilesTest, AFailedOpenNamesTheFileAndTheReason)
{
    frame->OpenFromCommandLine(Write("a.Vibration", 7));
    std::string bytes;
    AppendRecordingBytes(bytes, MakeLoggedRecording(30), 30);
    const QString cut = WriteBytes(dir, "cut.Vibration", QByteArray(bytes.data(), 200));
    frame->OpenFromCommandLine(cut);
    const QString missing = dir.filePath(QStringLiteral("missing.Vibration"));
    prompter.openPath = missing;
    frame->OnCommand(ID_FILE_OPEN_RECORDING);
    prompter.openPath = dir.path();
    frame->OnCommand(ID_FILE_OPEN);
    EXPECT_EQ(prompter.Texts(),
              (QStringList{QStringLiteral("Cannot open \"%1\": the file is damaged or incomplete.").arg(cut),
                           QStringLiteral("Cannot open \"%1\": No such file or directory.").arg(missing),
                           QStringLiteral("Cannot open \"%1\": it is a folder.").arg(dir.path())}));
    EXPECT_EQ(frame->ShownCount(), 7);
    EXPECT_EQ(frame->Doc().PathName(), dir.filePath(QStringLiteral("a.Vibration")));
    // A cancelled file dialog is no failure.
    prompter.openPath.clear();
    frame->OnCommand(ID_FILE_OPEN_RECORDING);
    EXPECT_EQ(prompter.said.size(), 3u);
}

TEST_F(DocumentFilesTest, ReloadAfterADownloadWithoutSamplesSaysWhy)
{
    ScriptMemory(0, 2);
    frame->OnCommand(ID_DOWNLOAD);
    ASSERT_EQ(frame->Doc().recording().m_pFreeFallEvents.size(), 2u);
    ASSERT_TRUE(prompter.said.empty());
    frame->OnCommand(ID_RELOAD);
    EXPECT_EQ(prompter.Texts(),
              QStringList{QStringLiteral("Cannot reload \"%1\": the last data read from the logger held no samples.")
                              .arg(frame->TempCopyPath())});
    // With no temporary copy at all the reason is the system's.
    QFile::remove(frame->TempCopyPath());
    frame->OnCommand(ID_RELOAD);
    ASSERT_EQ(prompter.said.size(), 2u);
    EXPECT_EQ(prompter.Texts().last(),
              QStringLiteral("Cannot open \"%1\": No such file or directory.").arg(frame->TempCopyPath()));
}

TEST_F(DocumentFilesTest, TheStandardSaveAsksWheneverTheDataIsNotTheFiles)
{
    const QString first = Write("first.Vibration", 7);
    frame->OpenFromCommandLine(first);
    const QByteArray firstBytes = Bytes("first.Vibration");
    // Data from the file: Ctrl+S writes it back with its report, without asking.
    frame->OnCommand(ID_FILE_SAVE);
    EXPECT_EQ(prompter.saveDialogs, 0);
    EXPECT_EQ(Bytes("first.Vibration"), firstBytes);
    EXPECT_TRUE(Bytes("first.xls").contains(">>Start Time: 05/03/23"));

    // A download replaces it: Ctrl+S asks, and the earlier file and its report stay as they were.
    const QByteArray firstReport = Bytes("first.xls");
    ScriptMemory(40);
    frame->OnCommand(ID_DOWNLOAD);
    ASSERT_EQ(frame->ShownCount(), 40);
    EXPECT_TRUE(frame->Doc().PathName().isEmpty());
    prompter.savePath = dir.filePath(QStringLiteral("second.Vibration"));
    frame->OnCommand(ID_FILE_SAVE);
    EXPECT_EQ(prompter.saveDialogs, 1);
    EXPECT_EQ(Bytes("first.Vibration"), firstBytes);
    EXPECT_EQ(Bytes("first.xls"), firstReport);
    const RecordingFileResult second =
        ReadRecordingFile(dir.filePath(QStringLiteral("second.Vibration")).toStdString());
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second.recording.m_header.dwSampleCount, 40u);
    EXPECT_TRUE(Bytes("second.xls").contains("\r\n"));
    EXPECT_EQ(frame->Doc().PathName(), prompter.savePath);
    EXPECT_FALSE(frame->Flags().m_bDataUnsaved);

    // Ctrl+N: the recording stays, but it belongs to no file any more.
    frame->OnCommand(ID_FILE_NEW);
    EXPECT_EQ(frame->ShownCount(), 40);
    prompter.savePath.clear();
    frame->OnCommand(ID_FILE_SAVE);
    EXPECT_EQ(prompter.saveDialogs, 2);

    // So do a live reading and Reload of the temporary copy.
    frame->OpenFromCommandLine(first);
    frame->SetRtChoice(0, "1");
    devices.replies.push_back({0x00, 0x32, 0x00, 0x00, 0x00, 0xFA});
    frame->OnCommand(ID_RUN);
    ASSERT_EQ(dialogsRun, 2);
    EXPECT_TRUE(frame->Doc().PathName().isEmpty());
    frame->OpenFromCommandLine(first);
    frame->OnCommand(ID_RELOAD);
    EXPECT_TRUE(frame->Doc().PathName().isEmpty());
}

TEST_F(DocumentFilesTest, CtrlNKeepsTheZoom)
{
    frame->show();
    ASSERT_EQ(frame->OpenPath(Write("a.Vibration", 400)), LoadStatus::Loaded);
    CVxView* view = frame->GraphView();
    PaintPastTheFirstZoomReset(*view);
    const PlotRect plot = view->Model().plot();
    const int y = (plot.top + plot.bottom) / 2;
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(plot.left + 20, y - 40));
    QTest::mouseMove(view, QPoint(plot.left + 120, y + 40));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(plot.left + 120, y + 40));
    ASSERT_EQ(view->State().g_nZoomLevel, 1);
    const int first = view->Companions().m_nRangeFirst;
    const int last = view->Companions().m_nRangeLast;
    frame->OnCommand(ID_FILE_NEW);
    view->repaint();
    EXPECT_EQ(view->State().g_nZoomLevel, 1);
    EXPECT_EQ(view->Companions().m_nRangeFirst, first);
    EXPECT_EQ(view->Companions().m_nRangeLast, last);
    EXPECT_TRUE(frame->Doc().PathName().isEmpty());
}

TEST_F(DocumentFilesTest, AFailedSaveNamesTheFileAndLeavesNothingHalfWritten)
{
    ASSERT_EQ(frame->OpenPath(Write("a.Vibration", 5)), LoadStatus::Loaded);
    frame->SetDataUnsaved();
    // A folder named like the report, then like the recording.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("r1.xls")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("r2.Vibration")));
    prompter.savePath = dir.filePath(QStringLiteral("r1.Vibration"));
    frame->OnCommand(ID_FILE_SAVE_BOTH);
    prompter.savePath = dir.filePath(QStringLiteral("r2.xls"));
    frame->OnCommand(ID_FILE_SAVE_BOTH);
    EXPECT_EQ(prompter.Texts(),
              (QStringList{QStringLiteral("Cannot save \"%1\": Is a directory.").arg(dir.filePath("r1.xls")),
                           QStringLiteral("Cannot save \"%1\": Is a directory.").arg(dir.filePath("r2.Vibration"))}));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("r1.Vibration"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("r2.xls"))));
    EXPECT_TRUE(Files().filter(QStringLiteral(".tmp-")).isEmpty()) << Files().join(' ').toStdString();
    EXPECT_TRUE(frame->Flags().m_bDataUnsaved);
    EXPECT_EQ(frame->Doc().PathName(), QString());
}

TEST_F(DocumentFilesTest, SavingRefusesReadOnlyFilesAndKeepsThem)
{
    const QString path = Write("a.Vibration", 5);
    frame->OpenFromCommandLine(path);
    const QByteArray before = Bytes("a.Vibration");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    ASSERT_EQ(frame->OpenPath(Write("b.Vibration", 8)), LoadStatus::Loaded);
    frame->Doc().SetPathName(path);  // as after opening it
    frame->OnCommand(ID_FILE_SAVE);
    prompter.savePath = path;
    frame->OnCommand(ID_FILE_SAVE_BOTH);
    const QString refused = QStringLiteral("Cannot save \"%1\": the file is read-only.").arg(path);
    EXPECT_EQ(prompter.Texts(), (QStringList{refused, refused}));
    EXPECT_EQ(Bytes("a.Vibration"), before);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("a.xls")))) << "the pair is written as one or not at all";
    EXPECT_FALSE(QFile::permissions(path).testFlag(QFileDevice::WriteOwner));
}

TEST_F(DocumentFilesTest, DataArrivingAfterASaveIsProtectedAgain)
{
    frame->show();
    ScriptMemory(30);
    frame->OnCommand(ID_DOWNLOAD);
    prompter.savePath = dir.filePath(QStringLiteral("saved.Vibration"));
    frame->OnCommand(ID_FILE_SAVE_BOTH);
    ASSERT_TRUE(QFile::exists(prompter.savePath));
    // A later download: the next Download asks, and so does closing.
    ScriptMemory(20);
    frame->OnCommand(ID_DOWNLOAD);
    ASSERT_EQ(frame->ShownCount(), 20);
    EXPECT_TRUE(prompter.said.empty());
    ScriptMemory(10);
    frame->OnCommand(ID_DOWNLOAD);  // answered No: the download goes on
    EXPECT_EQ(prompter.Texts(), QStringList{kSaveQuestion});
    EXPECT_EQ(frame->ShownCount(), 10);
    frame->close();
    EXPECT_EQ(prompter.Texts(), (QStringList{kSaveQuestion, kCloseQuestion}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->isVisible(); }, 5000));
}

TEST_F(DocumentFilesTest, CancellingTheFileDialogAfterYesCancelsTheCommand)
{
    frame->show();
    ScriptMemory(30);
    frame->OnCommand(ID_DOWNLOAD);
    ASSERT_EQ(dialogsRun, 1);
    // Open: Yes, then the file dialog cancelled; the other file is not opened.
    prompter.answers = {true};
    prompter.openPath = Write("other.Vibration", 4);
    frame->OnCommand(ID_FILE_OPEN_RECORDING);
    EXPECT_EQ(frame->ShownCount(), 30);
    EXPECT_TRUE(frame->Flags().m_bDataUnsaved);
    // Download and Run likewise.
    prompter.answers = {true, true};
    frame->OnCommand(ID_DOWNLOAD);
    frame->OnCommand(ID_RUN);
    EXPECT_EQ(dialogsRun, 1);
    // Closing: the window stays open with its data.
    prompter.answers = {true};
    frame->close();
    QTest::qWait(50);
    EXPECT_TRUE(frame->isVisible());
    ASSERT_FALSE(prompter.said.empty());
    EXPECT_EQ(prompter.Texts().last(), kCloseQuestion);
    // Asked again, Yes with a name saves and closes.
    prompter.answers = {true};
    prompter.savePath = dir.filePath(QStringLiteral("kept.Vibration"));
    frame->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->isVisible(); }, 5000));
    EXPECT_TRUE(QFile::exists(prompter.savePath));
}
