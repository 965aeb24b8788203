#include "graph/core/CursorMarks.h"

#include <algorithm>
#include <utility>

#include "graph/core/CursorPlacement.h"
#include "recording/PixelMath.h"

namespace shakemeter {

std::vector<CursorMark> PlanCursorMarks(const GraphModel& model, const PlotRect& plot, int labelSize)
{
    std::vector<CursorMark> marks;
    const auto& cursors = model.Cursors();
    if (!cursors || !model.ScalesUsable() || plot.width() <= 0 || labelSize <= 0)
        return marks;
    // A line a tenth of the box wide: one pixel on the screen, visible on a page's fine pixels.
    const int lineWidth = std::max(1, labelSize / 10);
    const int gap = std::max(1, labelSize / 7);
    const std::pair<char, std::size_t> named[] = {{'A', cursors->rowA}, {'B', cursors->rowB}};
    int labelTop = plot.top + gap;
    for (const auto& [name, row] : named) {
        CursorMark mark;
        mark.name = name;
        mark.lineWidth = lineWidth;
        mark.x = TruncToInt(ColumnOfRow(model, row));
        // B's box below A's, so that both read when the cursors stand together.
        const int top = labelTop;
        labelTop += labelSize + gap;
        if (mark.x < plot.left || mark.x > plot.right)
            continue;
        // Right of the line, unless that leaves the plot.
        int left = mark.x + lineWidth + gap;
        if (left + labelSize > plot.right)
            left = mark.x - gap - labelSize;
        mark.label = {left, top, left + labelSize, top + labelSize};
        marks.push_back(mark);
    }
    return marks;
}

void PlanCursors(GraphPaintPlan& plan, const GraphModel& model)
{
    if (!plan.drawsGraph || !plan.scalesUsable || plan.frequency)
        return;
    plan.cursors = PlanCursorMarks(model, plan.plot, plan.printer ? plan.unit : kCursorLabelSize);
}

RgbColor CursorColor(char name, bool lightBackground)
{
    if (name == 'A')
        return lightBackground ? RgbColor{176, 112, 0} : RgbColor{255, 200, 0};
    return lightBackground ? RgbColor{0, 128, 112} : RgbColor{0, 224, 176};
}

}  // namespace shakemeter
