#include "graph/core/OverlayValues.h"

#include <algorithm>
#include <cmath>

#include "graph/core/AxisText.h"
#include "graph/core/OverlayPlacement.h"
#include "graph/core/VisibleRows.h"

namespace shakemeter {

namespace {

// What stands between the row number and the time in the read-out's head.
constexpr const char* kReadoutGap = "    ";

}  // namespace

std::optional<OverlayReadout> OverlayReadoutAt(const GraphModel& model, int shownRow)
{
    const std::optional<OverlayPlacement> placement = OverlayPlacement::Of(model);
    if (!placement || shownRow < model.RangeFirst() - 1 || shownRow > model.RangeLast() - 1)
        return std::nullopt;
    const GraphState& s = model.state();
    const double x = model.Position(shownRow, 0, s.g_nZoomLevel).x + s.m_nHShift * s.m_dScale;
    const PlotRect& plot = s.m_rcPlot;
    const std::optional<std::size_t> row = placement->RowAt(x, plot.left, plot.right);
    // A compared row more than a pixel away from the shown row's column is at another time.
    if (!row || std::fabs(placement->X(*row) - x) >= 1.0)
        return std::nullopt;
    OverlayReadout readout;
    readout.row = *row;
    readout.values = placement->rows().rows[*row];
    return readout;
}

void AppendOverlayReadout(std::array<std::string*, 5> texts, const std::optional<OverlayReadout>& readout)
{
    // The line is long already: each shown number gains the compared one after a slash.
    const std::string row = readout ? FormatInteger(static_cast<std::int64_t>(readout->row) + 1) : "--";
    std::string& head = *texts[0];
    const std::size_t afterNumber = head.find(kReadoutGap);
    head.insert(afterNumber == std::string::npos ? head.size() : afterNumber, "/" + row);
    for (std::size_t i = 1; i < texts.size(); ++i)
        *texts[i] += "/" + (readout ? FormatFixed(readout->values[i - 1], 2) : std::string("--"));
}

std::optional<ValueSpan> VisibleOverlayValues(const GraphModel& model)
{
    const std::optional<OverlayPlacement> placement = OverlayPlacement::Of(model);
    const std::optional<vibration::RowRange> rows = VisibleOverlayRows(model);
    if (!placement || !rows)
        return std::nullopt;
    ColumnExtremes extremes;
    extremes.minimum.fill(HUGE_VAL);
    extremes.maximum.fill(-HUGE_VAL);
    const SampleRow* table = placement->rows().rows;
    if (const RowExtremes* index = placement->Index())
        index->Fold(table, rows->from, rows->to + 1, extremes);
    else
        extremes.FoldRows(table, rows->from, rows->to + 1);
    ValueSpan span{HUGE_VAL, -HUGE_VAL};
    for (std::size_t c = 0; c < 4; ++c) {
        span.low = std::min(span.low, extremes.minimum[c]);
        span.high = std::max(span.high, extremes.maximum[c]);
    }
    if (!std::isfinite(span.low) || !std::isfinite(span.high))
        return std::nullopt;
    return span;
}

}  // namespace shakemeter
