#include "graph/core/OverlayTraces.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "graph/core/OverlayPlacement.h"

namespace shakemeter {

namespace {

// Rows whose columns fall on one pixel are drawn through their extremes from this many on.
constexpr std::size_t kLeastRowsPerColumn = 2;

class OverlaySpans {
public:
    OverlaySpans(const OverlayPlacement& placement, const PlotRect& plot, std::vector<int> traces, TracePlan& plan)
        : m_placement(placement), m_plot(plot), m_traces(std::move(traces)), m_plan(plan)
    {
    }

    void Plan(std::size_t first, std::size_t last)
    {
        const vibration::TimeRows& rows = m_placement.rows();
        const RowExtremes* index = m_placement.Index();
        std::size_t row = first;
        while (row <= last) {
            const double column = std::floor(m_placement.X(row));
            const std::size_t end = m_placement.FirstRowFrom(column + 1.0, row + 1, last + 1);
            if (end - row < kLeastRowsPerColumn) {
                Join(row);
                ++row;
                continue;
            }
            ColumnExtremes extremes;
            extremes.minimum.fill(HUGE_VAL);
            extremes.maximum.fill(-HUGE_VAL);
            extremes.minimumRow.fill(static_cast<std::int64_t>(row));
            extremes.maximumRow.fill(static_cast<std::int64_t>(row));
            if (index != nullptr && end - row >= 2 * RowExtremes::BLOCK_ROWS)
                index->Fold(rows.rows, row, end, extremes);
            else
                extremes.FoldRows(rows.rows, row, end);
            Join(row);
            const int x = TruncToInt(m_placement.X(row));
            for (std::size_t i = 0; i < m_traces.size(); ++i) {
                const auto c = static_cast<std::size_t>(m_traces[i]);
                if (std::isfinite(extremes.minimum[c]) && std::isfinite(extremes.maximum[c]))
                    Add(m_traces[i], x, Pixel(extremes.minimum[c]), x, Pixel(extremes.maximum[c]), true);
            }
            Join(end - 1);
            row = end;
        }
    }

private:
    int Pixel(double value) const { return TruncToInt(m_placement.Y(value)); }

    // A line from the row drawn last to `row`, left open across a motion recording's gap.
    void Join(std::size_t row)
    {
        const vibration::TimeRows& rows = m_placement.rows();
        const int x = TruncToInt(m_placement.X(row));
        if (m_hasLast && m_lastRow != row) {
            const bool joined = rows.tick(row) - rows.tick(m_lastRow) <= 1 || rows.evenlySampled();
            for (std::size_t i = 0; i < m_traces.size(); ++i) {
                const auto c = static_cast<std::size_t>(m_traces[i]);
                Add(m_traces[i], m_lastX, Pixel(rows.rows[m_lastRow][c]), x, Pixel(rows.rows[row][c]), joined);
            }
        }
        m_hasLast = true;
        m_lastRow = row;
        m_lastX = x;
    }

    void Add(int trace, int x0, int y0, int x1, int y1, bool joined)
    {
        if (!joined)
            return;
        TraceSpan span;
        span.trace = trace;
        span.ends.x0 = x0;
        span.ends.y0 = y0;
        span.ends.x1 = x1;
        span.ends.y1 = y1;
        if (GraphModel::SegmentVisible(span.ends, m_plot))
            m_plan.spans.push_back(span);
    }

    const OverlayPlacement& m_placement;
    PlotRect m_plot;
    std::vector<int> m_traces;
    TracePlan& m_plan;
    bool m_hasLast = false;
    std::size_t m_lastRow = 0;
    int m_lastX = 0;
};

}  // namespace

TracePlan PlanOverlayTraces(const GraphModel& model)
{
    TracePlan plan;
    const std::optional<OverlayPlacement> placement = OverlayPlacement::Of(model);
    const PlotRect& plot = model.plot();
    if (!placement || plot.width() <= 0)
        return plan;
    std::vector<int> traces;
    for (int t = 0; t < 4; ++t) {
        if (model.TraceVisible(t))
            traces.push_back(t);
    }
    const std::optional<vibration::RowRange> within = placement->RowsWithin(plot.left, plot.right);
    if (traces.empty() || !within)
        return plan;
    // One row beyond each edge, so that the lines reach the plot's sides.
    const std::size_t first = within->from > 0 ? within->from - 1 : 0;
    const std::size_t last = std::min(within->to + 1, placement->rows().count - 1);
    OverlaySpans(*placement, plot, std::move(traces), plan).Plan(first, last);
    return plan;
}

RgbColor OverlayTraceColor(RgbColor trace, RgbColor background)
{
    const auto mix = [](std::uint8_t a, std::uint8_t b) {
        return static_cast<std::uint8_t>((static_cast<int>(a) + static_cast<int>(b) + 1) / 2);
    };
    return {mix(trace.red, background.red), mix(trace.green, background.green), mix(trace.blue, background.blue)};
}

}  // namespace shakemeter
