#include "graph/core/GraphModel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graph/core/AxisText.h"
#include "graph/core/GraphLayout.h"
#include "graph/core/PixelMath.h"
#include "graph/core/RtWindowTable.h"
#include "graph/core/ZoomMapping.h"

namespace shakemeter {

namespace {

// A scroll or pointer computation must never end in an endless walk over steps; no screen or
// page is this many steps wide.
constexpr int MAX_AXIS_STEPS = 100000;

bool PositiveFinite(double value)
{
    return std::isfinite(value) && value > 0.0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Point table

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
    return m_document != nullptr && m_document->isMotion();
}

std::int64_t GraphModel::Tick(int row) const
{
    if (m_document == nullptr || row < 0)
        return row;
    return m_document->tickOf(static_cast<std::size_t>(row));
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
    const int n = ShownCount();
    const int width = s.m_rcPlot.width();
    const int first = RangeFirst();
    const int last = RangeLast();

    if (frameReading && m_document != nullptr && m_document->m_bRealTime) {
        if (n == 1) {
            s.g_nZoomLevel = 0;
            s.g_bFullView = true;
            s.m_nRtWindowIdx = 0;
            s.m_nHShift = 0;
            s.m_nLeftIndex = 0;
            s.m_nVShift[0] = 0;
            s.m_nVScrollBase = 0;
        }
        std::vector<int>& table = m_view->m_nRtWindow;
        if (table.empty())
            table.push_back(RT_FIRST_WINDOW);
        s.m_nRtWindowIdx = std::clamp(s.m_nRtWindowIdx, 0, static_cast<int>(table.size()) - 1);
        const int w = std::max(2, table[static_cast<std::size_t>(s.m_nRtWindowIdx)]);
        s.m_dFullScale = static_cast<double>(width) / (w - 1);
        if (n - m_view->m_nRangeFirst >= w) {
            s.m_bRtAxisGrown = true;
            s.m_dRtScale = RtNarrowedScale(width, w);
            ++s.m_nRtWindowIdx;
            // A reading longer than it asked for keeps growing instead of writing past the table.
            if (static_cast<std::size_t>(s.m_nRtWindowIdx) >= table.size())
                table.push_back(0);
            table[static_cast<std::size_t>(s.m_nRtWindowIdx)] = TruncToInt(width / s.m_dRtScale + 1.0);
        }
    } else if (n > 1) {
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
    ValueMapping& map = m_positions.mapping(0);
    map.bottom = s.m_rcPlot.bottom;
    map.height = s.m_rcPlot.height();
    map.low = s.g_dYTick[0][0];
    map.high = s.g_dYTick[0][10];
    if (n < 1 || last < first)
        return;

    const int f = first - 1;
    const double scale = s.m_dScale;
    if (HasTicks()) {
        const std::int64_t tickF = Tick(f);
        const double xf = s.m_rcPlot.left + tickF * scale;
        m_positions.setX(0, static_cast<std::size_t>(f), xf);
        for (int i = f + 1; i <= last - 1; ++i)
            m_positions.setX(0, static_cast<std::size_t>(i), xf + (Tick(i) - tickF) * scale);
    } else {
        m_positions.FillEvenly(static_cast<std::size_t>(f), static_cast<std::size_t>(std::max(f + 1, last)), s.m_rcPlot.left, scale);
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
        m_positions.setX(1, row, previous + (Tick(static_cast<int>(row)) - Tick(static_cast<int>(row) - 1)) * m_state.m_dScale);
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
    const int f = first - 1;
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
        for (int i = f; i <= last - 1; ++i) {
            const double fullX = m_positions.x(0, static_cast<std::size_t>(i));
            m_positions.setX(1, static_cast<std::size_t>(i), zoom.ZoomedX(zoom.DistanceLeftOfBand(fullX)));
        }
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
        for (std::size_t i = static_cast<std::size_t>(f); i < m_positions.zoomedEnd() && i < m_positions.rows(); ++i)
            m_positions.setX(1, i, (m_positions.x(1, i) - oldLeft) / oldWidth * newWidth + current.left);
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
        const int lvl = s.g_nZoomLevel;
        const double L = current.left;
        if (HasTicks()) {
            const double sp = s.m_dScale;
            const double xf = X(f, lvl) - Tick(f) * sp;
            if (IsUsableDivisor(sp))
                s.m_nLeftIndex = TruncToInt(s.m_nHShift + (L - (s.m_nHShift * sp + xf)) / sp);
        } else {
            const double sp = X(f + 1, lvl) - X(f, lvl);
            if (IsUsableDivisor(sp))
                s.m_nLeftIndex = TruncToInt(s.m_nHShift + (L - (s.m_nHShift * sp + X(f, lvl))) / sp);
        }
        s.m_siHorz.position = s.m_nLeftIndex - s.m_nHShift + 1;
        const auto& ticks = s.g_dYTick[static_cast<std::size_t>(lvl)];
        const double d = ticks[1] - ticks[0];
        if (IsUsableDivisor(d)) {
            s.m_nVScrollBase = TruncToInt((ticks[5] - m_view->m_dYMin) / d);
            s.m_nVScrollRange = TruncToInt((m_view->m_dYMax - m_view->m_dYMin) / d);
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
    const PlotRect& p = s.m_rcPlot;
    const int first = RangeFirst();
    const int last = RangeLast();
    const int lvl = s.g_nZoomLevel;
    VisibleRange range;
    if (HasTicks()) {
        if (last < first)
            return range;
        const int f = first - 1;
        const double off = s.m_nHShift * s.m_dScale;
        if (X(last - 1, lvl) + off < p.left || X(f, lvl) + off > p.right)
            return range;
        const int count = last - first + 1;
        range.first = count;
        for (int k = 1; k <= count; ++k) {
            if (X(f + k - 1, lvl) + off >= p.left) {
                range.first = k;
                break;
            }
        }
        if (range.first > 1)
            --range.first;
        range.last = count;
        for (int k = 1; k <= count; ++k) {
            if (X(f + k - 1, lvl) + off >= p.right) {
                range.last = k;
                break;
            }
        }
        return range;
    }
    range.first = s.m_nLeftIndex - s.m_nHShift + 1;
    if (PositiveFinite(s.m_dScale))
        range.last = TruncToInt(p.width() / s.m_dScale + range.first + 2.0);
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
    if (m_view != nullptr)
        m_view->m_bPlotReady = true;
}

int GraphModel::TimeStep() const
{
    const GraphState& s = m_state;
    const double scale = s.m_dScale;
    const int width = s.m_rcPlot.width();
    if (!PositiveFinite(scale) || width <= 0)
        return 0;
    const double target = width * 0.125;
    // The smallest k >= 1 with k * scale >= target; k * scale grows with k, so starting near the
    // quotient and stepping gives what counting from 1 gives.
    const double estimate = std::floor(target / scale);
    if (!(estimate < 2.0e9))
        return 0;
    int k = std::max(1, static_cast<int>(estimate) - 1);
    while (k > 1 && (k - 1) * scale >= target)
        --k;
    while (k * scale < target)
        ++k;
    return k;
}

std::vector<TimeStepMark> GraphModel::TimeSteps(const VisibleRange& range) const
{
    std::vector<TimeStepMark> marks;
    const GraphState& s = m_state;
    const int k = TimeStep();
    if (k == 0 || !ScalesUsable() || RangeLast() < RangeFirst())
        return marks;
    const PlotRect& p = s.m_rcPlot;
    const int lvl = s.g_nZoomLevel;
    const int f = RangeFirst() - 1;
    const double scale = s.m_dScale;
    if (HasTicks()) {
        const int v = range.first > 0 ? f + range.first - 1 : f;
        double ref = X(v, lvl);
        std::int64_t t = 0;
        if (ref > p.left) {
            t = TruncToInt((ref - p.left) / scale + 1.0);
            ref -= t * scale;
        }
        const std::int64_t tickV = Tick(v);
        for (int n = 0, j = range.first; n < MAX_AXIS_STEPS; ++n, j += k) {
            const int x = TruncToInt(ref + (j - range.first) * scale);
            if (x > p.right)
                break;
            if (x < p.left)
                continue;
            marks.push_back({x, v + (j - range.first), tickV + (j - range.first) - s.m_nHShift - t});
        }
        return marks;
    }
    const double xf = X(f, lvl);
    for (int n = 0, j = range.first; n < MAX_AXIS_STEPS; ++n, j += k) {
        const int x = TruncToInt((s.m_nHShift + j - 1) * scale + xf);
        if (x > p.right)
            break;
        if (x < p.left)
            continue;
        const std::int64_t row = static_cast<std::int64_t>(j) + f - 1;
        marks.push_back({x, row, row});
    }
    return marks;
}

bool GraphModel::StartOnlyAxis() const
{
    const int n = ShownCount();
    if (HasTicks()) {
        const int lastRow = std::min(n, TableRows()) - 1;
        return lastRow >= 0 && Tick(lastRow) == 0;
    }
    return n == 1;
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

TimeLabelLines GraphModel::StepLabel(const TimeStepMark& mark) const
{
    TimeLabelLines lines;
    if (m_view == nullptr)
        return lines;
    if (FrequencyMode()) {
        lines.time = FormatInteger(mark.row);
        return lines;
    }
    std::string text;
    if (HasTicks())
        text = FormatTickTime(mark.tick);
    else if (mark.row >= 0 && mark.row <= 0x7FFFFFFF && m_document != nullptr)
        text = m_view->FormatSampleTime(*m_document, static_cast<int>(mark.row));
    // A step before the first row (scrolled to the very start) names no time.
    if (!text.empty())
        SplitTimeLabel(text, lines.time, lines.date);
    return lines;
}

std::vector<std::string> GraphModel::ValueLabels() const
{
    std::vector<std::string> labels;
    const auto& ticks = m_state.g_dYTick[static_cast<std::size_t>(m_state.g_nZoomLevel & 1)];
    for (double tick : ticks)
        labels.push_back(FormatFixed(tick, 3));
    return labels;
}

// ---------------------------------------------------------------------------------------------
// Trace segments

SegmentEnds GraphModel::SegmentEndsOf(int p, int trace, int firstVisible) const
{
    const GraphState& s = m_state;
    const int z = s.g_nZoomLevel;
    const int F = RangeFirst();
    SegmentEnds e;
    e.rowA = F + p - 2;
    e.rowB = e.rowA + 1;
    e.y0 = TruncToInt(Position(e.rowA, trace, z).y);
    e.y1 = TruncToInt(Position(e.rowB, trace, z).y);
    const double scale = s.m_dScale;
    if (!HasTicks()) {
        const double x0 = Position(F - 1, trace, z).x;
        e.x0 = TruncToInt((p - 1 + s.m_nHShift) * scale + x0);
        e.x1 = TruncToInt((p + s.m_nHShift) * scale + x0);
        return e;
    }
    const int v = firstVisible != 0 ? F + firstVisible - 2 : F - 1;
    double xv = Position(v, 0, z).x;
    std::int64_t tv = Tick(v);
    if (s.m_rcPlot.left < xv && PositiveFinite(scale)) {
        const std::int64_t shift = TruncToInt((xv - s.m_rcPlot.left) / scale + 1.0);
        xv = xv - shift * scale;
        tv = tv - shift;
    }
    const std::int64_t tickA = Tick(e.rowA);
    const std::int64_t tickB = Tick(e.rowB);
    e.x0 = TruncToInt((tickA - tv + s.m_nHShift) * scale + xv);
    e.x1 = TruncToInt((tickB - tv + s.m_nHShift) * scale + xv);
    e.joined = tickB - tickA == 1;
    return e;
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
    const GraphState& s = m_state;
    const int z = s.g_nZoomLevel;
    const int F = RangeFirst();
    // The same positions Position() gives, each looked up only for the coordinate it is used for.
    const double base = m_positions.x(z, static_cast<std::size_t>(F - 1));
    const double step = m_positions.x(z, static_cast<std::size_t>(F)) - base;
    return SpanPointMapper(TableData(), static_cast<std::size_t>(std::max(0, TableRows())), m_positions.rows(),
                           m_positions.mapping(z), base, step, F, s.m_nHShift);
}

int GraphModel::CollectGroups(int first, int last, int p, std::vector<GroupExtremes>& groups) const
{
    groups.clear();
    const SampleRow* rows = TableData();
    if (p < 1 || last < first || rows == nullptr)
        return first;
    const int count = (last - first + 1) / p;
    const std::int64_t f = RangeFirst() - 1;
    const std::int64_t tableRows = TableRows();
    // A long recording's groups come from its block extremes; a group narrower than two blocks
    // gains nothing from them.
    const RowExtremes* index = nullptr;
    if (!FrequencyMode() && m_document != nullptr && static_cast<std::size_t>(p) >= 2 * RowExtremes::BLOCK_ROWS)
        index = m_document->RowExtremesIndex();
    groups.resize(static_cast<std::size_t>(count));
    int s = first;
    for (int g = 0; g < count; ++g) {
        const int e = first + (g + 1) * p - 1;
        GroupExtremes& group = groups[static_cast<std::size_t>(g)];
        group.from = s;
        group.to = e;
        // Extremes start at s, so a group whose values all lie beyond the sentinels still draws.
        // Points s + 1 .. e - 1 are rows f + s .. f + e - 2 of the table.
        ColumnExtremes extremes;
        extremes.minimum.fill(50000.0);
        extremes.maximum.fill(-50000.0);
        extremes.minimumRow.fill(f + s - 1);
        extremes.maximumRow.fill(f + s - 1);
        const std::int64_t begin = std::max<std::int64_t>(f + s, 0);
        const std::int64_t end = std::min<std::int64_t>(f + e - 1, tableRows);
        if (begin < end) {
            if (index != nullptr)
                index->Fold(rows, static_cast<std::size_t>(begin), static_cast<std::size_t>(end), extremes);
            else
                extremes.FoldRows(rows, static_cast<std::size_t>(begin), static_cast<std::size_t>(end));
        }
        const auto valuesAt = [&](std::int64_t row, std::array<double, 4>& values) {
            if (row >= 0 && row < tableRows)
                values = rows[row];
            else
                values.fill(0.0);
        };
        for (std::size_t c = 0; c < 4; ++c) {
            group.minimumAt[c] = static_cast<int>(extremes.minimumRow[c] - f + 1);
            group.maximumAt[c] = static_cast<int>(extremes.maximumRow[c] - f + 1);
            valuesAt(extremes.minimumRow[c], group.atMinimum[c]);
            valuesAt(extremes.maximumRow[c], group.atMaximum[c]);
        }
        s = e;
    }
    return count * p + first - 1;
}

bool GraphModel::SegmentVisible(const SegmentEnds& e, const PlotRect& p)
{
    if (e.y0 <= p.top && e.y1 <= p.top && !(e.y0 == p.top && e.y1 == p.top))
        return false;
    if (e.y0 >= p.bottom && e.y1 >= p.bottom && !(e.y0 == p.bottom && e.y1 == p.bottom))
        return false;
    if (e.x0 < p.left && e.x1 < p.left)
        return false;
    if (e.x0 > p.right && e.x1 > p.right)
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
    if (v.m_bAutoScaleY && v.m_dYMax == v.m_dAutoMax && v.m_dYMin == v.m_dAutoMin)
        return false;
    v.m_dYMax = v.m_dAutoMax;
    v.m_dYMin = v.m_dAutoMin;
    v.m_bAutoScaleY = true;
    return true;
}

bool GraphModel::OnFullScale()
{
    if (m_view == nullptr || !m_view->m_bAutoScaleY)
        return false;
    m_view->m_dYMax = m_state.m_dPresetYMax;
    m_view->m_dYMin = m_state.m_dPresetYMin;
    m_view->m_bAutoScaleY = false;
    return true;
}

void GraphModel::OnZoomOut()
{
    GraphState& s = m_state;
    if (m_view != nullptr)
        m_view->m_bPlotReady = false;
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
    if (!MouseEnabled())
        return;
    GraphState& s = m_state;
    point = ClampToPlot(point, true);
    s.g_bCursorHidden = true;
    s.g_bBandActive = true;
    s.g_bBandUnmoved = true;
    s.g_ptAnchor = point;
    s.g_ptBandEnd = point;
    s.g_dZoomLeft = point.x;
    s.g_dZoomTop = point.y;
}

bool GraphModel::DragBand(PlotPoint point)
{
    GraphState& s = m_state;
    if (!MouseEnabled() || !s.g_bBandActive)
        return false;
    s.m_bBandDragging = true;
    point = ClampToPlot(point, true);
    if (point != s.g_ptAnchor)
        s.g_bBandUnmoved = false;
    s.g_ptBandEnd = point;
    return true;
}

bool GraphModel::ButtonUp(PlotPoint point)
{
    GraphState& s = m_state;
    s.m_bBandDragging = false;
    if (!MouseEnabled())
        return false;
    point = ClampToPlot(point, true);
    s.g_bBandActive = false;
    if (s.g_bBandUnmoved || std::fabs(point.x - s.g_dZoomLeft) <= 3.0)
        return false;
    return AcceptZoom(point);
}

bool GraphModel::AcceptZoom(PlotPoint corner)
{
    GraphState& s = m_state;
    if (m_view == nullptr)
        return false;
    s.g_dZoomRight = corner.x;
    s.g_dZoomBottom = corner.y;
    const int first = RangeFirst();
    if (s.g_nZoomLevel == 1) {
        s.g_dYTick[0] = s.g_dYTick[1];
        m_positions.CopyZoomedToBase(static_cast<std::size_t>(first - 1),
                                     static_cast<std::size_t>(std::max(0, std::min(ShownCount(), TableRows()))));
    }
    if (s.g_dZoomLeft > s.g_dZoomRight)
        std::swap(s.g_dZoomLeft, s.g_dZoomRight);
    if (s.g_dZoomTop > s.g_dZoomBottom)
        std::swap(s.g_dZoomTop, s.g_dZoomBottom);

    const PlotRect& p = s.m_rcPlot;
    const double plotWidth = p.width();
    const double bandWidth = s.g_dZoomRight - s.g_dZoomLeft;
    if (plotWidth <= 0.0 || p.height() <= 0 || bandWidth <= 0.0) {
        s.m_bZoomPending = false;
        return false;
    }
    const ZoomMapping zoom = PendingZoom(p);
    // Measured from the first shown row: the positions of rows before it are not computed.
    const double firstRowDistance = zoom.DistanceLeftOfBand(X(first - 1, 0));
    const double spacing = zoom.ZoomedX(firstRowDistance - s.m_dScale) - zoom.ZoomedX(firstRowDistance);
    const double valueStep = zoom.NextTickValue() - zoom.BottomValue();
    if (valueStep >= 0.001 && spacing < plotWidth && PositiveFinite(spacing)) {
        s.g_nZoomLevel = 1;
        s.m_nVShift[1] = 0;
        s.m_bZoomPending = true;
        s.g_bFullView = false;
        s.g_bScrollSynced = false;
        s.g_bBandUnmoved = true;
        s.m_dScale = spacing;
        s.g_rcZoomPlot = p;
        s.m_bScrollBarsEnabled = true;
        return true;
    }
    s.m_bZoomPending = false;
    return false;
}

bool GraphModel::BandWatchdog(PlotPoint pointer, const PlotRect& client)
{
    GraphState& s = m_state;
    const PlotRect& p = s.m_rcPlot;
    const int lower = client.bottom > p.bottom ? p.bottom + 20 : client.bottom;
    const int right = client.right > p.right ? client.right - 20 : client.right;
    const bool inZone = p.top - 5 < pointer.y && pointer.y < lower && p.left - 50 < pointer.x && pointer.x < right;
    if (inZone || !s.g_bBandActive)
        return false;
    s.m_bZoomPending = false;
    s.g_bBandActive = false;
    s.m_bBandDragging = false;
    s.g_bBandUnmoved = true;
    return true;
}

int GraphModel::PickIndex(int x)
{
    GraphState& s = m_state;
    const int n = ShownCount();
    if (n == 1) {
        s.g_nCursorIndex = 0;
        return 0;
    }
    const int first = RangeFirst();
    const int last = RangeLast();
    if (n < 2 || last <= first)
        return s.g_nCursorIndex;
    const int lvl = s.g_nZoomLevel;
    const int f = first - 1;
    int index = s.g_nCursorIndex;
    if (!HasTicks()) {
        const double xf = X(f, lvl);
        const double spacing = X(f + 1, lvl) - xf;
        if (IsUsableDivisor(spacing)) {
            int i = TruncToInt((x - xf) / spacing + first - 1.0 - s.m_nHShift);
            const int shifted = i + s.m_nHShift;
            if (shifted >= 0 && shifted + 1 <= last - 1) {
                const double d1 = x - X(shifted, lvl);
                const double d2 = X(shifted + 1, lvl) - x;
                if (d1 > d2)
                    ++i;
            }
            index = i;
        }
    } else {
        const double off = s.m_nHShift * s.m_dScale;
        for (int i = f + 1; i <= last - 1; ++i) {
            const double xi = X(i, lvl) + off;
            if (x <= xi) {
                const double before = x - X(i - 1, lvl) - off;
                index = before <= xi - x ? i - 1 : i;
                break;
            }
        }
    }
    if (index > last - 1)
        index = last - 1;
    s.g_nCursorIndex = index;
    return index;
}

void GraphModel::UpdateReadout(int index)
{
    GraphState& s = m_state;
    const int n = ShownCount();
    if (m_view == nullptr || index < 0 || index >= n || index >= TableRows())
        return;
    const bool frequency = FrequencyMode();
    const std::string place = frequency ? FormatFixed(index, 2)
                                        : (m_document != nullptr ? m_view->FormatSampleTime(*m_document, index) : std::string());
    // Appended piece by piece: gcc 12 at -O3 warns falsely about "literal" + string.
    const auto labelled = [](const char* label, const std::string& value) {
        std::string text(label);
        text += value;
        return text;
    };
    s.g_strReadoutHead = labelled("Data Point No.:", FormatInteger(index + 1));
    s.g_strReadoutHead += frequency ? "      Frequency:" : "    Time:";
    s.g_strReadoutHead += place;
    s.g_strReadoutX = labelled("X:", FormatFixed(Value(index, 0), 2));
    s.g_strReadoutY = labelled("Y:", FormatFixed(Value(index, 1), 2));
    s.g_strReadoutZ = labelled("Z:", FormatFixed(Value(index, 2), 2));
    s.g_strReadoutV = labelled("Vector Sum:", frequency ? std::string() : FormatFixed(Value(index, 3), 2));
    s.g_nReadoutOffset = 100;
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
    const int f = RangeFirst() - 1;
    const int lvl = s.g_nZoomLevel;
    // The picture is drawn shifted by m_nHShift spacings; the last page's shift puts the last row
    // on the right edge, or less than a spacing left of it. The last row is at total - 1
    // spacings from the first row without ticks, at the last tick's with ticks.
    double spacing = 0.0;
    double origin = 0.0;
    double lastSteps = 0.0;
    if (HasTicks()) {
        spacing = s.m_dScale;
        origin = X(f, lvl) - static_cast<double>(Tick(f)) * spacing;
        lastSteps = static_cast<double>(total);
    } else if (RangeLast() > RangeFirst()) {
        spacing = X(f + 1, lvl) - X(f, lvl);
        origin = X(f, lvl);
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
    GraphState& s = m_state;
    const PlotRect& plot = s.m_rcPlot;
    // Wide arithmetic: a far scroll of a long recording must not overflow the shift.
    const std::int64_t total = HorizontalTotal();
    const std::int64_t lastPage = HorizontalLastPosition();
    const std::int64_t left = s.m_nLeftIndex;
    std::int64_t shift = s.m_nHShift;
    const std::int64_t p = left - shift + 1;
    const std::int64_t page = PositiveFinite(s.m_dScale) ? static_cast<std::int64_t>(TruncToInt(plot.width() / s.m_dScale)) + 1 : 1;
    switch (code) {
    case ScrollCode::LineBack:
        if (p > 0)
            shift += 1;
        break;
    case ScrollCode::LineForward:
        if (p < lastPage)
            shift -= 1;
        break;
    case ScrollCode::PageBack:
        shift = p > page ? shift + page : left + 1;
        break;
    case ScrollCode::PageForward:
        shift = p < lastPage - page ? shift - page : left - lastPage + 1;
        break;
    case ScrollCode::ThumbTrack:
    case ScrollCode::ThumbPosition: {
        std::int64_t target = position;
        if (code == ScrollCode::ThumbTrack && total > 32767) {
            // Thumb positions of a bar are 16-bit; the pointer tells where the thumb is.
            const int dx = pointerX - plot.left;
            const int usable = plot.width() - 60;
            if (dx < 30)
                target = 0;
            else if (pointerX > plot.right - 30)
                target = total;
            else if (usable > 0)
                target = TruncToInt(static_cast<double>(dx - 30) / usable * static_cast<double>(total));
            else
                target = 0;
        }
        shift = left - std::clamp<std::int64_t>(target, 0, lastPage) + 1;
        break;
    }
    case ScrollCode::Start:
        shift = left + 1;
        break;
    case ScrollCode::End:
        shift = left - lastPage + 1;
        break;
    case ScrollCode::Other:
        break;
    }
    s.m_nHShift = static_cast<int>(std::clamp<std::int64_t>(shift, -static_cast<std::int64_t>(PIXEL_LIMIT), static_cast<std::int64_t>(PIXEL_LIMIT)));
    s.m_siHorz.position = s.m_nLeftIndex - s.m_nHShift + 1;
}

void GraphModel::OnVScroll(ScrollCode code, int position)
{
    GraphState& s = m_state;
    s.m_bVScrolled = true;
    int& v = s.m_nVShift[static_cast<std::size_t>(s.g_nZoomLevel & 1)];
    const int r = s.m_nVScrollRange;
    const int b = s.m_nVScrollBase;
    const int q = r - b - v + 1;
    switch (code) {
    case ScrollCode::LineBack:
        if (q > 0)
            v += 1;
        break;
    case ScrollCode::LineForward:
        if (q < r)
            v -= 1;
        break;
    case ScrollCode::PageBack:
        if (q > 10)
            v += 10;
        else
            v = r - b + 1;
        break;
    case ScrollCode::PageForward:
        if (q < r - 10)
            v -= 10;
        else
            v = 1 - b;
        break;
    case ScrollCode::ThumbTrack:
    case ScrollCode::ThumbPosition:
        v = r - b - position + 1;
        break;
    case ScrollCode::Start:
        v = r - b + 1;
        break;
    case ScrollCode::End:
        v = 1 - b;
        break;
    case ScrollCode::Other:
        break;
    }
    s.m_siVert.position = r - v - b + 1;
}

// ---------------------------------------------------------------------------------------------
// Real-time reading

int GraphModel::NewestSegmentPoint() const
{
    return ShownCount() - RangeFirst();
}

RealTimeAction GraphModel::UpdateRealTimePlot(bool frameReading)
{
    GraphState& s = m_state;
    ComputePlotPoints(frameReading);
    if (s.m_bBandDragging)
        return RealTimeAction::Nothing;
    const int n = ShownCount();
    if (!s.g_bFullView) {
        const int lvl = s.g_nZoomLevel;
        const int f = RangeFirst() - 1;
        const double spacing = X(f + 1, lvl) - X(f, lvl);
        const double lastButOne = X(f, lvl) + (RangeLast() - RangeFirst() + s.m_nHShift - 1) * spacing;
        if (frameReading && !(lastButOne < s.m_rcPlot.right)) {
            if (!s.m_bVScrolled)
                s.m_nHShift -= 1;
            s.m_bVScrolled = false;
            s.m_siHorz.position = s.m_nLeftIndex - s.m_nHShift + 1;
        }
        return RealTimeAction::InvalidatePlot;
    }
    if (s.m_bRtAxisGrown) {
        s.m_bRtAxisGrown = false;
        return RealTimeAction::RepaintPanelErase;
    }
    if (n < 3)
        return RealTimeAction::RepaintPanelErase;
    const PlotRect& p = s.m_rcPlot;
    for (int t = 0; t < TraceCount(); ++t) {
        const int y0 = TruncToInt(Position(n - 2, t, 0).y);
        const int y1 = TruncToInt(Position(n - 1, t, 0).y);
        const auto crosses = [&](int line) { return (y0 < line && y1 > line) || (y0 > line && y1 < line); };
        if (crosses(p.top) || crosses(p.bottom))
            return RealTimeAction::RepaintPanel;
    }
    return RealTimeAction::DrawNewestSegment;
}

}  // namespace shakemeter
