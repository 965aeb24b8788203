#include "graph/core/RealTimeGrowth.h"

#include <algorithm>
#include <cmath>

#include "recording/PixelMath.h"

namespace shakemeter {

RealTimeAction RealTimeGrowth::UpdateRealTimePlot(bool frameReading)
{
    GraphState& s = m_model.m_state;
    m_model.ComputePlotPoints(frameReading);
    if (s.m_bBandDragging)
        return RealTimeAction::Nothing;
    const int shown = m_model.ShownCount();
    if (!s.g_bFullView) {
        const int level = s.g_nZoomLevel;
        const int firstRow = m_model.RangeFirst() - 1;
        const double spacing = m_model.X(firstRow + 1, level) - m_model.X(firstRow, level);
        const double lastButOne =
            m_model.X(firstRow, level) + (m_model.RangeLast() - m_model.RangeFirst() + s.m_nHShift - 1) * spacing;
        if (frameReading && !(lastButOne < s.m_rcPlot.right)) {
            if (!s.m_bVScrolled)
                s.m_nHShift -= 1;
            s.m_bVScrolled = false;
            s.m_siHorz.position = s.m_nLeftIndex - s.m_nHShift + 1;
        }
        return RealTimeAction::InvalidatePlot;
    }
    if (s.m_bRtAxisGrown) {
        s.m_bRtAxisGrown = false;
        return RealTimeAction::RepaintPanelErase;
    }
    if (shown < 3)
        return RealTimeAction::RepaintPanelErase;
    const PlotRect& plot = s.m_rcPlot;
    for (int t = 0; t < m_model.TraceCount(); ++t) {
        const int y0 = TruncToInt(m_model.Position(shown - 2, t, 0).y);
        const int y1 = TruncToInt(m_model.Position(shown - 1, t, 0).y);
        const auto crosses = [&](int line) { return (y0 < line && y1 > line) || (y0 > line && y1 < line); };
        if (crosses(plot.top) || crosses(plot.bottom))
            return RealTimeAction::RepaintPanel;
    }
    return RealTimeAction::DrawNewestSegment;
}

}  // namespace shakemeter
