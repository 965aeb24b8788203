#pragma once
// What the analysis docks are built of around their tables: one column with small margins, and
// lines of text the user may select and copy (a range, a span).

#include <QString>

class QDockWidget;
class QLabel;
class QVBoxLayout;
class QWidget;

namespace shakemeter {

// Names the dock and gives it its body, a column of parts; the body is the layout's parent widget.
QVBoxLayout* MakeDockColumn(QDockWidget& dock, const QString& name);

// A selectable text, wrapped at the dock's width when `wrap`.
QLabel* MakeSelectableText(const QString& name, QWidget* parent, bool wrap);

// Holds the lines of a wrapped text at the narrowest width its column can take. A dock's least
// height counts a wrapped text as the least its label needs, a line or two; a window with no
// height to spare lays the dock out at that height and the text's further lines go over the parts
// around it.
void KeepWrappedLines(QLabel& label, int narrowestWidth);

}  // namespace shakemeter
