// Any byte sequence must be either refused or read into a recording that writes back to bytes
// which read again into the same recording.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "recording/RecordingFile.h"

namespace {

bool SameRecording(const shakemeter::Recording& a, const shakemeter::Recording& b)
{
    // Rows are compared as written bytes: the reader refuses NaN, but -0.0 and 0.0 must differ.
    std::string bytesA;
    std::string bytesB;
    shakemeter::AppendRecordingBytes(bytesA, a, 1);
    shakemeter::AppendRecordingBytes(bytesB, b, 1);
    return bytesA == bytesB && a.m_header == b.m_header && a.m_pSamples.size() == b.m_pSamples.size()
        && a.m_pSampleTicks == b.m_pSampleTicks && a.m_pFreeFallEvents == b.m_pFreeFallEvents
        && a.m_bRealTime == b.m_bRealTime;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const shakemeter::RecordingFileResult first = shakemeter::ReadRecordingBytes(data, size);
    if (!first.ok())
        return 0;

    const shakemeter::Recording& rec = first.recording;
    if (rec.m_pSamples.size() != rec.m_header.dwSampleCount
        || rec.m_pFreeFallEvents.size() != rec.m_header.wFreeFallCount
        || (rec.isMotion() ? rec.m_pSampleTicks.size() != rec.m_pSamples.size() : !rec.m_pSampleTicks.empty()))
        std::abort();

    std::string encoded;
    shakemeter::AppendRecordingBytes(encoded, rec, 1);
    const shakemeter::RecordingFileResult second
        = shakemeter::ReadRecordingBytes(reinterpret_cast<const std::uint8_t*>(encoded.data()), encoded.size());
    if (!second.ok() || !SameRecording(rec, second.recording))
        std::abort();
    return 0;
}
