#include "graph/core/GraphScroller.h"

#include <algorithm>
#include <cmath>

#include "recording/PixelMath.h"

namespace shakemeter {

namespace {

// A line back moves the thumb toward 0 and the picture's shift up by one, a line forward the
// other way; neither moves a thumb that already stands at its end (0 or last).
template <typename Int>
void StepLine(ScrollCode code, Int thumb, Int last, Int& shift)
{
    if (code == ScrollCode::LineBack && thumb > 0)
        shift += 1;
    else if (code == ScrollCode::LineForward && thumb < last)
        shift -= 1;
}

}  // namespace

void GraphScroller::OnHScroll(ScrollCode code, int position, int pointerX)
{
    GraphState& s = m_model.m_state;
    const PlotRect& plot = s.m_rcPlot;
    // Wide arithmetic: a far scroll of a long recording must not overflow the shift.
    const std::int64_t total = m_model.HorizontalTotal();
    const std::int64_t lastPage = m_model.HorizontalLastPosition();
    const std::int64_t left = s.m_nLeftIndex;
    std::int64_t shift = s.m_nHShift;
    const std::int64_t thumb = left - shift + 1;
    const std::int64_t page =
        PositiveFinite(s.m_dScale) ? static_cast<std::int64_t>(TruncToInt(plot.width() / s.m_dScale)) + 1 : 1;
    switch (code) {
    case ScrollCode::LineBack:
    case ScrollCode::LineForward:
        StepLine(code, thumb, lastPage, shift);
        break;
    case ScrollCode::PageBack:
        shift = thumb > page ? shift + page : left + 1;
        break;
    case ScrollCode::PageForward:
        shift = thumb < lastPage - page ? shift - page : left - lastPage + 1;
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
    s.m_nHShift = static_cast<int>(std::clamp<std::int64_t>(shift, -static_cast<std::int64_t>(PIXEL_LIMIT),
                                                            static_cast<std::int64_t>(PIXEL_LIMIT)));
    s.m_siHorz.position = s.m_nLeftIndex - s.m_nHShift + 1;
}

void GraphScroller::OnVScroll(ScrollCode code, int position)
{
    GraphState& s = m_model.m_state;
    s.m_bVScrolled = true;
    int& shift = s.m_nVShift[static_cast<std::size_t>(s.g_nZoomLevel & 1)];
    const int range = s.m_nVScrollRange;
    const int base = s.m_nVScrollBase;
    const int thumb = range - base - shift + 1;
    switch (code) {
    case ScrollCode::LineBack:
    case ScrollCode::LineForward:
        StepLine(code, thumb, range, shift);
        break;
    case ScrollCode::PageBack:
        if (thumb > 10)
            shift += 10;
        else
            shift = range - base + 1;
        break;
    case ScrollCode::PageForward:
        if (thumb < range - 10)
            shift -= 10;
        else
            shift = 1 - base;
        break;
    case ScrollCode::ThumbTrack:
    case ScrollCode::ThumbPosition:
        shift = range - base - position + 1;
        break;
    case ScrollCode::Start:
        shift = range - base + 1;
        break;
    case ScrollCode::End:
        shift = 1 - base;
        break;
    case ScrollCode::Other:
        break;
    }
    s.m_siVert.position = range - shift - base + 1;
}

}  // namespace shakemeter
