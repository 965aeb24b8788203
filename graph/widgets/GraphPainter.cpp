#include "graph/widgets/GraphPainter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPen>
#include <algorithm>
#include <array>
#include <cmath>

#include "graph/core/AxisText.h"
#include "graph/core/GraphLayout.h"
#include "graph/core/ReadoutPlaces.h"
#include "graph/widgets/CellHeightFont.h"
#include "graph/widgets/TraceBatcher.h"

namespace shakemeter {

namespace {

// Lines longer than this are cut before they reach the raster engine, whose fixed-point
// coordinates do not survive the far-away ends of a deep zoom.
constexpr double SAFE_COORDINATE = 1 << 20;

QRect Box(int x, int y, int width, int height)
{
    return QRect(x, y, std::max(0, width), std::max(0, height));
}

QRect FromEdges(int left, int top, int right, int bottom)
{
    return Box(left, top, right - left, bottom - top);
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

// The peak label of a spectrum, on the peak axis's trace at the segment end that is the peak bin.
bool PeakLabelDue(const GraphModel& model, const SegmentEnds& e, int trace)
{
    const RecordingView* view = model.view();
    return view != nullptr && view->m_bFrequencyMode && trace == view->m_nPeakAxis &&
           (e.rowA == view->m_nPeakIndex || e.rowB == view->m_nPeakIndex);
}

void DrawPeakLabel(QPainter& painter, const GraphModel& model, const SegmentEnds& e, QRgb color)
{
    const RecordingView* view = model.view();
    const int limit = model.plot().bottom - 20;
    const QString text = QString::fromStdString(PeakLabel(view->m_dPeakFrequency));
    const QPen pen = painter.pen();
    painter.setPen(QColor(color));
    if (e.rowB == view->m_nPeakIndex)
        DrawTextAt(painter, e.x1, std::min(e.y1, limit), text);
    if (e.rowA == view->m_nPeakIndex)
        DrawTextAt(painter, e.x0, std::min(e.y0, limit), text);
    painter.setPen(pen);
}

// A label is text, which the batcher does not collect: what is pending goes first.
void LabelIfPeak(QPainter& painter, TraceBatcher* batcher, const GraphModel& model, const SegmentEnds& e, int trace, QRgb color)
{
    if (!PeakLabelDue(model, e, trace))
        return;
    if (batcher != nullptr)
        batcher->Flush();
    DrawPeakLabel(painter, model, e, color);
}

void Emit(QPainter& painter, TraceBatcher* batcher, const TraceStroke& stroke)
{
    if (batcher != nullptr)
        batcher->Add(stroke);
    else
        DrawStroke(painter, stroke);
}

void SegmentInto(QPainter& painter, TraceBatcher* batcher, GraphModel& model, int p, int trace, QRgb color, int firstVisible)
{
    GraphState& s = model.state();
    const SegmentEnds e = model.SegmentEndsOf(p, trace, firstVisible);
    if (!GraphModel::SegmentVisible(e, s.m_rcPlot))
        return;
    LabelIfPeak(painter, batcher, model, e, trace, color);
    TraceStroke stroke;
    stroke.color = color;
    if (e.joined)
        SetSafeLine(stroke, e.x0, e.y0, e.x1, e.y1);
    if (s.m_bMarkPoints) {
        int& last = s.g_nLastMarkX[static_cast<std::size_t>(trace & 3)];
        if (last != e.x0 || s.m_dScale >= 1.0) {
            stroke.dotCount = 2;
            stroke.dots[0] = QRect(e.x0 - 2, e.y0 - 2, 3, 3);
            stroke.dots[1] = QRect(e.x1 - 2, e.y1 - 2, 3, 3);
            last = e.x0;
        }
    }
    Emit(painter, batcher, stroke);
}

// The stroke is the caller's, reused from span to span: a decimated paint has tens of thousands.
void SpanInto(QPainter& painter, TraceBatcher* batcher, GraphModel& model, const SegmentEnds& e, int trace, QRgb color,
              TraceStroke& stroke)
{
    GraphState& s = model.state();
    if (!GraphModel::SegmentVisible(e, s.m_rcPlot))
        return;
    LabelIfPeak(painter, batcher, model, e, trace, color);
    stroke.color = color;
    stroke.hasLine = false;
    stroke.precise = false;
    stroke.pointCount = 0;
    stroke.dotCount = 0;
    SetSafeLine(stroke, e.x0, e.y0, e.x1, e.y1);
    if (s.m_bMarkPoints) {
        int& last = s.g_nLastTickMarkX[static_cast<std::size_t>(trace & 3)];
        if (last != e.x0) {
            // A three-pixel bar just above and just below each end.
            for (const auto& [x, y] : {std::pair{e.x0, e.y0}, std::pair{e.x1, e.y1}}) {
                const QPoint bar[6] = {{x, y + 1}, {x, y - 1}, {x - 1, y + 1}, {x - 1, y - 1}, {x + 1, y + 1}, {x + 1, y - 1}};
                for (const QPoint& point : bar)
                    stroke.points[static_cast<std::size_t>(stroke.pointCount++)] = point;
            }
            last = e.x0;
        }
    }
    Emit(painter, batcher, stroke);
}

void SpanInto(QPainter& painter, TraceBatcher* batcher, GraphModel& model, int pA, int pB, int trace, QRgb color)
{
    TraceStroke stroke;
    SpanInto(painter, batcher, model, model.SpanEndsOf(pA, pB, trace), trace, color, stroke);
}

QFont AxisFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    font.setWeight(QFont::Medium);
    return font;
}

// The page's labels are 0.6 line units tall, ascent and descent together.
QFont PageLabelFont(int unit, const QPaintDevice* device)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Medium);
    return WithCellHeight(font, static_cast<int>(0.6 * unit), device);
}

QFont ReadoutFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(17);
    font.setWeight(QFont::Thin);
    return font;
}

QPen GridPen(const PaintParams& params)
{
    QPen pen(PaletteColor(params.colors.grid), 1, Qt::DotLine);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

int Length(const std::string& text)
{
    return static_cast<int>(text.size());
}

void DrawTraces(QPainter& painter, GraphModel& model, const PaintParams& params, const VisibleRange& range)
{
    const GraphState& s = model.state();
    const int n = model.RangeLast() - model.RangeFirst();
    if (range.first > n || n < 1)
        return;
    const PlotRect& plot = s.m_rcPlot;
    const QRect clip = Box(plot.left - 5, plot.top, plot.width() + 10, plot.height() + 1);
    painter.save();
    painter.setClipRect(clip);

    struct Trace {
        int index;
        QRgb color;
    };
    std::vector<Trace> traces;
    for (int t = 0; t < model.TraceCount(); ++t) {
        if (model.TraceVisible(t))
            traces.push_back({t, PaletteColor(params.colors.trace(t)).rgb()});
    }
    TraceBatcher batcher(painter, clip);
    const double perPixel = s.m_dDrawnScale > 0.0 ? 1.0 / s.m_dDrawnScale : 0.0;
    const int p = perPixel < 2.0e9 ? static_cast<int>(perPixel) : 2000000000;
    if (!model.HasTicks() && p >= 5) {
        const int first = std::max(1, range.first);
        const int last = std::min(range.last, n);
        int rest = first;
        // A group starts where the one before it ended: its first end is the last one found.
        struct GroupEnd {
            int p = -1;
            SpanPoint point;
        };
        std::vector<GroupEnd> ends(traces.size());
        TraceStroke stroke;
        std::vector<GroupExtremes> groups;
        rest = model.CollectGroups(first, last, p, groups);
        const SpanPointMapper pointOf = model.SpanMapper();
        for (int c = 0; c < model.TraceCount(); ++c) {
            std::fill(ends.begin(), ends.end(), GroupEnd{});
            const std::size_t column = static_cast<std::size_t>(c);
            for (const GroupExtremes& group : groups) {
                const int from = group.from;
                const int minimumAt = group.minimumAt[column];
                const int maximumAt = group.maximumAt[column];
                const int to = group.to;
                for (std::size_t i = 0; i < traces.size(); ++i) {
                    const Trace& t = traces[i];
                    GroupEnd& end = ends[i];
                    const SpanPoint start = end.p == from ? end.point : pointOf(from, t.index);
                    const std::size_t value = static_cast<std::size_t>(t.index);
                    const SpanPoint low = pointOf.At(minimumAt, group.atMinimum[column][value]);
                    const SpanPoint high = pointOf.At(maximumAt, group.atMaximum[column][value]);
                    end.p = to;
                    end.point = pointOf(to, t.index);
                    SpanInto(painter, &batcher, model, GraphModel::SpanBetween(start, low), t.index, t.color, stroke);
                    SpanInto(painter, &batcher, model, GraphModel::SpanBetween(low, high), t.index, t.color, stroke);
                    SpanInto(painter, &batcher, model, GraphModel::SpanBetween(high, end.point), t.index, t.color, stroke);
                }
            }
        }
        for (int j = rest; j <= last - 1; ++j) {
            for (const Trace& t : traces)
                SegmentInto(painter, &batcher, model, j, t.index, t.color, range.first);
        }
    } else {
        for (int j = std::max(1, range.first); j <= std::min(range.last - 1, n); ++j) {
            for (const Trace& t : traces)
                SegmentInto(painter, &batcher, model, j, t.index, t.color, range.first);
        }
    }
    batcher.Flush();
    painter.restore();
}

void DrawTimeAxis(QPainter& painter, GraphModel& model, const PaintParams& params, const VisibleRange& range, int unit)
{
    const GraphState& s = model.state();
    const PlotRect& plot = s.m_rcPlot;
    const int B = plot.bottom;
    painter.setPen(Qt::black);
    if (model.StartOnlyAxis()) {
        const TimeLabelLines start = model.StartLabels();
        if (params.printer) {
            DrawTextAt(painter, GraphLayout::kPageStartLabelX, B + unit / 2, QString::fromStdString(start.time));
            DrawTextAt(painter, GraphLayout::kPageStartLabelX, B + static_cast<int>(1.5 * unit), QString::fromStdString(start.date));
        } else {
            DrawTextAt(painter, plot.left - 23, B + 5, QString::fromStdString(start.time));
            DrawTextAt(painter, plot.left - 23, B + 17, QString::fromStdString(start.date));
        }
        return;
    }
    if (!s.m_bVertGrid || !model.ScalesUsable())
        return;
    const std::vector<TimeStepMark> marks = model.TimeSteps(range);
    const bool frequency = model.FrequencyMode();
    for (const TimeStepMark& mark : marks) {
        painter.setPen(GridPen(params));
        painter.drawLine(mark.x, B, mark.x, B + 5);
        painter.setPen(Qt::black);
        const TimeLabelLines label = model.StepLabel(mark);
        const int timeLength = Length(label.time);
        if (frequency) {
            DrawTextAt(painter, mark.x - 5 * timeLength / 2, B + 5, QString::fromStdString(label.time));
        } else if (params.printer) {
            DrawTextAt(painter, mark.x - 13 * timeLength, B + unit / 2, QString::fromStdString(label.time));
            DrawTextAt(painter, mark.x - 110, B + static_cast<int>(1.5 * unit), QString::fromStdString(label.date));
        } else {
            DrawTextAt(painter, mark.x - 5 * timeLength / 2, B + 5, QString::fromStdString(label.time));
            DrawTextAt(painter, mark.x - 5 * Length(label.date) / 2, B + 17, QString::fromStdString(label.date));
        }
    }
    if (frequency && !marks.empty()) {
        const QString title = QStringLiteral("Frequency(HZ)");
        if (params.printer)
            DrawTextAt(painter, plot.width() / 2 + GraphLayout::kPageFrequencyTitleX, B + static_cast<int>(1.5 * unit), title);
        else
            DrawTextAt(painter, plot.left + plot.width() / 2 - 33, B + 19, title);
    }
}

void DrawValueAxisTitle(QPainter& painter, const GraphModel& model, const PaintParams& params)
{
    const GraphState& s = model.state();
    const PlotRect& plot = s.m_rcPlot;
    const bool frequency = model.FrequencyMode();
    const int height = frequency ? 100 : 200;
    const QRect block = Box(s.m_rcGraphPanel.left + 20, plot.top + 4 * (plot.height() / 10), 18, height);
    painter.fillRect(block, params.panelColor);
    painter.save();
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.translate(block.left(), block.bottom() + 1);
    painter.rotate(-90);
    painter.drawText(QRect(0, 0, height, 18), Qt::AlignCenter,
                     frequency ? QStringLiteral("XYZ magnitude") : QStringLiteral("XYZ Acceleration (g)"));
    painter.restore();
}

}  // namespace

void DrawReadout(QPainter& painter, const GraphModel& model, const PaintParams& params)
{
    const GraphState& s = model.state();
    const PlotRect& plot = s.m_rcPlot;
    const int y = plot.bottom + GraphLayout::kReadoutBelowPlot;
    painter.fillRect(Box(plot.left, y, plot.width(), GraphLayout::kReadoutHeight), Qt::black);
    painter.setFont(ReadoutFont());
    const QFontMetrics metrics(painter.font());
    const bool frequency = model.FrequencyMode();
    const std::array<const std::string*, READOUT_TEXTS> texts = {&s.g_strReadoutHead, &s.g_strReadoutX,
                                                                 &s.g_strReadoutY, &s.g_strReadoutZ,
                                                                 &s.g_strReadoutV};
    const std::array<QColor, READOUT_TEXTS> colors = {
        QColor(0, 200, 200), PaletteColor(params.colors.x), PaletteColor(params.colors.y),
        PaletteColor(params.colors.z), PaletteColor(params.colors.vectorSum)};
    const int count = frequency ? READOUT_TEXTS - 1 : READOUT_TEXTS;
    std::array<int, READOUT_TEXTS> widths{};
    for (int i = 0; i < count; ++i)
        widths[static_cast<std::size_t>(i)] = metrics.horizontalAdvance(QString::fromStdString(*texts[static_cast<std::size_t>(i)]));
    const ReadoutPlaces places =
        PlaceReadout(plot.left, s.g_nReadoutOffset, widths, count, metrics.horizontalAdvance(QStringLiteral("  ")));
    // The line belongs to the graph: it stands on the graph's background, from its first text to
    // where the plot's background ends or its last text, whichever is further, but not over the
    // frame. Without texts nothing is drawn.
    if (places.right > places.left) {
        const int right = std::min(std::max(plot.right + 5, places.right), s.m_rcGraphPanel.right);
        painter.fillRect(FromEdges(places.left, y, right, y + GraphLayout::kReadoutHeight), PaletteColor(params.colors.background));
    }
    for (int i = 0; i < count; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        painter.setPen(colors[k]);
        DrawTextAt(painter, places.x[k], y, QString::fromStdString(*texts[k]));
    }
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
    SegmentInto(painter, nullptr, model, p, trace, PaletteColor(colorIndex).rgb(), firstVisible);
}

void DrawTraceSpan(QPainter& painter, GraphModel& model, int pA, int pB, int trace, int colorIndex)
{
    SpanInto(painter, nullptr, model, pA, pB, trace, PaletteColor(colorIndex).rgb());
}

QRect DrawNewestSegment(QPainter& painter, GraphModel& model, const GraphColors& colors)
{
    const GraphState& s = model.state();
    const PlotRect& plot = s.m_rcPlot;
    const int p = model.NewestSegmentPoint();
    const QRect clip = Box(plot.left - 5, plot.top, plot.width() + 10, plot.height() + 1);
    QRect touched;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(clip);
    painter.setFont(AxisFont());
    for (int t = 0; t < model.TraceCount(); ++t) {
        if (!model.TraceVisible(t))
            continue;
        DrawTraceSegment(painter, model, p, t, colors.trace(t), s.m_nFirstVisible);
        const SegmentEnds e = model.SegmentEndsOf(p, t, s.m_nFirstVisible);
        // The marks reach two pixels beyond the ends.
        touched |= QRect(QPoint(std::min(e.x0, e.x1) - 3, std::min(e.y0, e.y1) - 3),
                         QPoint(std::max(e.x0, e.x1) + 3, std::max(e.y0, e.y1) + 3));
    }
    painter.restore();
    return touched & clip;
}

void EndPrinting(GraphModel& model)
{
    model.state().g_bPrinting = false;
}

PaintOutcome PaintGraph(QPainter& painter, GraphModel& model, const PaintParams& params)
{
    PaintOutcome outcome;
    GraphState& s = model.state();
    RecordingView* view = model.view();
    const int mode = model.DisplayMode();
    if (params.printer) {
        if (mode != 1)
            return outcome;
        s.g_bPrinting = true;
    } else if (s.g_bPrinting) {
        return outcome;
    }
    s.m_bMarkPoints = true;
    if (mode == 1 && s.g_nLastMode != 1) {
        s.g_nLastMode = 1;
        outcome.startZoomOutTimer = true;
    }

    const PlotRect& client = params.client;
    int unit = 0;
    if (params.printer)
        unit = model.SetPrinterGeometry(client.width(), client.height());
    else
        model.SetScreenGeometry(client);
    const PlotRect plot = s.m_rcPlot;
    const PlotRect panel = s.m_rcGraphPanel;
    const int L = plot.left, T = plot.top, R = plot.right, B = plot.bottom;
    const int W = plot.width(), H = plot.height();
    const int S = params.printer ? 0 : s.m_nSummaryHeight;
    const QRect area = FromEdges(client.left, client.top + S, client.right, client.bottom);
    const QColor panelColor = params.printer ? QColor(Qt::white) : params.panelColor;

    const auto finishWithoutGraph = [&] {
        s.m_bZoomPending = false;
        if (view != nullptr)
            view->m_bPlotReady = true;
    };
    if (mode == 0 && !params.printer) {
        finishWithoutGraph();
        return outcome;
    }
    if (model.ShownCount() < 1 || model.RangeLast() < 1) {
        if (!params.printer)
            painter.fillRect(area, Qt::black);
        finishWithoutGraph();
        return outcome;
    }

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    // Background, panel and plot.
    if (!params.printer)
        painter.fillRect(area, Qt::black);
    painter.fillRect(FromEdges(panel.left, panel.top, panel.right, panel.bottom), panelColor);
    painter.fillRect(Box(L - 5, T, W + 10, H), PaletteColor(params.colors.background));

    const VisibleRange range = model.PrepareDrawing(params.frameReading, params.printer);
    const bool usable = model.ScalesUsable();

    if (s.m_bHorzGrid && usable) {
        painter.setPen(GridPen(params));
        for (int i = 0; i <= 10; ++i) {
            const int y = T + static_cast<int>(i * H * 0.1);
            painter.drawLine(L - 5, y, R + 5, y);
        }
    }
    if (s.m_bVertGrid && usable) {
        painter.setPen(GridPen(params));
        for (const TimeStepMark& mark : model.TimeSteps(range))
            painter.drawLine(mark.x, T, mark.x, B);
    }

    // The peak label takes the axis font the traces find in the painter.
    painter.setFont(params.printer ? PageLabelFont(unit, painter.device()) : AxisFont());
    if (usable)
        DrawTraces(painter, model, params, range);

    // Axes and labels.
    if (!params.printer) {
        if (B > T) {
            painter.fillRect(FromEdges(panel.left, B + 1, panel.right, panel.bottom), panelColor);
            painter.fillRect(FromEdges(panel.left, T - 10, panel.right, T), panelColor);
        }
        painter.fillRect(FromEdges(panel.left + 20, T - 10, L - 5, B + 9), panelColor);
        painter.fillRect(FromEdges(R + 5, T - 10, panel.right, B + 9), panelColor);
    } else {
        // The strip between the panel's top and the plot's, which the traces' clip reaches into.
        painter.fillRect(Box(GraphLayout::kPanelSide, GraphLayout::kPagePanelTop, panel.width(),
                             GraphLayout::kPagePlotTop - GraphLayout::kPagePanelTop),
                         Qt::white);
        painter.fillRect(Box(0, 0, client.width(), s.m_nSummaryHeight), Qt::white);
    }
    painter.setPen(Qt::black);
    for (int i = 0; i <= 10; ++i) {
        const std::string& label = s.m_strAxisLabel[static_cast<std::size_t>(i)];
        const int y = B - (i * H) / 10 - 8;
        const int x = params.printer ? 14 * (9 - Length(label)) : panel.left + 5 * (18 - Length(label));
        DrawTextAt(painter, x, y, QString::fromStdString(label));
    }
    DrawTimeAxis(painter, model, params, range, unit);
    painter.setPen(QPen(PaletteColor(params.colors.grid), 1, Qt::SolidLine));
    for (int i = 0; i <= 10; ++i) {
        const int y = T + static_cast<int>(i * H * 0.1);
        painter.drawLine(L - 10, y, L, y);
    }

    if (!params.printer) {
        painter.fillRect(Box(panel.left, T - 20, panel.width(), 15), panelColor);
        painter.fillRect(FromEdges(client.left, client.top, client.right, T - 8), Qt::black);
        painter.fillRect(FromEdges(client.left, client.top, client.right, client.top + S), panelColor);
        painter.fillRect(FromEdges(client.left, B + GraphLayout::kPanelBelowPlot, client.right, client.bottom), Qt::black);
        painter.fillRect(FromEdges(client.left, client.top + S, panel.left, client.bottom), Qt::black);
        painter.fillRect(FromEdges(panel.right, client.top + S, client.right, client.bottom), Qt::black);
        DrawReadout(painter, model, params);
    }

    // Frame, 10 pixels inside the area (the page).
    const int top = (params.printer ? s.m_nSummaryHeight : client.top + S) + 10;
    const int left = client.left + 10;
    const int right = client.right - 10;
    const int bottom = client.bottom - 10;
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(left, top, right, top);
    painter.drawLine(left, top - 1, left, bottom);
    painter.drawLine(right, bottom, right, top);
    painter.drawLine(right, bottom, left, bottom);

    if (!params.printer)
        DrawValueAxisTitle(painter, model, params);
    painter.restore();

    model.FinishDrawing();
    outcome.drewGraph = true;
    return outcome;
}

}  // namespace shakemeter
