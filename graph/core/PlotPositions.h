#pragma once
// Storage of plotting positions per zoom level (0 full view or the view a nested zoom was made
// on, 1 zoomed). The horizontal position of a row is the same for every trace, so one is kept
// per row and level. Vertical positions are not stored: each level keeps the mapping its last
// computation used and evaluates it on demand, with the same operations in the same order as a
// stored table would have been filled, so the results are identical to the last bit.
//
// Copies share the horizontal positions until one of them changes its own: a picture of the graph
// is drawn from a copy of the pane's model, and a long recording holds millions of positions.

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>
#include <vector>

namespace shakemeter {

struct PlotPosition {
    double x = 0.0;
    double y = 0.0;
};

// y = bottom - (value - low) * height / (high - low)
struct ValueMapping {
    double bottom = 0.0;
    double height = 0.0;
    double low = 0.0;
    double high = 1.0;

    double map(double value) const { return bottom - (value - low) * height / (high - low); }
    bool usable() const;
};

class PlotPositions {
public:
    void EnsureRows(std::size_t rows);
    std::size_t rows() const { return (*m_x)[0].size(); }
    // The zoomed level takes its memory (8 bytes a row) only when a zoom first writes it: until
    // then every zoomed position reads as the 0 a zeroed table would hold.
    double x(int level, std::size_t row) const
    {
        const std::vector<double>& column = (*m_x)[level & 1];
        return row < column.size() ? column[row] : 0.0;
    }
    void setX(int level, std::size_t row, double value)
    {
        if (row < rows()) {
            std::vector<double>& column = Own()[level & 1];
            if (column.size() != rows())
                column.resize(rows(), 0.0);
            column[row] = value;
            if ((level & 1) == 0)
                m_even.known = false;
        }
    }
    // Zoomed rows first..end-1 (end at most rows()) become `map` of the full view's position
    // (MapBaseToZoomed) or of their own (MapZoomed), in one pass: a zoom of a long recording
    // moves millions of positions, which a write of one position at a time makes several times
    // slower. Each result is what setX(1, row, map(...)) row by row would have stored.
    template <typename Map>
    void MapBaseToZoomed(std::size_t first, std::size_t end, Map map)
    {
        MapInto(0, first, end, map);
    }
    template <typename Map>
    void MapZoomed(std::size_t first, std::size_t end, Map map)
    {
        MapInto(1, first, end, map);
    }
    // Rows whose zoomed positions have memory: 0 until a zoom, then rows().
    std::size_t zoomedRowsHeld() const { return (*m_x)[1].size(); }
    // Level 0 rows first..end-1 at even steps: first at origin, row i at origin + (i - first) *
    // step. Filled again only when an argument or a position changed since the last fill, so
    // repainting an unchanged view of a long recording does not recompute every row.
    void FillEvenly(std::size_t first, std::size_t end, double origin, double step);
    ValueMapping& mapping(int level) { return m_y[level & 1]; }
    const ValueMapping& mapping(int level) const { return m_y[level & 1]; }
    // Rows (0-based, exclusive end) whose zoomed horizontal positions are known.
    std::size_t zoomedEnd() const { return m_zoomedEnd; }
    void setZoomedEnd(std::size_t end) { m_zoomedEnd = end; }
    // A zoom made in the zoomed view starts from the zoomed picture.
    void CopyZoomedToBase(std::size_t first, std::size_t end);

private:
    using Columns = std::array<std::vector<double>, 2>;
    template <typename Map>
    void MapInto(int fromLevel, std::size_t first, std::size_t end, Map map)
    {
        end = std::min(end, rows());
        if (first >= end)
            return;
        Columns& x = Own();
        std::vector<double>& zoomed = x[1];
        if (zoomed.size() != rows())
            zoomed.resize(rows(), 0.0);
        const double* from = x[fromLevel & 1].data();
        double* to = zoomed.data();
        for (std::size_t i = first; i < end; ++i)
            to[i] = map(from[i]);
    }

    // The positions to change, no longer shared with a copy.
    Columns& Own()
    {
        if (m_x.use_count() > 1)
            m_x = std::make_shared<Columns>(*m_x);
        return *m_x;
    }

    std::shared_ptr<Columns> m_x = std::make_shared<Columns>();
    std::array<ValueMapping, 2> m_y;
    struct EvenFill {
        bool known = false;
        std::size_t first = 0;
        std::size_t end = 0;
        double origin = 0.0;
        double step = 0.0;
    };
    EvenFill m_even;
    std::size_t m_zoomedEnd = 0;
};

}  // namespace shakemeter
