#include "graph/core/TracePlanner.h"

#include <algorithm>
#include <utility>

#include "graph/core/AxisText.h"

namespace shakemeter {

namespace {

// Five or more samples to a pixel column are drawn through their group's extremes.
constexpr int kLeastSamplesPerGroup = 5;
// The peak label never starts lower than this above the plot's bottom.
constexpr int kPeakLabelAboveBottom = 20;

}  // namespace

TracePlan TracePlanner::Empty() const
{
    TracePlan plan;
    if (m_peak.shown)
        plan.peakLabel = PeakLabel(m_peak.frequency);
    plan.peakLabelLowest = m_model.plot().bottom - kPeakLabelAboveBottom;
    return plan;
}

void TracePlanner::MarkPeak(TraceSpan& span) const
{
    if (!m_peak.shown || span.trace != m_peak.axis)
        return;
    span.peakAtStart = span.ends.rowA == m_peak.index;
    span.peakAtEnd = span.ends.rowB == m_peak.index;
}

void TracePlanner::AddSegment(TracePlan& plan, int p, int trace, int firstVisible)
{
    const GraphState& s = m_model.state();
    TraceSpan span;
    span.ends = m_model.SegmentEndsOf(p, trace, firstVisible);
    if (!GraphModel::SegmentVisible(span.ends, s.m_rcPlot))
        return;
    span.trace = trace;
    MarkPeak(span);
    if (s.m_bMarkPoints) {
        int& lastMarked = m_marked.g_nLastMarkX[static_cast<std::size_t>(trace & 3)];
        if (lastMarked != span.ends.x0 || s.m_dScale >= 1.0) {
            span.marks = SpanMarks::Dots;
            lastMarked = span.ends.x0;
        }
    }
    plan.spans.push_back(span);
}

void TracePlanner::AddSpan(TracePlan& plan, const SegmentEnds& ends, int trace)
{
    const GraphState& s = m_model.state();
    if (!GraphModel::SegmentVisible(ends, s.m_rcPlot))
        return;
    TraceSpan& span = plan.spans.emplace_back();
    span.ends = ends;
    span.trace = trace;
    MarkPeak(span);
    if (s.m_bMarkPoints) {
        int& lastMarked = m_marked.g_nLastTickMarkX[static_cast<std::size_t>(trace & 3)];
        if (lastMarked != ends.x0) {
            span.marks = SpanMarks::Bars;
            lastMarked = ends.x0;
        }
    }
}

TracePlan TracePlanner::Segment(int p, int trace, int firstVisible)
{
    TracePlan plan = Empty();
    AddSegment(plan, p, trace, firstVisible);
    return plan;
}

TracePlan TracePlanner::Span(int pA, int pB, int trace)
{
    TracePlan plan = Empty();
    AddSpan(plan, m_model.SpanEndsOf(pA, pB, trace), trace);
    return plan;
}

TracePlanner::Newest TracePlanner::NewestSegment()
{
    Newest newest;
    newest.traces = Empty();
    const int p = m_model.NewestSegmentPoint();
    const int firstVisible = m_model.state().m_nFirstVisible;
    for (int t = 0; t < m_model.TraceCount(); ++t) {
        if (!m_model.TraceVisible(t))
            continue;
        AddSegment(newest.traces, p, t, firstVisible);
        newest.ends.push_back(m_model.SegmentEndsOf(p, t, firstVisible));
    }
    return newest;
}

std::vector<TraceSpan>& TracePlanner::SpareSpans()
{
    static thread_local std::vector<TraceSpan> spare;
    return spare;
}

void TracePlanner::Recycle(std::vector<TraceSpan>&& spans)
{
    std::vector<TraceSpan>& spare = SpareSpans();
    if (spans.capacity() > spare.capacity())
        spare = std::move(spans);
    spans = {};
}

TracePlan TracePlanner::Plan(const VisibleRange& range)
{
    TracePlan plan = Empty();
    plan.spans = std::exchange(SpareSpans(), {});
    plan.spans.clear();
    const GraphState& s = m_model.state();
    const int lastPoint = m_model.RangeLast() - m_model.RangeFirst();
    if (range.first > lastPoint || lastPoint < 1)
        return plan;

    std::vector<int> traces;
    for (int t = 0; t < m_model.TraceCount(); ++t) {
        if (m_model.TraceVisible(t))
            traces.push_back(t);
    }
    const double perPixel = s.m_dDrawnScale > 0.0 ? 1.0 / s.m_dDrawnScale : 0.0;
    const int groupSize = perPixel < 2.0e9 ? static_cast<int>(perPixel) : 2000000000;
    if (m_model.HasTicks() || groupSize < kLeastSamplesPerGroup) {
        for (int j = std::max(1, range.first); j <= std::min(range.last - 1, lastPoint); ++j) {
            for (int t : traces)
                AddSegment(plan, j, t, range.first);
        }
        return plan;
    }

    const int first = std::max(1, range.first);
    const int last = std::min(range.last, lastPoint);
    // A group starts where the one before it ended: its first end is the last one found.
    struct GroupEnd {
        int p = -1;
        SpanPoint point;
    };
    std::vector<GroupEnd> ends(traces.size());
    std::vector<GroupExtremes> groups;
    const int rest = m_model.CollectGroups(first, last, groupSize, groups);
    const SpanPointMapper pointOf = m_model.SpanMapper();
    plan.spans.reserve(groups.size() * traces.size() * 3 * static_cast<std::size_t>(m_model.TraceCount()));
    // Each group's last point of each trace, looked up once rather than once per column: its row
    // lies hundreds of rows from the last one looked up, beyond the cache, and the spans written
    // meanwhile push it out again.
    std::vector<SpanPoint> groupEnds(groups.size() * traces.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (std::size_t i = 0; i < traces.size(); ++i)
            groupEnds[g * traces.size() + i] = pointOf(groups[g].to, traces[i]);
    }
    for (int c = 0; c < m_model.TraceCount(); ++c) {
        std::fill(ends.begin(), ends.end(), GroupEnd{});
        const std::size_t column = static_cast<std::size_t>(c);
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const GroupExtremes& group = groups[g];
            for (std::size_t i = 0; i < traces.size(); ++i) {
                const int trace = traces[i];
                GroupEnd& end = ends[i];
                const SpanPoint start = end.p == group.from ? end.point : pointOf(group.from, trace);
                const std::size_t value = static_cast<std::size_t>(trace);
                const SpanPoint low = pointOf.At(group.minimumAt[column], group.atMinimum[column][value]);
                const SpanPoint high = pointOf.At(group.maximumAt[column], group.atMaximum[column][value]);
                end.p = group.to;
                end.point = groupEnds[g * traces.size() + i];
                AddSpan(plan, GraphModel::SpanBetween(start, low), trace);
                AddSpan(plan, GraphModel::SpanBetween(low, high), trace);
                AddSpan(plan, GraphModel::SpanBetween(high, end.point), trace);
            }
        }
    }
    // The segments after the last group run, as the undecimated drawing's do, up to the last
    // visible point: the groups end a point short of the last shown row, whose sample (a shock
    // at the end of a recording) would otherwise never be drawn.
    for (int j = rest; j <= std::min(range.last - 1, lastPoint); ++j) {
        for (int t : traces)
            AddSegment(plan, j, t, range.first);
    }
    return plan;
}

}  // namespace shakemeter
