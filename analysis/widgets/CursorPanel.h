#pragma once
// The "Cursors" dock: what the two measuring cursors read. The time span between them, the row,
// time and values of X, Y, Z and the vector sum at A and at B with their differences, and the
// statistics of the rows from one to the other. It only shows the texts it is given.

#include <QDockWidget>

#include "analysis/vibration/CursorReadings.h"

class QLabel;
class QTableWidget;

namespace shakemeter {

class CursorPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit CursorPanel(QWidget* parent = nullptr);

    // The readings, with the cursor the keys move ('A' or 'B') marked.
    void Show(const vibration::CursorReadingTexts& texts, char active);
    void Clear();

    QLabel* SpanLabel() const { return m_span; }
    QTableWidget* Values() const { return m_values; }
    QLabel* RangeLabel() const { return m_range; }
    QTableWidget* Statistics() const { return m_statistics; }

    void setVisible(bool visible) override;

private:
    // Both tables as large as their texts, and the wrapped texts as tall as their lines beside them.
    void FitTables();

    QLabel* m_span = nullptr;
    QTableWidget* m_values = nullptr;
    QLabel* m_range = nullptr;
    QTableWidget* m_statistics = nullptr;
    QLabel* m_keys = nullptr;
};

}  // namespace shakemeter
