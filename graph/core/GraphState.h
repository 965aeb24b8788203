#pragma once
// Everything the graph keeps between paints, mouse messages and print drawings: the view's own
// members and what were module statics of the view, in one object, so that one state serves the
// screen paint, the mouse and the printer alike. Plain data; GraphModel holds the rules.

#include <array>
#include <string>

#include "graph/core/PlotRect.h"
#include "settings/GraphDisplayOptions.h"

namespace shakemeter {

// What a scroll bar shows: range, page and position.
struct ScrollData {
    int minimum = 0;
    int maximum = 0;
    int page = 1;
    int position = 0;
    bool operator==(const ScrollData&) const = default;
};

// The colour indices the main frame holds (palette of ColorFromIndex), with their defaults.
struct GraphColors {
    int background = 13;
    int x = 0;
    int y = 3;
    int z = 5;
    int vectorSum = 1;
    int grid = 2;

    int trace(int t) const { return t == 0 ? x : t == 1 ? y : t == 2 ? z : vectorSum; }
    bool operator==(const GraphColors&) const = default;
};

// Height of the summary panel above the graph when it is shown in full (time domain).
inline constexpr int kSummaryPanelHeight = 155;

// The last marked pixel column per trace, of the segment and of the span drawing; never reset. A
// drawing's plan marks on a copy, which the model takes back (GraphModel::FinishFrame).
struct MarkedColumns {
    std::array<int, 4> g_nLastMarkX{};
    std::array<int, 4> g_nLastTickMarkX{};
    bool operator==(const MarkedColumns&) const = default;
};

// The display switches and the preset value range are the part the settings file keeps.
struct GraphState : GraphDisplayOptions, MarkedColumns {
    int m_nSummaryHeight = kSummaryPanelHeight;
    int m_nSummaryFullHeight = kSummaryPanelHeight;

    // Plot rectangle (L, T, R, B) of the last paint or print drawing, and the framed panel.
    PlotRect m_rcPlot;
    PlotRect m_rcGraphPanel;

    double m_dFullScale = 0.0;
    double m_dScale = 0.0;
    double m_dDrawnScale = 1.0;
    double m_dRtScale = 0.0;
    int m_nRtWindowIdx = 0;
    bool m_bRtAxisGrown = false;

    int m_nHShift = 0;
    int m_nLeftIndex = 0;
    std::array<int, 2> m_nVShift{};
    int m_nVScrollRange = 0;
    int m_nVScrollBase = 0;
    ScrollData m_siHorz;
    ScrollData m_siVert;  // what the vertical bar shows in the zoomed view
    bool m_bScrollBarsEnabled = false;

    int m_nFirstVisible = 0;
    bool m_bZoomPending = true;
    bool m_bBandDragging = false;
    bool m_bVScrolled = false;
    bool m_bListShown = false;

    std::array<std::string, 22> m_strAxisLabel;

    // Former module statics.
    bool g_bFullView = true;
    int g_nZoomLevel = 0;
    std::array<std::array<double, 11>, 2> g_dYTick{};
    double g_dZoomYMin = 0.0;
    double g_dZoomYNext = 0.0;
    double g_dZoomLeft = 0.0;
    double g_dZoomRight = 0.0;
    double g_dZoomTop = 0.0;
    double g_dZoomBottom = 0.0;
    PlotRect g_rcLastPlot;
    // The plot the pending zoom rectangle was drawn in, so a resize or a print between the
    // button-up and the next paint still applies the zoom to the picture the user saw.
    PlotRect g_rcZoomPlot;
    bool g_bScrollSynced = true;
    int g_nFirstVisible = 0;
    int g_nLastVisible = 0;
    int g_nPrintFirstVisible = 0;
    int g_nPrintLastVisible = 0;
    bool g_bPrinting = false;
    int g_nLastMode = 0;

    // Mouse band, cursor line and read-out.
    bool g_bBandActive = false;
    bool g_bBandUnmoved = true;
    PlotPoint g_ptAnchor;
    PlotPoint g_ptBandEnd;
    bool g_bCursorHidden = true;
    int g_nCursorX = 0;
    int g_nCursorIndex = 0;
    int g_nReadoutOffset = 100;
    std::string g_strReadoutHead;
    std::string g_strReadoutX;
    std::string g_strReadoutY;
    std::string g_strReadoutZ;
    std::string g_strReadoutV;
    bool g_bNormalLayout = true;
};

}  // namespace shakemeter
