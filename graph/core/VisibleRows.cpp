#include "graph/core/VisibleRows.h"

#include <algorithm>

namespace shakemeter {

vibration::RowRange VisibleRows(const GraphModel& model, std::size_t rowCount)
{
    if (rowCount == 0)
        return {};
    const std::size_t last = rowCount - 1;
    if (model.FrequencyMode() || !model.HasView() || model.RangeLast() < model.RangeFirst())
        return {0, last};
    // RangeFirst and RangeLast are 1-based; the visible points count from RangeFirst.
    std::size_t from = static_cast<std::size_t>(model.RangeFirst() - 1);
    std::size_t to = static_cast<std::size_t>(model.RangeLast() - 1);
    const GraphState& s = model.state();
    if (s.g_nZoomLevel > 0 && s.g_nFirstVisible > 0 && s.g_nLastVisible >= s.g_nFirstVisible) {
        const std::size_t base = from;
        from = base + static_cast<std::size_t>(s.g_nFirstVisible - 1);
        to = std::min(to, base + static_cast<std::size_t>(s.g_nLastVisible - 1));
    }
    from = std::min(from, last);
    to = std::clamp(to, from, last);
    return {from, to};
}

}  // namespace shakemeter
