#pragma once
// The band the mouse drags over the plot, and the zoom it makes at the button-up when it
// qualifies; a band left behind when the pointer leaves the zone around the plot is cancelled.
// Part of GraphModel, which owns the state it reads and changes.

#include "graph/core/GraphModel.h"

namespace shakemeter {

class ZoomBand {
public:
    explicit ZoomBand(GraphModel& model) : m_model(model) {}

    void ButtonDown(PlotPoint point);
    bool DragBand(PlotPoint point);
    bool ButtonUp(PlotPoint point);
    bool AcceptZoom(PlotPoint corner);
    bool BandWatchdog(PlotPoint pointer, const PlotRect& client);
    bool ZoomOntoRows(int firstRow, int lastRow, bool frameReading);

private:
    // The zoom with the band's second corner in pixels, not necessarily whole ones.
    bool AcceptBand(double right, double bottom);

    GraphModel& m_model;
};

}  // namespace shakemeter
