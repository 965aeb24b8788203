#include "graph/core/PlotPositions.h"

#include <algorithm>
#include <cmath>

namespace shakemeter {

bool ValueMapping::usable() const
{
    const double step = high - low;
    return std::isfinite(step) && step != 0.0 && std::isfinite(bottom) && height > 0.0;
}

void PlotPositions::EnsureRows(std::size_t rows)
{
    if ((*m_x)[0].size() != rows) {
        Columns& x = Own();
        x[0].resize(rows, 0.0);
        if (!x[1].empty())
            x[1].resize(rows, 0.0);
        m_even.known = false;
    }
}

void PlotPositions::FillEvenly(std::size_t first, std::size_t end, double origin, double step)
{
    end = std::min(end, rows());
    if (first >= end)
        return;
    if (m_even.known && m_even.first == first && m_even.end == end && m_even.origin == origin && m_even.step == step)
        return;
    std::vector<double>& x = Own()[0];
    x[first] = origin;
    for (std::size_t i = first + 1; i < end; ++i)
        x[i] = origin + static_cast<double>(static_cast<int>(i - first)) * step;
    m_even = {true, first, end, origin, step};
}

void PlotPositions::CopyZoomedToBase(std::size_t first, std::size_t end)
{
    end = std::min(end, rows());
    Columns& x = Own();
    for (std::size_t i = first; i < end; ++i)
        x[0][i] = i < x[1].size() ? x[1][i] : 0.0;
    m_even.known = false;
    m_y[0] = m_y[1];
}

}  // namespace shakemeter
