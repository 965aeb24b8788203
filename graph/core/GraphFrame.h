#pragma once
// One paint or print drawing of the graph as the model sees it: what the drawing is asked to draw
// on, and what GraphModel::PrepareFrame worked out for it before anything is planned.

#include "graph/core/PlotRect.h"

namespace shakemeter {

struct VisibleRange {
    int first = 0;  // relative 1-based point index; 0 when no point is visible
    int last = 0;
    bool operator==(const VisibleRange&) const = default;
};

// What a paint is asked to draw on.
struct PaintRequest {
    PlotRect client;            // the widget's client rectangle, or the page (0, 0, Wp, Hp)
    bool printer = false;       // page layout
    bool frameReading = false;  // a real-time reading is in progress
};

// The model's side of a drawing, prepared once per paint; GraphPaintPlanner plans from it.
struct FrameStart {
    PaintRequest request;
    // Nothing at all is drawn: the page outside display mode 1, or a screen paint while a print
    // drawing runs.
    bool drawsNothing = true;
    bool drawsGraph = false;         // a recording is drawn, with its computations done
    bool startZoomOutTimer = false;  // the first paint in display mode 1
    int unit = 0;                    // the page's line unit
    VisibleRange range;              // of the drawing's points, when a recording is drawn
};

}  // namespace shakemeter
