#include "graph/widgets/GraphPainter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPaintEngine>
#include <QPen>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "graph/core/AxisText.h"
#include "graph/core/GraphLayout.h"
#include "graph/core/GraphPaintPlanner.h"
#include "graph/core/OverlayTraces.h"
#include "graph/core/TracePlanner.h"
#include "graph/core/ReadoutPlaces.h"
#include "graph/widgets/CellHeightFont.h"
#include "graph/widgets/CursorPainter.h"
#include "graph/widgets/TraceBatcher.h"

namespace shakemeter {

namespace {

// Lines longer than this are cut before they reach the raster engine, whose fixed-point
// coordinates do not survive the far-away ends of a deep zoom.
constexpr double SAFE_COORDINATE = 1 << 20;
// The ticks of the time axis reach this far below the plot.
constexpr int kTimeTickLength = 5;
// The white frame stands this far inside the area (the page).
constexpr int kFrameInset = 10;
// The plot's background, its grid rows and the traces' clip reach this far beyond its sides.
constexpr int kPlotSideReach = 5;
// The value ticks reach this far left of the plot.
constexpr int kValueTickLength = 10;

QRect Box(int x, int y, int width, int height)
{
    return QRect(x, y, std::max(0, width), std::max(0, height));
}

QRect FromEdges(int left, int top, int right, int bottom)
{
    return Box(left, top, right - left, bottom - top);
}

// `outer` filled except where `inner` lies, which the caller fills next with an opaque colour:
// the pixels are those of filling both in turn, but at 4K each skipped layer saves writing some
// 30 MB. Only on a raster surface; a vector picture keeps its plain rectangles.
void FillAround(QPainter& painter, const QRect& outer, const QRect& inner, const QColor& color, bool innerOpaque)
{
    const QRect hole = inner & outer;
    const bool raster = painter.paintEngine() != nullptr && painter.paintEngine()->type() == QPaintEngine::Raster &&
                        painter.compositionMode() == QPainter::CompositionMode_SourceOver;
    if (!raster || !innerOpaque || hole.isEmpty()) {
        painter.fillRect(outer, color);
        return;
    }
    const auto fill = [&](int left, int top, int right, int bottom) {
        if (left <= right && top <= bottom)
            painter.fillRect(QRect(QPoint(left, top), QPoint(right, bottom)), color);
    };
    fill(outer.left(), outer.top(), outer.right(), hole.top() - 1);
    fill(outer.left(), hole.bottom() + 1, outer.right(), outer.bottom());
    fill(outer.left(), hole.top(), hole.left() - 1, hole.bottom());
    fill(hole.right() + 1, hole.top(), outer.right(), hole.bottom());
}

// The line of a stroke, cut to the safe square when an end lies beyond it.
void SetSafeLine(TraceStroke& stroke, int x0, int y0, int x1, int y1)
{
    const auto inside = [](int v) { return std::abs(v) < SAFE_COORDINATE; };
    if (inside(x0) && inside(y0) && inside(x1) && inside(y1)) {
        stroke.hasLine = true;
        stroke.line = QLine(x0, y0, x1, y1);
        return;
    }
    // Liang-Barsky against the safe square.
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = static_cast<double>(x1) - x0;
    const double dy = static_cast<double>(y1) - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 + SAFE_COORDINATE, SAFE_COORDINATE - x0, y0 + SAFE_COORDINATE, SAFE_COORDINATE - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
    }
    if (t0 > t1)
        return;
    stroke.hasLine = true;
    stroke.precise = true;
    stroke.preciseLine = QLineF(QPointF(x0 + t0 * dx, y0 + t0 * dy), QPointF(x0 + t1 * dx, y0 + t1 * dy));
}

void DrawPeakLabel(QPainter& painter, const TracePlan& plan, const TraceSpan& span, QRgb color)
{
    const SegmentEnds& e = span.ends;
    const QString text = QString::fromStdString(plan.peakLabel);
    const QPen pen = painter.pen();
    painter.setPen(QColor(color));
    if (span.peakAtEnd)
        DrawTextAt(painter, e.x1, std::min(e.y1, plan.peakLabelLowest), text);
    if (span.peakAtStart)
        DrawTextAt(painter, e.x0, std::min(e.y0, plan.peakLabelLowest), text);
    painter.setPen(pen);
}

// The spans in their order, into the batcher when there is one. The stroke is reused from span
// to span: a decimated paint has tens of thousands.
void DrawSpans(QPainter& painter, TraceBatcher* batcher, const TracePlan& plan, const std::array<QRgb, 4>& colors)
{
    TraceStroke stroke;
    for (const TraceSpan& span : plan.spans) {
        const QRgb color = colors[static_cast<std::size_t>(span.trace & 3)];
        if (span.peakAtStart || span.peakAtEnd) {
            // A label is text, which the batcher does not collect: what is pending goes first.
            if (batcher != nullptr)
                batcher->Flush();
            DrawPeakLabel(painter, plan, span, color);
        }
        const SegmentEnds& e = span.ends;
        stroke.color = color;
        stroke.hasLine = false;
        stroke.precise = false;
        stroke.pointCount = 0;
        stroke.dotCount = 0;
        if (e.joined)
            SetSafeLine(stroke, e.x0, e.y0, e.x1, e.y1);
        if (span.marks == SpanMarks::Dots) {
            stroke.dotCount = 2;
            stroke.dots[0] = QRect(e.x0 - 2, e.y0 - 2, 3, 3);
            stroke.dots[1] = QRect(e.x1 - 2, e.y1 - 2, 3, 3);
        } else if (span.marks == SpanMarks::Bars) {
            // A three-pixel bar just above and just below each end.
            for (const auto& [x, y] : {std::pair{e.x0, e.y0}, std::pair{e.x1, e.y1}}) {
                const QPoint bar[6] = {{x, y + 1},     {x, y - 1},     {x - 1, y + 1},
                                       {x - 1, y - 1}, {x + 1, y + 1}, {x + 1, y - 1}};
                for (const QPoint& point : bar)
                    stroke.points[static_cast<std::size_t>(stroke.pointCount++)] = point;
            }
        }
        if (batcher != nullptr)
            batcher->Add(stroke);
        else
            DrawStroke(painter, stroke);
    }
}

std::array<QRgb, 4> TraceColors(const GraphColors& colors)
{
    std::array<QRgb, 4> rgb{};
    for (int t = 0; t < 4; ++t)
        rgb[static_cast<std::size_t>(t)] = PaletteColor(colors.trace(t)).rgb();
    return rgb;
}

std::array<QRgb, 4> OverlayColors(const GraphColors& colors)
{
    std::array<QRgb, 4> rgb{};
    for (int t = 0; t < 4; ++t)
        rgb[static_cast<std::size_t>(t)] =
            ToQColor(OverlayTraceColor(ColorFromIndex(colors.trace(t)), ColorFromIndex(colors.background))).rgb();
    return rgb;
}

// The traces are clipped to the plot, widened by the marks' reach at its sides.
QRect TraceClip(const PlotRect& plot)
{
    return Box(plot.left - kPlotSideReach, plot.top, plot.width() + 2 * kPlotSideReach, plot.height() + 1);
}

QFont Arial(QFont::Weight weight)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(weight);
    return font;
}

QFont Arial(int pixelSize, QFont::Weight weight)
{
    QFont font = Arial(weight);
    font.setPixelSize(pixelSize);
    return font;
}

QFont AxisFont()
{
    return Arial(12, QFont::Medium);
}

// The page's labels are 0.6 line units tall, ascent and descent together.
QFont PageLabelFont(int unit, const QPaintDevice* device)
{
    return WithCellHeight(Arial(QFont::Medium), static_cast<int>(0.6 * unit), device);
}

QFont ReadoutFont()
{
    return Arial(17, QFont::Thin);
}

QPen GridPen(const PaintParams& params)
{
    QPen pen(PaletteColor(params.colors.grid), 1, Qt::DotLine);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void DrawTraces(QPainter& painter, const GraphPaintPlan& plan, const PaintParams& params)
{
    if (plan.traces.spans.empty() && plan.overlay.spans.empty())
        return;
    const QRect clip = TraceClip(plan.plot);
    painter.save();
    painter.setClipRect(clip);
    TraceBatcher batcher(painter, clip);
    if (!plan.overlay.spans.empty()) {
        DrawSpans(painter, &batcher, plan.overlay, OverlayColors(params.colors));
        // The shown traces go over the whole overlay, not only over what the batch holds.
        batcher.Flush();
    }
    DrawSpans(painter, &batcher, plan.traces, TraceColors(params.colors));
    batcher.Flush();
    painter.restore();
}

void DrawText(QPainter& painter, const PlannedText& text)
{
    DrawTextAt(painter, text.x, text.y, QString::fromStdString(text.text));
}

void DrawTimeAxis(QPainter& painter, const GraphPaintPlan& plan, const PaintParams& params)
{
    const int bottom = plan.plot.bottom;
    painter.setPen(Qt::black);
    for (const PlannedText& text : plan.startLabels)
        DrawText(painter, text);
    for (const TimeAxisStep& step : plan.timeSteps) {
        painter.setPen(GridPen(params));
        painter.drawLine(step.x, bottom, step.x, bottom + kTimeTickLength);
        painter.setPen(Qt::black);
        for (const PlannedText& text : step.labels)
            DrawText(painter, text);
    }
    for (const PlannedText& text : plan.axisTitle)
        DrawText(painter, text);
}

void DrawValueAxisTitle(QPainter& painter, const GraphPaintPlan& plan, const PaintParams& params)
{
    const PlotRect& plot = plan.plot;
    const bool frequency = plan.frequency;
    const int height = frequency ? 100 : 200;
    const QRect block = Box(plan.panel.left + 20, plot.top + 4 * (plot.height() / 10), 18, height);
    painter.fillRect(block, params.panelColor);
    painter.save();
    painter.setFont(Arial(12, QFont::Bold));
    painter.setPen(Qt::black);
    painter.translate(block.left(), block.bottom() + 1);
    painter.rotate(-90);
    painter.drawText(QRect(0, 0, height, 18), Qt::AlignCenter,
                     frequency ? QStringLiteral("XYZ magnitude") : QStringLiteral("XYZ Acceleration (g)"));
    painter.restore();
}

// Each event a small triangle standing on the plot's bottom edge, over the traces.
void DrawEventMarks(QPainter& painter, const GraphPaintPlan& plan)
{
    if (plan.eventMarks.empty())
        return;
    painter.save();
    painter.setPen(Qt::NoPen);
    const int bottom = plan.plot.bottom;
    for (const EventMark& mark : plan.eventMarks) {
        painter.setBrush(ToQColor(EventMarkColor(mark.kind)));
        const QPoint triangle[3] = {{mark.x - ExtrasLayout::kMarkHalfWidth, bottom},
                                    {mark.x + ExtrasLayout::kMarkHalfWidth, bottom},
                                    {mark.x, bottom - ExtrasLayout::kMarkHeight}};
        painter.drawPolygon(triangle, 3);
    }
    painter.restore();
}

// A box in the plot's background with a frame in the grid's colour, a swatch of each shown
// trace's colour and its name in the colour that stands out on the background.
void DrawLegend(QPainter& painter, const LegendPlan& legend, const PaintParams& params)
{
    if (legend.entries.empty())
        return;
    painter.save();
    const QColor background = PaletteColor(params.colors.background);
    const QRect box = FromEdges(legend.box.left, legend.box.top, legend.box.right, legend.box.bottom);
    painter.fillRect(box, background);
    painter.setPen(QPen(PaletteColor(params.colors.grid), 1));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setFont(AxisFont());
    painter.setPen(ToQColor(ComplementColor(ColorFromIndex(params.colors.background))));
    const std::array<QRgb, 4> compared = OverlayColors(params.colors);
    for (const LegendEntry& entry : legend.entries) {
        const PlotRect& s = entry.swatch;
        const QColor color = entry.compared ? QColor(compared[static_cast<std::size_t>(entry.trace & 3)])
                                            : PaletteColor(params.colors.trace(entry.trace));
        painter.fillRect(FromEdges(s.left, s.top, s.right, s.bottom), color);
        if (!entry.name.text.empty())
            DrawText(painter, entry.name);
    }
    painter.restore();
}

}  // namespace

void ApplyTheme(PaintParams& params, const GraphTheme& theme)
{
    params.colors = theme.colors;
    params.surround = ToQColor(theme.surround);
    params.frame = ToQColor(theme.frame);
    if (!theme.systemPanel)
        params.panelColor = ToQColor(theme.panel);
}

void DrawReadout(QPainter& painter, const ReadoutLine& line, const PaintParams& params)
{
    const PlotRect& plot = line.plot;
    const int y = plot.bottom + GraphLayout::kReadoutBelowPlot;
    painter.fillRect(Box(plot.left, y, plot.width(), GraphLayout::kReadoutHeight), params.surround);
    painter.setFont(ReadoutFont());
    const QFontMetrics metrics(painter.font());
    const std::array<QColor, READOUT_TEXTS> colors = {QColor(0, 200, 200), PaletteColor(params.colors.x),
                                                      PaletteColor(params.colors.y), PaletteColor(params.colors.z),
                                                      PaletteColor(params.colors.vectorSum)};
    const int count = line.count;
    std::array<int, READOUT_TEXTS> widths{};
    for (int i = 0; i < count; ++i)
        widths[static_cast<std::size_t>(i)] =
            metrics.horizontalAdvance(QString::fromStdString(line.texts[static_cast<std::size_t>(i)]));
    const ReadoutPlaces places =
        PlaceReadout(plot.left, line.offset, widths, count, metrics.horizontalAdvance(QStringLiteral("  ")));
    // The line belongs to the graph: it stands on the graph's background, from its first text to
    // where the plot's background ends or its last text, whichever is further, but not over the
    // frame. Without texts nothing is drawn.
    if (places.right > places.left) {
        const int right = std::min(std::max(plot.right + kPlotSideReach, places.right), line.panelRight);
        painter.fillRect(FromEdges(places.left, y, right, y + GraphLayout::kReadoutHeight),
                         PaletteColor(params.colors.background));
    }
    for (int i = 0; i < count; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        painter.setPen(colors[k]);
        DrawTextAt(painter, places.x[k], y, QString::fromStdString(line.texts[k]));
    }
}

void DrawReadout(QPainter& painter, const GraphModel& model, const PaintParams& params)
{
    DrawReadout(painter, GraphPaintPlanner::Readout(model), params);
}

QColor ToQColor(RgbColor color)
{
    return QColor(color.red, color.green, color.blue);
}

void DrawTextAt(QPainter& painter, int x, int y, const QString& text)
{
    painter.drawText(x, y + QFontMetrics(painter.font()).ascent(), text);
}

void DrawTraceSegment(QPainter& painter, GraphModel& model, int p, int trace, int colorIndex, int firstVisible)
{
    const QRgb color = PaletteColor(colorIndex).rgb();
    DrawSpans(painter, nullptr, TracePlanner(model, model.state()).Segment(p, trace, firstVisible),
              {color, color, color, color});
}

void DrawTraceSpan(QPainter& painter, GraphModel& model, int pA, int pB, int trace, int colorIndex)
{
    const QRgb color = PaletteColor(colorIndex).rgb();
    DrawSpans(painter, nullptr, TracePlanner(model, model.state()).Span(pA, pB, trace), {color, color, color, color});
}

QRect DrawNewestSegment(QPainter& painter, GraphModel& model, const GraphColors& colors)
{
    const QRect clip = TraceClip(model.plot());
    const TracePlanner::Newest newest = TracePlanner(model, model.state()).NewestSegment();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(clip);
    painter.setFont(AxisFont());
    DrawSpans(painter, nullptr, newest.traces, TraceColors(colors));
    painter.restore();
    QRect touched;
    for (const SegmentEnds& e : newest.ends) {
        // The marks reach two pixels beyond the ends.
        touched |= QRect(QPoint(std::min(e.x0, e.x1) - 3, std::min(e.y0, e.y1) - 3),
                         QPoint(std::max(e.x0, e.x1) + 3, std::max(e.y0, e.y1) + 3));
    }
    return touched & clip;
}

void EndPrinting(GraphModel& model)
{
    model.state().g_bPrinting = false;
}

void DrawGraphPlan(QPainter& painter, const GraphPaintPlan& plan, const PaintParams& params)
{
    if (plan.drawsNothing)
        return;
    const PlotRect& client = plan.client;
    const PlotRect& plot = plan.plot;
    const PlotRect& panel = plan.panel;
    const int left = plot.left, top = plot.top, right = plot.right, bottom = plot.bottom;
    const int width = plot.width(), height = plot.height();
    const int summary = plan.summaryHeight;
    const QRect area = FromEdges(client.left, client.top + summary, client.right, client.bottom);
    if (!plan.drawsGraph) {
        if (plan.fillsBlack)
            painter.fillRect(area, params.surround);
        return;
    }
    const QColor panelColor = plan.printer ? QColor(Qt::white) : params.panelColor;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    // Background, panel and plot.
    const QRect panelBox = FromEdges(panel.left, panel.top, panel.right, panel.bottom);
    const QRect plotBox = Box(left - kPlotSideReach, top, width + 2 * kPlotSideReach, height);
    const QColor background = PaletteColor(params.colors.background);
    if (!plan.printer)
        FillAround(painter, area, panelBox, params.surround, panelColor.alpha() == 255);
    FillAround(painter, panelBox, plotBox, panelColor, background.alpha() == 255);
    painter.fillRect(plotBox, background);

    if (plan.horizontalGrid) {
        painter.setPen(GridPen(params));
        for (int y : plan.gridRows)
            painter.drawLine(left - kPlotSideReach, y, right + kPlotSideReach, y);
    }
    if (!plan.gridColumns.empty()) {
        painter.setPen(GridPen(params));
        for (int x : plan.gridColumns)
            painter.drawLine(x, top, x, bottom);
    }

    // The peak label takes the axis font the traces find in the painter.
    painter.setFont(plan.printer ? PageLabelFont(plan.unit, painter.device()) : AxisFont());
    DrawTraces(painter, plan, params);
    DrawEventMarks(painter, plan);
    DrawLegend(painter, plan.legend, params);
    DrawLegend(painter, plan.overlayLegend, params);
    if (!params.cursorsOverlaid)
        DrawCursorMarks(painter, plan.cursors, plot, params);

    // Axes and labels.
    if (!plan.printer) {
        if (bottom > top) {
            painter.fillRect(FromEdges(panel.left, bottom + 1, panel.right, panel.bottom), panelColor);
            painter.fillRect(FromEdges(panel.left, top - 10, panel.right, top), panelColor);
        }
        painter.fillRect(FromEdges(panel.left + 20, top - 10, left - kPlotSideReach, bottom + 9), panelColor);
        painter.fillRect(FromEdges(right + kPlotSideReach, top - 10, panel.right, bottom + 9), panelColor);
    } else {
        // The strip between the panel's top and the plot's, which the traces' clip reaches into.
        painter.fillRect(Box(GraphLayout::kPanelSide, GraphLayout::kPagePanelTop, panel.width(),
                             GraphLayout::kPagePlotTop - GraphLayout::kPagePanelTop),
                         Qt::white);
        painter.fillRect(Box(0, 0, client.width(), plan.pageHeaderHeight), Qt::white);
    }
    painter.setPen(Qt::black);
    for (const PlannedText& label : plan.valueLabels)
        DrawText(painter, label);
    DrawTimeAxis(painter, plan, params);
    painter.setPen(QPen(PaletteColor(params.colors.grid), 1, Qt::SolidLine));
    for (int y : plan.gridRows)
        painter.drawLine(left - kValueTickLength, y, left, y);

    if (!plan.printer) {
        painter.fillRect(Box(panel.left, top - 20, panel.width(), 15), panelColor);
        painter.fillRect(FromEdges(client.left, client.top, client.right, top - 8), params.surround);
        painter.fillRect(FromEdges(client.left, client.top, client.right, client.top + summary), panelColor);
        painter.fillRect(FromEdges(client.left, bottom + GraphLayout::kPanelBelowPlot, client.right, client.bottom),
                         params.surround);
        painter.fillRect(FromEdges(client.left, client.top + summary, panel.left, client.bottom), params.surround);
        painter.fillRect(FromEdges(panel.right, client.top + summary, client.right, client.bottom), params.surround);
        DrawReadout(painter, plan.readout, params);
    }

    // Frame, 10 pixels inside the area (the page).
    const int frameTop = (plan.printer ? plan.pageHeaderHeight : client.top + summary) + kFrameInset;
    const int frameLeft = client.left + kFrameInset;
    const int frameRight = client.right - kFrameInset;
    const int frameBottom = client.bottom - kFrameInset;
    painter.setPen(QPen(params.frame, 2, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(frameLeft, frameTop, frameRight, frameTop);
    painter.drawLine(frameLeft, frameTop - 1, frameLeft, frameBottom);
    painter.drawLine(frameRight, frameBottom, frameRight, frameTop);
    painter.drawLine(frameRight, frameBottom, frameLeft, frameBottom);

    if (!plan.printer)
        DrawValueAxisTitle(painter, plan, params);
    painter.restore();
}

PaintOutcome PaintGraph(QPainter& painter, const GraphModel& model, const PaintParams& params)
{
    GraphPaintPlan plan = GraphPaintPlanner(model).Plan();
    if (params.extras != nullptr)
        PlanExtras(plan, model, *params.extras);
    DrawGraphPlan(painter, plan, params);
    PaintOutcome outcome;
    outcome.startZoomOutTimer = plan.startZoomOutTimer;
    outcome.drewGraph = plan.drawsGraph;
    outcome.marked = plan.marked;
    return outcome;
}

PaintOutcome PaintGraphFrame(QPainter& painter, GraphModel& model, const PaintParams& params)
{
    model.PrepareFrame({params.client, params.printer, params.frameReading});
    const PaintOutcome outcome = PaintGraph(painter, std::as_const(model), params);
    model.FinishFrame(outcome.marked);
    return outcome;
}

}  // namespace shakemeter
