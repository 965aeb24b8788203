#include "graph/core/GraphExtras.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace shakemeter {

namespace {

using L = ExtrasLayout;

// How many spans of the plan touch a rectangle: the legend covers what lies beneath it.
int SpansUnder(const TracePlan& traces, const PlotRect& box)
{
    int hidden = 0;
    for (const TraceSpan& span : traces.spans) {
        const SegmentEnds& e = span.ends;
        const int left = std::min(e.x0, e.x1);
        const int right = std::max(e.x0, e.x1);
        const int top = std::min(e.y0, e.y1);
        const int bottom = std::max(e.y0, e.y1);
        if (right >= box.left && left < box.right && bottom >= box.top && top < box.bottom)
            ++hidden;
    }
    return hidden;
}

}  // namespace

std::optional<PlotRect> LeastHiddenCorner(const PlotRect& plot, int width, int height,
                                          std::initializer_list<const TracePlan*> spans, const PlotRect* taken)
{
    if (width + 2 * L::kLegendInset > plot.width() || height + 2 * L::kLegendInset > plot.height())
        return std::nullopt;
    const int leftX = plot.left + L::kLegendInset;
    const int rightX = plot.right - L::kLegendInset - width;
    const int topY = plot.top + L::kLegendInset;
    const int bottomY = plot.bottom - L::kLegendInset - height;
    const std::array<std::pair<int, int>, 4> corners = {
        {{rightX, topY}, {leftX, topY}, {rightX, bottomY}, {leftX, bottomY}}};
    std::optional<PlotRect> best;
    int fewest = -1;
    for (const auto& [x, y] : corners) {
        const PlotRect box{x, y, x + width, y + height};
        if (taken != nullptr && box.left < taken->right && taken->left < box.right && box.top < taken->bottom &&
            taken->top < box.bottom)
            continue;
        int hidden = 0;
        for (const TracePlan* traces : spans)
            hidden += SpansUnder(*traces, box);
        if (fewest < 0 || hidden < fewest) {
            fewest = hidden;
            best = box;
        }
    }
    return best;
}

const char* TraceName(int trace)
{
    static constexpr std::array<const char*, 4> kNames = {"X", "Y", "Z", "Vector sum"};
    return trace >= 0 && trace < 4 ? kNames[static_cast<std::size_t>(trace)] : "";
}

LegendPlan PlanLegend(const GraphPaintPlan& plan, const GraphModel& model)
{
    LegendPlan legend;
    if (!plan.drawsGraph)
        return legend;
    std::vector<int> traces;
    int longest = 0;
    for (int t = 0; t < model.TraceCount(); ++t) {
        if (model.TraceVisible(t)) {
            traces.push_back(t);
            longest = std::max(longest, static_cast<int>(std::strlen(TraceName(t))));
        }
    }
    const int width = 2 * L::kLegendPadding + L::kLegendSwatchWidth + L::kLegendGap + longest * L::kLegendCharWidth;
    const int height = 2 * L::kLegendPadding + static_cast<int>(traces.size()) * L::kLegendLineHeight;
    if (traces.empty())
        return legend;
    const PlotRect* taken = plan.overlayLegend.entries.empty() ? nullptr : &plan.overlayLegend.box;
    const std::optional<PlotRect> box = LeastHiddenCorner(plan.plot, width, height, {&plan.traces}, taken);
    if (!box)
        return legend;
    legend.box = *box;
    int y = legend.box.top + L::kLegendPadding;
    for (int t : traces) {
        LegendEntry entry;
        entry.trace = t;
        const int swatchTop = y + (L::kLegendLineHeight - L::kLegendSwatchHeight) / 2;
        entry.swatch = {legend.box.left + L::kLegendPadding, swatchTop,
                        legend.box.left + L::kLegendPadding + L::kLegendSwatchWidth,
                        swatchTop + L::kLegendSwatchHeight};
        entry.name = {entry.swatch.right + L::kLegendGap, y + 1, TraceName(t)};
        legend.entries.push_back(entry);
        y += L::kLegendLineHeight;
    }
    return legend;
}

std::vector<EventMark> PlanEventMarks(const GraphPaintPlan& plan, const GraphModel& model,
                                      const std::vector<EventRow>& events)
{
    std::vector<EventMark> marks;
    if (!plan.drawsGraph || !plan.scalesUsable || plan.frequency)
        return marks;
    const int first = model.RangeFirst();  // 1-based
    const int last = model.RangeLast();
    const int firstVisible = model.state().g_nFirstVisible;
    for (const EventRow& event : events) {
        const long long row = static_cast<long long>(event.row);
        if (row < first - 1 || row > last - 1)
            continue;
        // Point p of the drawing shows row first + p - 2; a segment starts at its point.
        const int p = static_cast<int>(row) - first + 2;
        const int x = model.SegmentEndsOf(p, 3, firstVisible).x0;
        if (x < plan.plot.left || x > plan.plot.right)
            continue;
        marks.push_back({x, event.kind});
    }
    std::sort(marks.begin(), marks.end(),
              [](const EventMark& a, const EventMark& b) { return a.x != b.x ? a.x < b.x : a.kind < b.kind; });
    marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
    return marks;
}

void PlanExtras(GraphPaintPlan& plan, const GraphModel& model, const GraphExtras& extras)
{
    if (extras.legend)
        plan.legend = PlanLegend(plan, model);
    if (!extras.events.empty())
        plan.eventMarks = PlanEventMarks(plan, model, extras.events);
}

RgbColor EventMarkColor(EventMarkKind kind)
{
    switch (kind) {
    case EventMarkKind::Shock:
        return {255, 140, 0};
    case EventMarkKind::Fall:
        return {0, 150, 255};
    case EventMarkKind::LoggerFall:
        break;
    }
    return {230, 0, 230};
}

GraphTheme ScreenTheme(const GraphColors& colors)
{
    GraphTheme theme;
    theme.colors = colors;
    return theme;
}

GraphTheme LightTheme()
{
    // Palette indices: 12 white, 6 dark red, 7 dark green, 8 dark blue, 13 black, 3 grey.
    GraphTheme theme;
    theme.colors = {12, 6, 7, 8, 13, 3};
    theme.surround = {255, 255, 255};
    theme.frame = {96, 96, 96};
    theme.systemPanel = false;
    theme.panel = {255, 255, 255};
    return theme;
}

}  // namespace shakemeter
