#pragma once
// The one recording the document holds: header, rows of X, Y, Z and vector sum in g, optional
// per-row ticks (motion detection) and the free-fall event texts. Owns its arrays.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "recording/RecordingHeader.h"
#include "recording/RowExtremes.h"

namespace shakemeter {

using SampleRow = std::array<double, 4>;  // [0] X, [1] Y, [2] Z, [3] vector sum, in g

enum class RecordingKind { Logged, RealTime, Spectrum };

// Seconds per sample for a header: a real-time recording counts milliseconds, a logged one
// carries an interval code (count * 4 + unit), a spectrum recording (wInterval 0) is 1/256 s.
double SecondsPerSample(const RecordingHeader& header, bool realTime);

struct Recording;
// The rows a recording shows in the time domain: dwSampleCount, or its first half for a spectrum
// recording (wInterval 0), never more than the rows that were read.
std::size_t TimeDomainRowCount(const Recording& recording);

struct Recording {
    RecordingHeader m_header;
    // Rows allocated for the recording. For a real-time reading this is the planned number of
    // points while dwSampleCount grows; otherwise it equals dwSampleCount.
    std::vector<SampleRow> m_pSamples;
    std::vector<std::int32_t> m_pSampleTicks;    // one per row with MODE_MOTION, else empty
    std::vector<std::string> m_pFreeFallEvents;  // wFreeFallCount texts "%d/%m/%y %H:%M:%S"
    std::uint8_t m_bRealTime = 0;
    // The block extremes of a long recording, made when first asked for and made again when the
    // rows are no longer those it describes. Rows are not changed in place except while a
    // real-time reading fills them, and a real-time reading is never indexed.
    mutable std::shared_ptr<const RowExtremes> m_rowExtremes;

    RecordingKind Kind() const;
    bool IsMotion() const { return m_header.IsMotion(); }
    // Rows that hold data: dwSampleCount, never more than the rows allocated.
    std::size_t RowCount() const;
    bool HasRows() const { return m_pSamples.data() != nullptr && RowCount() > 0; }
    // The tick of row k: the stored tick with MODE_MOTION, else k.
    std::int64_t TickOf(std::size_t k) const;
    // The block extremes of the rows, or null for a recording too short to gain from them or a
    // real-time reading.
    const RowExtremes* RowExtremesIndex() const;
};

}  // namespace shakemeter
