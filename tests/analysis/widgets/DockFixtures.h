#pragma once
// What the dock tests build on: cursor readings whose values all read the same, and a main window
// that gives a dock shown last no more than its least height, with the check that the dock's parts
// then lie one below the other.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDockWidget>
#include <QLayout>
#include <QMainWindow>

#include "analysis/vibration/CursorReadings.h"

namespace shakemeter::testing {

using vibration::CursorReadingTexts;
using vibration::StatisticsTable;

// Readings whose every value is the same text.
inline CursorReadingTexts CursorReadingsOf(const std::string& value)
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
inline void ExpectPartsClear(const QDockWidget& dock)
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

}  // namespace shakemeter::testing
