#pragma once
// Where the pieces of a trace lie in pixels: a segment between two neighbouring points (with the
// ticks of a motion recording), the ends of a decimated span, and the groups of the decimation
// with their extremes, found in one pass over the rows.
// Part of GraphModel, which owns the state it reads and changes.

#include "graph/core/GraphModel.h"

namespace shakemeter {

class TraceGeometry {
public:
    explicit TraceGeometry(const GraphModel& model) : m_model(model) {}

    SegmentEnds SegmentEndsOf(int p, int trace, int firstVisible) const;
    SpanPointMapper SpanMapper() const;
    int CollectGroups(int first, int last, int p, std::vector<GroupExtremes>& groups) const;

private:
    const GraphModel& m_model;
};

}  // namespace shakemeter
