#include "graph/core/TraceGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "recording/PixelMath.h"
#include "recording/TwoThreads.h"

namespace shakemeter {

SegmentEnds TraceGeometry::SegmentEndsOf(int p, int trace, int firstVisible) const
{
    const GraphState& s = m_model.m_state;
    const int level = s.g_nZoomLevel;
    const int firstShown = m_model.RangeFirst();
    SegmentEnds ends;
    ends.rowA = firstShown + p - 2;
    ends.rowB = ends.rowA + 1;
    ends.y0 = TruncToInt(m_model.Position(ends.rowA, trace, level).y);
    ends.y1 = TruncToInt(m_model.Position(ends.rowB, trace, level).y);
    const double scale = s.m_dScale;
    if (!m_model.HasTicks()) {
        const double firstX = m_model.Position(firstShown - 1, trace, level).x;
        ends.x0 = TruncToInt((p - 1 + s.m_nHShift) * scale + firstX);
        ends.x1 = TruncToInt((p + s.m_nHShift) * scale + firstX);
        return ends;
    }
    const int anchorRow = firstVisible != 0 ? firstShown + firstVisible - 2 : firstShown - 1;
    double anchorX = m_model.Position(anchorRow, 0, level).x;
    std::int64_t anchorTick = m_model.Tick(anchorRow);
    if (s.m_rcPlot.left < anchorX && PositiveFinite(scale)) {
        const std::int64_t shift = TruncToInt((anchorX - s.m_rcPlot.left) / scale + 1.0);
        anchorX = anchorX - shift * scale;
        anchorTick = anchorTick - shift;
    }
    const std::int64_t tickA = m_model.Tick(ends.rowA);
    const std::int64_t tickB = m_model.Tick(ends.rowB);
    ends.x0 = TruncToInt((tickA - anchorTick + s.m_nHShift) * scale + anchorX);
    ends.x1 = TruncToInt((tickB - anchorTick + s.m_nHShift) * scale + anchorX);
    ends.joined = tickB - tickA == 1;
    return ends;
}

SpanPointMapper TraceGeometry::SpanMapper() const
{
    const GraphState& s = m_model.m_state;
    const int level = s.g_nZoomLevel;
    const int firstShown = m_model.RangeFirst();
    // The same positions GraphModel::Position gives, each looked up only for the coordinate it is used for.
    const double base = m_model.m_positions.x(level, static_cast<std::size_t>(firstShown - 1));
    const double step = m_model.m_positions.x(level, static_cast<std::size_t>(firstShown)) - base;
    return SpanPointMapper(m_model.TableData(), static_cast<std::size_t>(std::max(0, m_model.TableRows())),
                           m_model.m_positions.rows(), m_model.m_positions.mapping(level), base, step, firstShown,
                           s.m_nHShift);
}

GroupSearch::GroupSearch(const SampleRow* rows, std::int64_t tableRows, std::int64_t firstRow, const RowExtremes* index,
                         int first, int groupSize)
    : m_rows(rows), m_tableRows(tableRows), m_firstRow(firstRow), m_index(index), m_first(first), m_groupSize(groupSize)
{
}

void GroupSearch::Find(std::vector<GroupExtremes>& groups, std::size_t begin, std::size_t end) const
{
    const SampleRow* rows = m_rows;
    const std::int64_t firstRow = m_firstRow;
    const std::int64_t tableRows = m_tableRows;
    const auto valuesAt = [&](std::int64_t row, std::array<double, 4>& values) {
        if (row >= 0 && row < tableRows)
            values = rows[row];
        else
            values.fill(0.0);
    };
    for (std::size_t groupIndex = begin; groupIndex < end; ++groupIndex) {
        // A group starts where the one before it ended; the first starts at the first point.
        const int groupEnd = m_first + (static_cast<int>(groupIndex) + 1) * m_groupSize - 1;
        const int groupStart = groupIndex == 0 ? m_first : groupEnd - m_groupSize;
        GroupExtremes& group = groups[groupIndex];
        group.from = groupStart;
        group.to = groupEnd;
        // The inner points' extremes, from infinite bounds: a fixed bound such as +-50000 g would
        // lose every dip of a trace lying above it and every peak of one lying below it. Where no
        // inner value is beyond a bound (all NaN), the extreme stays at the group's first point,
        // which is drawn anyway. Points groupStart + 1 .. groupEnd - 1 are rows
        // firstRow + groupStart .. firstRow + groupEnd - 2 of the table.
        ColumnExtremes extremes;
        extremes.minimum.fill(std::numeric_limits<double>::infinity());
        extremes.maximum.fill(-std::numeric_limits<double>::infinity());
        extremes.minimumRow.fill(firstRow + groupStart - 1);
        extremes.maximumRow.fill(firstRow + groupStart - 1);
        const std::int64_t rowsBegin = std::max<std::int64_t>(firstRow + groupStart, 0);
        const std::int64_t rowsEnd = std::min<std::int64_t>(firstRow + groupEnd - 1, tableRows);
        if (rowsBegin < rowsEnd) {
            if (m_index != nullptr)
                m_index->Fold(rows, static_cast<std::size_t>(rowsBegin), static_cast<std::size_t>(rowsEnd), extremes);
            else
                extremes.FoldRows(rows, static_cast<std::size_t>(rowsBegin), static_cast<std::size_t>(rowsEnd));
        }
        for (std::size_t c = 0; c < 4; ++c) {
            group.minimumAt[c] = static_cast<int>(extremes.minimumRow[c] - firstRow + 1);
            group.maximumAt[c] = static_cast<int>(extremes.maximumRow[c] - firstRow + 1);
            valuesAt(extremes.minimumRow[c], group.atMinimum[c]);
            valuesAt(extremes.maximumRow[c], group.atMaximum[c]);
        }
    }
}

int TraceGeometry::CollectGroups(int first, int last, int groupSize, std::vector<GroupExtremes>& groups) const
{
    groups.clear();
    const SampleRow* rows = m_model.TableData();
    if (groupSize < 1 || last < first || rows == nullptr)
        return first;
    const int count = (last - first + 1) / groupSize;
    const std::int64_t firstRow = m_model.RangeFirst() - 1;
    const std::int64_t tableRows = m_model.TableRows();
    // A long recording's groups come from its block extremes; a group narrower than two blocks
    // gains nothing from them.
    const RowExtremes* index = nullptr;
    if (!m_model.FrequencyMode() && m_model.m_document != nullptr &&
        static_cast<std::size_t>(groupSize) >= 2 * RowExtremes::BLOCK_ROWS)
        index = m_model.m_document->RowExtremesIndex();
    const KeptGroups::Key key{first, last, groupSize, firstRow, tableRows};
    auto& kept = m_model.m_keptGroups;
    if (index != nullptr) {
        const auto holds = [&](const std::shared_ptr<const KeptGroups>& groupsOfView) {
            return groupsOfView != nullptr && groupsOfView->key == key &&
                   groupsOfView->from.lock() == m_model.m_document->m_rowExtremes;
        };
        const auto found = std::find_if(kept.begin(), kept.end(), holds);
        if (found != kept.end()) {
            // The groups taken back become the latest: the view zoomed from next is this one.
            std::rotate(kept.begin(), found, found + 1);
            groups = kept.front()->groups;
            return kept.front()->rest;
        }
        ++m_model.m_groupSearches;
    }
    groups.resize(static_cast<std::size_t>(count));
    const GroupSearch search(rows, tableRows, firstRow, index, first, groupSize);
    const std::size_t all = groups.size();
    // Each group is found on its own: the left and the right half of a wide plot over a long
    // recording are found on both cores. A short recording is searched here alone.
    if (index != nullptr && count >= kGroupsForTwoThreads) {
        const std::size_t half = all / 2;
        RunOnTwoThreads([&] { search.Find(groups, 0, half); }, [&] { search.Find(groups, half, all); });
    } else {
        search.Find(groups, 0, all);
    }
    const int rest = count * groupSize + first - 1;
    if (index != nullptr) {
        std::rotate(kept.begin(), kept.end() - 1, kept.end());
        kept.front() =
            std::make_shared<const KeptGroups>(KeptGroups{key, m_model.m_document->m_rowExtremes, groups, rest});
    }
    return rest;
}

}  // namespace shakemeter
