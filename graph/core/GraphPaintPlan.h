#pragma once
// What one paint or print drawing of the graph draws, worked out by GraphPaintPlanner before the first
// pixel: the rectangles, the grid, the ticks and labels of both axes, the trace spans of the
// decimation in drawing order with their marks and the peak label, and the read-out line. The
// painter draws a plan without asking the model anything, so the screen, the page and a picture
// of the graph draw the same numbers.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "graph/core/GraphModel.h"
#include "graph/core/ReadoutPlaces.h"

namespace shakemeter {

// A text with its top-left corner at (x, y).
struct PlannedText {
    int x = 0;
    int y = 0;
    std::string text;
};

// How the ends of a trace span are marked while marking is on.
enum class SpanMarks : std::uint8_t {
    None,
    Dots,  // a 3 x 3 dot at each end (a segment between two points)
    Bars,  // three pixels just above and just below each end (a span of the decimation)
};

// One straight piece of a trace, already known to touch the plot.
struct TraceSpan {
    SegmentEnds ends;
    int trace = 0;
    SpanMarks marks = SpanMarks::None;
    bool peakAtStart = false;  // the spectrum's peak label stands at this end
    bool peakAtEnd = false;
};

// The spans of one drawing, and the peak label they may carry.
struct TracePlan {
    std::vector<TraceSpan> spans;
    std::string peakLabel;
    int peakLabelLowest = 0;  // no peak label starts below this row
};

// One step of the time axis: its tick under the plot and its label lines.
struct TimeAxisStep {
    int x = 0;
    std::vector<PlannedText> labels;
};

// The read-out line under the screen's plot: the texts the mouse made last, placed by their
// drawn widths when drawn.
struct ReadoutLine {
    PlotRect plot;
    int panelRight = 0;
    int offset = 0;             // g_nReadoutOffset
    int count = READOUT_TEXTS;  // the vector sum is left out in frequency mode
    std::array<std::string, READOUT_TEXTS> texts;
};

// What a drawing of the graph may show besides its own picture, each off unless asked for.
enum class EventMarkKind : std::uint8_t {
    Shock,       // a detected shock
    Fall,        // a detected free fall
    LoggerFall,  // a free-fall event the logger itself recorded
};

// An event at a row of the point table (0-based).
struct EventRow {
    std::size_t row = 0;
    EventMarkKind kind = EventMarkKind::Shock;
    bool operator==(const EventRow&) const = default;
};

struct GraphExtras {
    bool legend = false;
    std::vector<EventRow> events;  // marked on the time axis when not empty
};

// An event mark on the time axis: a small triangle under the plot at column x.
struct EventMark {
    int x = 0;
    EventMarkKind kind = EventMarkKind::Shock;
    bool operator==(const EventMark&) const = default;
};

// A measuring cursor: a vertical line over the plot at column x, its name in a box at its top.
struct CursorMark {
    int x = 0;
    char name = 'A';  // 'A' or 'B'
    int lineWidth = 1;
    PlotRect label;
    bool operator==(const CursorMark&) const = default;
};

// One line of the legend: a swatch of the trace's colour and its name.
struct LegendEntry {
    int trace = 0;
    PlotRect swatch;
    PlannedText name;
    bool compared = false;  // the swatch in the compared recording's paler colour
};

// The legend of the trace colours, in the corner of the plot where it hides the fewest trace
// points; no entries when not asked for or when no trace is shown.
struct LegendPlan {
    PlotRect box;
    std::vector<LegendEntry> entries;
};

struct GraphPaintPlan {
    // Nothing at all is drawn: the page outside display mode 1, or a screen paint while a print
    // drawing runs.
    bool drawsNothing = true;
    // The screen's start mode (the view draws its own start screen) or no recording to draw: the
    // screen shows black below the summary, the page stays blank.
    bool drawsGraph = false;
    bool fillsBlack = false;  // the screen's area below the summary, when there is no graph
    bool printer = false;
    bool startZoomOutTimer = false;  // the first paint in display mode 1

    PlotRect client;
    PlotRect plot;
    PlotRect panel;
    int summaryHeight = 0;     // of the screen's client (0 on the page)
    int pageHeaderHeight = 0;  // the page's summary block, blanked above the graph
    int unit = 0;              // the page's line unit
    bool frequency = false;
    bool scalesUsable = false;

    std::vector<int> gridRows;  // the horizontal grid's and the value ticks' rows
    bool horizontalGrid = false;
    std::vector<int> gridColumns;  // the vertical grid's columns (empty when off)
    TracePlan traces;
    TracePlan overlay;  // the compared recording's traces, drawn under the shown ones
    std::array<PlannedText, 11> valueLabels;
    std::vector<PlannedText> startLabels;  // a time axis with only its start
    std::vector<TimeAxisStep> timeSteps;
    std::vector<PlannedText> axisTitle;  // "Frequency(HZ)" under a spectrum's steps
    ReadoutLine readout;
    MarkedColumns marked;  // the columns marked last once the traces are drawn

    LegendPlan legend;
    std::vector<EventMark> eventMarks;
    std::vector<CursorMark> cursors;  // those of the model's cursors that stand on the plot
    // While a recording is compared: which file each kind of trace is, in its own corner.
    LegendPlan overlayLegend;
};

}  // namespace shakemeter
