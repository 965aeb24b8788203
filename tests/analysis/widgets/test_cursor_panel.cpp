// The "Cursors" dock beside a window's central widget: shown again with wider readings, it has the
// width of its texts at once, so whatever the window lays out beside it right after the show (a
// zoom on the graph) has its final width and no later turn of the event loop narrows it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QTableWidget>

#include "analysis/widgets/CursorPanel.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::vibration;

// Every value of the readings the same text.
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

TEST(CursorPanel, ShownAgainWithWiderReadingsItHasTheirWidthAtOnce)
{
    QMainWindow window;
    auto* central = new QWidget;
    window.setCentralWidget(central);
    auto* panel = new CursorPanel(&window);
    window.addDockWidget(Qt::RightDockWidgetArea, panel);
    window.resize(1200, 700);
    window.show();
    panel->Show(Readings("0.1"), 'A');
    QApplication::processEvents();
    const int besideNarrow = central->width();

    panel->hide();
    QApplication::processEvents();
    panel->Show(Readings("-1234567.1234"), 'B');
    panel->show();
    const int beside = central->width();
    EXPECT_GE(panel->width(), panel->Values()->minimumWidth());
    EXPECT_LT(beside, besideNarrow) << "the wider readings take room from the central widget";
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(central->width(), beside) << "the show laid the window out at the readings' width";
}

}  // namespace
