#pragma once
// The graph's display switches and its preset value range: what the settings file keeps of the
// graph (keys VIEW1..VIEW7 and the Y axis section), what the graph's state holds of them and what
// the display options dialog edits. One definition for all three.

#include <array>

namespace shakemeter {

struct DisplaySwitches {
    bool m_bShowX = true;
    bool m_bShowY = true;
    bool m_bShowZ = true;
    bool m_bShowVectorSum = true;
    bool m_bMarkPoints = false;
    bool m_bVertGrid = true;
    bool m_bHorzGrid = true;
    bool operator==(const DisplaySwitches&) const = default;
};

// The switch behind settings key VIEW<n> at index n - 1.
inline constexpr std::array<bool DisplaySwitches::*, 7> kViewKeySwitches{
    &DisplaySwitches::m_bShowX,        &DisplaySwitches::m_bShowY,    &DisplaySwitches::m_bShowZ,
    &DisplaySwitches::m_bMarkPoints,   &DisplaySwitches::m_bVertGrid, &DisplaySwitches::m_bHorzGrid,
    &DisplaySwitches::m_bShowVectorSum};

struct GraphDisplayOptions : DisplaySwitches {
    double m_dPresetYMin = -20.0;
    double m_dPresetYMax = 20.0;
    bool operator==(const GraphDisplayOptions&) const = default;
};

}  // namespace shakemeter
