#include "analysis/widgets/StatisticsDock.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace shakemeter {

StatisticsDock::StatisticsDock(QWidget* parent) : QDockWidget(QStringLiteral("Statistics"), parent)
{
    setObjectName(QStringLiteral("StatisticsDock"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    m_range = new QLabel(body);
    m_range->setObjectName(QStringLiteral("StatisticsRange"));
    m_range->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_range->setWordWrap(true);
    layout->addWidget(m_range);

    m_table = new QTableWidget(vibration::kStatisticsLines, 4, body);
    m_table->setObjectName(QStringLiteral("StatisticsTable"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_table->setWordWrap(false);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QStringList lines;
    for (const char* name : vibration::kStatisticsLineNames)
        lines << QString::fromLatin1(name);
    m_table->setVerticalHeaderLabels(lines);
    layout->addWidget(m_table);
    layout->addStretch(1);
    setWidget(body);
    Clear();
}

namespace {

// "X (g)" ..., after a group's name on a line of its own when there is one.
QStringList ColumnTitles(const std::string& unit, const QString& group = {})
{
    QStringList columns;
    for (const char* name : vibration::kStatisticsColumnNames) {
        const QString title = QStringLiteral("%1 (%2)").arg(QLatin1String(name), QString::fromStdString(unit));
        columns << (group.isEmpty() ? title : group + QLatin1Char('\n') + title);
    }
    return columns;
}

}  // namespace

void StatisticsDock::SetColumns(const QStringList& titles)
{
    m_table->setColumnCount(static_cast<int>(titles.size()));
    for (int line = 0; line < vibration::kStatisticsLines; ++line) {
        for (int c = 0; c < m_table->columnCount(); ++c) {
            if (m_table->item(line, c) != nullptr)
                continue;
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(line, c, item);
        }
    }
    m_table->setHorizontalHeaderLabels(titles);
}

void StatisticsDock::Show(const vibration::StatisticsTable& table, const QString& from, const QString& to)
{
    SetColumns(ColumnTitles(table.unit));
    for (int line = 0; line < vibration::kStatisticsLines; ++line) {
        for (int c = 0; c < 4; ++c)
            m_table->item(line, c)->setText(QString::fromStdString(table.cells[line][c]));
    }
    m_range->setText(QStringLiteral("%1 rows from %2 to %3").arg(table.rows).arg(from, to));
    FitTable();
}

void StatisticsDock::ShowComparison(const vibration::ComparisonTable& table, const ComparisonLabels& labels)
{
    const vibration::StatisticsTable* groups[3] = {&table.shown, &table.compared, &table.difference};
    const QString names[3] = {QStringLiteral("Shown"), QStringLiteral("Compared"), QStringLiteral("Difference")};
    QStringList titles;
    for (int g = 0; g < 3; ++g)
        titles << ColumnTitles(groups[g]->unit, names[g]);
    SetColumns(titles);
    for (int g = 0; g < 3; ++g) {
        for (int line = 0; line < vibration::kStatisticsLines; ++line) {
            for (int c = 0; c < 4; ++c)
                m_table->item(line, g * 4 + c)->setText(QString::fromStdString(groups[g]->cells[line][c]));
        }
    }
    // A recording without a file (a reading not saved yet) goes by its group's name alone.
    const auto head = [](const QString& group, const QString& name) {
        return (name.isEmpty() ? group : group + QLatin1Char(' ') + name) + QStringLiteral(": ");
    };
    QString text =
        head(QStringLiteral("Shown"), labels.shownName) +
        QStringLiteral("%1 rows from %2 to %3\n").arg(table.shown.rows).arg(labels.shownFrom, labels.shownTo);
    text += head(QStringLiteral("Compared"), labels.comparedName);
    if (table.compared.rows == 0) {
        text += QStringLiteral("no rows in this time span");
    } else {
        text += QStringLiteral("%1 rows from %2 to %3\nDifference: compared minus shown")
                    .arg(table.compared.rows)
                    .arg(labels.comparedFrom, labels.comparedTo);
    }
    m_range->setText(text);
    FitTable();
}

void StatisticsDock::FitTable()
{
    // The whole table in view: the dock is as wide and as tall as its numbers need. Two recordings'
    // groups side by side would take the graph's room: the dock then needs only the first group's
    // width and scrolls to the others until the user widens it.
    m_table->resizeColumnsToContents();
    int width = m_table->verticalHeader()->sizeHint().width() + 2 * m_table->frameWidth();
    int firstGroup = width;
    for (int c = 0; c < m_table->columnCount(); ++c) {
        width += m_table->columnWidth(c);
        if (c < 4)
            firstGroup += m_table->columnWidth(c);
    }
    int height = m_table->horizontalHeader()->sizeHint().height() + 2 * m_table->frameWidth();
    for (int line = 0; line < m_table->rowCount(); ++line)
        height += m_table->verticalHeader()->sectionSizeHint(line);
    const bool groups = m_table->columnCount() > 4;
    m_table->setHorizontalScrollBarPolicy(groups ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    if (groups)
        height += m_table->horizontalScrollBar()->sizeHint().height();
    m_table->setMinimumWidth(groups ? firstGroup : width);
    m_table->setFixedHeight(height);
}

void StatisticsDock::Clear()
{
    QStringList columns;
    for (const char* name : vibration::kStatisticsColumnNames)
        columns << QString::fromLatin1(name);
    SetColumns(columns);
    for (int line = 0; line < vibration::kStatisticsLines; ++line) {
        for (int c = 0; c < 4; ++c)
            m_table->item(line, c)->setText(QString());
    }
    m_range->setText(QStringLiteral("No recording shown"));
    FitTable();
}

}  // namespace shakemeter
