#include "analysis/widgets/StatisticsDock.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/widgets/DockColumn.h"
#include "analysis/widgets/FigureTable.h"

namespace shakemeter {

StatisticsDock::StatisticsDock(QWidget* parent) : QDockWidget(QStringLiteral("Statistics"), parent)
{
    QVBoxLayout* layout = MakeDockColumn(*this, QStringLiteral("StatisticsDock"));
    QWidget* body = layout->parentWidget();
    m_range = MakeSelectableText(QStringLiteral("StatisticsRange"), body, true);
    layout->addWidget(m_range);

    m_table = MakeFigureTable(vibration::kStatisticsLines, 4, QStringLiteral("StatisticsTable"), body);
    m_table->setVerticalHeaderLabels(StatisticsLineTitles());
    layout->addWidget(m_table);
    layout->addStretch(1);
    Clear();
}

void StatisticsDock::SetColumns(const QStringList& titles)
{
    m_table->setColumnCount(static_cast<int>(titles.size()));
    FillFigureCells(m_table);
    m_table->setHorizontalHeaderLabels(titles);
}

void StatisticsDock::Show(const vibration::StatisticsTable& table, const QString& from, const QString& to)
{
    SetColumns(StatisticsColumnTitles(QString::fromStdString(table.unit)));
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
        titles << StatisticsColumnTitles(QString::fromStdString(groups[g]->unit), names[g]);
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
    const QSize whole = WholeFigureSize(m_table, m_table->columnCount());
    const int firstGroup = WholeFigureSize(m_table, 4).width();
    const int width = whole.width();
    int height = whole.height();
    const bool groups = m_table->columnCount() > 4;
    m_table->setHorizontalScrollBarPolicy(groups ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    if (groups)
        height += m_table->horizontalScrollBar()->sizeHint().height();
    m_table->setMinimumWidth(groups ? firstGroup : width);
    m_table->setFixedHeight(height);
    KeepWrappedLines(*m_range, m_table->minimumWidth());
}

void StatisticsDock::Clear(const QString& why)
{
    SetColumns(StatisticsColumnTitles(QString()));
    for (int line = 0; line < vibration::kStatisticsLines; ++line) {
        for (int c = 0; c < 4; ++c)
            m_table->item(line, c)->setText(QString());
    }
    m_range->setText(why);
    FitTable();
}

}  // namespace shakemeter
