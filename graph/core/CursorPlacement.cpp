#include "graph/core/CursorPlacement.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

#include "graph/core/PointPicker.h"
#include "recording/PixelMath.h"

namespace shakemeter {

std::optional<vibration::RowRange> ShownSampleRows(const GraphModel& model)
{
    if (model.document() == nullptr || !model.HasView() || model.FrequencyMode())
        return std::nullopt;
    const std::size_t end = std::min<std::size_t>(static_cast<std::size_t>(std::max(0, model.RangeLast())),
                                                  vibration::TimeRowsOf(*model.document()).count);
    const std::size_t first = static_cast<std::size_t>(model.RangeFirst() - 1);
    if (end == 0 || end - 1 < first)
        return std::nullopt;
    return vibration::RowRange{first, end - 1};
}

double ColumnOfRow(const GraphModel& model, std::size_t row)
{
    const GraphState& s = model.state();
    const int clamped = static_cast<int>(std::min<std::size_t>(row, INT_MAX));
    return model.Position(clamped, 0, s.g_nZoomLevel).x + s.m_nHShift * s.m_dScale;
}

std::optional<std::size_t> SnapColumnToRow(const GraphModel& model, int x)
{
    const auto shown = ShownSampleRows(model);
    if (!shown)
        return std::nullopt;
    // The picking leaves a column past the last sample of a motion recording unanswered, and one
    // before the first may answer a row before the shown range; the trace's ends answer both.
    if (x <= ColumnOfRow(model, shown->from))
        return shown->from;
    if (x >= ColumnOfRow(model, shown->to))
        return shown->to;
    const int picked = PointPicker::NearestIndex(model, x, static_cast<int>(shown->from));
    return std::clamp(static_cast<std::size_t>(std::max(0, picked)), shown->from, shown->to);
}

std::optional<CursorPair> ClampToShownRows(const GraphModel& model, const CursorPair& cursors)
{
    const auto shown = ShownSampleRows(model);
    if (!shown)
        return std::nullopt;
    return CursorPair{std::clamp(cursors.rowA, shown->from, shown->to),
                      std::clamp(cursors.rowB, shown->from, shown->to)};
}

std::optional<CursorPair> StartingCursors(const GraphModel& model)
{
    const auto shown = ShownSampleRows(model);
    if (!shown)
        return std::nullopt;
    const auto visible = VisibleRows(model);
    const PlotRect& plot = model.plot();
    if (!visible && !model.state().g_bFullView && plot.width() > 0) {
        // A zoom into the stretch where a motion recording has no sample: a third of every shown row
        // would lie far from the plot, so the cursors stand where a drag to those columns puts them.
        const auto a = SnapColumnToRow(model, plot.left + plot.width() / 3);
        const auto b = SnapColumnToRow(model, plot.left + (2 * plot.width()) / 3);
        if (a && b)
            return CursorPair{*a, *b};
    }
    const vibration::RowRange rows = visible.value_or(*shown);
    const std::size_t span = rows.to - rows.from;
    return CursorPair{rows.from + span / 3, rows.from + (2 * span) / 3};
}

std::size_t StepRow(const GraphModel& model, std::size_t row, long long samples)
{
    const auto shown = ShownSampleRows(model);
    if (!shown)
        return row;
    const long long moved = static_cast<long long>(row) + samples;
    if (moved <= static_cast<long long>(shown->from))
        return shown->from;
    return std::min(static_cast<std::size_t>(moved), shown->to);
}

char CursorNear(const GraphModel& model, int x, int y, int reach)
{
    const auto& cursors = model.Cursors();
    const PlotRect& plot = model.plot();
    if (!cursors || !model.ScalesUsable() || y < plot.top || y > plot.bottom)
        return 0;
    char nearest = 0;
    double best = reach + 0.5;
    for (const auto& [name, row] : {std::pair{'A', cursors->rowA}, std::pair{'B', cursors->rowB}}) {
        const int column = TruncToInt(ColumnOfRow(model, row));
        if (column < plot.left || column > plot.right)
            continue;
        const double distance = std::abs(x - column);
        if (distance < best) {
            best = distance;
            nearest = name;
        }
    }
    return nearest;
}

CursorPair WithRow(CursorPair cursors, char name, std::size_t row)
{
    (name == 'A' ? cursors.rowA : cursors.rowB) = row;
    return cursors;
}

}  // namespace shakemeter
