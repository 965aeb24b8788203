#pragma once
// Where the texts of the read-out line under the graph stand. Each text keeps its fixed place
// while the one before it ends short of that place; a longer text before it (a point number of
// six or seven digits, a time with milliseconds) pushes it right, so no two texts run into each
// other.

#include <array>

namespace shakemeter {

// The texts of the line in their order: the head (point number and time or frequency), then the
// X, Y, Z and vector-sum values.
constexpr int READOUT_TEXTS = 5;

struct ReadoutPlaces {
    std::array<int, READOUT_TEXTS> x{};
    int left = 0;   // where the first text starts
    int right = 0;  // where the last text placed ends
    bool operator==(const ReadoutPlaces&) const = default;
};

// plotLeft is the plot's left edge, offset the read-out offset of the values; widths are the
// drawn widths of the texts (0 for an empty one) and gap the least room between two texts that
// are not empty. Only the first `count` texts are placed (4 in frequency mode, without the vector
// sum); the others keep their fixed place.
ReadoutPlaces PlaceReadout(int plotLeft, int offset, const std::array<int, READOUT_TEXTS>& widths, int count, int gap);

}  // namespace shakemeter
