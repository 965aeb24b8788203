#pragma once
// Drawing of the graph with a QPainter, one path for the screen and the printer: the background
// and grid, the traces, the axes with their labels and ticks, the read-out line and the frame.
// Every number comes from the plan GraphPaintPlanner works out before the drawing starts; these
// functions only draw it.

#include <QColor>
#include <QPainter>

#include "graph/core/GraphExtras.h"
#include "graph/core/GraphModel.h"
#include "graph/core/GraphPaintPlan.h"
#include "graph/core/Palette.h"

namespace shakemeter {

// What one paint or print drawing needs besides the model.
struct PaintParams {
    PlotRect client;                      // the widget's client rectangle, or the page (0, 0, Wp, Hp)
    bool printer = false;                 // page layout: white panel, page label places, no read-out
    GraphColors colors;                   // the main frame's colour indices
    QColor panelColor{240, 240, 240};     // the system's button face
    bool frameReading = false;            // a real-time reading is in progress
    QColor surround{Qt::black};           // the screen's area around the framed panel
    QColor frame{Qt::white};              // the frame inside the area
    const GraphExtras* extras = nullptr;  // the legend and the event marks, when asked for
    bool cursorsOverlaid = false;         // the screen draws the cursors over its composed picture
};

// The parameters of a drawing in a theme: its palette colours, surround, frame and panel (the
// system's button face, panelColor, unless the theme has its own).
void ApplyTheme(PaintParams& params, const GraphTheme& theme);

struct PaintOutcome {
    bool startZoomOutTimer = false;  // the first paint in display mode 1: timer 4 (100 ms) runs OnZoomOut
    bool drewGraph = false;          // a recording was drawn
    MarkedColumns marked;            // for GraphModel::FinishFrame
};

QColor ToQColor(RgbColor color);
inline QColor PaletteColor(int index)
{
    return ToQColor(ColorFromIndex(index));
}

// The graph screen (display modes 1 and 2) or the graph page of the frame the model prepared
// (GraphModel::PrepareFrame). In display mode 0 it only ends the paint (the start screen is the
// view's own); on a page it draws only in display mode 1. While a print drawing runs (until
// EndPrinting), screen paints draw nothing.
PaintOutcome PaintGraph(QPainter& painter, const GraphModel& model, const PaintParams& params);
// A changeable model has not necessarily prepared the frame: it is drawn with PaintGraphFrame.
PaintOutcome PaintGraph(QPainter& painter, GraphModel& model, const PaintParams& params) = delete;
// A whole drawing: the model prepares the frame of params, PaintGraph draws it, the model takes
// back the marked columns.
PaintOutcome PaintGraphFrame(QPainter& painter, GraphModel& model, const PaintParams& params);
// Draws a plan as it stands; the screen, the page and a picture of the graph draw through here.
void DrawGraphPlan(QPainter& painter, const GraphPaintPlan& plan, const PaintParams& params);
void EndPrinting(GraphModel& model);

// Trace t from relative point p to p + 1 at the current zoom level, marking the points while
// marking is on; firstVisible is the drawing's first visible point (screen or page).
void DrawTraceSegment(QPainter& painter, GraphModel& model, int p, int trace, int colorIndex, int firstVisible);
// Trace t from relative point pA straight to pB (the ends of a pixel column's extremes).
void DrawTraceSpan(QPainter& painter, GraphModel& model, int pA, int pB, int trace, int colorIndex);

// The read-out line under the plot: the texts the mouse made last, in the trace colours.
void DrawReadout(QPainter& painter, const GraphModel& model, const PaintParams& params);
void DrawReadout(QPainter& painter, const ReadoutLine& line, const PaintParams& params);

// The newest segment of a growing recording, every visible trace, clipped to the plot as a full
// paint clips it. Returns the pixels it may have touched.
QRect DrawNewestSegment(QPainter& painter, GraphModel& model, const GraphColors& colors);

// Text with its top-left corner at (x, y), as the labels are placed.
void DrawTextAt(QPainter& painter, int x, int y, const QString& text);

}  // namespace shakemeter
