// The graph and list printouts, written to PDF and read back as text.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include "MainFrameFixture.h"
#include "ShellTestSupport.h"
#include "graph/widgets/CVxView.h"
#include "logger/FakeDeviceLibrary.h"
#include "shell/CommandIds.h"
#include "shell/widgets/CMainFrame.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

QString PdfText(const QString& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(20000)) {
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

class PrintingTest : public MainFrameFixture {
protected:
    void SetUp() override
    {
        MakeFrame(QStringLiteral("s.ini"), QStringLiteral("t.Vibration"));
        frame->resize(1200, 800);
        frame->show();
    }
    void PdfPrinter(QPrinter& printer, const QString& name)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(name));
        printer.setResolution(600);
        printer.setPageSize(QPageSize(QPageSize::A4));
    }

    ScopedTimeZone zone{"UTC0"};
};

}  // namespace

TEST_F(PrintingTest, GraphPageCarriesTheReportLinesAndTheScreenPaintsAgainAfterwards)
{
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

TEST_F(PrintingTest, ListPrintoutHasOnePagePerSeventyRowsAfterTheFirstSixtyFive)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        GTEST_SKIP() << "pdftotext is not installed";
    }
    ASSERT_EQ(frame->OpenPath(WriteRecording(dir, "a.Vibration", MakeLoggedRecording(66))), LoadStatus::Loaded);
    frame->OnCommand(ID_IMPORT_LIST);
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame->DataListOpen(); }, 5000));
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

TEST_F(PrintingTest, PrintCommandsGoThroughTheReportAndTheScreenGraphWaitsForThePreview)
{
    ASSERT_EQ(frame->OpenPath(WriteRecording(dir, "a.Vibration", MakeLoggedRecording(66))), LoadStatus::Loaded);
    frame->GraphView()->repaint();
    frame->OnCommand(ID_IMPORT_LIST);
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame->DataListOpen(); }, 5000));
    QApplication::processEvents();

    struct Seen {
        int pages = -1;
        bool printing = false;
    };
    auto preview = [this](int command) {
        Seen seen;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                return;
            }
            if (auto* widget = dialog->findChild<QPrintPreviewWidget*>()) {
                seen.pages = widget->pageCount();
            }
            seen.printing = frame->GraphView()->State().g_bPrinting;
            dialog->reject();
        });
        frame->OnCommand(command);
        return seen;
    };
    const Seen graph = preview(ID_PREVIEW_GRAPH);
    EXPECT_EQ(graph.pages, 1);
    // The page was drawn from the graph's state: the screen must not draw over it meanwhile.
    EXPECT_TRUE(graph.printing) << "the screen painted while the preview was open";
    EXPECT_FALSE(frame->GraphView()->State().g_bPrinting) << "the screen paints again once it closed";
    EXPECT_EQ(preview(ID_PREVIEW_LIST).pages, 2);

    int maxPage = 0;
    bool rangeOffered = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
            maxPage = dialog->maxPage();
            rangeOffered = dialog->testOption(QAbstractPrintDialog::PrintPageRange);
            dialog->reject();
        }
    });
    frame->OnCommand(ID_PRINT_LIST);
    EXPECT_EQ(maxPage, 2);
    EXPECT_TRUE(rangeOffered);
}

TEST_F(PrintingTest, AJobThatCannotStartIsToldAndOneThatPrintsIsNot)
{
    ASSERT_EQ(frame->OpenPath(WriteRecording(dir, "a.Vibration", MakeLoggedRecording(40))), LoadStatus::Loaded);
    frame->GraphView()->repaint();
    const auto printThroughTheDialog = [this](const QString& name) {
        PdfPrinter(frame->Printer(), name);
        prompter.said.clear();
        QTimer::singleShot(0, [] {
            if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget()))
                dialog->accept();
        });
        frame->OnCommand(ID_PRINT_GRAPH);
        QApplication::processEvents();
    };
    printThroughTheDialog(QStringLiteral("graph.pdf"));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("graph.pdf"))));
    EXPECT_TRUE(prompter.said.empty());

    // A folder that is not there: the job cannot start.
    printThroughTheDialog(QStringLiteral("gone/graph.pdf"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("gone/graph.pdf"))));
    ASSERT_EQ(prompter.said.size(), 1u);
    EXPECT_TRUE(prompter.said[0].text.contains(QStringLiteral("gone/graph.pdf")))
        << prompter.said[0].text.toStdString();
    EXPECT_FALSE(frame->GraphView()->State().g_bPrinting);
}
