#pragma once
// The events a comparison can be aligned on: the shocks and free falls the vibration analysis
// finds in a recording, at the rows the graph's event marks stand on, each with the text the
// alignment's choice shows.

#include <cstddef>
#include <string>
#include <vector>

#include "analysis/vibration/EventDetector.h"
#include "recording/Recording.h"

namespace shakemeter {

struct AlignmentEvent {
    std::size_t row = 0;  // a shock's peak row, a fall's first row
    std::string text;     // "Shock at 05/03/23 14:07:12 250ms, 8.52 g", "Free fall at ..., 0.45 m"
    bool operator==(const AlignmentEvent&) const = default;
};

// In the order of their rows; none for a recording without time-domain rows.
std::vector<AlignmentEvent> AlignmentEventsOf(const Recording& recording, const vibration::EventOptions& options);

}  // namespace shakemeter
