#include "graph/core/VisibleRows.h"

#include <algorithm>

namespace shakemeter {

vibration::RowRange VisibleRows(const GraphModel& model, std::size_t rowCount)
{
    if (rowCount == 0)
        return {};
    const long long lastRow = static_cast<long long>(rowCount) - 1;
    const long long shownFirst = std::clamp<long long>(model.RangeFirst() - 1, 0, lastRow);
    const long long shownLast = std::clamp<long long>(model.RangeLast() - 1, shownFirst, lastRow);
    long long from = shownFirst;
    long long to = shownLast;
    if (!model.state().g_bFullView) {
        // Visible points are numbered from 1 at the shown range's first row.
        const VisibleRange points = model.ComputeVisibleRange();
        if (points.first > 0 && points.last >= points.first) {
            from = std::clamp<long long>(shownFirst + points.first - 1, shownFirst, shownLast);
            to = std::clamp<long long>(shownFirst + points.last - 1, from, shownLast);
        }
    }
    return {static_cast<std::size_t>(from), static_cast<std::size_t>(to)};
}

GraphZoomKey ZoomKeyOf(const GraphModel& model)
{
    const GraphState& s = model.state();
    return {s.g_bFullView, s.g_nZoomLevel, s.g_dZoomLeft, s.g_dZoomRight, s.m_nHShift};
}

}  // namespace shakemeter
