#include "analysis/widgets/FigureTable.h"

#include <QHeaderView>
#include <QTableWidget>

#include "analysis/vibration/StatisticsTable.h"

namespace shakemeter {

QTableWidget* MakeFigureTable(int lines, int columns, const QString& name, QWidget* parent)
{
    auto* table = new QTableWidget(lines, columns, parent);
    table->setObjectName(name);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::ContiguousSelection);
    table->setWordWrap(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FillFigureCells(table);
    return table;
}

void FillFigureCells(QTableWidget* table)
{
    for (int line = 0; line < table->rowCount(); ++line) {
        for (int c = 0; c < table->columnCount(); ++c) {
            if (table->item(line, c) != nullptr)
                continue;
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(line, c, item);
        }
    }
}

QSize WholeFigureSize(const QTableWidget* table, int columns)
{
    int width = table->verticalHeader()->sizeHint().width() + 2 * table->frameWidth();
    for (int c = 0; c < columns && c < table->columnCount(); ++c)
        width += table->columnWidth(c);
    int height = table->horizontalHeader()->sizeHint().height() + 2 * table->frameWidth();
    for (int line = 0; line < table->rowCount(); ++line)
        height += table->verticalHeader()->sectionSizeHint(line);
    return {width, height};
}

QStringList StatisticsLineTitles()
{
    QStringList lines;
    for (const char* name : vibration::kStatisticsLineNames)
        lines << QString::fromLatin1(name);
    return lines;
}

QStringList StatisticsColumnTitles(const QString& unit, const QString& group)
{
    QStringList columns;
    for (const char* name : vibration::kStatisticsColumnNames) {
        const QString title =
            unit.isEmpty() ? QString::fromLatin1(name) : QStringLiteral("%1 (%2)").arg(QLatin1String(name), unit);
        columns << (group.isEmpty() ? title : group + QLatin1Char('\n') + title);
    }
    return columns;
}

}  // namespace shakemeter
