#include "analysis/widgets/CursorPanel.h"

#include <QFont>
#include <QLabel>
#include <QLayout>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "analysis/widgets/DockColumn.h"
#include "analysis/widgets/FigureTable.h"

namespace shakemeter {

namespace {

constexpr int kValueLines = 3;    // A, B, B - A
constexpr int kValueColumns = 6;  // No., Time, X, Y, Z, Sum

QTableWidget* MakeTable(int lines, int columns, const QString& name, QWidget* parent)
{
    QTableWidget* table = MakeFigureTable(lines, columns, name, parent);
    // The keys move the cursors; the tables only show what they read.
    table->setFocusPolicy(Qt::NoFocus);
    return table;
}

// The whole table in view: as wide and as tall as its texts.
void FitWhole(QTableWidget* table)
{
    table->resizeColumnsToContents();
    const QSize whole = WholeFigureSize(table, table->columnCount());
    table->setMinimumWidth(whole.width());
    table->setFixedHeight(whole.height());
}

void SetTexts(QTableWidget* table, int line, const std::array<std::string, 4>& texts, int firstColumn)
{
    for (int c = 0; c < 4; ++c)
        table->item(line, firstColumn + c)->setText(QString::fromStdString(texts[static_cast<std::size_t>(c)]));
}

}  // namespace

CursorPanel::CursorPanel(QWidget* parent) : QDockWidget(QStringLiteral("Cursors"), parent)
{
    QVBoxLayout* layout = MakeDockColumn(*this, QStringLiteral("CursorPanel"));
    QWidget* body = layout->parentWidget();

    m_span = MakeSelectableText(QStringLiteral("CursorSpan"), body, false);
    QFont larger = m_span->font();
    larger.setBold(true);
    larger.setPointSizeF(larger.pointSizeF() * 1.25);
    m_span->setFont(larger);
    layout->addWidget(m_span);

    m_values = MakeTable(kValueLines, kValueColumns, QStringLiteral("CursorValues"), body);
    m_values->setVerticalHeaderLabels({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("B - A")});
    layout->addWidget(m_values);

    m_range = MakeSelectableText(QStringLiteral("CursorRange"), body, true);
    layout->addWidget(m_range);

    m_statistics = MakeTable(vibration::kStatisticsLines, 4, QStringLiteral("CursorStatistics"), body);
    m_statistics->setVerticalHeaderLabels(StatisticsLineTitles());
    layout->addWidget(m_statistics);

    m_keys = new QLabel(body);
    m_keys->setObjectName(QStringLiteral("CursorKeys"));
    m_keys->setWordWrap(true);
    layout->addWidget(m_keys);
    layout->addStretch(1);
    Clear();
}

void CursorPanel::Show(const vibration::CursorReadingTexts& texts, char active)
{
    const QString unit = QString::fromStdString(texts.statistics.unit);
    m_span->setText(QStringLiteral("\u0394t = %1").arg(QString::fromStdString(texts.deltaT)));
    m_values->setHorizontalHeaderLabels(QStringList{QStringLiteral("No."), QStringLiteral("Time")} +
                                        StatisticsColumnTitles(unit));
    m_values->item(0, 0)->setText(QString::fromStdString(texts.rowA));
    m_values->item(0, 1)->setText(QString::fromStdString(texts.timeA));
    m_values->item(1, 0)->setText(QString::fromStdString(texts.rowB));
    m_values->item(1, 1)->setText(QString::fromStdString(texts.timeB));
    m_values->item(2, 0)->setText(QString());
    m_values->item(2, 1)->setText(QString::fromStdString(texts.deltaT));
    SetTexts(m_values, 0, texts.atA, 2);
    SetTexts(m_values, 1, texts.atB, 2);
    SetTexts(m_values, 2, texts.difference, 2);
    // The cursor the keys move stands out.
    for (int line = 0; line < 2; ++line) {
        QTableWidgetItem* header = m_values->verticalHeaderItem(line);
        QFont font = header->font();
        font.setBold((line == 0) == (active == 'A'));
        header->setFont(font);
    }

    m_statistics->setHorizontalHeaderLabels(StatisticsColumnTitles(unit));
    for (int line = 0; line < vibration::kStatisticsLines; ++line)
        SetTexts(m_statistics, line, texts.statistics.cells[static_cast<std::size_t>(line)], 0);
    m_range->setText(QStringLiteral("Statistics of the %1 rows from %2 to %3")
                         .arg(texts.statistics.rows)
                         .arg(QString::fromStdString(texts.firstRow), QString::fromStdString(texts.lastRow)));
    m_keys->setText(QStringLiteral("Drag a line, or move cursor %1 with , and . (Shift: 10 samples); Space "
                                   "switches to cursor %2.")
                        .arg(QString(QLatin1Char(active)), QString(QLatin1Char(active == 'A' ? 'B' : 'A'))));
    FitTables();
}

void CursorPanel::Clear()
{
    m_span->setText(QStringLiteral("No cursors"));
    m_values->setHorizontalHeaderLabels(QStringList{QStringLiteral("No."), QStringLiteral("Time")} +
                                        StatisticsColumnTitles(QString()));
    for (int line = 0; line < kValueLines; ++line)
        for (int c = 0; c < kValueColumns; ++c)
            m_values->item(line, c)->setText(QString());
    m_statistics->setHorizontalHeaderLabels(StatisticsColumnTitles(QString()));
    for (int line = 0; line < vibration::kStatisticsLines; ++line)
        for (int c = 0; c < 4; ++c)
            m_statistics->item(line, c)->setText(QString());
    m_range->setText(QStringLiteral("Analysis > Two Cursors places cursors A and B on the graph."));
    m_keys->clear();
    FitTables();
}

void CursorPanel::FitTables()
{
    FitWhole(m_values);
    FitWhole(m_statistics);
    // The column is never narrower than its widest table.
    const int narrowest = std::max(m_values->minimumWidth(), m_statistics->minimumWidth());
    KeepWrappedLines(*m_range, narrowest);
    KeepWrappedLines(*m_keys, narrowest);
}

void CursorPanel::setVisible(bool visible)
{
    // The body takes the tables' widths before the dock is shown, so that the window laid out as it
    // shows finds the dock at the width of its texts at once; otherwise the width would reach the
    // window a turn of the event loop later, after the window was laid out beside the old one.
    if (visible && !isVisible())
        widget()->layout()->activate();
    QDockWidget::setVisible(visible);
}

}  // namespace shakemeter
