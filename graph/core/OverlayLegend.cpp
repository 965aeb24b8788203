#include "graph/core/OverlayLegend.h"

#include <algorithm>
#include <string>
#include <vector>

#include "graph/core/GraphExtras.h"
#include "recording/Utf8Text.h"

namespace shakemeter {

namespace {

using L = ExtrasLayout;

// Each shown trace has a swatch of this width, side by side.
constexpr int kSwatchPerTrace = 8;
constexpr int kLeastNameChars = 4;

// File names are UTF-8: they are measured and cut in characters, never inside one.
std::string Fitted(const std::string& name, int chars)
{
    if (static_cast<int>(Utf8Length(name)) <= chars)
        return name;
    return Utf8Prefix(name, static_cast<std::size_t>(std::max(0, chars - 3))) + "...";
}

}  // namespace

LegendPlan PlanOverlayLegend(const GraphPaintPlan& plan, const GraphModel& model)
{
    LegendPlan legend;
    const GraphOverlay* overlay = model.Overlay();
    if (overlay == nullptr || !plan.drawsGraph || plan.frequency)
        return legend;
    std::vector<int> traces;
    for (int t = 0; t < 4; ++t) {
        if (model.TraceVisible(t))
            traces.push_back(t);
    }
    if (traces.empty())
        return legend;
    const std::string shown = overlay->shownName.empty() ? kShownRecordingName : overlay->shownName;
    const std::string compared = overlay->comparedName.empty() ? kComparedRecordingName : overlay->comparedName;
    const int swatches = static_cast<int>(traces.size()) * kSwatchPerTrace;
    const int fixedWidth = 2 * L::kLegendPadding + swatches + L::kLegendGap;
    const int roomChars = (plan.plot.width() - 2 * L::kLegendInset - fixedWidth) / L::kLegendCharWidth;
    if (roomChars < kLeastNameChars)
        return legend;
    const std::string names[2] = {Fitted(shown, roomChars), Fitted(compared, roomChars)};
    const int longest = static_cast<int>(std::max(Utf8Length(names[0]), Utf8Length(names[1])));
    const int width = fixedWidth + longest * L::kLegendCharWidth;
    const int height = 2 * L::kLegendPadding + 2 * L::kLegendLineHeight;
    const std::optional<PlotRect> box = LeastHiddenCorner(plan.plot, width, height, {&plan.traces, &plan.overlay});
    if (!box)
        return legend;
    legend.box = *box;
    int y = legend.box.top + L::kLegendPadding;
    for (int line = 0; line < 2; ++line) {
        const int swatchTop = y + (L::kLegendLineHeight - L::kLegendSwatchHeight) / 2;
        int x = legend.box.left + L::kLegendPadding;
        for (std::size_t i = 0; i < traces.size(); ++i) {
            LegendEntry entry;
            entry.trace = traces[i];
            entry.compared = line == 1;
            entry.swatch = {x, swatchTop, x + kSwatchPerTrace, swatchTop + L::kLegendSwatchHeight};
            // The name goes with the line's last swatch.
            if (i + 1 == traces.size())
                entry.name = {x + kSwatchPerTrace + L::kLegendGap, y + 1, names[line]};
            legend.entries.push_back(entry);
            x += kSwatchPerTrace;
        }
        y += L::kLegendLineHeight;
    }
    return legend;
}

}  // namespace shakemeter
