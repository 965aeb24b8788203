#pragma once
// Drawing of the measuring cursors' marks: a line in the cursor's colour over the plot and its
// name in a box of the same colour. The screen draws them over its composed picture, the page and
// the pictures of the graph with the rest of the plan.

#include <QPainter>
#include <QRegion>
#include <vector>

#include "graph/core/GraphPaintPlan.h"
#include "graph/widgets/GraphPainter.h"

namespace shakemeter {

// The marks between the plot's top and bottom, in the colours that show on the drawing's background.
void DrawCursorMarks(QPainter& painter, const std::vector<CursorMark>& marks, const PlotRect& plot,
                     const PaintParams& params);
// The pixels DrawCursorMarks touches.
QRegion CursorMarksRegion(const std::vector<CursorMark>& marks, const PlotRect& plot);

}  // namespace shakemeter
