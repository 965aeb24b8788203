// The graph and list printouts, written to PDF and read back as text.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "ShellTestSupport.h"
#include "graph/widgets/CVxView.h"
#include "logger/FakeDeviceLibrary.h"
#include "shell/CommandIds.h"
#include "shell/widgets/CMainFrame.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

QString PdfText(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(20000)) {
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override {
        FrameEnvironment env;
        env.prompter = &prompter;
        env.devices = &devices;
        env.settingsPath = dir.filePath(QStringLiteral("s.ini"));
        env.tempCopyPath = dir.filePath(QStringLiteral("t.Vibration"));
        frame = std::make_unique<CMainFrame>(env);
        frame->resize(1200, 800);
        frame->show();
    }
    void PdfPrinter(QPrinter& printer, const QString& name) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(name));
        printer.setResolution(600);
        printer.setPageSize(QPageSize(QPageSize::A4));
    }

    ScopedTimeZone zone{"UTC0"};
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    FakeDeviceLibrary devices;
    std::unique_ptr<CMainFrame> frame;
};

}  // namespace

TEST_F(PrintingTest, GraphPageCarriesTheReportLinesAndTheScreenPaintsAgainAfterwards) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    ASSERT_EQ(frame->OpenPath(WriteRecording(dir, "a.Vibration", MakeLoggedRecording(40))), LoadStatus::Loaded);
    frame->GraphView()->repaint();
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, QStringLiteral("graph.pdf"));
    ASSERT_TRUE(frame->PrintTo(printer, 1));
    const QString text = PdfText(dir.filePath(QStringLiteral("graph.pdf")));
    EXPECT_TRUE(text.contains(QStringLiteral("Test Report")));
    EXPECT_TRUE(text.contains(QStringLiteral("Sampling rate: 0.050sec"))) << text.left(400).toStdString();
    EXPECT_FALSE(frame->GraphView()->State().g_bPrinting) << "the screen paints again after the job";
}

#if SHAKEMETER_HAVE_DATA_LIST
TEST_F(PrintingTest, ListPrintoutHasOnePagePerSeventyRowsAfterTheFirstSixtyFive) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    ASSERT_EQ(frame->OpenPath(WriteRecording(dir, "a.Vibration", MakeLoggedRecording(66))), LoadStatus::Loaded);
    frame->OnCommand(ID_IMPORT_LIST);
    QTRY_VERIFY(frame->DataListOpen());
    QApplication::processEvents();
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, QStringLiteral("list.pdf"));
    ASSERT_TRUE(frame->PrintTo(printer, 2));
    const QString text = PdfText(dir.filePath(QStringLiteral("list.pdf")));
    EXPECT_EQ(text.count(QStringLiteral("Test Report")), 2);
    EXPECT_TRUE(text.contains(QStringLiteral("page2")) || text.contains(QStringLiteral("page 2")) ||
                text.contains(QStringLiteral("  page2")))
        << text.right(300).toStdString();
}
#endif
