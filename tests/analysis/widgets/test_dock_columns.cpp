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

#include "DockFixtures.h"
#include "analysis/vibration/VibrationFixtures.h"
#include "analysis/widgets/CursorPanel.h"
#include "analysis/widgets/StatisticsDock.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::vibration;
using namespace shakemeter::testing;

TEST(DockColumns, TheCursorKeysAndRangeKeepTheirLinesBelowTheTables)
{
    auto* panel = new CursorPanel;
    TightWindow tight(panel);
    panel->Show(CursorReadingsOf("0.1"), 'A');
    panel->show();
    QApplication::processEvents();
    ASSERT_LE(panel->height(), panel->minimumSizeHint().height() + 1) << "the dock is not at its least height";
    ExpectPartsClear(*panel);

    // Readings as wide as a metric unit makes them, then none at all: the lines follow.
    panel->Show(CursorReadingsOf("-1234567.1234"), 'B');
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
