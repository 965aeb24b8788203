#pragma once
// Where the pieces of a trace lie in pixels: a segment between two neighbouring points (with the
// ticks of a motion recording), the ends of a decimated span, and the groups of the decimation
// with their extremes, found in one pass over the rows.
// Part of GraphModel, which owns the state it reads and changes.

#include <cstddef>
#include <cstdint>
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

// The search for decimation groups over the point table: group g ends at point
// first + (g + 1) * groupSize - 1 and starts where group g - 1 ended (the first at point first).
// Each group is found on its own, so that any of them may be found on any thread.
class GroupSearch {
public:
    // `index` (the table's block extremes, or null for a row-by-row scan) must describe `rows`.
    GroupSearch(const SampleRow* rows, std::int64_t tableRows, std::int64_t firstRow, const RowExtremes* index,
                int first, int groupSize);

    // Fills groups[begin] .. groups[end - 1].
    void Find(std::vector<GroupExtremes>& groups, std::size_t begin, std::size_t end) const;

private:
    const SampleRow* m_rows;
    std::int64_t m_tableRows;
    std::int64_t m_firstRow;
    const RowExtremes* m_index;
    int m_first;
    int m_groupSize;
};

class TraceGeometry {
public:
    // A long recording's groups are found in two halves on two threads from this many groups on
    // (a plot some thousand pixels wide); fewer are found on the calling thread alone, as are
    // all groups of a recording too short for block extremes.
    static constexpr int kGroupsForTwoThreads = 1024;

    explicit TraceGeometry(const GraphModel& model) : m_model(model) {}

    SegmentEnds SegmentEndsOf(int p, int trace, int firstVisible) const;
    SpanPointMapper SpanMapper() const;
    int CollectGroups(int first, int last, int p, std::vector<GroupExtremes>& groups) const;

private:
    const GraphModel& m_model;
};

}  // namespace shakemeter
