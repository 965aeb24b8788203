#include "graph/core/GraphScroller.h"

#include <algorithm>
#include <cmath>

#include "recording/PixelMath.h"

namespace shakemeter {

namespace {

// A page of the vertical bar is ten of its lines.
constexpr int kVerticalPage = 10;

// A line, a page, Start and End move the thumb toward or onto an end (0 or last), and the
// picture's shift by as much the other way; a line does not move a thumb already at its end.
// The thumb's own positions are the caller's.
template <typename Int>
void StepThumb(ScrollCode code, Int thumb, Int last, Int page, Int& shift)
{
    Int target = thumb;
    switch (code) {
    case ScrollCode::LineBack:
        target = thumb > 0 ? thumb - 1 : thumb;
        break;
    case ScrollCode::LineForward:
        target = thumb < last ? thumb + 1 : thumb;
        break;
    case ScrollCode::PageBack:
        target = std::max<Int>(thumb - page, 0);
        break;
    case ScrollCode::PageForward:
        target = std::min<Int>(thumb + page, last);
        break;
    case ScrollCode::Start:
        target = 0;
        break;
    case ScrollCode::End:
        target = last;
        break;
    case ScrollCode::ThumbTrack:
    case ScrollCode::ThumbPosition:
    case ScrollCode::Other:
        break;
    }
    shift += thumb - target;
}

bool IsThumbPosition(ScrollCode code)
{
    return code == ScrollCode::ThumbTrack || code == ScrollCode::ThumbPosition;
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
    if (IsThumbPosition(code)) {
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
    } else {
        StepThumb(code, thumb, lastPage, page, shift);
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
    if (IsThumbPosition(code))
        shift = range - base - position + 1;
    else
        StepThumb(code, thumb, range, kVerticalPage, shift);
    s.m_siVert.position = range - shift - base + 1;
}

}  // namespace shakemeter
