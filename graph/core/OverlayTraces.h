#pragma once
// The compared recording's traces in a drawing of the shown graph: each visible trace through the
// overlay's placement, a line between neighbouring rows, or, where rows crowd a pixel column,
// from the line coming in to the column's lowest and highest values and on from its last row, so
// that a recording of millions of rows costs what the plot's width costs. Drawn under the shown
// traces in a paler version of each trace's colour.

#include "graph/core/GraphModel.h"
#include "graph/core/GraphPaintPlan.h"
#include "graph/core/Palette.h"

namespace shakemeter {

// The spans of the compared recording's visible traces that touch the plot; none without an
// overlay, in frequency mode, or when the scales are not usable. No marks, no peak label.
TracePlan PlanOverlayTraces(const GraphModel& model);

// A trace's colour for the compared recording: halfway from the trace's colour to the plot's
// background, so it reads paler on white and dimmer on black, and stays apart from the shown trace.
RgbColor OverlayTraceColor(RgbColor trace, RgbColor background);

}  // namespace shakemeter
