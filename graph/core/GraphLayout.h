#pragma once
// Where the parts of the graph stand: the plot and its framed panel on the screen (below the
// summary) and on the printed page, the child windows around the screen's plot, and the fixed
// places of the page's labels. Every layout number of the graph is named here once.

#include "graph/core/PlotRect.h"

namespace shakemeter {

class GraphLayout {
public:
    // ---- Screen: the plot's margins inside the client area, the summary above it.
    static constexpr int kScreenPlotLeft = 130;
    static constexpr int kScreenPlotTop = 70;  // below the summary
    static constexpr int kScreenPlotRight = 80;
    static constexpr int kScreenPlotBottom = 110;
    // The framed panel around the plot: its side margins, and how far it reaches above and below.
    static constexpr int kPanelSide = 20;
    static constexpr int kPanelAbovePlot = 8;
    static constexpr int kPanelBelowPlot = 55;
    // The horizontal bar under the plot, the vertical bar left of it, the toolbar above it.
    static constexpr int kHScrollBarBelowPlot = 35;
    static constexpr int kScrollBarThickness = 20;
    static constexpr int kVScrollBarOverPlot = 5;
    static constexpr int kToolBarAbovePlot = 45;
    static constexpr int kToolBarHeight = 40;
    // The read-out line under the plot.
    static constexpr int kReadoutBelowPlot = 75;
    static constexpr int kReadoutHeight = 23;

    // ---- Page (device pixels; the report's header fills what lies above the panel).
    static constexpr int kPagePlotLeft = 230;
    static constexpr int kPagePlotTop = 1130;
    static constexpr int kPagePlotRight = 80;    // from the page's right edge
    static constexpr int kPagePlotBottom = 500;  // from the page's bottom edge
    static constexpr int kPagePanelTop = 1122;
    static constexpr int kPageLineUnits = 70;  // a line unit is the page height / 70
    // The page's start-only time labels and the frequency axis title stand at fixed columns.
    static constexpr int kPageStartLabelX = 207;
    static constexpr int kPageFrequencyTitleX = 197;  // added to half the plot's width

    // The screen's plot: the whole client in display mode 0 (the start screen), else inside the
    // margins below the summary.
    static PlotRect ScreenPlot(const PlotRect& client, int summaryHeight, int displayMode);
    static PlotRect ScreenPanel(const PlotRect& client, const PlotRect& plot);
    static PlotRect PagePlot(int pageWidth, int pageHeight);
    static PlotRect PagePanel(int pageWidth, const PlotRect& plot);
    static int PageLineUnit(int pageHeight) { return pageHeight / kPageLineUnits; }

    static PlotRect HScrollBar(const PlotRect& plot);
    static PlotRect VScrollBar(const PlotRect& client, const PlotRect& plot);
    static PlotRect ToolBar(const PlotRect& client, const PlotRect& plot);
};

}  // namespace shakemeter
