#pragma once
// Where the compared recording's rows stand on the shown graph. The shown traces place a row at
// its tick counted from the first shown row, plus the horizontal shift, times the spacing of the
// zoom level, from the first shown row's column; the compared rows go through that same mapping
// at their own times (their ticks and sampling interval) moved by the alignment, and through the
// same value mapping. A compared row whose time equals a shown row's time lands on exactly that
// row's column, so zoom and scroll carry the overlay along by themselves.

#include <cstddef>
#include <memory>
#include <optional>

#include "analysis/vibration/TimeRows.h"
#include "graph/core/GraphModel.h"

namespace shakemeter {

class OverlayPlacement {
public:
    // Nothing without an overlay, in frequency mode, without shown rows or usable scales, or when
    // either recording has no time-domain rows or no usable sampling interval.
    static std::optional<OverlayPlacement> Of(const GraphModel& model);

    const vibration::TimeRows& rows() const { return m_rows; }
    // The compared recording's block extremes, or null when it is too short to gain from them.
    const RowExtremes* Index() const { return m_recording->RowExtremesIndex(); }
    // The column of compared row k, before it is cut to a whole pixel.
    double X(std::size_t row) const { return Units(row) * m_spacing + m_base; }
    double Y(double value) const { return m_values.map(value); }
    // Seconds added to the compared recording's times (the alignment's shift).
    double ShiftSeconds() const { return m_shiftSeconds; }
    // The compared rows (0-based, inclusive) drawn on the pixel columns left to right: their
    // columns from left up to, not including, right + 1.
    std::optional<vibration::RowRange> RowsWithin(double left, double right) const;
    // The compared row nearest to column x among those on the columns left to right; nothing
    // when none is.
    std::optional<std::size_t> RowAt(double x, double left, double right) const;
    // The first row of from..end - 1 whose column is x or right of it (end when none is): columns
    // grow with the rows, so it is found by halving.
    std::size_t FirstRowFrom(double x, std::size_t from, std::size_t end) const;

private:
    OverlayPlacement() = default;
    // The shown graph's units (rows, or ticks of a motion recording) from its first shown row.
    double Units(std::size_t row) const { return static_cast<double>(m_rows.tick(row)) * m_ratio + m_unitOffset; }

    std::shared_ptr<const Recording> m_recording;  // keeps m_rows' arrays alive
    vibration::TimeRows m_rows;
    double m_ratio = 1.0;       // the compared sampling interval in the shown one's
    double m_unitOffset = 0.0;  // the shift in shown units, less the first shown row's, plus the scroll
    double m_spacing = 1.0;     // pixels a shown unit
    double m_base = 0.0;        // the first shown row's column
    double m_shiftSeconds = 0.0;
    ValueMapping m_values;
};

}  // namespace shakemeter
