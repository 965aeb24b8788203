// The statistics dock's two faces: one recording's table as it always was, and two recordings'
// groups side by side with the lines naming their rows, back and forth.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

#include "analysis/vibration/VibrationFixtures.h"
#include "analysis/widgets/StatisticsDock.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::vibration;
using namespace shakemeter::testing;

struct StatisticsDockTest : ::testing::Test {
    std::vector<SampleRow> shown = {RowWithSum(0.5, 0.0, 1.0), RowWithSum(-0.5, 0.1, 1.0)};
    std::vector<SampleRow> compared = {RowWithSum(0.25, 0.0, 1.0), RowWithSum(0.75, 0.2, 1.0),
                                       RowWithSum(0.5, 0.0, 1.0)};
    RangeStatistics shownStatistics = ComputeRangeStatistics(shown.data(), {0, 1});
    RangeStatistics comparedStatistics = ComputeRangeStatistics(compared.data(), {0, 2});
    StatisticsDock dock;

    QString Cell(int line, int column) const { return dock.Table()->item(line, column)->text(); }
};

TEST_F(StatisticsDockTest, GroupsSideBySideAndBackToOneTable)
{
    const ComparisonTable table = ComparisonTableOf(CompareStatistics(shownStatistics, comparedStatistics), Unit::G);
    dock.ShowComparison(table, {QStringLiteral("a.Vibration"), QStringLiteral("0s"), QStringLiteral("1s"),
                                QStringLiteral("b.Vibration"), QStringLiteral("row 1"), QStringLiteral("row 3")});
    ASSERT_EQ(dock.Table()->columnCount(), 12);
    EXPECT_EQ(dock.Table()->horizontalHeaderItem(0)->text(), QStringLiteral("Shown\nX (g)"));
    EXPECT_EQ(dock.Table()->horizontalHeaderItem(7)->text(), QStringLiteral("Compared\nSum (g)"));
    EXPECT_EQ(dock.Table()->horizontalHeaderItem(9)->text(), QStringLiteral("Difference\nY (g)"));
    for (int line = 0; line < kStatisticsLines; ++line) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(Cell(line, c).toStdString(), table.shown.cells[line][c]);
            EXPECT_EQ(Cell(line, 4 + c).toStdString(), table.compared.cells[line][c]);
            EXPECT_EQ(Cell(line, 8 + c).toStdString(), table.difference.cells[line][c]);
        }
    }
    EXPECT_EQ(dock.RangeLabel()->text(), QStringLiteral("Shown a.Vibration: 2 rows from 0s to 1s\n"
                                                        "Compared b.Vibration: 3 rows from row 1 to row 3\n"
                                                        "Difference: compared minus shown"));

    // A shown reading without a file, and no compared rows in the span.
    dock.ShowComparison(ComparisonTableOf(CompareStatistics(shownStatistics, std::nullopt), Unit::G),
                        {QString(), QStringLiteral("0s"), QStringLiteral("1s"), QStringLiteral("b.Vibration"), {}, {}});
    EXPECT_EQ(dock.RangeLabel()->text(), QStringLiteral("Shown: 2 rows from 0s to 1s\n"
                                                        "Compared b.Vibration: no rows in this time span"));
    EXPECT_EQ(Cell(3, 5), QStringLiteral("-"));

    // One recording again: the four columns and their line, with no cell of the groups left over.
    const StatisticsTable alone = StatisticsTableOf(shownStatistics, Unit::MetresPerSecondSquared);
    dock.Show(alone, QStringLiteral("0s"), QStringLiteral("1s"));
    ASSERT_EQ(dock.Table()->columnCount(), 4);
    EXPECT_EQ(dock.Table()->horizontalHeaderItem(0)->text(), QStringLiteral("X (m/s^2)"));
    EXPECT_EQ(Cell(0, 0).toStdString(), alone.cells[0][0]);
    EXPECT_EQ(dock.RangeLabel()->text(), QStringLiteral("2 rows from 0s to 1s"));
    dock.Clear();
    EXPECT_EQ(dock.Table()->columnCount(), 4);
    EXPECT_TRUE(Cell(6, 3).isEmpty());
}

}  // namespace
