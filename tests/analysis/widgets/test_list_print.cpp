// Printed list pages and report lines, written to a PDF at 600 dpi and read back as text.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QComboBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <QDebug>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "analysis/widgets/CDataListDlg.h"
#include "analysis/widgets/ListPrint.h"
#include "analysis/widgets/ReportPrinter.h"
#include "recording/test_summary_fixtures.h"
#include "test_data_list_app.h"

namespace shakemeter {
namespace {

using namespace testing;

[[maybe_unused]] ::testing::Environment* const kAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new testing::WidgetAppEnvironment);

// Rows whose X value is the row number, so each printed row names itself twice.
std::vector<SampleRow> NumberedRows(int count)
{
    std::vector<SampleRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({static_cast<double>(i), 0.5, -0.5, 9.75});
    return rows;
}

class ListPrintTest : public ::testing::Test {
protected:
    ListPrintTest() : zone("UTC0") {}

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // KEEP_PRINTED_PDF=1 keeps the printed files for a look.
        if (qEnvironmentVariableIsSet("KEEP_PRINTED_PDF")) {
            dir.setAutoRemove(false);
            qInfo().noquote() << "printed files in" << dir.path();
        }
    }

    // An A4 page at 600 dpi whose device pixels cover the whole sheet.
    void SetUpPrinter(QPrinter& printer, const QString& name)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(name));
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setResolution(600);
        printer.setFullPage(true);
        printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    }

    // The text of every page, split at the form feeds pdftotext puts between pages.
    QStringList PdfPages(const QString& name)
    {
        QProcess process;
        process.start(QStringLiteral("pdftotext"),
                      {QStringLiteral("-layout"), dir.filePath(name), QStringLiteral("-")});
        EXPECT_TRUE(process.waitForFinished(30000));
        const QString text = QString::fromUtf8(process.readAllStandardOutput());
        if (qEnvironmentVariableIsSet("SHOW_PDF_TEXT"))
            qInfo().noquote() << text;
        QStringList pages = text.split(QChar('\f'));
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        return pages;
    }

    // Opens a list window over the shown recording and prints its list in full (or the range).
    QStringList PrintList(Shown& shown, const QString& name, int fromPage = 0, int toPage = 0, bool closeFirst = false)
    {
        CDataListDlg dlg(shown.document, shown.view);
        shown.view.m_bListDirty = true;
        dlg.Open();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        QApplication::processEvents();
        if (closeFirst)
            dlg.close();
        QPrinter printer(QPrinter::HighResolution);
        SetUpPrinter(printer, name);
        if (fromPage > 0)
            printer.setFromTo(fromPage, toPage);
        // A4 at 600 dpi is 4960 x 7016 pixels; the PDF engine rounds the sheet to whole points.
        EXPECT_NEAR(printer.width(), 4960, 3);
        EXPECT_NEAR(printer.height(), 7016, 3);
        const ReportPrinter report(Sources(shown, &dlg, 155));
        EXPECT_EQ(report.PageCount(REPORT_KIND_LIST),
                  ListPageCount(shown.view.m_nShownCount, shown.view.m_bFrequencyMode));
        EXPECT_TRUE(report.PrintDocument(printer, REPORT_KIND_LIST));
        return PdfPages(name);
    }

    static ReportPrintSources Sources(const Shown& shown, const CDataListDlg* list, int summaryHeight)
    {
        ReportPrintSources sources;
        sources.view = &shown.view;
        sources.summaryHeight = summaryHeight;
        sources.listWindow = list;
        sources.today = [] { return CalendarTime::FromLocal({2024, 2, 9, 12, 0, 0}); };
        return sources;
    }

    // A line of page text that holds every word given, in order, with only blanks between them.
    static bool HasRow(const QString& page, const QStringList& cells)
    {
        QStringList escaped;
        for (const QString& cell : cells)
            escaped << QRegularExpression::escape(cell);
        const QRegularExpression re(QStringLiteral("(^|\\n) *") + escaped.join(QStringLiteral(" +")) +
                                    QStringLiteral(" *(\\n|$)"));
        return re.match(page).hasMatch();
    }

    // The page text with every run of blanks made one (the PDF reader does not keep them exactly).
    static QString Squeezed(const QString& text) { return text.simplified(); }

    ScopedTimeZone zone;
    QTemporaryDir dir;
};

TEST_F(ListPrintTest, SixtyFiveRowsFitOnePageAndTheSixtySixthStartsASecond)
{
    Shown one(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), NumberedRows(65)));
    const QStringList single = PrintList(one, "65.pdf");
    ASSERT_EQ(single.size(), 1);
    EXPECT_TRUE(single[0].contains("Test Report"));
    EXPECT_TRUE(Squeezed(single[0]).contains("Sampling rate: 0.050sec Samplings: 65 Unit: g Mode: Normal"));
    EXPECT_TRUE(Squeezed(single[0]).contains("Vector Sum AVG: 9.75"));
    EXPECT_TRUE(HasRow(single[0], {"No.", "Time", "X Value", "Y Value", "Z Value", "Vector Sum", "Unit"}));
    EXPECT_TRUE(HasRow(single[0], {"1", "05/03/23", "14:07:09", "0.00", "0.50", "-0.50", "9.75", "g"}));
    EXPECT_TRUE(HasRow(single[0], {"65", "05/03/23", "14:07:12", "200ms", "64.00", "0.50", "-0.50", "9.75", "g"}));
    EXPECT_TRUE(HasRow(single[0], {"09/02/24", "page1"}));

    Shown two(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), NumberedRows(66)));
    const QStringList pages = PrintList(two, "66.pdf");
    ASSERT_EQ(pages.size(), 2);
    EXPECT_FALSE(pages[0].contains(QRegularExpression("\\n *66 +05/03/23")));
    EXPECT_TRUE(pages[0].contains(QRegularExpression("\\n *65 +05/03/23")));
    EXPECT_TRUE(HasRow(pages[1], {"66", "05/03/23", "14:07:12", "250ms", "65.00", "0.50", "-0.50", "9.75", "g"}));
    EXPECT_FALSE(pages[1].contains("Start Time"));
    EXPECT_TRUE(HasRow(pages[1], {"No.", "Time", "X Value", "Y Value", "Z Value", "Vector Sum", "Unit"}));
    EXPECT_TRUE(HasRow(pages[1], {"09/02/24", "page2"}));
}

TEST_F(ListPrintTest, SpectrumListTakesFourPagesUnderThePeakLine)
{
    std::vector<SampleRow> rows(256);
    for (int i = 0; i < 256; ++i)
        rows[static_cast<std::size_t>(i)] = {std::sin(2 * M_PI * 12 * i / 256.0), 0.0, 0.0, 0.0};
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 0), rows), true);
    const QStringList pages = PrintList(shown, "spectrum.pdf");
    ASSERT_EQ(pages.size(), 4);
    EXPECT_TRUE(pages[0].contains("The frequency of the max magnitude is 12.00 HZ"));
    EXPECT_FALSE(pages[0].contains("Start Time"));
    EXPECT_TRUE(HasRow(pages[0], {"No.", "Frequency(HZ)", "X Value", "Y Value", "Z Value"}));
    EXPECT_TRUE(pages[0].contains(QRegularExpression("\\n *70 +69\\.00 ")));
    EXPECT_FALSE(pages[0].contains(QRegularExpression("\\n *71 +70\\.00")));
    EXPECT_TRUE(pages[3].contains(QRegularExpression("\\n *211 +210\\.00 ")));
    EXPECT_TRUE(pages[3].contains(QRegularExpression("\\n *256 +255\\.00 ")));
    EXPECT_TRUE(HasRow(pages[3], {"09/02/24", "page4"}));
}

TEST_F(ListPrintTest, PageThreePrintedAloneHoldsTheRowsOfPageThree)
{
    Shown full(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 5), NumberedRows(256)));  // one row per second
    const QStringList all = PrintList(full, "all.pdf");
    ASSERT_EQ(all.size(), 4);
    const QStringList alone = PrintList(full, "page3.pdf", 3, 3);
    ASSERT_EQ(alone.size(), 1);
    EXPECT_EQ(alone[0], all[2]);
    EXPECT_TRUE(HasRow(alone[0], {"136", "05/03/23", "14:09:24", "135.00", "0.50", "-0.50", "9.75", "g"}));
    EXPECT_TRUE(HasRow(alone[0], {"205", "05/03/23", "14:10:33", "204.00", "0.50", "-0.50", "9.75", "g"}));
    EXPECT_FALSE(alone[0].contains("206"));
    EXPECT_TRUE(HasRow(alone[0], {"09/02/24", "page3"}));
}

TEST_F(ListPrintTest, PreviewShowsEveryPageWhateverRangeTheLastJobPrinted)
{
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 5), NumberedRows(256)));
    CDataListDlg dlg(shown.document, shown.view);
    shown.view.m_bListDirty = true;
    dlg.Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    QApplication::processEvents();
    ReportPrintSources sources = Sources(shown, &dlg, 155);
    int ended = 0;
    sources.endPrinting = [&ended] { ++ended; };
    const ReportPrinter report(sources);

    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, "range.pdf");
    // Pages past the end: no job and no blank sheet.
    printer.setFromTo(5, 6);
    EXPECT_FALSE(report.PrintDocument(printer, REPORT_KIND_LIST));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("range.pdf")));
    EXPECT_EQ(ended, 1);

    printer.setFromTo(3, 3);  // the range a job printed last
    ASSERT_TRUE(report.PrintDocument(printer, REPORT_KIND_LIST));
    int previewPages = -1;
    QTimer::singleShot(0, [&previewPages] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!preview)
            return;
        if (auto* widget = preview->findChild<QPrintPreviewWidget*>())
            previewPages = widget->pageCount();
        preview->reject();
    });
    report.RunPreview(nullptr, printer, REPORT_KIND_LIST);
    EXPECT_EQ(previewPages, 4);
    EXPECT_EQ(ended, 3);
}

TEST_F(ListPrintTest, PrintDialogOffersAPdfFileAndEveryPageOfTheList)
{
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 5), NumberedRows(256)));
    const ReportPrinter report(Sources(shown, nullptr, 155));
    QPrinter printer(QPrinter::HighResolution);
    QStringList destinations;
    int maxPage = 0;
    bool rangeOffered = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        maxPage = dialog->maxPage();
        rangeOffered = dialog->testOption(QAbstractPrintDialog::PrintPageRange);
        if (auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"))) {
            for (int i = 0; i < printers->count(); ++i)
                destinations << printers->itemText(i);
        }
        dialog->reject();
    });
    EXPECT_TRUE(report.RunPrintDialog(nullptr, printer, REPORT_KIND_LIST)) << "a cancelled dialog is no failure";
    EXPECT_TRUE(destinations.contains(QStringLiteral("Print to File (PDF)"))) << destinations.join(", ").toStdString();
    EXPECT_EQ(maxPage, 4);
    EXPECT_TRUE(rangeOffered);
}

TEST_F(ListPrintTest, AListPrintedAfterItsWindowClosedPrintsNoRows)
{
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), NumberedRows(66)));
    const QStringList pages = PrintList(shown, "closed.pdf", 0, 0, true);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains("Test Report"));
    EXPECT_TRUE(pages[0].contains("Sampling rate: 0.050sec"));
    EXPECT_FALSE(pages[0].contains("No."));
    EXPECT_FALSE(pages[0].contains(QRegularExpression("\\n *1 +05/03/23")));
    EXPECT_TRUE(HasRow(pages[1], {"09/02/24", "page2"}));
    EXPECT_FALSE(pages[1].contains("65.00"));
}

TEST_F(ListPrintTest, GraphPageCarriesTheGraphUnderTheReportLinesButNoneInFrequencyMode)
{
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), NumberedRows(10)));
    auto printGraph = [&](const QString& name, int summaryHeight) {
        ReportPrintSources sources = Sources(shown, nullptr, summaryHeight);
        QRect drawnOn;
        int ended = 0;
        sources.drawGraph = [&drawnOn](QPainter& painter, const QRect& page) {
            drawnOn = page;
            painter.drawText(QPoint(230, 3000), QStringLiteral("GRAPH"));
        };
        sources.endPrinting = [&ended] { ++ended; };
        QPrinter printer(QPrinter::HighResolution);
        SetUpPrinter(printer, name);
        const ReportPrinter report(sources);
        EXPECT_EQ(report.PageCount(REPORT_KIND_GRAPH), 1);
        EXPECT_TRUE(report.PrintDocument(printer, REPORT_KIND_GRAPH));
        EXPECT_EQ(drawnOn, QRect(0, 0, printer.width(), printer.height()));
        EXPECT_EQ(ended, 1);
        const QStringList pages = PdfPages(name);
        EXPECT_EQ(pages.size(), 1);
        return pages.join(QString());
    };

    const QString graph = printGraph("graph.pdf", 155);
    EXPECT_TRUE(Squeezed(graph).contains(
        "Start Time: 05/03/23 14:07:09 Sampling rate: 0.050sec Samplings: 10 Unit: g Mode: Normal"))
        << graph.toStdString();
    EXPECT_TRUE(graph.contains("Y MAX: 0.50 @ 05/03/23 14:07:09 450ms"));
    EXPECT_TRUE(graph.contains("Z Threshold: NONE"));
    // Title, then the lines in order, then the graph below them.
    EXPECT_LT(graph.indexOf("Test Report"), graph.indexOf("Start Time"));
    EXPECT_LT(graph.indexOf("Z MAX"), graph.indexOf("Vector Sum MAX: 9.75"));
    EXPECT_LT(graph.indexOf("Vector Sum MAX"), graph.indexOf("GRAPH"));

    const QString frequency = printGraph("frequency.pdf", 0);
    EXPECT_TRUE(frequency.contains("GRAPH"));
    EXPECT_FALSE(frequency.contains("Test Report"));
    EXPECT_FALSE(frequency.contains("Start Time"));
}

}  // namespace
}  // namespace shakemeter
