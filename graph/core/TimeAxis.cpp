#include "graph/core/TimeAxis.h"

#include <algorithm>
#include <cmath>

#include "graph/core/AxisText.h"
#include "recording/PixelMath.h"

namespace shakemeter {

namespace {

// A step computation must never end in an endless walk over steps; no screen or page is this
// many steps wide.
constexpr int kMostAxisSteps = 100000;

}  // namespace

int TimeAxis::TimeStep() const
{
    const GraphState& s = m_model.m_state;
    const double scale = s.m_dScale;
    const int width = s.m_rcPlot.width();
    if (!PositiveFinite(scale) || width <= 0)
        return 0;
    const double target = width * 0.125;
    // The smallest steps >= 1 with steps * scale >= target; steps * scale grows with steps, so
    // starting near the quotient and stepping gives what counting from 1 gives.
    const double estimate = std::floor(target / scale);
    if (!(estimate < 2.0e9))
        return 0;
    int steps = std::max(1, static_cast<int>(estimate) - 1);
    while (steps > 1 && (steps - 1) * scale >= target)
        --steps;
    while (steps * scale < target)
        ++steps;
    return steps;
}

std::vector<TimeStepMark> TimeAxis::TimeSteps(const VisibleRange& range) const
{
    std::vector<TimeStepMark> marks;
    const GraphState& s = m_model.m_state;
    const int stepSamples = TimeStep();
    if (stepSamples == 0 || !m_model.ScalesUsable() || m_model.RangeLast() < m_model.RangeFirst())
        return marks;
    const PlotRect& plot = s.m_rcPlot;
    const int level = s.g_nZoomLevel;
    const int firstRow = m_model.RangeFirst() - 1;
    const double scale = s.m_dScale;
    if (m_model.HasTicks()) {
        const int anchorRow = range.first > 0 ? firstRow + range.first - 1 : firstRow;
        double anchorX = m_model.X(anchorRow, level);
        std::int64_t stepsBefore = 0;
        if (anchorX > plot.left) {
            stepsBefore = TruncToInt((anchorX - plot.left) / scale + 1.0);
            anchorX -= stepsBefore * scale;
        }
        const std::int64_t anchorTick = m_model.Tick(anchorRow);
        // The row the steps count from may stand far left of the plot (the last row before a gap
        // of hours): the steps up to a step short of the left edge are passed over at once, not
        // walked one by one until the walk gives up before reaching the plot.
        std::int64_t offset = 0;
        if (anchorX < plot.left) {
            const double before = std::floor((plot.left - anchorX) / (stepSamples * scale)) - 1.0;
            if (before > 0.0)
                offset = static_cast<std::int64_t>(std::min(before, 1.0e15)) * stepSamples;
        }
        for (int n = 0; n < kMostAxisSteps; ++n, offset += stepSamples) {
            const int x = TruncToInt(anchorX + static_cast<double>(offset) * scale);
            if (x > plot.right)
                break;
            if (x < plot.left)
                continue;
            marks.push_back({x, anchorRow + offset, anchorTick + offset - s.m_nHShift - stepsBefore});
        }
        return marks;
    }
    const double firstX = m_model.X(firstRow, level);
    for (int n = 0, j = range.first; n < kMostAxisSteps; ++n, j += stepSamples) {
        const int x = TruncToInt((s.m_nHShift + j - 1) * scale + firstX);
        if (x > plot.right)
            break;
        if (x < plot.left)
            continue;
        const std::int64_t row = static_cast<std::int64_t>(j) + firstRow - 1;
        marks.push_back({x, row, row});
    }
    return marks;
}

bool TimeAxis::StartOnlyAxis() const
{
    const int shown = m_model.ShownCount();
    if (m_model.HasTicks()) {
        const int lastRow = std::min(shown, m_model.TableRows()) - 1;
        return lastRow >= 0 && m_model.Tick(lastRow) == 0;
    }
    return shown == 1;
}

TimeLabelLines TimeAxis::StepLabel(const TimeStepMark& mark) const
{
    TimeLabelLines lines;
    if (!m_model.HasView())
        return lines;
    if (m_model.FrequencyMode()) {
        lines.time = FormatInteger(mark.row);
        return lines;
    }
    std::string text;
    if (m_model.HasTicks())
        text = m_model.FormatTickTime(mark.tick);
    else if (mark.row >= 0 && mark.row <= 0x7FFFFFFF)
        text = m_model.SampleTimeText(static_cast<int>(mark.row));
    // A step before the first row (scrolled to the very start) names no time.
    if (!text.empty())
        SplitTimeLabel(text, lines.time, lines.date);
    return lines;
}

std::vector<std::string> TimeAxis::ValueLabels() const
{
    std::vector<std::string> labels;
    const auto& ticks = m_model.m_state.g_dYTick[static_cast<std::size_t>(m_model.m_state.g_nZoomLevel & 1)];
    for (double tick : ticks)
        labels.push_back(FormatFixed(tick, 3));
    return labels;
}

}  // namespace shakemeter
