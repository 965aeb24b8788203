#include "recording/Recording.h"

#include <algorithm>

namespace shakemeter {

double SecondsPerSample(const RecordingHeader& header, bool realTime)
{
    const int interval = header.wInterval;
    if (interval == 0)
        return 1.0 / 256.0;
    if (realTime)
        return interval * 0.001;
    const int count = interval >> 2;
    switch (interval & 3) {
    case RATE_UNIT_MS:
        return count * 0.001;
    case RATE_UNIT_SECOND:
        return count;
    case RATE_UNIT_MINUTE:
        return count * 60;
    default:
        return count * 3600;
    }
}

RecordingKind Recording::Kind() const
{
    if (m_header.wInterval == 0)
        return RecordingKind::Spectrum;
    return m_bRealTime ? RecordingKind::RealTime : RecordingKind::Logged;
}

std::size_t TimeDomainRowCount(const Recording& recording)
{
    const RecordingHeader& header = recording.m_header;
    const std::size_t counted = header.wInterval == 0 ? header.dwSampleCount / 2u : header.dwSampleCount;
    return std::min<std::size_t>(counted, recording.RowCount());
}

std::size_t Recording::RowCount() const
{
    return std::min<std::size_t>(m_header.dwSampleCount, m_pSamples.size());
}

std::int64_t Recording::TickOf(std::size_t k) const
{
    if (IsMotion() && k < m_pSampleTicks.size())
        return m_pSampleTicks[k];
    return static_cast<std::int64_t>(k);
}

const RowExtremes* Recording::RowExtremesIndex() const
{
    const std::size_t rows = RowCount();
    if (m_bRealTime != 0 || rows < RowExtremes::MINIMUM_ROWS) {
        m_rowExtremes.reset();
        return nullptr;
    }
    if (m_rowExtremes == nullptr || !m_rowExtremes->Describes(m_pSamples.data(), rows))
        m_rowExtremes = std::make_shared<const RowExtremes>(m_pSamples.data(), rows);
    return m_rowExtremes.get();
}

}  // namespace shakemeter
