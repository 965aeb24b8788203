#pragma once
// The legend of a comparison: a line for the shown file with swatches of the trace colours and a
// line for the compared file with the paler swatches its traces are drawn in, in the corner of
// the plot that hides the fewest trace spans of either recording. Drawn on the screen, the page
// and in pictures whenever a recording is compared, whatever the trace legend's choice.

#include "graph/core/GraphModel.h"
#include "graph/core/GraphPaintPlan.h"

namespace shakemeter {

// The names the legend gives a recording without a file name.
constexpr const char* kShownRecordingName = "Shown recording";
constexpr const char* kComparedRecordingName = "Compared recording";

// Nothing without an overlay, in frequency mode, with no trace shown, or when the plot cannot hold
// it. A name too long for the plot is cut and ends in "...".
LegendPlan PlanOverlayLegend(const GraphPaintPlan& plan, const GraphModel& model);

}  // namespace shakemeter
