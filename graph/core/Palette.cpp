#include "graph/core/Palette.h"

namespace shakemeter {

namespace {

struct PaletteEntry {
    std::string_view name;
    RgbColor color;
};

constexpr std::array<PaletteEntry, PALETTE_SIZE> kPalette{{
    {"Red", {255, 0, 0}},
    {"Green", {0, 255, 0}},
    {"Blue", {0, 0, 255}},
    {"Grey", {200, 200, 200}},
    {"Magenta", {255, 0, 255}},
    {"Cyan", {0, 255, 255}},
    {"Dark Red", {128, 0, 0}},
    {"Dark Green", {0, 128, 0}},
    {"Dark Blue", {0, 0, 128}},
    {"Dark Yellow", {128, 128, 0}},
    {"Dark Magenta", {128, 0, 128}},
    {"Dark Cyan", {0, 128, 128}},
    {"White", {255, 255, 255}},
    {"Black", {0, 0, 0}},
}};

}  // namespace

RgbColor ColorFromIndex(std::int64_t index)
{
    if (index >= 0 && index < PALETTE_SIZE)
        return kPalette[static_cast<std::size_t>(index)].color;
    const auto value = static_cast<std::uint32_t>(index);
    return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF),
            static_cast<std::uint8_t>((value >> 16) & 0xFF)};
}

std::string_view ColorName(int index)
{
    if (index >= 0 && index < PALETTE_SIZE)
        return kPalette[static_cast<std::size_t>(index)].name;
    return {};
}

RgbColor ComplementColor(RgbColor color)
{
    return {static_cast<std::uint8_t>(~color.red), static_cast<std::uint8_t>(~color.green),
            static_cast<std::uint8_t>(~color.blue)};
}

}  // namespace shakemeter
