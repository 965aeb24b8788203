#pragma once
// Where the pieces of a trace lie in pixels: a segment between two neighbouring points (with the
// ticks of a motion recording), the ends of a decimated span, and the groups of the decimation
// with their extremes, found in one pass over the rows.
// Part of GraphModel, which owns the state it reads and changes.

#include <memory>
#include <vector>

#include "graph/core/GraphModel.h"

namespace shakemeter {

// The groups of one CollectGroups over a long recording, with what they were found from. The
// whole view of such a recording is planned again on every paint of it and on Undo Zoom, with
// the same groups each time: reading them from the block extremes again took a quarter of
// planning it. The block extremes are made anew whenever the recording's rows change, so
// groups found from the ones the recording still holds are those a new search would find.
struct KeptGroups {
    struct Key {
        int first = 0;
        int last = 0;
        int groupSize = 0;
        std::int64_t firstRow = 0;
        std::int64_t tableRows = 0;
        bool operator==(const Key&) const = default;
    };
    Key key;
    // Weak, so that a recording that was replaced gives back its block extremes' memory.
    std::weak_ptr<const RowExtremes> from;
    std::vector<GroupExtremes> groups;
    int rest = 0;
};

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
