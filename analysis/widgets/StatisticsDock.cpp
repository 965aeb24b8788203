#include "analysis/widgets/StatisticsDock.h"

#include <QHeaderView>
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
    for (int line = 0; line < vibration::kStatisticsLines; ++line) {
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(line, c, item);
        }
    }
    layout->addWidget(m_table);
    layout->addStretch(1);
    setWidget(body);
    Clear();
}

void StatisticsDock::Show(const vibration::StatisticsTable& table, const QString& from, const QString& to)
{
    QStringList columns;
    for (const char* name : vibration::kStatisticsColumnNames)
        columns << QStringLiteral("%1 (%2)").arg(QLatin1String(name), QString::fromStdString(table.unit));
    m_table->setHorizontalHeaderLabels(columns);
    for (int line = 0; line < vibration::kStatisticsLines; ++line) {
        for (int c = 0; c < 4; ++c)
            m_table->item(line, c)->setText(QString::fromStdString(table.cells[line][c]));
    }
    m_range->setText(QStringLiteral("%1 rows from %2 to %3").arg(table.rows).arg(from, to));
    FitTable();
}

void StatisticsDock::FitTable()
{
    // The whole table in view: the dock is as wide and as tall as its numbers need.
    m_table->resizeColumnsToContents();
    int width = m_table->verticalHeader()->sizeHint().width() + 2 * m_table->frameWidth();
    for (int c = 0; c < m_table->columnCount(); ++c)
        width += m_table->columnWidth(c);
    int height = m_table->horizontalHeader()->sizeHint().height() + 2 * m_table->frameWidth();
    for (int line = 0; line < m_table->rowCount(); ++line)
        height += m_table->verticalHeader()->sectionSizeHint(line);
    m_table->setMinimumWidth(width);
    m_table->setFixedHeight(height);
}

void StatisticsDock::Clear()
{
    QStringList columns;
    for (const char* name : vibration::kStatisticsColumnNames)
        columns << QString::fromLatin1(name);
    m_table->setHorizontalHeaderLabels(columns);
    for (int line = 0; line < vibration::kStatisticsLines; ++line) {
        for (int c = 0; c < 4; ++c)
            m_table->item(line, c)->setText(QString());
    }
    m_range->setText(QStringLiteral("No recording shown"));
    FitTable();
}

}  // namespace shakemeter
