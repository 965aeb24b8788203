#pragma once
// The graph of the shown recording as numbers. GraphModel owns GraphState and the position
// storage, reads the document's Recording and its view companions (in GraphModel.cpp only) and
// writes back the value range and the plot-ready flag. It computes the plotting positions, the
// zoomed view and the visible range itself; its other concerns are its parts, each a class of
// its own over the model: GraphLayout (where the plot and its children stand), ZoomMapping and
// ZoomBand (the zoom), GraphScroller (the scroll bars), PointPicker (picking and the read-out),
// TimeAxis (steps and labels), TraceGeometry (segments, spans and the decimation's groups) and
// RealTimeGrowth (a new row of a reading). GraphPaintPlanner turns all of it into the plan of
// one paint; no drawing surface is needed here.
//
// Degenerate scales (a plot without width or height, a scale that is not a positive finite
// number, a value axis without a step) make ScalesUsable() false; the painter then draws no
// traces, grid or time labels, and no computation here divides by zero or loops without end.

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "graph/core/CursorPair.h"
#include "graph/core/GraphFrame.h"
#include "graph/core/GraphOverlay.h"
#include "graph/core/GraphState.h"
#include "recording/PixelMath.h"
#include "graph/core/PlotPositions.h"
#include "graph/core/ScrollCode.h"
#include "graph/core/SpanPointMapper.h"
#include "graph/core/ZoomMapping.h"
#include "recording/Recording.h"
#include "recording/RecordingView.h"

namespace shakemeter {

struct KeptGroups;

// One step of the time axis: its pixel column and what it names (a row without ticks, a tick
// with ticks).
struct TimeStepMark {
    int x = 0;
    std::int64_t row = 0;
    std::int64_t tick = 0;
};

struct TimeLabelLines {
    std::string time;  // first line: clock time with its fraction
    std::string date;  // second line: the date between blanks, or a lone blank
    bool operator==(const TimeLabelLines&) const = default;
};

// Both ends of one trace segment in pixels, with the rows they show.
struct SegmentEnds {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    int rowA = 0;
    int rowB = 0;
    bool joined = true;  // false across a motion gap: the points are marked, the line left out
    bool operator==(const SegmentEnds&) const = default;
};

// One decimation group: its first and last point, and where each column's extremes lie.
struct GroupExtremes {
    int from = 0;
    int to = 0;
    std::array<int, 4> minimumAt{};
    std::array<int, 4> maximumAt{};
    // The four values at each column's extremes ([column][trace], 0 outside the table), kept
    // while the group's rows are at hand: the drawing reads them again much later.
    std::array<std::array<double, 4>, 4> atMinimum{};
    std::array<std::array<double, 4>, 4> atMaximum{};
};

// The spectrum's peak as the graph labels it: on the peak axis's trace at the peak bin.
struct SpectrumPeak {
    bool shown = false;  // frequency mode
    int axis = 0;
    int index = 0;
    double frequency = 0.0;
};

// What the real-time update asks of the widget after a new row.
enum class RealTimeAction {
    Nothing,            // the band is dragged
    InvalidatePlot,     // zoomed view: the picture moves
    RepaintPanelErase,  // the time axis grew, or too few rows for a segment
    RepaintPanel,       // the newest segment crosses the top or bottom line
    DrawNewestSegment,  // draw point NewestSegmentPoint() for every visible trace
};

class GraphModel {
public:
    GraphModel() = default;

    // The recording shown and its view companions; both may be null (nothing shown).
    void Attach(const Recording* document, RecordingView* view);
    const Recording* document() const { return m_document; }
    const RecordingView* view() const { return m_view; }
    GraphState& state() { return m_state; }
    const GraphState& state() const { return m_state; }

    // What others change of the state, each through its own call.
    const GraphDisplayOptions& DisplayOptions() const { return m_state; }
    void SetDisplayOptions(const GraphDisplayOptions& options) { static_cast<GraphDisplayOptions&>(m_state) = options; }
    void SetListShown(bool shown) { m_state.m_bListShown = shown; }
    void SetNormalLayout(bool normal) { m_state.g_bNormalLayout = normal; }
    // The scale a real-time reading starts with (the first entry of its window table).
    void SetRealTimeScale(double scale) { m_state.m_dScale = scale; }
    // The measuring cursors, kept within the shown sample rows; none in frequency mode or when no
    // sample row is shown. Rows left outside by a narrower shown range read as the nearest shown
    // ones, and come back when the range widens again.
    void SetCursors(std::optional<CursorPair> cursors);
    std::optional<CursorPair> Cursors() const;
    // A second recording drawn over the shown one in time mode; nothing removes it. A read-out
    // already shown is made again with (or without) the compared values.
    void SetOverlay(std::optional<GraphOverlay> overlay);
    const GraphOverlay* Overlay() const { return m_overlay ? &*m_overlay : nullptr; }
    // SetOverlay as the user's comparison sets it: an automatic value range then takes the compared
    // values in, or gives them back.
    void ShowComparison(std::optional<GraphOverlay> overlay);

    // ---- Point table: samples (4 traces) in time mode, the spectrum (3 traces) in frequency mode.
    bool FrequencyMode() const;
    int TraceCount() const { return FrequencyMode() ? 3 : 4; }
    int TableRows() const;
    double Value(int row, int trace) const;
    bool HasTicks() const;
    std::int64_t Tick(int row) const;
    int ShownCount() const;  // N
    int RangeFirst() const;  // 1-based, at least 1
    int RangeLast() const;   // 1-based, never beyond the point table
    int DisplayMode() const;
    bool TraceVisible(int trace) const;
    SpectrumPeak Peak() const;
    bool HasView() const { return m_view != nullptr; }
    // The time text of sample row `row` as the row labels write it (empty without a recording).
    std::string SampleTimeText(int row) const;
    // The view's plot-ready flag (nothing without a view).
    void MarkPlotReady(bool ready);

    // ---- Geometry.
    static PlotRect ScreenPlotRect(const PlotRect& client, int summaryHeight, int displayMode);
    static PlotRect PanelRect(const PlotRect& client, const PlotRect& plot);
    void SetScreenGeometry(const PlotRect& client);
    // Page geometry in device pixels; returns the line unit Hp / 70.
    int SetPrinterGeometry(int pageWidth, int pageHeight);
    const PlotRect& plot() const { return m_state.m_rcPlot; }
    // Child windows of the graph screen, in client coordinates (x, y, width, height as a rect).
    PlotRect HScrollBarRect() const;
    PlotRect VScrollBarRect(const PlotRect& client) const;
    PlotRect GraphToolBarRect(const PlotRect& client) const;

    // ---- The computations of one paint.
    void ComputePlotPoints(bool frameReading);
    // Zoomed scroll data and zoomed coordinates; does nothing in the full view.
    void ComputeZoomedView();
    VisibleRange ComputeVisibleRange() const;
    // Everything a paint or print drawing computes before it draws: plot points, zoomed view,
    // drawn scale, visible range (into the screen or the print statics), value labels.
    VisibleRange PrepareDrawing(bool frameReading, bool printing);
    // End of a paint or print drawing.
    void FinishDrawing();
    // The model's steps of one paint or print drawing, around its plan: PrepareFrame changes what
    // the drawing changes in the model (the printing flag, the geometry of the screen or the page,
    // the computations above and their end) and keeps what it found for the planner (Frame());
    // GraphPaintPlanner then plans over the const model; FinishFrame takes back the columns the
    // plan marked last.
    const FrameStart& PrepareFrame(const PaintRequest& request);
    const FrameStart& Frame() const { return m_frame; }
    void FinishFrame(const MarkedColumns& marked);
    bool ScalesUsable() const;
    int TimeStep() const;  // 0 when the scales are degenerate
    std::vector<TimeStepMark> TimeSteps(const VisibleRange& range) const;
    bool StartOnlyAxis() const;
    TimeLabelLines StartLabels() const;
    // The two lines (time mode) or the single frequency text (in .time) of a step.
    TimeLabelLines StepLabel(const TimeStepMark& mark) const;
    std::string FormatTickTime(std::int64_t tick) const;
    std::vector<std::string> ValueLabels() const;

    // ---- The one accessor of plotting positions.
    PlotPosition Position(int row, int trace, int level) const;
    // The value-to-pixel mapping of a zoom level, as Position applies it.
    const ValueMapping& Mapping(int level) const { return m_positions.mapping(level); }

    // ---- Trace segments (relative 1-based points, row = RangeFirst() + p - 2).
    SegmentEnds SegmentEndsOf(int p, int trace, int firstVisible) const;
    SegmentEnds SpanEndsOf(int pA, int pB, int trace) const;
    // The end SpanEndsOf gives point p; a group's spans share their ends, so each is found once.
    SpanPoint SpanPointOf(int p, int trace) const;
    SpanPointMapper SpanMapper() const;
    static SegmentEnds SpanBetween(const SpanPoint& a, const SpanPoint& b)
    {
        SegmentEnds e;
        e.rowA = a.row;
        e.rowB = b.row;
        e.x0 = a.x;
        e.y0 = a.y;
        e.x1 = b.x;
        e.y1 = b.y;
        return e;
    }
    static bool SegmentVisible(const SegmentEnds& ends, const PlotRect& plot);
    // Decimated drawing: calls span(s, minimum, maximum, e) for every group of p points of
    // trace c within first..last, and returns the first point left for single segments.
    // The visitor is called directly (no std::function): a long recording has a group per pixel.
    template <typename Span>
    int ForEachGroup(int first, int last, int p, int trace, Span&& span) const;
    // The groups of ForEachGroup for all four columns of the point table at once, found in one
    // pass over the rows: a long recording is read once per paint instead of once per trace.
    // Returns the first point left for single segments.
    int CollectGroups(int first, int last, int p, std::vector<GroupExtremes>& groups) const;
    // The groups kept from the last searches are let go: the next paint finds its groups again, as
    // the first paint of a recording or a paint after a resize does.
    void ForgetKeptGroups() const { m_keptGroups = {}; }
    // How many times decimation groups were searched for in the block extremes rather than taken
    // back from a kept search.
    int GroupSearchCount() const { return m_groupSearches; }

    // ---- Commands of the graph toolbar; true when the window must be repainted.
    bool OnAutoScale();
    bool OnFullScale();
    void OnZoomOut();

    // ---- Mouse.
    bool MouseEnabled() const;
    PlotPoint ClampToPlot(PlotPoint point, bool clampY) const;
    void ButtonDown(PlotPoint point);
    // The band follows the pointer; false when no band is live.
    bool DragBand(PlotPoint point);
    // Button up: ends the band and makes the zoom when the band qualifies; true when zoomed.
    bool ButtonUp(PlotPoint point);
    // Zoom acceptance with the band's second corner (already clamped).
    bool AcceptZoom(PlotPoint corner);
    // The zoom a band from row firstRow to row lastRow (0-based, within the shown range) over the
    // whole height of the full view makes; true when zoomed. Undo Zoom returns as from any band.
    bool ZoomOntoRows(int firstRow, int lastRow, bool frameReading);
    // Timer 3: cancels a live band when the pointer left the zone around the plot.
    bool BandWatchdog(PlotPoint pointer, const PlotRect& client);
    int PickIndex(int x);
    // Read-out texts of row index (no change outside 0..N-1).
    void UpdateReadout(int index);

    // ---- Scroll bars.
    int HorizontalTotal() const;
    // The horizontal position of the last page: the last sample stands at the plot's right edge
    // (within one sample spacing). No scroll goes beyond it, so no page shows only empty plot.
    int HorizontalLastPosition() const;
    // Dragging the thumb of a recording longer than 32767 positions follows the pointer (a
    // scroll message carries 16-bit thumb positions); every other code takes `position` as is.
    void OnHScroll(ScrollCode code, int position, int pointerX);
    void OnVScroll(ScrollCode code, int position);

    // ---- Real-time reading.
    RealTimeAction UpdateRealTimePlot(bool frameReading);
    int NewestSegmentPoint() const;

private:
    // The parts of the model, each with one concern; the model owns what they read and change.
    friend class GraphScroller;
    friend class PointPicker;
    friend class RealTimeGrowth;
    friend class TimeAxis;
    friend class TraceGeometry;
    friend class ZoomBand;

    double X(int row, int level) const;
    const SampleRow* TableData() const;
    void ExtendZoomedRows();
    void ComputeValueTicks0();
    void ComputeZoomedTicks();
    // The band of the zoom under way, over the picture it was drawn in.
    ZoomMapping PendingZoom(const PlotRect& bandPlot) const;

    const Recording* m_document = nullptr;
    RecordingView* m_view = nullptr;
    GraphState m_state;
    PlotPositions m_positions;
    FrameStart m_frame;
    std::optional<CursorPair> m_cursors;
    std::optional<GraphOverlay> m_overlay;
    // The decimation groups of the last two views found from a long recording's block extremes
    // (TraceGeometry), the latest used first: a zoom and its Undo Zoom each find theirs kept.
    // Shared and never changed, so that a copy of the model drawing elsewhere may read them.
    mutable std::array<std::shared_ptr<const KeptGroups>, 2> m_keptGroups;
    mutable int m_groupSearches = 0;
};

template <typename Span>
int GraphModel::ForEachGroup(int first, int last, int p, int trace, Span&& span) const
{
    if (trace < 0 || trace > 3)
        return first;
    std::vector<GroupExtremes> groups;
    const int rest = CollectGroups(first, last, p, groups);
    const std::size_t column = static_cast<std::size_t>(trace);
    for (const GroupExtremes& group : groups)
        span(group.from, group.minimumAt[column], group.maximumAt[column], group.to);
    return rest;
}

}  // namespace shakemeter
