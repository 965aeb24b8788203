#pragma once
// What a new row of a real-time reading asks of the graph: follow it in the zoomed view, grow the
// time axis, or add only the newest segment.
// Part of GraphModel, which owns the state it reads and changes.

#include "graph/core/GraphModel.h"

namespace shakemeter {

class RealTimeGrowth {
public:
    explicit RealTimeGrowth(GraphModel& model) : m_model(model) {}

    RealTimeAction UpdateRealTimePlot(bool frameReading);

private:
    GraphModel& m_model;
};

}  // namespace shakemeter
