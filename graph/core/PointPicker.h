#pragma once
// The point under the pointer and the read-out texts of a point.
// Part of GraphModel, which owns the state it reads and changes.

#include "graph/core/GraphModel.h"

namespace shakemeter {

class PointPicker {
public:
    explicit PointPicker(GraphModel& model) : m_model(model) {}

    int PickIndex(int x);
    bool UpdateReadout(int index);  // false when the index is outside the rows (nothing changed)

    // The row PickIndex(x) picks, without keeping it; `fallback` where the picking finds none.
    static int NearestIndex(const GraphModel& model, int x, int fallback);

private:
    GraphModel& m_model;
};

}  // namespace shakemeter
