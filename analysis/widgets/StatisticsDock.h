#pragma once
// The "Statistics" dock: the statistics of the rows the graph shows, a line per figure and a
// column per X, Y, Z and the vector sum, under the range's first and last time labels. It only
// shows the texts it is given; what it shows is worked out by its owner. While the graph compares
// two recordings it shows three groups of those columns side by side: the shown recording's rows,
// the compared recording's rows in the same time span, and compared minus shown.

#include <QDockWidget>

#include "analysis/vibration/StatisticsComparison.h"
#include "analysis/vibration/StatisticsTable.h"

class QLabel;
class QTableWidget;

namespace shakemeter {

class StatisticsDock : public QDockWidget {
    Q_OBJECT
public:
    explicit StatisticsDock(QWidget* parent = nullptr);

    // The table of the rows from..to (their time labels); Clear when nothing is shown.
    void Show(const vibration::StatisticsTable& table, const QString& from, const QString& to);

    // Names and the first and last time label of each recording's rows (the compared ones are
    // not used when it has none there).
    struct ComparisonLabels {
        QString shownName;
        QString shownFrom;
        QString shownTo;
        QString comparedName;
        QString comparedFrom;
        QString comparedTo;
    };
    void ShowComparison(const vibration::ComparisonTable& table, const ComparisonLabels& labels);
    // An empty table, with why it is empty.
    void Clear(const QString& why = QStringLiteral("No recording shown"));

    QTableWidget* Table() const { return m_table; }
    QLabel* RangeLabel() const { return m_range; }

private:
    void FitTable();
    // The table's columns, each group of four one recording's or their difference.
    void SetColumns(const QStringList& titles);

    QLabel* m_range = nullptr;
    QTableWidget* m_table = nullptr;
};

}  // namespace shakemeter
