// Saving when the disk or the name does not allow it: a full disk, a read-only folder, a name too
// long for the system, a name outside Latin-1. Every refusal names the file; nothing half-written
// is left and the files there before keep their bytes. The temporary copy tells its failure once.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTest>
#include <sys/mount.h>
#include <sys/stat.h>

#include "MainFrameFixture.h"
#include "ShellTestSupport.h"
#include "logger/CLoggerLink.h"
#include "logger/widgets/CRunDlg.h"
#include "recording/RecordingFile.h"
#include "shell/CommandIds.h"
#include "shell/widgets/CMainFrame.h"
#include "shell/widgets/TempCopyKeeper.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

class SavingFaultsTest : public MainFrameFixture {
protected:
    void TearDown() override
    {
        if (m_mounted) {
            ::umount(m_disk.toLocal8Bit().constData());
        }
        ::chmod(dir.path().toLocal8Bit().constData(), 0755);
    }

    // A disk of 64 kB in the folder "disk", when this system lets the test mount one.
    bool MountSmallDisk()
    {
        m_disk = dir.filePath(QStringLiteral("disk"));
        QDir().mkpath(m_disk);
        m_mounted = ::mount("tmpfs", m_disk.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") == 0;
        return m_mounted;
    }

    void Open(int rows)
    {
        ASSERT_EQ(frame->OpenPath(WriteRecording(dir, QStringLiteral("shown.Vibration"), MakeLoggedRecording(rows))),
                  LoadStatus::Loaded);
        frame->SetDataUnsaved();
    }

    static QByteArray Bytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void Put(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QStringList Temporaries(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".tmp-"));
    }

    // Saves under `chosen` with the Save command; true when both files were written.
    bool SaveAs(const QString& chosen)
    {
        prompter.savePath = chosen;
        prompter.said.clear();
        frame->OnCommand(ID_FILE_SAVE_BOTH);
        return prompter.said.empty();
    }

    QString m_disk;
    bool m_mounted = false;
};

}  // namespace

TEST_F(SavingFaultsTest, AFullDiskRefusesTheSaveAndTheCopyKeepingWhatWasThere)
{
    if (!MountSmallDisk()) {
        GTEST_SKIP() << "this system does not let the test mount a small disk";
    }
    MakeFrame(QStringLiteral("s.ini"), QStringLiteral("disk/PreMeasure.Vibration"));
    const QString recording = m_disk + QStringLiteral("/run.Vibration");
    Put(recording, "previous recording");
    Put(m_disk + QStringLiteral("/run.xls"), "previous report");
    Put(frame->TempCopyPath(), "previous copy");

    Open(20000);  // about half a megabyte of samples
    EXPECT_FALSE(SaveAs(recording));
    ASSERT_EQ(prompter.said.size(), 1u);
    EXPECT_TRUE(prompter.said[0].text.startsWith(QStringLiteral("Cannot save \"%1/run.").arg(m_disk)))
        << prompter.said[0].text.toStdString();
    EXPECT_TRUE(prompter.said[0].text.endsWith(QStringLiteral("\": No space left on device.")));
    EXPECT_EQ(Bytes(recording), "previous recording");
    EXPECT_EQ(Bytes(m_disk + QStringLiteral("/run.xls")), "previous report");
    EXPECT_TRUE(frame->Flags().m_bDataUnsaved) << "a failed save is not a save";

    prompter.said.clear();
    frame->WriteTempCopy();
    EXPECT_EQ(prompter.Texts(),
              QStringList{QStringLiteral("Cannot save \"%1\": No space left on device.").arg(frame->TempCopyPath())});
    EXPECT_EQ(Bytes(frame->TempCopyPath()), "previous copy");
    EXPECT_TRUE(Temporaries(m_disk).isEmpty()) << Temporaries(m_disk).join(' ').toStdString();
}

TEST_F(SavingFaultsTest, ReadOnlyFoldersAndOverlongNamesAreRefusedByName)
{
    MakeFrame();
    Open(50);
    const QString locked = dir.filePath(QStringLiteral("locked"));
    QDir().mkpath(locked);
    Put(locked + QStringLiteral("/run.Vibration"), "previous recording");
    ::chmod(locked.toLocal8Bit().constData(), 0555);
    EXPECT_FALSE(SaveAs(locked + QStringLiteral("/run.Vibration")));
    EXPECT_EQ(prompter.Texts(),
              QStringList{QStringLiteral("Cannot save \"%1/run.xls\": the folder is read-only.").arg(locked)});
    ::chmod(locked.toLocal8Bit().constData(), 0755);
    EXPECT_EQ(Bytes(locked + QStringLiteral("/run.Vibration")), "previous recording");
    EXPECT_FALSE(QFile::exists(locked + QStringLiteral("/run.xls")));

    const QString overlong = dir.filePath(QString(300, QLatin1Char('n')) + QStringLiteral(".Vibration"));
    EXPECT_FALSE(SaveAs(overlong));
    ASSERT_EQ(prompter.said.size(), 1u);
    EXPECT_TRUE(prompter.said[0].text.endsWith(QStringLiteral(".xls\": File name too long.")));
    EXPECT_TRUE(prompter.said[0].text.startsWith(QStringLiteral("Cannot save \"%1/nnnn").arg(dir.path())));
    EXPECT_TRUE(Temporaries(dir.path()).isEmpty());
    EXPECT_TRUE(frame->Flags().m_bDataUnsaved);
}

TEST_F(SavingFaultsTest, NamesOutsideLatin1AreSavedUnderExactlyThatName)
{
    MakeFrame();
    Open(50);
    const QString stem = dir.filePath(QStringLiteral("Schwingung \u632f\u52d5 \u03a9"));
    ASSERT_TRUE(SaveAs(stem + QStringLiteral(".Vibration"))) << prompter.Texts().join('\n').toStdString();
    EXPECT_TRUE(QFile::exists(stem + QStringLiteral(".xls")));
    EXPECT_EQ(frame->Doc().PathName(), stem + QStringLiteral(".Vibration"));
    EXPECT_FALSE(frame->Flags().m_bDataUnsaved);
    ASSERT_EQ(frame->OpenPath(stem + QStringLiteral(".Vibration")), LoadStatus::Loaded);
    EXPECT_EQ(frame->ShownCount(), 50);
}

TEST_F(SavingFaultsTest, TheCopyTellsItsFailureOnceUntilItIsWrittenAgain)
{
    const QString folder = dir.filePath(QStringLiteral("copies"));
    QDir().mkpath(folder);
    MakeFrame(QStringLiteral("s.ini"), QStringLiteral("copies/PreMeasure.Vibration"));
    AnswerLoggerDialogsWithOk();
    frame->CopyKeeper().SetPeriodMs(10);
    frame->SetRtChoice(0, "1000");
    for (int i = 0; i < 3; ++i) {
        devices.replies.push_back({0x00, 0x32, 0x00, 0x00, 0x00, 0xFA});
    }
    ::chmod(folder.toLocal8Bit().constData(), 0555);
    frame->OnCommand(ID_RUN);
    ASSERT_TRUE(frame->IsReading());
    QTest::qWait(100);  // several periods
    frame->CopyKeeper().WaitForWriter();
    const QString failure = QStringLiteral("Cannot save \"%1\": the folder is read-only.")
                                .arg(folder + QStringLiteral("/PreMeasure.Vibration"));
    EXPECT_EQ(prompter.Texts(), QStringList{failure});

    ::chmod(folder.toLocal8Bit().constData(), 0755);
    frame->RunDialog()->Link().OnTimer(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(frame->TempCopyPath()); }, 5000));
    ::chmod(folder.toLocal8Bit().constData(), 0555);
    frame->RunDialog()->Link().OnTimer(1);
    frame->OnCommand(ID_STOP_READING);
    EXPECT_EQ(prompter.Texts(), (QStringList{failure, failure})) << "told again after a success";
    ::chmod(folder.toLocal8Bit().constData(), 0755);
}
