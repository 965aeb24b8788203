#pragma once
// Which rows of the recording the graph shows: the question the exports and the analysis of the
// visible range ask, answered from the model's shown range and zoom as the last paint left them.

#include <optional>

#include "analysis/vibration/TimeRows.h"
#include "graph/core/GraphModel.h"

namespace shakemeter {

// The rows (0-based, inclusive) whose samples lie on the plot: the whole shown range when not
// zoomed, the stretch between the plot's edges when zoomed or scrolled. Nothing when no sample
// row is shown (no recording, no rows, or the spectrum in frequency mode).
std::optional<vibration::RowRange> VisibleRows(const GraphModel& model);

// The compared recording's rows (0-based, inclusive) that fall within the time span the graph shows of
// the shown recording, after alignment; nothing without an overlay or when none fall there.
std::optional<vibration::RowRange> VisibleOverlayRows(const GraphModel& model);

}  // namespace shakemeter
