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
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
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
}

}  // namespace shakemeter
