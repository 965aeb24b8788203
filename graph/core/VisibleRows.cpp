#include "graph/core/VisibleRows.h"

#include <algorithm>

#include "graph/core/CursorPlacement.h"
#include "graph/core/OverlayPlacement.h"

namespace shakemeter {

std::optional<vibration::RowRange> VisibleRows(const GraphModel& model)
{
    const auto shown = ShownSampleRows(model);
    if (!shown)
        return std::nullopt;
    const int shownFirst = static_cast<int>(shown->from);
    const int shownLast = static_cast<int>(shown->to);

    // The drawing's range holds a row or two beyond each edge, so that the traces reach the edges;
    // those rows are not on the plot.
    // Nothing is drawn when both ends are 0. A first point of 0 alone is the picture scrolled to
    // its very start, where the point before the first shown row stands left of the plot.
    const VisibleRange drawn = model.ComputeVisibleRange();
    if (drawn.first == 0 && drawn.last == 0)
        return std::nullopt;
    int first = std::clamp(shownFirst + drawn.first - 1, shownFirst, shownLast);
    int last = std::clamp(shownFirst + drawn.last - 1, shownFirst, shownLast);
    const PlotRect& plot = model.state().m_rcPlot;
    if (plot.width() > 0) {
        const auto x = [&](int row) { return ColumnOfRow(model, static_cast<std::size_t>(row)); };
        // A sample less than a pixel beyond an edge is drawn on the edge's pixel (the full view of
        // ticks puts the last one there).
        while (first < last && x(first) <= plot.left - 1.0)
            ++first;
        while (last > first && x(last) >= plot.right + 1.0)
            --last;
        // The drawing's range of a motion recording ends at the first sample on or past the right
        // edge, which may leave out the samples drawn on the edge's pixel after it.
        while (last < shownLast && x(last + 1) < plot.right + 1.0)
            ++last;
        // A zoom into a motion recording's gap keeps one row of an edge, which lies off the plot.
        if (x(first) <= plot.left - 1.0 || x(last) >= plot.right + 1.0)
            return std::nullopt;
    }
    if (last < first)
        return std::nullopt;
    return vibration::RowRange{static_cast<std::size_t>(first), static_cast<std::size_t>(last)};
}

std::optional<vibration::RowRange> VisibleOverlayRows(const GraphModel& model)
{
    const std::optional<OverlayPlacement> placement = OverlayPlacement::Of(model);
    const PlotRect& plot = model.state().m_rcPlot;
    if (!placement || plot.width() <= 0)
        return std::nullopt;
    return placement->RowsWithin(plot.left, plot.right);
}

}  // namespace shakemeter
