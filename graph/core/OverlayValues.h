#pragma once
// What the compared recording shows where the shown graph is looked at: its values at the time of
// a shown row, for the read-out under the mouse, and the lowest and highest of its rows on the
// plot, for the automatic value range.

#include <array>
#include <optional>
#include <string>

#include "graph/core/GraphModel.h"

namespace shakemeter {

// The compared row at the time of a shown row: the one whose column is nearest the shown row's.
struct OverlayReadout {
    std::size_t row = 0;  // 0-based row of the compared recording
    std::array<double, 4> values{};
};
// Nothing without an overlay, for a row outside the shown range, or when no compared row lies on
// the plot.
std::optional<OverlayReadout> OverlayReadoutAt(const GraphModel& model, int shownRow);

// The read-out texts with the compared values added after a slash: "Data Point No.:12    Time: ..."
// becomes "Data Point No.:12/340    Time: ..." with the compared row's number, "X:1.25" becomes
// "X:1.25/0.98"; without a compared row at that time they read "--". texts are head, X, Y, Z,
// vector sum.
void AppendOverlayReadout(std::array<std::string*, 5> texts, const std::optional<OverlayReadout>& readout);

// The lowest and highest value of any of the four columns over the compared rows on the plot.
struct ValueSpan {
    double low = 0.0;
    double high = 0.0;
};
std::optional<ValueSpan> VisibleOverlayValues(const GraphModel& model);

}  // namespace shakemeter
