#include "recording/RtWindowTable.h"

#include <algorithm>

#include "recording/PixelMath.h"

namespace shakemeter {

double RtNarrowedScale(int plotWidth, int w)
{
    const double width = plotWidth;
    return (width - width * 0.08333333333333333) / (w - 1);
}

int NextRtWindowSize(int plotWidth, int w)
{
    if (plotWidth <= 0 || w < 2)
        return w;
    return TruncToInt(plotWidth / RtNarrowedScale(plotWidth, w) + 1.0);
}

std::vector<int> BuildRtWindowTable(int plotWidth, int requested)
{
    std::vector<int> table{RT_FIRST_WINDOW};
    for (;;) {
        const int next = NextRtWindowSize(plotWidth, table.back());
        table.push_back(next);
        // A table that cannot grow (no plot width) ends after its second entry.
        if (next >= requested || next <= table[table.size() - 2])
            break;
    }
    return table;
}

double StartRtWindowTable(ViewState& view, int plotWidth, int requested)
{
    const int width = std::max(1, plotWidth);
    view.SetRtWindow(BuildRtWindowTable(width, requested));
    return RtNarrowedScale(width, view.m_nRtWindow[view.m_nRtWindow.size() - 2]);
}

}  // namespace shakemeter
