#include "ShellTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

#include "TestRecordings.h"
#include "ApplicationEnvironment.h"
#include "graph/widgets/CVxView.h"
#include "recording/RecordingFile.h"
#include "shell/widgets/CMainFrame.h"
#include "shell/widgets/GraphPictureCommands.h"
#include "tools/ProgramRunner.h"

namespace shakemeter::test {

namespace {

[[maybe_unused]] ::testing::Environment* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(
    new testing::ApplicationEnvironment("test_shell_widgets", QStringLiteral("ShakemeterTest")));

}  // namespace

Recording MakeLoggedRecording(int rows)
{
    std::vector<SampleRow> samples;
    for (int i = 0; i < rows; ++i) {
        samples.push_back({i * 0.01, -0.5, 1.0, 1.12});
    }
    Recording r = testing::MakeRecording(testing::MarchHeader(), std::move(samples));
    r.m_header.byThresholdX = 4;
    return r;
}

Recording MakeSpectrumRecording()
{
    Recording r = MakeLoggedRecording(256);
    r.m_header.wInterval = 0;
    r.m_header.byThresholdX = 0;
    return r;
}

QString WriteRecording(const QTemporaryDir& dir, const QString& name, const Recording& recording)
{
    const QString path = dir.filePath(name);
    std::string bytes;
    AppendRecordingBytes(bytes, recording, static_cast<int>(recording.RowCount()));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

QString WriteBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

void PaintPastTheFirstZoomReset(CVxView& view)
{
    // What the opening posted (a new display mode, a layout) runs before the wait, so the paint
    // that starts the reset has happened by then.
    view.repaint();
    QApplication::processEvents();
    EXPECT_TRUE(QTest::qWaitFor([&view] { return !view.ViewTimer(4)->isActive(); }, 5000));
    view.repaint();
    QApplication::processEvents();
}

void KeepScreenshot(const QString& name, const QImage& image)
{
    if (const char* dir = std::getenv("SHAKEMETER_SCREENSHOTS"))
        image.save(QString::fromUtf8(dir) + QLatin1Char('/') + name);
}

QAction* FindAction(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

QImage PaneSizePicture(CMainFrame& frame, const QString& path)
{
    GraphPictureChoice choice;
    choice.paneSize = true;
    QString error;
    EXPECT_TRUE(frame.GraphPictures()->ExportPicture(path, choice, &error)) << error.toStdString();
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

QImage CommandLinePicture(const QString& input, const QString& out, QSize size)
{
    const auto run = shakemeter::testing::RunProgram(
        SHAKEMETER_CLI, {"render", input.toStdString(), out.toStdString(), "--width", std::to_string(size.width()),
                         "--height", std::to_string(size.height())});
    EXPECT_EQ(run.code, 0) << run.err;
    return QImage(out).convertToFormat(QImage::Format_RGB32);
}

}  // namespace shakemeter::test
