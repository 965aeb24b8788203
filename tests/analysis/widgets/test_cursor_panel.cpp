// The "Cursors" dock beside a window's central widget: shown again with wider readings, it has the
// width of its texts at once, so whatever the window lays out beside it right after the show (a
// zoom on the graph) has its final width and no later turn of the event loop narrows it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QTableWidget>

#include "DockFixtures.h"
#include "analysis/widgets/CursorPanel.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::vibration;
using namespace shakemeter::testing;

TEST(CursorPanel, ShownAgainWithWiderReadingsItHasTheirWidthAtOnce)
{
    QMainWindow window;
    auto* central = new QWidget;
    window.setCentralWidget(central);
    auto* panel = new CursorPanel(&window);
    window.addDockWidget(Qt::RightDockWidgetArea, panel);
    window.resize(1200, 700);
    window.show();
    panel->Show(CursorReadingsOf("0.1"), 'A');
    QApplication::processEvents();
    const int besideNarrow = central->width();

    panel->hide();
    QApplication::processEvents();
    panel->Show(CursorReadingsOf("-1234567.1234"), 'B');
    panel->show();
    const int beside = central->width();
    EXPECT_GE(panel->width(), panel->Values()->minimumWidth());
    EXPECT_LT(beside, besideNarrow) << "the wider readings take room from the central widget";
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(central->width(), beside) << "the show laid the window out at the readings' width";
}

}  // namespace
