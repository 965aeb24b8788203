#pragma once
// The rows a recording shows in time domain, read where they live: their count, their ticks
// (motion detection only), the sampling interval, and a checked inclusive row range.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "recording/Recording.h"

namespace shakemeter::vibration {

struct TimeRows {
    const SampleRow* rows = nullptr;
    std::size_t count = 0;
    const std::int32_t* ticks = nullptr;  // one per row with motion detection, else null
    double dt = 0.0;                      // seconds per tick

    bool evenlySampled() const { return ticks == nullptr; }
    // An interval code naming a unit but a count of 0 (only a damaged file holds one) gives rows
    // without time between them: no sampling rate, no frequencies.
    bool hasInterval() const { return dt > 0.0; }
    std::int64_t tick(std::size_t k) const { return ticks != nullptr ? ticks[k] : static_cast<std::int64_t>(k); }
};

// The time-domain rows of a recording as the summary counts them: a spectrum capture shows its
// first half, every other recording the rows its header counts, never more than it holds.
TimeRows TimeRowsOf(const Recording& recording);

// Rows from..to, both inclusive and 0-based.
struct RowRange {
    std::size_t from = 0;
    std::size_t to = 0;
    std::size_t size() const { return to - from + 1; }
    bool operator==(const RowRange&) const = default;
};

// The range asked for, the missing ends being the first and the last row; or the reason it does
// not name rows of the recording (no rows, an end past the last row, from after to).
struct RangeChoice {
    std::optional<RowRange> range;
    std::string refusal;
};
RangeChoice ChooseRange(std::size_t count, std::optional<std::size_t> from, std::optional<std::size_t> to);

}  // namespace shakemeter::vibration
