#pragma once
// The measuring cursors as a drawing shows them: a line at each cursor's sample column, over the
// whole height of the plot, with its name in a small box at the top. The screen draws them over
// its composed picture; the page and the pictures of the graph draw them with the plan.

#include <vector>

#include "graph/core/GraphModel.h"
#include "graph/core/GraphPaintPlan.h"
#include "graph/core/Palette.h"

namespace shakemeter {

// The screen's name box, in pixels; a page takes its line unit instead.
inline constexpr int kCursorLabelSize = 14;

// The marks of the model's cursors that stand on `plot` (A first), each name box labelSize
// pixels square; none when the model has no cursors or its scales are degenerate.
std::vector<CursorMark> PlanCursorMarks(const GraphModel& model, const PlotRect& plot, int labelSize);

// The same into a plan that draws the graph, sized for the screen or the page.
void PlanCursors(GraphPaintPlan& plan, const GraphModel& model);

// A's amber and B's teal, darker on a light background so that thin lines still show there.
RgbColor CursorColor(char name, bool lightBackground);

}  // namespace shakemeter
