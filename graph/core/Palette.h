#pragma once
// The palette of 14 colours that the graph, the colour picker and the settings file share.
// Colours are kept as indices 0..13; anything else is taken as a colour value already
// (0x00BBGGRR, red in the low byte), so an index read from a settings file always draws.

#include <array>
#include <cstdint>
#include <string_view>

namespace shakemeter {

struct RgbColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const RgbColor&) const = default;
};

constexpr int PALETTE_SIZE = 14;

RgbColor ColorFromIndex(std::int64_t index);
// The colour picker's name of a palette index ("Red" ... "Black"); empty outside 0..13.
std::string_view ColorName(int index);
// The colour whose bits are inverted, as the cursor line takes it from the background.
RgbColor ComplementColor(RgbColor color);

}  // namespace shakemeter
