#pragma once
// The events a graph marks on its time axis: the shocks and free falls the vibration analysis
// detects at the given levels, and the free-fall events the logger recorded itself.

#include <vector>

#include "analysis/vibration/EventDetector.h"
#include "graph/core/GraphPaintPlan.h"
#include "recording/Recording.h"

namespace shakemeter {

// Each shock at its peak row, each fall at its first row, each logger event at its row.
std::vector<EventRow> GraphEventRows(const Recording& recording, const vibration::EventOptions& options);

}  // namespace shakemeter
