#pragma once
// Shocks (runs of the vector sum at or above a level) and free falls (runs at or below a level,
// with the drop height the fall time gives), runs ending at a gap in the ticks.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analysis/vibration/TimeRows.h"
#include "analysis/vibration/Units.h"
#include "recording/Recording.h"

namespace shakemeter::vibration {

struct EventOptions {
    double shockLevel = 2.0;  // g
    double fallLevel = 0.35;  // g
    std::size_t minFallRows = 2;
    double impactWithinSeconds = 1.0;  // a shock this soon after a fall is its impact
};

struct Shock {
    std::size_t firstRow = 0;
    std::size_t lastRow = 0;
    std::string time;  // the row label of the first row, without its leading blank
    double durationS = 0.0;
    double peakSum = 0.0;
    std::size_t peakRow = 0;       // the later row on ties
    std::array<double, 3> peak{};  // signed value of largest magnitude of X, Y, Z (first on ties)
    std::string face;              // sign and axis of the largest |peak|: "+Z", "-X"
};

struct FreeFall {
    std::size_t firstRow = 0;
    std::size_t lastRow = 0;
    std::string time;
    double durationS = 0.0;   // t = n * dt for n ticks
    double heightM = 0.0;     // g t^2 / 2
    double heightMinM = 0.0;  // with n - 1 ticks
    double heightMaxM = 0.0;  // with n + 1 ticks
    double impactSpeedMS = 0.0;
    std::optional<std::size_t> impact;  // the shock that ends the fall
};

struct Events {
    Unit unit = Unit::G;
    std::vector<Shock> shocks;
    std::vector<FreeFall> freeFalls;

    // Shock values in another unit; heights and speeds stay in metres and m/s.
    Events converted(Unit to) const;
};

// Shocks and falls of the rows, in g, without time labels.
Events DetectEvents(const TimeRows& rows, const EventOptions& options);

// Gives every event the recording's own label of its first row.
void LabelEvents(Events& events, const Recording& recording);

}  // namespace shakemeter::vibration
