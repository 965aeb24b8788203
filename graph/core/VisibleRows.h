#pragma once
// Which rows of the shown recording the graph shows: the shown range in the full view, the rows
// of the zoomed picture's visible points (as the paint draws them) when zoomed.

#include <cstddef>

#include "analysis/vibration/TimeRows.h"
#include "graph/core/GraphModel.h"

namespace shakemeter {

// Rows within 0..rowCount-1 (rowCount > 0: the time-domain rows of the shown recording).
vibration::RowRange VisibleRows(const GraphModel& model, std::size_t rowCount);

// What a zoom, an Undo Zoom, a scroll or a new band changes of the graph: equal keys, same picture
// of the same rows.
struct GraphZoomKey {
    bool fullView = true;
    int level = 0;
    double bandLeft = 0.0;
    double bandRight = 0.0;
    int shift = 0;
    bool operator==(const GraphZoomKey&) const = default;
};
GraphZoomKey ZoomKeyOf(const GraphModel& model);

}  // namespace shakemeter
