#pragma once
// The tables of figures the analysis docks show: read-only, numbers right-aligned, and the whole
// table in view rather than scrolled, since a dock holds a handful of lines.

#include <QSize>
#include <QString>
#include <QStringList>

class QTableWidget;
class QWidget;

namespace shakemeter {

// A table of `lines` x `columns` empty cells that can be selected and copied but not edited.
QTableWidget* MakeFigureTable(int lines, int columns, const QString& name, QWidget* parent);
// Gives every cell of the table that has none an empty right-aligned one.
void FillFigureCells(QTableWidget* table);

// The size that shows the line titles and the first `columns` columns whole, with every line;
// the columns as wide as their texts (resizeColumnsToContents first).
QSize WholeFigureSize(const QTableWidget* table, int columns);

// The statistics' line titles ("Maximum" ...), and their column titles "X (g)" ..., after a
// group's name on a line of its own when there is one; without a unit, the plain names.
QStringList StatisticsLineTitles();
QStringList StatisticsColumnTitles(const QString& unit, const QString& group = {});

}  // namespace shakemeter
