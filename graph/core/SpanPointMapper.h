#pragma once
// The pixel ends of a decimated span, found for tens of thousands of points a paint.

#include <cstddef>

#include "recording/PixelMath.h"
#include "graph/core/PlotPositions.h"
#include "recording/Recording.h"

namespace shakemeter {

// One end of a decimated span: its row and pixel.
struct SpanPoint {
    int row = 0;
    int x = 0;
    int y = 0;
};

// GraphModel::SpanPointOf for one paint, with everything that does not change from point to
// point looked up once: a decimated paint asks for tens of thousands of points.
class SpanPointMapper {
public:
    SpanPointMapper() = default;
    SpanPointMapper(const SampleRow* rows, std::size_t tableRows, std::size_t positionRows, const ValueMapping& mapping,
                    double base, double step, int first, int hShift)
        : m_rows(rows),
          m_tableRows(tableRows),
          m_positionRows(positionRows),
          m_mapping(mapping),
          m_base(base),
          m_step(step),
          m_first(first),
          m_hShift(hShift)
    {
    }
    SpanPoint operator()(int p, int trace) const { return At(p, Value(p, trace)); }
    // The value the point table holds for trace t at point p (0 outside it).
    double Value(int p, int trace) const
    {
        const int row = m_first + p - 2;
        if (row < 0 || static_cast<std::size_t>(row) >= m_tableRows || trace < 0 || trace > 3)
            return 0.0;
        return m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(trace)];
    }
    // Point p with the value of its trace already looked up.
    SpanPoint At(int p, double value) const
    {
        SpanPoint point;
        point.row = m_first + p - 2;
        if (point.row >= 0 && static_cast<std::size_t>(point.row) < m_positionRows)
            point.y = TruncToInt(m_mapping.map(value));
        point.x = TruncToInt((p - 1 + m_hShift) * m_step + m_base);
        return point;
    }

private:
    const SampleRow* m_rows = nullptr;
    std::size_t m_tableRows = 0;
    std::size_t m_positionRows = 0;
    ValueMapping m_mapping;
    double m_base = 0.0;
    double m_step = 0.0;
    int m_first = 1;
    int m_hShift = 0;
};

}  // namespace shakemeter
