#pragma once
// The optional parts of a graph drawing: the legend of the trace colours and the marks of events
// on the time axis, worked out from a plan just made and the model that made it, and the light
// theme of pictures and pages. None of them is drawn unless asked for, so the graph's own
// picture stays as it is.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

#include "graph/core/GraphModel.h"
#include "graph/core/GraphPaintPlan.h"
#include "graph/core/Palette.h"

namespace shakemeter {

// The legend's and the marks' measures, in pixels.
struct ExtrasLayout {
    static constexpr int kLegendInset = 8;        // from the plot's edges
    static constexpr int kLegendPadding = 5;      // inside the box
    static constexpr int kLegendLineHeight = 16;  // one trace a line
    static constexpr int kLegendSwatchWidth = 18;
    static constexpr int kLegendSwatchHeight = 3;
    static constexpr int kLegendGap = 6;        // between the swatch and the name
    static constexpr int kLegendCharWidth = 7;  // the axis font's widest letters
    static constexpr int kMarkHalfWidth = 4;    // a mark is a triangle on the plot's bottom edge
    static constexpr int kMarkHeight = 7;
};

// The legend's name of trace t ("X", "Y", "Z", "Vector sum").
const char* TraceName(int trace);

// The corner of the plot (top right, top left, bottom right, bottom left, in that order on a tie)
// where a box of the given size hides the fewest spans of the plans, leaving out a corner whose box
// would overlap `taken`; nothing when the plot is too small to hold it.
std::optional<PlotRect> LeastHiddenCorner(const PlotRect& plot, int width, int height,
                                          std::initializer_list<const TracePlan*> spans,
                                          const PlotRect* taken = nullptr);

// The legend for the plan's plot: the shown traces, in the corner (top right, top left, bottom
// right, bottom left, in that order on a tie) that hides the fewest trace spans, beside the
// comparison's legend when there is one. Empty when no trace is shown or the plot is too small to
// hold it.
LegendPlan PlanLegend(const GraphPaintPlan& plan, const GraphModel& model);

// The columns of the events within the shown rows that fall on the plot, left to right; one mark
// per column and kind.
std::vector<EventMark> PlanEventMarks(const GraphPaintPlan& plan, const GraphModel& model,
                                      const std::vector<EventRow>& events);

// Both, into a plan that draws the graph.
void PlanExtras(GraphPaintPlan& plan, const GraphModel& model, const GraphExtras& extras);

// The colour an event's mark is drawn in: shocks orange, detected falls azure, the logger's own
// falls magenta; each stands out on the black and on the white background.
RgbColor EventMarkColor(EventMarkKind kind);

// The colours of a drawing of the graph around its palette colours.
struct GraphTheme {
    GraphColors colors;
    RgbColor surround{0, 0, 0};     // around the framed panel
    RgbColor frame{255, 255, 255};  // the frame inside the area
    bool systemPanel = true;        // the panel takes the system's button face
    RgbColor panel{255, 255, 255};  // otherwise this
};

// The screen's own colours with the user's palette choices.
GraphTheme ScreenTheme(const GraphColors& colors);
// White background and panel, dark traces and grid, for pictures and pages on paper.
GraphTheme LightTheme();

}  // namespace shakemeter
