#include "analysis/vibration/TimeRows.h"

#include <algorithm>

namespace shakemeter::vibration {

TimeRows TimeRowsOf(const Recording& recording)
{
    TimeRows rows;
    const RecordingHeader& header = recording.m_header;
    rows.count = TimeDomainRowCount(recording);
    rows.rows = rows.count > 0 ? recording.m_pSamples.data() : nullptr;
    if (recording.IsMotion()) {
        // A row without a stored tick has no place in time; such rows are left out.
        rows.count = std::min(rows.count, recording.m_pSampleTicks.size());
        rows.ticks = recording.m_pSampleTicks.data();
    }
    rows.dt = SecondsPerSample(header, recording.m_bRealTime != 0);
    return rows;
}

RangeChoice ChooseRange(std::size_t count, std::optional<std::size_t> from, std::optional<std::size_t> to)
{
    RangeChoice choice;
    if (count == 0) {
        choice.refusal = "the recording has no rows";
        return choice;
    }
    const std::size_t last = count - 1;
    const std::size_t first = from.value_or(0);
    const std::size_t end = to.value_or(last);
    if (first > last || end > last) {
        choice.refusal =
            "row " + std::to_string(std::max(first, end)) + " is past the last row, " + std::to_string(last);
        return choice;
    }
    if (first > end) {
        choice.refusal = "the first row, " + std::to_string(first) + ", is after the last, " + std::to_string(end);
        return choice;
    }
    choice.range = RowRange{first, end};
    return choice;
}

}  // namespace shakemeter::vibration
