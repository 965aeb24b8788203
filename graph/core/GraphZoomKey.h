#pragma once
// What a zoom, an Undo Zoom, a scroll or a new band changes of the graph: equal keys, the same
// picture of the same rows. A window that zoomed the graph itself tells by it whether the picture
// is still the one it made.

#include "graph/core/GraphModel.h"

namespace shakemeter {

struct GraphZoomKey {
    bool fullView = true;
    int level = 0;
    double bandLeft = 0.0;
    double bandRight = 0.0;
    int shift = 0;
    bool operator==(const GraphZoomKey&) const = default;
};

inline GraphZoomKey ZoomKeyOf(const GraphModel& model)
{
    const GraphState& s = model.state();
    return {s.g_bFullView, s.g_nZoomLevel, s.g_dZoomLeft, s.g_dZoomRight, s.m_nHShift};
}

}  // namespace shakemeter
