#include "graph/core/OverlayAlignment.h"

#include <cmath>

#include "analysis/vibration/TimeRows.h"
#include "recording/CalendarTime.h"

namespace shakemeter {

std::optional<double> RowSeconds(const Recording& recording, std::size_t row)
{
    const vibration::TimeRows rows = vibration::TimeRowsOf(recording);
    if (row >= rows.count)
        return std::nullopt;
    return static_cast<double>(rows.tick(row)) * rows.dt;
}

double OverlayShiftSeconds(const Recording& shown, const Recording& compared, const OverlayAlignment& alignment)
{
    double shift = 0.0;
    switch (alignment.by) {
    case AlignBy::Clock: {
        // The headers hold whole seconds of the logger's wall clock.
        const std::int64_t shownStart = CalendarTime::FromLocal(HeaderStart(shown.m_header)).seconds();
        const std::int64_t comparedStart = CalendarTime::FromLocal(HeaderStart(compared.m_header)).seconds();
        shift = static_cast<double>(comparedStart - shownStart);
        break;
    }
    case AlignBy::FirstSample: {
        // The first rows meet, not the ticks 0: a motion recording's first row may stand later.
        const std::optional<double> shownFirst = RowSeconds(shown, 0);
        const std::optional<double> comparedFirst = RowSeconds(compared, 0);
        if (shownFirst && comparedFirst)
            shift = *shownFirst - *comparedFirst;
        break;
    }
    case AlignBy::Event: {
        const std::optional<double> shownEvent = RowSeconds(shown, alignment.mainEventRow);
        const std::optional<double> comparedEvent = RowSeconds(compared, alignment.overlayEventRow);
        if (shownEvent && comparedEvent)
            shift = *shownEvent - *comparedEvent;
        break;
    }
    }
    if (std::isfinite(alignment.offsetSeconds))
        shift += alignment.offsetSeconds;
    return shift;
}

}  // namespace shakemeter
