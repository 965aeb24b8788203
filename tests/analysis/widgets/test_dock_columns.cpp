// The analysis docks at the least height the main window gives them: a dock just shown beside
// another in a window with no height to spare gets exactly its least height, and its wrapped
// texts (the keys of the cursors, the lines naming two recordings' rows) must still find their
// lines there instead of being drawn over the tables.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QTableWidget>

#include "analysis/vibration/VibrationFixtures.h"
#include "analysis/widgets/CursorPanel.h"
#include "analysis/widgets/StatisticsDock.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::vibration;
using namespace shakemeter::testing;

CursorReadingTexts Readings(const std::string& value)
{
    const std::array<std::string, 4> values{value, value, value, value};
    StatisticsTable statistics;
    statistics.cells.fill(values);
    statistics.unit = "g";
    statistics.rows = 2;
    return {.rowA = "1",
            .rowB = "2",
            .timeA = "06/05/26 08:35:41",
            .timeB = "06/05/26 08:35:42",
            .deltaT = "1.000 s",
            .atA = values,
            .atB = values,
            .difference = values,
            .statistics = statistics,
            .firstRow = "1",
            .lastRow = "2"};
}

// A window whose right column holds a roomy dock above the one under test and whose bottom holds
// a tall dock: the dock under test, shown last, gets no more than its least height.
struct TightWindow {
    QMainWindow window;
    explicit TightWindow(QDockWidget* tested)
    {
        window.setCentralWidget(new QWidget);
        auto* above = new QDockWidget(QStringLiteral("Above"), &window);
        above->setWidget(new QWidget);
        above->widget()->setMinimumHeight(150);
        window.addDockWidget(Qt::RightDockWidgetArea, above);
        tested->setParent(&window);
        window.addDockWidget(Qt::RightDockWidgetArea, tested);
        tested->hide();
        auto* bottom = new QDockWidget(QStringLiteral("Bottom"), &window);
        bottom->setWidget(new QWidget);
        bottom->widget()->setMinimumHeight(250);
        window.addDockWidget(Qt::BottomDockWidgetArea, bottom);
        window.resize(1600, 900);
        window.show();
        QApplication::processEvents();
    }
};

// Every part of the dock's column lies below the one before it and inside the column.
void ExpectPartsClear(const QDockWidget& dock)
{
    const QWidget* body = dock.widget();
    const QLayout* column = body->layout();
    int below = 0;
    for (int i = 0; i < column->count(); ++i) {
        const QWidget* part = column->itemAt(i)->widget();
        if (part == nullptr || part->isHidden())
            continue;
        EXPECT_GE(part->y(), below) << part->objectName().toStdString() << " is drawn over the part above it";
        EXPECT_GE(part->height(), part->heightForWidth(part->width()) > 0 ? part->heightForWidth(part->width()) : 0)
            << part->objectName().toStdString() << " has fewer lines than its text";
        below = part->geometry().bottom() + 1;
    }
    EXPECT_LE(below, body->height()) << "the last part reaches past the dock";
}

TEST(DockColumns, TheCursorKeysAndRangeKeepTheirLinesBelowTheTables)
{
    auto* panel = new CursorPanel;
    TightWindow tight(panel);
    panel->Show(Readings("0.1"), 'A');
    panel->show();
    QApplication::processEvents();
    ASSERT_LE(panel->height(), panel->minimumSizeHint().height() + 1) << "the dock is not at its least height";
    ExpectPartsClear(*panel);

    // Readings as wide as a metric unit makes them, then none at all: the lines follow.
    panel->Show(Readings("-1234567.1234"), 'B');
    QApplication::processEvents();
    ExpectPartsClear(*panel);
    panel->Clear();
    QApplication::processEvents();
    ExpectPartsClear(*panel);
}

TEST(DockColumns, TwoRecordingsNamedByLongFileNamesKeepTheirLinesAboveTheTable)
{
    auto* dock = new StatisticsDock;
    TightWindow tight(dock);
    const std::vector<SampleRow> shown = {RowWithSum(0.5, 0.0, 1.0), RowWithSum(-0.5, 0.1, 1.0)};
    const ComparisonTable table = ComparisonTableOf(
        CompareStatistics(ComputeRangeStatistics(shown.data(), {0, 1}), ComputeRangeStatistics(shown.data(), {0, 1})),
        Unit::G);
    dock->ShowComparison(table, {QStringLiteral("warehouse-to-harbour-route-monday-morning.Vibration"),
                                 QStringLiteral("06/05/26 08:35:40"), QStringLiteral("06/05/26 08:35:57"),
                                 QStringLiteral("warehouse-to-harbour-route-monday-next-week.Vibration"),
                                 QStringLiteral("row 18"), QStringLiteral("row 35")});
    dock->show();
    QApplication::processEvents();
    ASSERT_LE(dock->height(), dock->minimumSizeHint().height() + 1) << "the dock is not at its least height";
    ExpectPartsClear(*dock);
}

}  // namespace
