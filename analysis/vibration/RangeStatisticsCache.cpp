#include "analysis/vibration/RangeStatisticsCache.h"

namespace shakemeter::vibration {

bool RangeStatisticsCache::Holds(const TimeRows& rows, RowRange range) const
{
    // Only rows in the store they were read from count as the old ones: a reading's store is
    // made whole at its start, so another reading or file, even one that starts and ends with the
    // same rows, lives elsewhere. The rows at the ends are compared too, so that another
    // recording given the freed store of the old one does not pass for it either.
    const RowRange& had = m_last->range;
    return rows.rows == m_rows && had.from == range.from && had.to <= range.to && rows.rows[had.from] == m_first &&
           rows.rows[had.to] == m_end;
}

const RangeStatistics& RangeStatisticsCache::Update(const TimeRows& rows, RowRange range, bool growing)
{
    const bool held = m_last && Holds(rows, range);
    if (held && m_last->range.to == range.to) {
        m_lastWork = Work::None;
    } else if (held && growing) {
        const RowRange added{m_last->range.to + 1, range.to};
        m_last = JoinRangeStatistics(*m_last, ComputeRangeStatistics(rows.rows, added));
        m_lastWork = Work::Appended;
    } else {
        m_last = ComputeRangeStatistics(rows.rows, range);
        m_lastWork = Work::Full;
    }
    m_rows = rows.rows;
    m_first = rows.rows[range.from];
    m_end = rows.rows[range.to];
    return *m_last;
}

}  // namespace shakemeter::vibration
