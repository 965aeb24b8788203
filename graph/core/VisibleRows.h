#pragma once
// Which rows of the recording the graph pane shows: the one answer the analysis windows share.

#include <cstddef>

#include "analysis/vibration/TimeRows.h"
#include "graph/core/GraphModel.h"

namespace shakemeter {

// The rows (0-based, inclusive) of the shown range, narrowed when zoomed to the points the last
// paint found visible; never past rowCount - 1, the last time-domain row. The whole recording in
// frequency mode, where the graph shows bins rather than rows. {0, 0} when rowCount is 0.
vibration::RowRange VisibleRows(const GraphModel& model, std::size_t rowCount);

}  // namespace shakemeter
