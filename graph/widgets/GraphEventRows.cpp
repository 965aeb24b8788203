#include "graph/widgets/GraphEventRows.h"

#include "analysis/vibration/LoggerEvents.h"

namespace shakemeter {

std::vector<EventRow> GraphEventRows(const Recording& recording, const vibration::EventOptions& options)
{
    std::vector<EventRow> rows;
    const vibration::Events events = vibration::DetectEvents(vibration::TimeRowsOf(recording), options);
    for (const vibration::Shock& shock : events.shocks)
        rows.push_back({shock.peakRow, EventMarkKind::Shock});
    for (const vibration::FreeFall& fall : events.freeFalls)
        rows.push_back({fall.firstRow, EventMarkKind::Fall});
    for (std::size_t row : vibration::LoggerEventRows(recording))
        rows.push_back({row, EventMarkKind::LoggerFall});
    return rows;
}

}  // namespace shakemeter
