#pragma once
// The statistics of a row range that follows a graph: asked again and again for the range on
// screen, it computes only when the range or its rows changed, and while a reading appends rows
// to the range's end it adds only the new rows to what it had.

#include <optional>

#include "analysis/vibration/RangeStatistics.h"
#include "analysis/vibration/TimeRows.h"

namespace shakemeter::vibration {

class RangeStatisticsCache {
public:
    enum class Work { None, Appended, Full };

    // The statistics of rows[range] in g (range within the rows). growing: the rows are a
    // reading's, so rows already seen stay as they were and new ones come at the end.
    const RangeStatistics& Update(const TimeRows& rows, RowRange range, bool growing);
    // What the last Update had to do.
    Work lastWork() const { return m_lastWork; }
    void Clear() { m_last.reset(); }

private:
    bool Holds(const TimeRows& rows, RowRange range) const;

    std::optional<RangeStatistics> m_last;
    const SampleRow* m_rows = nullptr;
    SampleRow m_first{};  // the rows at the range's ends when it was computed
    SampleRow m_end{};
    Work m_lastWork = Work::None;
};

}  // namespace shakemeter::vibration
