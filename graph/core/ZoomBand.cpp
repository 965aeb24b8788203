#include "graph/core/ZoomBand.h"

#include <algorithm>
#include <cmath>

#include "recording/PixelMath.h"

namespace shakemeter {

void ZoomBand::ButtonDown(PlotPoint point)
{
    if (!m_model.MouseEnabled())
        return;
    GraphState& s = m_model.m_state;
    point = m_model.ClampToPlot(point, true);
    s.g_bCursorHidden = true;
    s.g_bBandActive = true;
    s.g_bBandUnmoved = true;
    s.g_ptAnchor = point;
    s.g_ptBandEnd = point;
    s.g_dZoomLeft = point.x;
    s.g_dZoomTop = point.y;
}

bool ZoomBand::DragBand(PlotPoint point)
{
    GraphState& s = m_model.m_state;
    if (!m_model.MouseEnabled() || !s.g_bBandActive)
        return false;
    s.m_bBandDragging = true;
    point = m_model.ClampToPlot(point, true);
    if (point != s.g_ptAnchor)
        s.g_bBandUnmoved = false;
    s.g_ptBandEnd = point;
    return true;
}

bool ZoomBand::ButtonUp(PlotPoint point)
{
    GraphState& s = m_model.m_state;
    s.m_bBandDragging = false;
    if (!m_model.MouseEnabled())
        return false;
    point = m_model.ClampToPlot(point, true);
    s.g_bBandActive = false;
    if (s.g_bBandUnmoved || std::fabs(point.x - s.g_dZoomLeft) <= 3.0)
        return false;
    return AcceptZoom(point);
}

bool ZoomBand::AcceptZoom(PlotPoint corner)
{
    return AcceptBand(corner.x, corner.y);
}

bool ZoomBand::AcceptBand(double right, double bottom)
{
    GraphState& s = m_model.m_state;
    if (!m_model.HasView())
        return false;
    s.g_dZoomRight = right;
    s.g_dZoomBottom = bottom;
    const int first = m_model.RangeFirst();
    if (s.g_nZoomLevel == 1) {
        s.g_dYTick[0] = s.g_dYTick[1];
        m_model.m_positions.CopyZoomedToBase(
            static_cast<std::size_t>(first - 1),
            static_cast<std::size_t>(std::max(0, std::min(m_model.ShownCount(), m_model.TableRows()))));
    }
    if (s.g_dZoomLeft > s.g_dZoomRight)
        std::swap(s.g_dZoomLeft, s.g_dZoomRight);
    if (s.g_dZoomTop > s.g_dZoomBottom)
        std::swap(s.g_dZoomTop, s.g_dZoomBottom);

    const PlotRect& plot = s.m_rcPlot;
    const double plotWidth = plot.width();
    const double bandWidth = s.g_dZoomRight - s.g_dZoomLeft;
    if (plotWidth <= 0.0 || plot.height() <= 0 || bandWidth <= 0.0) {
        s.m_bZoomPending = false;
        return false;
    }
    const ZoomMapping zoom = m_model.PendingZoom(plot);
    // Measured from the first shown row: the positions of rows before it are not computed.
    const double firstRowDistance = zoom.DistanceLeftOfBand(m_model.X(first - 1, 0));
    const double spacing = zoom.ZoomedX(firstRowDistance - s.m_dScale) - zoom.ZoomedX(firstRowDistance);
    const double valueStep = zoom.NextTickValue() - zoom.BottomValue();
    if (valueStep >= 0.001 && spacing < plotWidth && PositiveFinite(spacing)) {
        s.g_nZoomLevel = 1;
        s.m_nVShift[1] = 0;
        s.m_bZoomPending = true;
        s.g_bFullView = false;
        s.g_bScrollSynced = false;
        s.g_bBandUnmoved = true;
        s.m_dScale = spacing;
        s.g_rcZoomPlot = plot;
        s.m_bScrollBarsEnabled = true;
        return true;
    }
    s.m_bZoomPending = false;
    return false;
}

bool ZoomBand::ZoomOntoRows(int firstRow, int lastRow, bool frameReading)
{
    GraphState& s = m_model.m_state;
    const int first = m_model.RangeFirst() - 1;
    const int last = m_model.RangeLast() - 1;
    if (!m_model.HasView() || s.g_bBandActive || last <= first)
        return false;
    firstRow = std::clamp(firstRow, first, last);
    lastRow = std::clamp(lastRow, firstRow, last);
    // The band is measured in the full view, where every shown row has its column; a zoomed
    // picture would first have to hold the rows.
    if (!s.g_bFullView)
        m_model.OnZoomOut();
    m_model.PrepareDrawing(frameReading, false);
    m_model.FinishDrawing();
    if (!m_model.ScalesUsable())
        return false;
    const PlotRect& plot = s.m_rcPlot;
    const auto column = [&](int row) { return std::max(m_model.X(row, 0), static_cast<double>(plot.left)); };
    s.g_dZoomLeft = column(firstRow);
    s.g_dZoomTop = plot.top;
    s.g_bBandUnmoved = false;
    // A band on the plot ends on the whole pixel of the last row's column, as one drawn by hand
    // does. The whole view of a motion recording draws its last row a tick beyond the right edge:
    // there the band ends at that row's column itself, so that the zoom holds the row.
    const double lastColumn = column(lastRow);
    return AcceptBand(lastColumn > plot.right ? lastColumn : std::ceil(lastColumn), plot.bottom);
}

bool ZoomBand::BandWatchdog(PlotPoint pointer, const PlotRect& client)
{
    GraphState& s = m_model.m_state;
    const PlotRect& plot = s.m_rcPlot;
    const int lower = client.bottom > plot.bottom ? plot.bottom + 20 : client.bottom;
    const int right = client.right > plot.right ? client.right - 20 : client.right;
    const bool inZone =
        plot.top - 5 < pointer.y && pointer.y < lower && plot.left - 50 < pointer.x && pointer.x < right;
    if (inZone || !s.g_bBandActive)
        return false;
    s.m_bZoomPending = false;
    s.g_bBandActive = false;
    s.m_bBandDragging = false;
    s.g_bBandUnmoved = true;
    return true;
}

}  // namespace shakemeter
