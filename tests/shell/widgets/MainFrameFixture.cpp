#include "MainFrameFixture.h"

#include "logger/widgets/CDownloadDlg.h"
#include "logger/widgets/CRunDlg.h"

namespace shakemeter::test {

FrameEnvironment FrameEnvironmentIn(const QTemporaryDir& dir, Prompter& prompter, DeviceLibrary& devices,
                                    const QString& settingsName, const QString& tempCopyName)
{
    FrameEnvironment env;
    env.prompter = &prompter;
    env.devices = &devices;
    env.settingsPath = dir.filePath(settingsName);
    env.tempCopyPath = dir.filePath(tempCopyName);
    return env;
}

void OwnProfileFrameTest::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    env = FrameEnvironmentIn(dir, prompter, devices);
    env.profilePath = dir.filePath(QStringLiteral("profile.conf"));
}

void OwnProfileFrameTest::MakeWideFrame()
{
    ASSERT_FALSE(HasFatalFailure());
    frame = std::make_unique<CMainFrame>(env);
    frame->resize(1400, 800);
}

void MainFrameFixture::MakeFrame(const QString& settingsName, const QString& tempCopyName)
{
    ASSERT_TRUE(dir.isValid());
    frame = std::make_unique<CMainFrame>(FrameEnvironmentIn(dir, prompter, devices, settingsName, tempCopyName));
}

void MainFrameFixture::AnswerLoggerDialogsWithOk()
{
    frame->SetDialogRunner([this](LoggerDialogBase& dialog) {
        ++dialogsRun;
        dialog.Initialise();
        dialog.Poll();
        if (auto* download = qobject_cast<CDownloadDlg*>(&dialog)) {
            download->OnOK();
        } else if (auto* run = qobject_cast<CRunDlg*>(&dialog)) {
            run->OnOK();
        }
        return 1;
    });
}

void MainFrameFixture::ScriptMemory(int samples, int events)
{
    RecordingHeader header;
    header.dwSampleCount = static_cast<std::uint32_t>(samples * 6);
    header.wFreeFallCount = static_cast<std::uint16_t>(events);
    header.wInterval = 200;
    header.wYear = 2023;
    header.byMonth = 3;
    header.byDay = 5;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(samples) * 6, 0);
    for (std::size_t i = 1; i < data.size(); i += 6) {
        data[i] = 0x64;  // X = 100 counts
    }
    std::vector<std::uint8_t> stream;
    for (int e = 0; e < events; ++e) {
        stream.insert(stream.end(), {23, 3, 5, 14, 7, static_cast<std::uint8_t>(e)});
    }
    devices.ScriptDownload(EncodeHeaderBlock(header), data, stream);
}

}  // namespace shakemeter::test
