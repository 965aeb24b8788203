// Any byte sequence must be either refused or read into a recording that writes back to bytes
// which read again into the same recording. Reading the same bytes from a file (through an
// in-memory file, so no disk is touched) must give the same answer as reading them from memory.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "recording/RecordingFile.h"

namespace {

bool SameRecording(const shakemeter::Recording& a, const shakemeter::Recording& b)
{
    // Rows are compared as written bytes, so that -0.0 and 0.0 count as different.
    std::string bytesA;
    std::string bytesB;
    shakemeter::AppendRecordingBytes(bytesA, a, 1);
    shakemeter::AppendRecordingBytes(bytesB, b, 1);
    return bytesA == bytesB && a.m_header == b.m_header && a.m_pSamples.size() == b.m_pSamples.size() &&
           a.m_pSampleTicks == b.m_pSampleTicks && a.m_pFreeFallEvents == b.m_pFreeFallEvents &&
           a.m_bRealTime == b.m_bRealTime;
}

shakemeter::RecordingFileResult ReadThroughFile(const std::uint8_t* data, std::size_t size)
{
    static const int fd = ::memfd_create("fuzz-recording", 0);
    if (fd < 0 || ::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    return shakemeter::ReadRecordingFile("/proc/self/fd/" + std::to_string(fd));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const shakemeter::RecordingFileResult first = shakemeter::ReadRecordingBytes(data, size);
    const shakemeter::RecordingFileResult fromFile = ReadThroughFile(data, size);
    if (fromFile.error != first.error || (first.ok() && !SameRecording(first.recording, fromFile.recording)))
        std::abort();
    if (!first.ok())
        return 0;

    const shakemeter::Recording& rec = first.recording;
    if (rec.m_pSamples.size() != rec.m_header.dwSampleCount ||
        rec.m_pFreeFallEvents.size() != rec.m_header.wFreeFallCount ||
        (rec.IsMotion() ? rec.m_pSampleTicks.size() != rec.m_pSamples.size() : !rec.m_pSampleTicks.empty()))
        std::abort();

    std::string encoded;
    shakemeter::AppendRecordingBytes(encoded, rec, 1);
    const shakemeter::RecordingFileResult second =
        shakemeter::ReadRecordingBytes(reinterpret_cast<const std::uint8_t*>(encoded.data()), encoded.size());
    if (!second.ok() || !SameRecording(rec, second.recording))
        std::abort();
    return 0;
}
