#pragma once
// The "Events" dock: the levels of the event search, editable, over the list of shocks, free
// falls and the logger's own free-fall events. Choosing a line (mouse, arrow keys or Enter)
// asks for the graph to show that event; the owner finds the events and does the zoom.

#include <QDockWidget>
#include <vector>

#include "analysis/vibration/EventTable.h"

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace shakemeter {

class EventsDock : public QDockWidget {
    Q_OBJECT
public:
    explicit EventsDock(QWidget* parent = nullptr);

    // The levels shown, without announcing a change.
    void SetOptions(const vibration::EventOptions& options);
    vibration::EventOptions Options() const;

    void ShowLines(const std::array<std::string, vibration::kEventColumns>& titles,
                   const std::vector<vibration::EventLine>& lines);
    // The line chosen, or -1.
    int ChosenLine() const;
    // Takes the choice back without asking for anything: the graph shows something else now.
    void ForgetChoice();

    QTableWidget* Table() const { return m_table; }
    QDoubleSpinBox* ShockLevel() const { return m_shock; }
    QDoubleSpinBox* FallLevel() const { return m_fall; }
    QSpinBox* MinFallRows() const { return m_minRows; }
    QPushButton* ExportButton() const { return m_export; }

signals:
    void optionsChanged();
    // Line `line` was chosen; rows first..last are the event's (0-based).
    void eventChosen(int line, qulonglong first, qulonglong last);
    // The user asked to save the list as a table.
    void exportRequested();

private:
    void Choose(int line);

    QDoubleSpinBox* m_shock = nullptr;
    QDoubleSpinBox* m_fall = nullptr;
    QSpinBox* m_minRows = nullptr;
    QLabel* m_count = nullptr;
    QPushButton* m_export = nullptr;
    QTableWidget* m_table = nullptr;
    std::vector<vibration::EventLine> m_lines;
    bool m_filling = false;
};

}  // namespace shakemeter
