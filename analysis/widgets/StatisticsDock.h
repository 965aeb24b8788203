#pragma once
// The "Statistics" dock: the statistics of the rows the graph shows, a line per figure and a
// column per X, Y, Z and the vector sum, under the range's first and last time labels. It only
// shows the texts it is given; what it shows is worked out by its owner.

#include <QDockWidget>

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
    void Clear();

    QTableWidget* Table() const { return m_table; }
    QLabel* RangeLabel() const { return m_range; }

private:
    void FitTable();

    QLabel* m_range = nullptr;
    QTableWidget* m_table = nullptr;
};

}  // namespace shakemeter
