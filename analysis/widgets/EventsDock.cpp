#include "analysis/widgets/EventsDock.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/widgets/DockColumn.h"

namespace shakemeter {

EventsDock::EventsDock(QWidget* parent) : QDockWidget(QStringLiteral("Events"), parent)
{
    QVBoxLayout* layout = MakeDockColumn(*this, QStringLiteral("EventsDock"));
    QWidget* body = layout->parentWidget();

    // The levels and the counts on one line above the table.
    auto* levels = new QHBoxLayout;
    // A level in g, with its object name and what it means.
    const auto levelBox = [body](const char* name, double maximum, double step, const char* meaning) {
        auto* box = new QDoubleSpinBox(body);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(0.0, maximum);
        box->setDecimals(2);
        box->setSingleStep(step);
        box->setSuffix(QStringLiteral(" g"));
        box->setToolTip(QString::fromLatin1(meaning));
        return box;
    };
    m_shock = levelBox("ShockLevel", 1000.0, 0.1, "A shock: the vector sum at or above this level");
    m_fall = levelBox("FallLevel", 100.0, 0.05, "A free fall: the vector sum at or below this level");
    m_minRows = new QSpinBox(body);
    m_minRows->setObjectName(QStringLiteral("MinFallRows"));
    m_minRows->setRange(1, 1000000000);
    m_minRows->setToolTip(QStringLiteral("The rows a free fall holds at least"));
    const auto addLevel = [&](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, body);
        label->setBuddy(field);
        levels->addWidget(label);
        levels->addWidget(field);
        levels->addSpacing(12);
    };
    // The panel lies in the main window: its Alt keys must not take those of the menu bar (Alt+F
    // opens the File menu).
    addLevel(QStringLiteral("&Shock level:"), m_shock);
    addLevel(QStringLiteral("Fall &level:"), m_fall);
    addLevel(QStringLiteral("&Min. fall rows:"), m_minRows);
    m_count = new QLabel(body);
    m_count->setObjectName(QStringLiteral("EventCount"));
    levels->addWidget(m_count);
    levels->addStretch(1);
    m_export = new QPushButton(QStringLiteral("E&xport CSV..."), body);
    m_export->setToolTip(QStringLiteral("Save the events as a comma-separated table"));
    m_export->setEnabled(false);
    levels->addWidget(m_export);
    layout->addLayout(levels);

    m_table = new QTableWidget(0, vibration::kEventColumns, body);
    m_table->setObjectName(QStringLiteral("EventTable"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    // A few lines in view by default; the dock's splitter gives it more.
    m_table->setMinimumHeight(4 * m_table->verticalHeader()->defaultSectionSize());
    layout->addWidget(m_table);
    SetOptions(vibration::EventOptions());

    connect(m_export, &QPushButton::clicked, this, &EventsDock::exportRequested);
    connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_filling)
            Choose(row);
    });
    // Enter on the line already chosen shows it again (after an Undo Zoom, say).
    connect(m_table, &QTableWidget::activated, this, [this](const QModelIndex& index) { Choose(index.row()); });
    const auto changed = [this] {
        if (!m_filling)
            emit optionsChanged();
    };
    connect(m_shock, &QDoubleSpinBox::valueChanged, this, changed);
    connect(m_fall, &QDoubleSpinBox::valueChanged, this, changed);
    connect(m_minRows, &QSpinBox::valueChanged, this, changed);
}

void EventsDock::SetOptions(const vibration::EventOptions& options)
{
    m_filling = true;
    m_shock->setValue(options.shockLevel);
    m_fall->setValue(options.fallLevel);
    m_minRows->setValue(static_cast<int>(std::min<std::size_t>(options.minFallRows, 1000000000)));
    m_filling = false;
}

vibration::EventOptions EventsDock::Options() const
{
    vibration::EventOptions options;
    options.shockLevel = m_shock->value();
    options.fallLevel = m_fall->value();
    options.minFallRows = static_cast<std::size_t>(m_minRows->value());
    return options;
}

void EventsDock::ShowLines(const std::array<std::string, vibration::kEventColumns>& titles,
                           const std::vector<vibration::EventLine>& lines)
{
    m_filling = true;
    m_lines = lines;
    QStringList headings;
    for (const std::string& title : titles)
        headings << QString::fromStdString(title);
    m_table->clearContents();
    m_table->setRowCount(static_cast<int>(lines.size()));
    m_table->setHorizontalHeaderLabels(headings);
    for (int row = 0; row < static_cast<int>(lines.size()); ++row) {
        const auto& cells = lines[static_cast<std::size_t>(row)].cells;
        for (int c = 0; c < vibration::kEventColumns; ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(cells[static_cast<std::size_t>(c)]));
            if (c >= 2 && c != 4)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, c, item);
        }
    }
    m_table->resizeColumnsToContents();
    m_table->setCurrentCell(-1, -1);
    m_table->clearSelection();
    int shocks = 0;
    int falls = 0;
    int logged = 0;
    for (const vibration::EventLine& line : lines) {
        if (!line.rows)
            ++logged;
        else if (line.cells[0] == "Shock")
            ++shocks;
        else
            ++falls;
    }
    m_export->setEnabled(!lines.empty());
    m_count->setText(
        QStringLiteral("Shocks: %1   Free falls: %2   Free-fall events logged: %3").arg(shocks).arg(falls).arg(logged));
    m_filling = false;
}

int EventsDock::ChosenLine() const
{
    const QList<QTableWidgetSelectionRange> ranges = m_table->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

void EventsDock::ForgetChoice()
{
    m_filling = true;
    m_table->setCurrentCell(-1, -1);
    m_table->clearSelection();
    m_filling = false;
}

void EventsDock::Choose(int line)
{
    if (line < 0 || line >= static_cast<int>(m_lines.size()))
        return;
    const auto& rows = m_lines[static_cast<std::size_t>(line)].rows;
    if (rows)
        emit eventChosen(line, rows->from, rows->to);
}

}  // namespace shakemeter
