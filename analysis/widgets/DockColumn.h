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

}  // namespace shakemeter
