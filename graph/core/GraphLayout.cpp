#include "graph/core/GraphLayout.h"

namespace shakemeter {

PlotRect GraphLayout::ScreenPlot(const PlotRect& client, int summaryHeight, int displayMode)
{
    if (displayMode == 0)
        return client;
    return {client.left + kScreenPlotLeft, client.top + summaryHeight + kScreenPlotTop, client.right - kScreenPlotRight,
            client.bottom - kScreenPlotBottom};
}

PlotRect GraphLayout::ScreenPanel(const PlotRect& client, const PlotRect& plot)
{
    return {client.left + kPanelSide, plot.top - kPanelAbovePlot, client.right - kPanelSide,
            plot.bottom + kPanelBelowPlot};
}

PlotRect GraphLayout::PagePlot(int pageWidth, int pageHeight)
{
    return {kPagePlotLeft, kPagePlotTop, pageWidth - kPagePlotRight, pageHeight - kPagePlotBottom};
}

PlotRect GraphLayout::PagePanel(int pageWidth, const PlotRect& plot)
{
    return {kPanelSide, kPagePanelTop, pageWidth - kPanelSide, plot.bottom + kPanelBelowPlot};
}

PlotRect GraphLayout::HScrollBar(const PlotRect& plot)
{
    return {plot.left, plot.bottom + kHScrollBarBelowPlot, plot.right,
            plot.bottom + kHScrollBarBelowPlot + kScrollBarThickness};
}

PlotRect GraphLayout::VScrollBar(const PlotRect& client, const PlotRect& plot)
{
    return {client.left + kPanelSide, plot.top - kVScrollBarOverPlot, client.left + kPanelSide + kScrollBarThickness,
            plot.bottom + kVScrollBarOverPlot};
}

PlotRect GraphLayout::ToolBar(const PlotRect& client, const PlotRect& plot)
{
    return {client.left + kPanelSide, plot.top - kToolBarAbovePlot, client.right - kPanelSide,
            plot.top - kToolBarAbovePlot + kToolBarHeight};
}

}  // namespace shakemeter
