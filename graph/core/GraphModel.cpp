#include "graph/core/GraphModel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graph/core/AxisText.h"
#include "graph/core/CursorPlacement.h"
#include "graph/core/GraphLayout.h"
#include "graph/core/GraphScroller.h"
#include "graph/core/OverlayValues.h"
#include "graph/core/PointPicker.h"
#include "graph/core/RealTimeGrowth.h"
#include "graph/core/TimeAxis.h"
#include "graph/core/TraceGeometry.h"
#include "graph/core/ZoomBand.h"
#include "graph/core/ZoomMapping.h"
#include "recording/PixelMath.h"
#include "recording/RtWindowTable.h"

namespace shakemeter {

namespace {

// The automatic value range reaches this far beyond the values, as the shown recording's does.
constexpr double kOverlayAutoMargin = 1.0;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Point table: what the graph reads of the shown recording and its view companions.

void GraphModel::Attach(const Recording* document, RecordingView* view)
{
    m_document = document;
    m_view = view;
}

bool GraphModel::FrequencyMode() const
{
    return m_view != nullptr && m_view->m_bFrequencyMode;
}

int GraphModel::TableRows() const
{
    std::size_t rows = 0;
    if (FrequencyMode())
        rows = m_view->m_pSpectrum.size();
    else if (m_document != nullptr)
        rows = m_document->m_pSamples.size();
    return static_cast<int>(std::min<std::size_t>(rows, 0x7FFFFFFF));
}

const SampleRow* GraphModel::TableData() const
{
    if (FrequencyMode())
        return m_view->m_pSpectrum.data();
    return m_document != nullptr ? m_document->m_pSamples.data() : nullptr;
}

double GraphModel::Value(int row, int trace) const
{
    if (row < 0 || row >= TableRows() || trace < 0 || trace > 3)
        return 0.0;
    if (FrequencyMode())
        return m_view->m_pSpectrum[static_cast<std::size_t>(row)][static_cast<std::size_t>(trace)];
    return m_document->m_pSamples[static_cast<std::size_t>(row)][static_cast<std::size_t>(trace)];
}

bool GraphModel::HasTicks() const
{
    // The ticks place the sample rows; the spectrum's bins stand a hertz apart whatever the header
    // of the recording they came from says.
    return m_document != nullptr && m_document->IsMotion() && !FrequencyMode();
}

std::int64_t GraphModel::Tick(int row) const
{
    if (m_document == nullptr || row < 0)
        return row;
    return m_document->TickOf(static_cast<std::size_t>(row));
}

int GraphModel::ShownCount() const
{
    return m_view != nullptr ? std::max(0, m_view->m_nShownCount) : 0;
}

int GraphModel::RangeFirst() const
{
    return m_view != nullptr ? std::max(1, m_view->m_nRangeFirst) : 1;
}

int GraphModel::RangeLast() const
{
    return m_view != nullptr ? std::min(m_view->m_nRangeLast, TableRows()) : 0;
}

int GraphModel::DisplayMode() const
{
    return m_view != nullptr ? m_view->m_nDisplayMode : 0;
}

bool GraphModel::TraceVisible(int trace) const
{
    switch (trace) {
    case 0:
        return m_state.m_bShowX;
    case 1:
        return m_state.m_bShowY;
    case 2:
        return m_state.m_bShowZ;
    case 3:
        return m_state.m_bShowVectorSum && !FrequencyMode();
    default:
        return false;
    }
}

SpectrumPeak GraphModel::Peak() const
{
    if (!FrequencyMode())
        return {};
    return {true, m_view->m_nPeakAxis, m_view->m_nPeakIndex, m_view->m_dPeakFrequency};
}

TimeLabelLines GraphModel::StartLabels() const
{
    if (m_view == nullptr)
        return {};
    return {m_view->m_timeStart.format("%H:%M:%S"), m_view->m_timeStart.format("%d/%m/%y")};
}

std::string GraphModel::FormatTickTime(std::int64_t tick) const
{
    // The row labels' own formatter, so that a step and the row at the same tick read alike.
    std::string text;
    if (m_view != nullptr)
        m_view->AppendTickTime(text, tick);
    return text;
}

std::string GraphModel::SampleTimeText(int row) const
{
    if (m_view == nullptr || m_document == nullptr)
        return {};
    return m_view->FormatSampleTime(*m_document, row);
}

void GraphModel::MarkPlotReady(bool ready)
{
    if (m_view != nullptr)
        m_view->SetPlotReady(ready);
}

void GraphModel::SetCursors(std::optional<CursorPair> cursors)
{
    m_cursors = cursors ? ClampToShownRows(*this, *cursors) : std::nullopt;
}

std::optional<CursorPair> GraphModel::Cursors() const
{
    if (FrequencyMode() || !m_cursors)
        return std::nullopt;
    return ClampToShownRows(*this, *m_cursors);
}

// ---------------------------------------------------------------------------------------------
// Geometry

PlotRect GraphModel::ScreenPlotRect(const PlotRect& client, int summaryHeight, int displayMode)
{
    return GraphLayout::ScreenPlot(client, summaryHeight, displayMode);
}

PlotRect GraphModel::PanelRect(const PlotRect& client, const PlotRect& plot)
{
    return GraphLayout::ScreenPanel(client, plot);
}

void GraphModel::SetScreenGeometry(const PlotRect& client)
{
    m_state.m_rcPlot = GraphLayout::ScreenPlot(client, m_state.m_nSummaryHeight, DisplayMode());
    m_state.m_rcGraphPanel = GraphLayout::ScreenPanel(client, m_state.m_rcPlot);
}

int GraphModel::SetPrinterGeometry(int pageWidth, int pageHeight)
{
    m_state.m_rcPlot = GraphLayout::PagePlot(pageWidth, pageHeight);
    m_state.m_rcGraphPanel = GraphLayout::PagePanel(pageWidth, m_state.m_rcPlot);
    return GraphLayout::PageLineUnit(pageHeight);
}

PlotRect GraphModel::HScrollBarRect() const
{
    return GraphLayout::HScrollBar(m_state.m_rcPlot);
}

PlotRect GraphModel::VScrollBarRect(const PlotRect& client) const
{
    return GraphLayout::VScrollBar(client, m_state.m_rcPlot);
}

PlotRect GraphModel::GraphToolBarRect(const PlotRect& client) const
{
    return GraphLayout::ToolBar(client, m_state.m_rcPlot);
}

// ---------------------------------------------------------------------------------------------
// Positions

PlotPosition GraphModel::Position(int row, int trace, int level) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_positions.rows())
        return {};
    return {m_positions.x(level, static_cast<std::size_t>(row)), m_positions.mapping(level).map(Value(row, trace))};
}

double GraphModel::X(int row, int level) const
{
    return Position(row, 0, level).x;
}

void GraphModel::ComputeValueTicks0()
{
    const double low = m_view->m_dYMin;
    const double high = m_view->m_dYMax;
    for (int i = 0; i <= 10; ++i)
        m_state.g_dYTick[0][static_cast<std::size_t>(i)] = low + (high - low) * i * 0.1;
}

void GraphModel::ComputePlotPoints(bool frameReading)
{
    GraphState& s = m_state;
    if (m_view == nullptr)
        return;
    const int shown = ShownCount();
    const int width = s.m_rcPlot.width();
    const int first = RangeFirst();
    const int last = RangeLast();

    if (frameReading && m_document != nullptr && m_document->m_bRealTime) {
        if (shown == 1) {
            s.g_nZoomLevel = 0;
            s.g_bFullView = true;
            s.m_nRtWindowIdx = 0;
            s.m_nHShift = 0;
            s.m_nLeftIndex = 0;
            s.m_nVShift[0] = 0;
            s.m_nVScrollBase = 0;
        }
        m_view->StartRtWindow(RT_FIRST_WINDOW);
        const std::vector<int>& table = m_view->m_nRtWindow;
        s.m_nRtWindowIdx = std::clamp(s.m_nRtWindowIdx, 0, static_cast<int>(table.size()) - 1);
        const int window = std::max(2, table[static_cast<std::size_t>(s.m_nRtWindowIdx)]);
        s.m_dFullScale = static_cast<double>(width) / (window - 1);
        if (shown - m_view->m_nRangeFirst >= window) {
            s.m_bRtAxisGrown = true;
            s.m_dRtScale = RtNarrowedScale(width, window);
            ++s.m_nRtWindowIdx;
            // A reading longer than it asked for keeps growing instead of writing past the table.
            m_view->SetRtWindowEntry(static_cast<std::size_t>(s.m_nRtWindowIdx),
                                     TruncToInt(width / s.m_dRtScale + 1.0));
        }
    } else if (shown > 1) {
        if (HasTicks()) {
            const double span = static_cast<double>(Tick(last - 1) - 1);
            s.m_dFullScale = span != 0.0 ? width / span : 0.0;
        } else {
            const int span = last - first;
            s.m_dFullScale = span != 0 ? static_cast<double>(width) / span : 0.0;
        }
    } else {
        s.m_dFullScale = width;
    }

    m_positions.EnsureRows(static_cast<std::size_t>(std::max(0, TableRows())));
    if (!s.g_bFullView) {
        ExtendZoomedRows();
        return;
    }

    s.m_dScale = s.m_dFullScale;
    s.g_rcLastPlot = s.m_rcPlot;
    ComputeValueTicks0();
    ValueMapping& mapping = m_positions.mapping(0);
    mapping.bottom = s.m_rcPlot.bottom;
    mapping.height = s.m_rcPlot.height();
    mapping.low = s.g_dYTick[0][0];
    mapping.high = s.g_dYTick[0][10];
    if (shown < 1 || last < first)
        return;

    const int firstRow = first - 1;
    const double scale = s.m_dScale;
    if (HasTicks()) {
        const std::int64_t firstTick = Tick(firstRow);
        const double firstX = s.m_rcPlot.left + firstTick * scale;
        m_positions.setX(0, static_cast<std::size_t>(firstRow), firstX);
        for (int i = firstRow + 1; i <= last - 1; ++i)
            m_positions.setX(0, static_cast<std::size_t>(i), firstX + (Tick(i) - firstTick) * scale);
    } else {
        m_positions.FillEvenly(static_cast<std::size_t>(firstRow),
                               static_cast<std::size_t>(std::max(firstRow + 1, last)), s.m_rcPlot.left, scale);
    }
}

void GraphModel::ExtendZoomedRows()
{
    // Rows that arrive while the view is zoomed (a real-time reading) continue the zoomed
    // picture at its spacing, so picking and following the newest point never read a position
    // that was not computed.
    const int last = RangeLast();
    std::size_t row = std::max<std::size_t>(m_positions.zoomedEnd(), 1);
    const std::size_t start = static_cast<std::size_t>(RangeFirst() - 1);
    if (m_positions.zoomedEnd() <= start)
        return;
    for (; row < static_cast<std::size_t>(std::max(0, last)); ++row) {
        const double previous = m_positions.x(1, row - 1);
        m_positions.setX(1, row,
                         previous + (Tick(static_cast<int>(row)) - Tick(static_cast<int>(row) - 1)) * m_state.m_dScale);
    }
    m_positions.setZoomedEnd(std::max(m_positions.zoomedEnd(), static_cast<std::size_t>(std::max(0, last))));
}

void GraphModel::ComputeZoomedTicks()
{
    GraphState& s = m_state;
    const double step = s.g_dZoomYNext - s.g_dZoomYMin;
    for (int i = 0; i <= 10; ++i)
        s.g_dYTick[1][static_cast<std::size_t>(i)] = s.g_dZoomYMin + (i + s.m_nVShift[1]) * step;
}

void GraphModel::ComputeZoomedView()
{
    GraphState& s = m_state;
    if (m_view == nullptr || s.g_bFullView)
        return;
    const int first = RangeFirst();
    const int last = RangeLast();
    if (last <= first)
        return;
    const int firstRow = first - 1;
    m_positions.EnsureRows(static_cast<std::size_t>(TableRows()));

    // Scroll data, first step: the total length.
    s.m_siHorz.minimum = 0;
    s.m_siHorz.maximum = HorizontalTotal();
    s.m_siHorz.page = 1;

    const PlotRect& current = s.m_rcPlot;
    PlotRect from = s.g_rcLastPlot;
    if (s.m_bZoomPending) {
        // The zoom applies to the picture the band was drawn in, even when the window was
        // resized or the graph printed between the button-up and this paint.
        const ZoomMapping zoom = PendingZoom(s.g_rcZoomPlot);
        s.g_dZoomYMin = std::trunc(zoom.BottomValue() * 1000) * 0.001;
        s.g_dZoomYNext = std::trunc(zoom.NextTickValue() * 1000) * 0.001;
        m_positions.MapBaseToZoomed(static_cast<std::size_t>(firstRow), static_cast<std::size_t>(last),
                                    [&zoom](double fullX) { return zoom.ZoomedX(zoom.DistanceLeftOfBand(fullX)); });
        m_positions.setZoomedEnd(static_cast<std::size_t>(last));
        from = s.g_rcZoomPlot;
    }
    ComputeZoomedTicks();
    ExtendZoomedRows();

    // Stretch to a new plot (resize, or a page and back). The spacing in force is stretched with
    // the positions, so the same samples stay between the plot's edges.
    const bool currentUsable = current.width() > 0 && current.height() > 0;
    if (current != from && currentUsable && from.width() > 0) {
        const double oldLeft = from.left;
        const double oldWidth = from.right - oldLeft;
        const double newWidth = current.width();
        const double newLeft = current.left;
        m_positions.MapZoomed(static_cast<std::size_t>(firstRow), m_positions.zoomedEnd(),
                              [=](double x) { return (x - oldLeft) / oldWidth * newWidth + newLeft; });
        s.m_dScale = s.m_dScale / oldWidth * newWidth;
    }
    if (currentUsable)
        s.g_rcLastPlot = current;

    ValueMapping& map = m_positions.mapping(1);
    map.bottom = current.bottom;
    map.height = current.height();
    map.low = s.g_dYTick[1][0];
    map.high = s.g_dYTick[1][10];

    // Scroll data, second step: bar positions after a zoom.
    if (!s.g_bScrollSynced && ShownCount() > 1) {
        s.g_bScrollSynced = true;
        const int level = s.g_nZoomLevel;
        const double plotLeft = current.left;
        if (HasTicks()) {
            const double spacing = s.m_dScale;
            const double origin = X(firstRow, level) - Tick(firstRow) * spacing;
            if (IsUsableDivisor(spacing))
                s.m_nLeftIndex = TruncToInt(s.m_nHShift + (plotLeft - (s.m_nHShift * spacing + origin)) / spacing);
        } else {
            const double spacing = X(firstRow + 1, level) - X(firstRow, level);
            if (IsUsableDivisor(spacing))
                s.m_nLeftIndex =
                    TruncToInt(s.m_nHShift + (plotLeft - (s.m_nHShift * spacing + X(firstRow, level))) / spacing);
        }
        s.m_siHorz.position = s.m_nLeftIndex - s.m_nHShift + 1;
        const auto& ticks = s.g_dYTick[static_cast<std::size_t>(level)];
        const double tickStep = ticks[1] - ticks[0];
        if (IsUsableDivisor(tickStep)) {
            s.m_nVScrollBase = TruncToInt((ticks[5] - m_view->m_dYMin) / tickStep);
            s.m_nVScrollRange = TruncToInt((m_view->m_dYMax - m_view->m_dYMin) / tickStep);
        }
        s.m_siVert = {0, s.m_nVScrollRange, 1, s.m_nVScrollRange - s.m_nVScrollBase};
    }
    // The bar's page is what the plot shows, so its thumb fully right is the last page.
    s.m_siHorz.page = std::max(1, s.m_siHorz.maximum - HorizontalLastPosition() + 1);
}

ZoomMapping GraphModel::PendingZoom(const PlotRect& bandPlot) const
{
    const GraphState& s = m_state;
    return ZoomMapping(bandPlot, s.g_dZoomLeft, s.g_dZoomRight, s.g_dZoomTop, s.g_dZoomBottom, s.g_dYTick[0]);
}

bool GraphModel::ScalesUsable() const
{
    const GraphState& s = m_state;
    if (s.m_rcPlot.width() <= 0 || s.m_rcPlot.height() <= 0)
        return false;
    if (!PositiveFinite(s.m_dScale))
        return false;
    return m_positions.mapping(s.g_nZoomLevel).usable();
}

VisibleRange GraphModel::ComputeVisibleRange() const
{
    const GraphState& s = m_state;
    const PlotRect& plot = s.m_rcPlot;
    const int first = RangeFirst();
    const int last = RangeLast();
    const int level = s.g_nZoomLevel;
    VisibleRange range;
    if (HasTicks()) {
        if (last < first)
            return range;
        const int firstRow = first - 1;
        const double shiftPixels = s.m_nHShift * s.m_dScale;
        if (X(last - 1, level) + shiftPixels < plot.left || X(firstRow, level) + shiftPixels > plot.right)
            return range;
        const int count = last - first + 1;
        range.first = count;
        for (int k = 1; k <= count; ++k) {
            if (X(firstRow + k - 1, level) + shiftPixels >= plot.left) {
                range.first = k;
                break;
            }
        }
        if (range.first > 1)
            --range.first;
        range.last = count;
        for (int k = 1; k <= count; ++k) {
            if (X(firstRow + k - 1, level) + shiftPixels >= plot.right) {
                range.last = k;
                break;
            }
        }
        return range;
    }
    range.first = s.m_nLeftIndex - s.m_nHShift + 1;
    if (PositiveFinite(s.m_dScale))
        range.last = TruncToInt(plot.width() / s.m_dScale + range.first + 2.0);
    else
        range.last = range.first;
    return range;
}

VisibleRange GraphModel::PrepareDrawing(bool frameReading, bool printing)
{
    GraphState& s = m_state;
    ComputePlotPoints(frameReading);
    ComputeZoomedView();
    s.m_dDrawnScale = s.m_dScale;
    const VisibleRange range = ComputeVisibleRange();
    if (printing) {
        s.g_nPrintFirstVisible = range.first;
        s.g_nPrintLastVisible = range.last;
    } else {
        s.g_nFirstVisible = range.first;
        s.g_nLastVisible = range.last;
        s.m_nFirstVisible = range.first;
    }
    const std::vector<std::string> labels = ValueLabels();
    for (std::size_t i = 0; i < labels.size(); ++i)
        s.m_strAxisLabel[i] = labels[i];
    return range;
}

void GraphModel::FinishDrawing()
{
    GraphState& s = m_state;
    s.g_bCursorHidden = true;
    // A plot without area keeps the last usable rectangle, so that the zoomed picture is
    // stretched from the plot it was last drawn in when the window grows again.
    if (s.m_rcPlot.width() > 0 && s.m_rcPlot.height() > 0)
        s.g_rcLastPlot = s.m_rcPlot;
    s.m_bZoomPending = false;
    MarkPlotReady(true);
}

const FrameStart& GraphModel::PrepareFrame(const PaintRequest& request)
{
    GraphState& s = m_state;
    FrameStart& frame = m_frame;
    frame = FrameStart{};
    frame.request = request;
    const int mode = DisplayMode();
    if (request.printer) {
        if (mode != 1)
            return frame;
        s.g_bPrinting = true;
    } else if (s.g_bPrinting) {
        return frame;
    }
    frame.drawsNothing = false;
    s.m_bMarkPoints = true;
    if (mode == 1 && s.g_nLastMode != 1) {
        s.g_nLastMode = 1;
        frame.startZoomOutTimer = true;
    }
    if (request.printer)
        frame.unit = SetPrinterGeometry(request.client.width(), request.client.height());
    else
        SetScreenGeometry(request.client);

    const bool nothingToDraw = (mode == 0 && !request.printer) || ShownCount() < 1 || RangeLast() < 1;
    if (nothingToDraw) {
        s.m_bZoomPending = false;
        MarkPlotReady(true);
        return frame;
    }
    frame.drawsGraph = true;
    frame.range = PrepareDrawing(request.frameReading, request.printer);
    // The plan reads nothing the end of the drawing changes.
    FinishDrawing();
    return frame;
}

void GraphModel::FinishFrame(const MarkedColumns& marked)
{
    static_cast<MarkedColumns&>(m_state) = marked;
}

int GraphModel::TimeStep() const
{
    return TimeAxis(*this).TimeStep();
}

std::vector<TimeStepMark> GraphModel::TimeSteps(const VisibleRange& range) const
{
    return TimeAxis(*this).TimeSteps(range);
}

bool GraphModel::StartOnlyAxis() const
{
    return TimeAxis(*this).StartOnlyAxis();
}

TimeLabelLines GraphModel::StepLabel(const TimeStepMark& mark) const
{
    return TimeAxis(*this).StepLabel(mark);
}

std::vector<std::string> GraphModel::ValueLabels() const
{
    return TimeAxis(*this).ValueLabels();
}

// ---------------------------------------------------------------------------------------------
// Trace segments

SegmentEnds GraphModel::SegmentEndsOf(int p, int trace, int firstVisible) const
{
    return TraceGeometry(*this).SegmentEndsOf(p, trace, firstVisible);
}

SegmentEnds GraphModel::SpanEndsOf(int pA, int pB, int trace) const
{
    return SpanBetween(SpanPointOf(pA, trace), SpanPointOf(pB, trace));
}

SpanPoint GraphModel::SpanPointOf(int p, int trace) const
{
    return SpanMapper()(p, trace);
}

SpanPointMapper GraphModel::SpanMapper() const
{
    return TraceGeometry(*this).SpanMapper();
}

int GraphModel::CollectGroups(int first, int last, int p, std::vector<GroupExtremes>& groups) const
{
    return TraceGeometry(*this).CollectGroups(first, last, p, groups);
}

bool GraphModel::SegmentVisible(const SegmentEnds& ends, const PlotRect& plot)
{
    const auto bothAt = [&](int y) { return ends.y0 == y && ends.y1 == y; };
    if (ends.y0 <= plot.top && ends.y1 <= plot.top && !bothAt(plot.top))
        return false;
    if (ends.y0 >= plot.bottom && ends.y1 >= plot.bottom && !bothAt(plot.bottom))
        return false;
    if (ends.x0 < plot.left && ends.x1 < plot.left)
        return false;
    if (ends.x0 > plot.right && ends.x1 > plot.right)
        return false;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Toolbar commands

bool GraphModel::OnAutoScale()
{
    if (m_view == nullptr)
        return false;
    RecordingView& v = *m_view;
    // A compared recording's values on the plot widen the range by the shown recording's margin.
    double low = v.m_dAutoMin;
    double high = v.m_dAutoMax;
    const std::optional<ValueSpan> compared = VisibleOverlayValues(*this);
    if (compared) {
        low = std::min(low, compared->low - kOverlayAutoMargin);
        high = std::max(high, compared->high + kOverlayAutoMargin);
    }
    if (v.m_bAutoScaleY && v.m_dYMax == high && v.m_dYMin == low)
        return false;
    if (compared)
        v.SetValueRange(low, high, true);
    else
        v.UseAutomaticValueRange();
    return true;
}

bool GraphModel::OnFullScale()
{
    if (m_view == nullptr || !m_view->m_bAutoScaleY)
        return false;
    m_view->SetValueRange(m_state.m_dPresetYMin, m_state.m_dPresetYMax, false);
    return true;
}

void GraphModel::OnZoomOut()
{
    GraphState& s = m_state;
    MarkPlotReady(false);
    s.g_nZoomLevel = 0;
    s.g_bFullView = true;
    s.m_nHShift = 0;
    s.m_nLeftIndex = 0;
    s.m_nVShift[0] = 0;
    s.m_nVScrollBase = 0;
    s.m_bScrollBarsEnabled = false;
}

// ---------------------------------------------------------------------------------------------
// Mouse

bool GraphModel::MouseEnabled() const
{
    return ShownCount() >= 1 && DisplayMode() != 0;
}

PlotPoint GraphModel::ClampToPlot(PlotPoint point, bool clampY) const
{
    const PlotRect& p = m_state.m_rcPlot;
    point.x = std::max(p.left, std::min(point.x, p.right));
    if (clampY)
        point.y = std::max(p.top, std::min(point.y, p.bottom));
    return point;
}

void GraphModel::ButtonDown(PlotPoint point)
{
    ZoomBand(*this).ButtonDown(point);
}

bool GraphModel::DragBand(PlotPoint point)
{
    return ZoomBand(*this).DragBand(point);
}

bool GraphModel::ButtonUp(PlotPoint point)
{
    return ZoomBand(*this).ButtonUp(point);
}

bool GraphModel::AcceptZoom(PlotPoint corner)
{
    return ZoomBand(*this).AcceptZoom(corner);
}

bool GraphModel::ZoomOntoRows(int firstRow, int lastRow, bool frameReading)
{
    return ZoomBand(*this).ZoomOntoRows(firstRow, lastRow, frameReading);
}

bool GraphModel::BandWatchdog(PlotPoint pointer, const PlotRect& client)
{
    return ZoomBand(*this).BandWatchdog(pointer, client);
}

int GraphModel::PickIndex(int x)
{
    return PointPicker(*this).PickIndex(x);
}

void GraphModel::SetOverlay(std::optional<GraphOverlay> overlay)
{
    m_overlay = std::move(overlay);
    if (!m_state.g_strReadoutHead.empty())
        UpdateReadout(m_state.g_nCursorIndex);
}

void GraphModel::ShowComparison(std::optional<GraphOverlay> overlay)
{
    SetOverlay(std::move(overlay));
    if (m_view != nullptr && m_view->m_bAutoScaleY)
        OnAutoScale();
}

void GraphModel::UpdateReadout(int index)
{
    if (PointPicker(*this).UpdateReadout(index) && m_overlay && !FrequencyMode()) {
        GraphState& s = m_state;
        AppendOverlayReadout(
            {&s.g_strReadoutHead, &s.g_strReadoutX, &s.g_strReadoutY, &s.g_strReadoutZ, &s.g_strReadoutV},
            OverlayReadoutAt(*this, index));
    }
}

// ---------------------------------------------------------------------------------------------
// Scroll bars

int GraphModel::HorizontalTotal() const
{
    if (HasTicks())
        return RangeLast() >= 1 ? TruncToInt(static_cast<double>(Tick(RangeLast() - 1))) : 0;
    return RangeLast() - RangeFirst() + 1;
}

int GraphModel::HorizontalLastPosition() const
{
    const GraphState& s = m_state;
    const std::int64_t total = HorizontalTotal();
    const int firstRow = RangeFirst() - 1;
    const int level = s.g_nZoomLevel;
    // The picture is drawn shifted by m_nHShift spacings; the last page's shift puts the last row
    // on the right edge, or less than a spacing left of it. The last row is at total - 1
    // spacings from the first row without ticks, at the last tick's with ticks.
    double spacing = 0.0;
    double origin = 0.0;
    double lastSteps = 0.0;
    if (HasTicks()) {
        spacing = s.m_dScale;
        origin = X(firstRow, level) - static_cast<double>(Tick(firstRow)) * spacing;
        lastSteps = static_cast<double>(total);
    } else if (RangeLast() > RangeFirst()) {
        spacing = X(firstRow + 1, level) - X(firstRow, level);
        origin = X(firstRow, level);
        lastSteps = static_cast<double>(total - 1);
    }
    if (!PositiveFinite(spacing))
        return static_cast<int>(std::max<std::int64_t>(total, 0));
    // A row computed to lie on the edge may come out a hair beyond it.
    const double steps = std::floor((s.m_rcPlot.right - origin) / spacing + 1e-6);
    const double shift = steps - lastSteps;
    const double last = s.m_nLeftIndex - shift + 1.0;
    if (!std::isfinite(last))
        return static_cast<int>(total);
    return static_cast<int>(std::clamp<double>(last, 0.0, static_cast<double>(total)));
}

void GraphModel::OnHScroll(ScrollCode code, int position, int pointerX)
{
    GraphScroller(*this).OnHScroll(code, position, pointerX);
}

void GraphModel::OnVScroll(ScrollCode code, int position)
{
    GraphScroller(*this).OnVScroll(code, position);
}

// ---------------------------------------------------------------------------------------------
// Real-time reading

int GraphModel::NewestSegmentPoint() const
{
    return ShownCount() - RangeFirst();
}

RealTimeAction GraphModel::UpdateRealTimePlot(bool frameReading)
{
    return RealTimeGrowth(*this).UpdateRealTimePlot(frameReading);
}

}  // namespace shakemeter
