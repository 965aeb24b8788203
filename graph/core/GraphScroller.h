#pragma once
// The scroll bars of the zoomed graph: a scroll message moves the picture by whole sample
// spacings (horizontally) or value steps (vertically) and keeps what the bars show in step.
// Part of GraphModel, which owns the state it reads and changes.

#include "graph/core/GraphModel.h"

namespace shakemeter {

class GraphScroller {
public:
    explicit GraphScroller(GraphModel& model) : m_model(model) {}

    void OnHScroll(ScrollCode code, int position, int pointerX);
    void OnVScroll(ScrollCode code, int position);

private:
    GraphModel& m_model;
};

}  // namespace shakemeter
