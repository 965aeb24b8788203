// The data list window: rebuild at paint, both modes, following a reading, closing keys.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTableView>
#include <QTest>
#include <cmath>

#include "analysis/widgets/CDataListDlg.h"
#include "analysis/widgets/CDataListModel.h"
#include "analysis/widgets/ListPrint.h"
#include "recording/test_summary_fixtures.h"
#include "test_data_list_app.h"

namespace shakemeter {
namespace {

using namespace testing;

[[maybe_unused]] ::testing::Environment* const kAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new testing::WidgetAppEnvironment);

Recording SpectrumCapture()
{
    std::vector<SampleRow> rows(256);
    for (int i = 0; i < 256; ++i)
        rows[static_cast<std::size_t>(i)] = {std::sin(2 * M_PI * 12 * i / 256.0), 0.5, 0.0, 1.0};
    return MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 0), std::move(rows));
}

class DataListDlgTest : public ::testing::Test {
protected:
    DataListDlgTest() : zone("UTC0") {}

    // Opens the window as the command does: list marked dirty, window shown, first paint.
    void Open(CDataListDlg& dlg, RecordingView& view)
    {
        view.m_bListDirty = true;
        dlg.Open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        Paint(dlg);
    }
    static void Paint(CDataListDlg& dlg)
    {
        dlg.Invalidate();
        QApplication::processEvents();
    }
    static QString Cell(const CDataListDlg& dlg, int row, int column)
    {
        return dlg.List()->model()->index(row, column).data().toString();
    }
    static QString Heading(const CDataListDlg& dlg, int column)
    {
        return dlg.List()->model()->headerData(column, Qt::Horizontal).toString();
    }

    ScopedTimeZone zone;
};

TEST_F(DataListDlgTest, FirstPaintBuildsSevenColumnsOverTheShownRows)
{
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), FlatRows(40, -0.25)));
    CDataListDlg dlg(shown.document, shown.view);
    EXPECT_EQ(dlg.windowTitle(), "Vibration Data List");
    EXPECT_EQ(dlg.List()->objectName(), "1110");
    EXPECT_EQ(dlg.List()->model()->columnCount(), 0);  // nothing before the window exists
    Open(dlg, shown.view);
    EXPECT_FALSE(shown.view.m_bListDirty);
    ASSERT_EQ(dlg.List()->model()->columnCount(), 7);
    EXPECT_EQ(dlg.List()->model()->rowCount(), 40);
    EXPECT_EQ(Heading(dlg, 1), "Time           ");
    EXPECT_EQ(Heading(dlg, 5), "Vector Sum");
    const int widths[] = {50, 200, 130, 130, 130, 130, 130};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(dlg.List()->columnWidth(c), widths[c]) << c;
    EXPECT_EQ(Cell(dlg, 2, 0), "3");
    EXPECT_EQ(Cell(dlg, 2, 1), " 05/03/23 14:07:09 100ms");
    EXPECT_EQ(Cell(dlg, 2, 4), "-0.25");
    EXPECT_EQ(Cell(dlg, 2, 6), "g");
    EXPECT_TRUE(dlg.List()->showGrid());
    EXPECT_EQ(dlg.List()->selectionBehavior(), QAbstractItemView::SelectRows);

    Shown empty(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), {}));
    CDataListDlg emptyDlg(empty.document, empty.view);
    Open(emptyDlg, empty.view);
    EXPECT_EQ(emptyDlg.List()->model()->columnCount(), 7);
    EXPECT_EQ(emptyDlg.List()->model()->rowCount(), 0);
}

TEST_F(DataListDlgTest, NumberColumnFitsTheWidestRowNumberShown)
{
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), FlatRows(1234567, 0.5)));
    CDataListDlg dlg(shown.document, shown.view);
    Open(dlg, shown.view);
    const QString widest = Cell(dlg, 1234566, 0);
    ASSERT_EQ(widest, "1234567");
    // What the cell shows of the number: its width less the text margins on both sides.
    const QFontMetrics metrics(dlg.List()->font());
    const int margin = dlg.List()->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, dlg.List()) + 1;
    const int room = dlg.List()->columnWidth(0) - 2 * margin;
    EXPECT_EQ(metrics.elidedText(widest, Qt::ElideRight, room), widest) << "width " << dlg.List()->columnWidth(0);
    EXPECT_EQ(metrics.elidedText(QStringLiteral("8888888"), Qt::ElideRight, room), QStringLiteral("8888888"));

    // A short list keeps the given width.
    shown.view.m_nShownCount = 40;
    shown.view.m_bListDirty = true;
    Paint(dlg);
    EXPECT_EQ(dlg.List()->columnWidth(0), 50);
}

TEST_F(DataListDlgTest, SwitchingTheDomainChangesColumnsAndRowsAtTheNextPaint)
{
    Shown shown(SpectrumCapture());
    CDataListDlg dlg(shown.document, shown.view);
    Open(dlg, shown.view);
    EXPECT_EQ(dlg.List()->model()->rowCount(), 128);
    EXPECT_EQ(Cell(dlg, 12, 1), " 14:07:09+12/256");

    shown.view.m_bFrequencyMode = true;
    shown.view.RefreshSummary(shown.document);  // marks the list dirty
    // Nothing changes until the window paints.
    EXPECT_EQ(dlg.List()->model()->rowCount(), 128);
    Paint(dlg);
    EXPECT_EQ(dlg.List()->model()->rowCount(), 256);
    EXPECT_EQ(Heading(dlg, 1), "Frequency(HZ)  ");
    EXPECT_EQ(Heading(dlg, 5), "");
    EXPECT_EQ(dlg.List()->columnWidth(5), 0);
    EXPECT_EQ(dlg.List()->columnWidth(6), 0);
    EXPECT_FALSE(dlg.List()->isColumnHidden(5));  // still there, only without width
    EXPECT_EQ(Cell(dlg, 12, 0), "13");
    EXPECT_EQ(Cell(dlg, 12, 1), "12.00");
    EXPECT_EQ(Cell(dlg, 12, 5), "");
    EXPECT_EQ(Cell(dlg, 12, 6), "");

    shown.view.m_bFrequencyMode = false;
    shown.view.RefreshSummary(shown.document);
    Paint(dlg);
    EXPECT_EQ(dlg.List()->model()->rowCount(), 128);
    EXPECT_EQ(dlg.List()->columnWidth(6), 130);
    EXPECT_EQ(Heading(dlg, 1), "Time           ");
}

TEST_F(DataListDlgTest, AReadingKeepsTheNewestRowInSightUntilItStops)
{
    Recording fresh = MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 500), FlatRows(2000, 0.1), {}, true);
    Shown shown(std::move(fresh));
    bool reading = true;
    CDataListDlg dlg(shown.document, shown.view);
    dlg.SetReadingQuery([&reading] { return reading; });
    shown.view.m_nShownCount = 10;
    Open(dlg, shown.view);
    QScrollBar* bar = dlg.List()->verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);  // ten rows fit

    auto lastRowVisible = [&dlg] {
        const int last = dlg.List()->model()->rowCount() - 1;
        const QRect cell = dlg.List()->visualRect(dlg.List()->model()->index(last, 0));
        return cell.isValid() && dlg.List()->viewport()->rect().intersects(cell);
    };
    for (const int count : {300, 301, 900}) {
        shown.view.m_nShownCount = count;
        shown.view.m_bListDirty = true;
        Paint(dlg);
        EXPECT_EQ(dlg.List()->model()->rowCount(), count);
        EXPECT_TRUE(lastRowVisible()) << count;
        EXPECT_GT(bar->value(), 0);
    }

    reading = false;
    dlg.List()->scrollToTop();
    shown.view.m_nShownCount = 1000;
    shown.view.m_bListDirty = true;
    Paint(dlg);
    EXPECT_EQ(dlg.List()->model()->rowCount(), 1000);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_FALSE(lastRowVisible());
}

TEST_F(DataListDlgTest, EnterEscAndTheCloseBoxCloseTheWindowAndItsList)
{
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), FlatRows(5)));
    CDataListDlg dlg(shown.document, shown.view);
    QSignalSpy closed(&dlg, &CDataListDlg::closed);

    Open(dlg, shown.view);
    dlg.List()->setFocus();
    QTest::keyClick(dlg.List(), Qt::Key_Return);
    EXPECT_FALSE(dlg.IsOpen());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.List()->model()->columnCount(), 0);
    EXPECT_EQ(dlg.List()->model()->rowCount(), 0);
    EXPECT_TRUE(ReadListForPrint(&dlg).columns.empty());

    Open(dlg, shown.view);  // the command opens it again
    EXPECT_EQ(dlg.List()->model()->rowCount(), 5);
    QTest::keyClick(dlg.List(), Qt::Key_Escape);
    EXPECT_FALSE(dlg.IsOpen());

    Open(dlg, shown.view);
    QTest::keyClick(&dlg, Qt::Key_Enter);
    EXPECT_FALSE(dlg.IsOpen());

    Open(dlg, shown.view);
    dlg.close();
    EXPECT_FALSE(dlg.IsOpen());
    EXPECT_EQ(closed.count(), 4);

    // New data for a closed window changes nothing and builds nothing.
    shown.view.m_bListDirty = true;
    EXPECT_FALSE(dlg.RebuildIfDirty());
    EXPECT_EQ(dlg.List()->model()->columnCount(), 0);
}

TEST_F(DataListDlgTest, MovingTheOpenWindowAsksForTheGraphItUncovered)
{
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), FlatRows(5)));
    CDataListDlg dlg(shown.document, shown.view);
    QSignalSpy moved(&dlg, &CDataListDlg::moved);
    Open(dlg, shown.view);
    moved.clear();
    dlg.move(dlg.pos() + QPoint(40, 30));
    QApplication::processEvents();
    EXPECT_GE(moved.count(), 1);

    dlg.close();
    moved.clear();
    dlg.move(dlg.pos() + QPoint(40, 30));
    QApplication::processEvents();
    EXPECT_EQ(moved.count(), 0);
}

TEST_F(DataListDlgTest, PrintSourceReadsColumnsInDisplayOrder)
{
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), FlatRows(3, 2.0)));
    CDataListDlg dlg(shown.document, shown.view);
    Open(dlg, shown.view);
    dlg.List()->horizontalHeader()->moveSection(6, 0);  // the user drags "Unit" first
    ListPrintSource source = ReadListForPrint(&dlg);
    ASSERT_EQ(source.columns.size(), 7u);
    EXPECT_EQ(source.columns[0].heading, "Unit");
    EXPECT_EQ(source.columns[0].subItem, 6);
    EXPECT_EQ(source.rowCount, 3);
    EXPECT_EQ(source.cellText(2, 3), "2.00");
    // A rebuild puts the columns back in their own order.
    shown.view.m_bListDirty = true;
    Paint(dlg);
    EXPECT_EQ(ReadListForPrint(&dlg).columns[0].heading, "No.  ");
    EXPECT_TRUE(ReadListForPrint(static_cast<const CDataListDlg*>(nullptr)).columns.empty());
}

// Ctrl+C copies whole selected rows in row order, whatever order they were picked in, with the
// headings first; in frequency mode the columns without width are left out.
TEST_F(DataListDlgTest, CtrlCCopiesTheSelectedRowsAsTabSeparatedText)
{
    Shown shown(SpectrumCapture());
    CDataListDlg dlg(shown.document, shown.view);
    Open(dlg, shown.view);
    QTableView* list = dlg.List();
    list->setFocus();
    list->setCurrentIndex(list->model()->index(12, 3));
    list->selectionModel()->select(list->model()->index(13, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list->selectionModel()->select(list->model()->index(12, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QApplication::clipboard()->clear();
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4);  // headings, two rows, the empty rest after the last line end
    EXPECT_EQ(lines[0], "No.\tTime\tX Value\tY Value\tZ Value\tVector Sum\tUnit");
    QStringList expected;
    for (int c = 0; c < 7; ++c)
        expected << Cell(dlg, 12, c).trimmed();
    EXPECT_EQ(lines[1], expected.join(QLatin1Char('\t')));
    EXPECT_EQ(lines[2].section(QLatin1Char('\t'), 0, 1), "14\t14:07:09+13/256");
    EXPECT_EQ(lines[3], "");
    EXPECT_TRUE(dlg.IsOpen());  // the copy keys do not close the window

    shown.view.m_bFrequencyMode = true;
    shown.view.RefreshSummary(shown.document);
    Paint(dlg);
    list->selectionModel()->select(list->model()->index(12, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(dlg.SelectedRowsText().section(QLatin1Char('\n'), 1, 1).count(QLatin1Char('\t')), 4);
    EXPECT_EQ(dlg.SelectedRowsText().section(QLatin1Char('\n'), 1, 1).section(QLatin1Char('\t'), 0, 1), "13\t12.00");
    list->clearSelection();
    EXPECT_EQ(dlg.SelectedRowsText(), "");
}

}  // namespace
}  // namespace shakemeter
