#include "graph/core/OverlayEvents.h"

#include <algorithm>

#include "graph/core/AxisText.h"
#include "recording/RecordingView.h"

namespace shakemeter {

std::vector<AlignmentEvent> AlignmentEventsOf(const Recording& recording, const vibration::EventOptions& options)
{
    std::vector<AlignmentEvent> list;
    const vibration::TimeRows rows = vibration::TimeRowsOf(recording);
    if (rows.count == 0)
        return list;
    const vibration::Events events = vibration::DetectEvents(rows, options);
    if (events.shocks.empty() && events.freeFalls.empty())
        return list;
    // The data list's time labels, from the start and interval the summary derives.
    RecordingView view;
    view.AdoptHeader(recording.m_header);
    view.RefreshSummary(recording);
    const auto timeOf = [&](std::size_t row) {
        std::string text = view.FormatSampleTime(recording, static_cast<int>(row));
        text.erase(0, text.find_first_not_of(' '));
        return text;
    };
    for (const vibration::Shock& shock : events.shocks)
        list.push_back(
            {shock.peakRow, "Shock at " + timeOf(shock.peakRow) + ", " + FormatFixed(shock.peakSum, 2) + " g"});
    for (const vibration::FreeFall& fall : events.freeFalls)
        list.push_back(
            {fall.firstRow, "Free fall at " + timeOf(fall.firstRow) + ", " + FormatFixed(fall.heightM, 2) + " m"});
    std::stable_sort(list.begin(), list.end(),
                     [](const AlignmentEvent& a, const AlignmentEvent& b) { return a.row < b.row; });
    return list;
}

}  // namespace shakemeter
