#pragma once
// How a compared recording is placed on the time axis of the shown one: both start times on one
// clock, both first samples together, or a chosen event of each on the same instant, and the
// user's fine offset on top. Times are seconds after a recording's start (its tick 0), read
// through the rows' own ticks and sampling interval, so a motion recording's gaps count as the
// graph draws them.

#include <cstddef>
#include <optional>

#include "recording/Recording.h"

namespace shakemeter {

enum class AlignBy { Clock, FirstSample, Event };

struct OverlayAlignment {
    AlignBy by = AlignBy::Clock;
    std::size_t mainEventRow = 0;     // 0-based row of the shown recording's chosen event (AlignBy::Event)
    std::size_t overlayEventRow = 0;  // 0-based row of the compared recording's chosen event
    double offsetSeconds = 0.0;       // the user's fine offset, added last
    bool operator==(const OverlayAlignment&) const = default;
};

// Seconds after the recording's start of time-domain row `row` (tick times the sampling
// interval); nothing for a row the recording does not show in time domain.
std::optional<double> RowSeconds(const Recording& recording, std::size_t row);

// Seconds to add to a time of the compared recording (seconds after its first sample) to place it on
// the shown recording's time axis (seconds after the shown recording's first sample).
// An event row that either recording does not hold adds nothing, and an offset that is not a
// finite number is taken as none, so a damaged session never throws the overlay off the axis.
double OverlayShiftSeconds(const Recording& shown, const Recording& compared, const OverlayAlignment& alignment);

}  // namespace shakemeter
