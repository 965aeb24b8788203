#include "recording/RecordingFile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <limits>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#include "recording/ArchiveString.h"
#include "recording/AtomicFile.h"

namespace shakemeter {

namespace {

constexpr std::size_t kRowBytes = 4 * sizeof(double);
constexpr std::size_t kTickBytes = sizeof(std::int32_t);
constexpr bool kLittleEndianHost = std::endian::native == std::endian::little;

static_assert(sizeof(SampleRow) == kRowBytes, "a row is four packed doubles");
static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559, "rows are IEEE doubles");

std::int32_t DecodeTick(const std::uint8_t* p)
{
    const std::uint32_t bits = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
        | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<std::int32_t>(bits);
}

}  // namespace

// Outside the anonymous namespace so that the iterator's full set of operations, which the
// standard algorithms may or may not use, does not count as unused code.
namespace recording_file_detail {

double DecodeDouble(const std::uint8_t* p)
{
    std::uint64_t bits = 0;
    if constexpr (kLittleEndianHost) {
        std::memcpy(&bits, p, sizeof bits);
    } else {
        for (int i = 7; i >= 0; --i)
            bits = (bits << 8) | p[i];
    }
    return std::bit_cast<double>(bits);
}

// Walks the rows of the file as a random-access range, so the sample array is allocated once and
// filled by copy construction instead of being zeroed first and overwritten after.
class RowDecoder {
public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = SampleRow;
    using difference_type = std::ptrdiff_t;
    using pointer = const SampleRow*;
    using reference = SampleRow;

    RowDecoder() = default;
    RowDecoder(const std::uint8_t* at, std::size_t stride) : m_at(at), m_stride(stride) {}

    SampleRow operator*() const
    {
        SampleRow row;
        if constexpr (kLittleEndianHost) {
            std::memcpy(row.data(), m_at, kRowBytes);
        } else {
            for (std::size_t c = 0; c < 4; ++c)
                row[c] = DecodeDouble(m_at + 8 * c);
        }
        return row;
    }
    SampleRow operator[](difference_type n) const { return *(*this + n); }

    RowDecoder& operator++() { m_at += m_stride; return *this; }
    RowDecoder operator++(int) { RowDecoder old = *this; ++*this; return old; }
    RowDecoder& operator--() { m_at -= m_stride; return *this; }
    RowDecoder operator--(int) { RowDecoder old = *this; --*this; return old; }
    RowDecoder& operator+=(difference_type n) { m_at += n * static_cast<difference_type>(m_stride); return *this; }
    RowDecoder& operator-=(difference_type n) { return *this += -n; }
    friend RowDecoder operator+(RowDecoder it, difference_type n) { return it += n; }
    friend RowDecoder operator+(difference_type n, RowDecoder it) { return it += n; }
    friend RowDecoder operator-(RowDecoder it, difference_type n) { return it -= n; }
    friend difference_type operator-(const RowDecoder& a, const RowDecoder& b)
    {
        return (a.m_at - b.m_at) / static_cast<difference_type>(a.m_stride);
    }
    friend bool operator==(const RowDecoder& a, const RowDecoder& b) { return a.m_at == b.m_at; }
    friend auto operator<=>(const RowDecoder& a, const RowDecoder& b) { return a.m_at <=> b.m_at; }

private:
    const std::uint8_t* m_at = nullptr;
    std::size_t m_stride = kRowBytes;
};

}  // namespace recording_file_detail

namespace {

using recording_file_detail::RowDecoder;

RecordingFileError FromStringStatus(ArchiveStringStatus status)
{
    switch (status) {
    case ArchiveStringStatus::Ok:
        return RecordingFileError::None;
    case ArchiveStringStatus::Truncated:
        return RecordingFileError::Truncated;
    case ArchiveStringStatus::TooLarge:
        return RecordingFileError::TooLarge;
    case ArchiveStringStatus::Invalid:
        break;
    }
    return RecordingFileError::InvalidFormat;
}

// The logger only ever produces finite values; an infinity or NaN can only come from a damaged or
// foreign file, and would poison every statistic and scale computed from the rows.
bool AllFinite(const std::vector<SampleRow>& rows)
{
    for (const SampleRow& row : rows) {
        // A finite sum proves all four finite; only otherwise (or on overflow) look closer.
        if (std::isfinite(row[0] + row[1] + row[2] + row[3]))
            continue;
        for (double value : row) {
            if (!std::isfinite(value))
                return false;
        }
    }
    return true;
}

RecordingFileResult Failure(RecordingFileError error)
{
    RecordingFileResult result;
    result.error = error;
    return result;
}

RecordingFileResult Decode(const std::uint8_t* data, std::size_t size)
{
    std::size_t pos = 0;
    std::string magic;
    const ArchiveStringStatus magicStatus = ReadArchiveString(data, size, pos, magic);
    if (magicStatus != ArchiveStringStatus::Ok)
        return Failure(FromStringStatus(magicStatus));
    if (magic != kRecordingMagic)
        return Failure(RecordingFileError::InvalidFormat);

    if (size - pos < RecordingHeader::kSize)
        return Failure(RecordingFileError::Truncated);
    const RecordingHeader header = RecordingHeader::fromBytes(data + pos);
    pos += RecordingHeader::kSize;

    // Row counts travel as int through the view, the list and the export.
    if (header.dwSampleCount > static_cast<std::uint32_t>(INT_MAX))
        return Failure(RecordingFileError::TooLarge);
    const std::size_t rows = header.dwSampleCount;
    const bool motion = header.isMotion();
    const std::size_t stride = motion ? kRowBytes + kTickBytes : kRowBytes;
    if (rows > (size - pos) / stride)
        return Failure(RecordingFileError::Truncated);
    const std::size_t rowBytes = rows * stride;
    // Every further field takes at least one byte each: the flag and one prefix per event.
    if (size - pos - rowBytes < 1 + static_cast<std::size_t>(header.wFreeFallCount))
        return Failure(RecordingFileError::Truncated);

    RecordingFileResult result;
    Recording& rec = result.recording;
    rec.m_header = header;
    const std::uint8_t* rowData = data + pos;
    if (rows > 0) {
        rec.m_pSamples.assign(RowDecoder(rowData, stride), RowDecoder(rowData, stride) + static_cast<std::ptrdiff_t>(rows));
        if (!AllFinite(rec.m_pSamples))
            return Failure(RecordingFileError::InvalidFormat);
        if (motion) {
            rec.m_pSampleTicks.resize(rows);
            for (std::size_t k = 0; k < rows; ++k)
                rec.m_pSampleTicks[k] = DecodeTick(rowData + k * stride + kRowBytes);
        }
    }
    pos += rowBytes;

    rec.m_bRealTime = data[pos];
    pos += 1;

    rec.m_pFreeFallEvents.resize(header.wFreeFallCount);
    for (std::string& text : rec.m_pFreeFallEvents) {
        const ArchiveStringStatus status = ReadArchiveString(data, size, pos, text);
        if (status != ArchiveStringStatus::Ok)
            return Failure(FromStringStatus(status));
    }
    // Bytes after the last event are ignored, as the format has no field that could hold them.
    return result;
}

void AppendLittleEndian(std::string& out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

RecordingFileResult ReadRecordingBytes(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr || size == 0)
        return Failure(RecordingFileError::Truncated);
    try {
        return Decode(data, size);
    } catch (const std::bad_alloc&) {
        return Failure(RecordingFileError::TooLarge);
    } catch (const std::length_error&) {
        return Failure(RecordingFileError::TooLarge);
    }
}

RecordingFileResult ReadRecordingFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Failure(RecordingFileError::CannotOpen);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Failure(RecordingFileError::CannotOpen);
    }
    const auto expected = static_cast<std::uint64_t>(info.st_size);
    if (expected > kMaxRecordingFileBytes) {
        ::close(fd);
        return Failure(RecordingFileError::TooLarge);
    }
    if (expected == 0) {
        ::close(fd);
        return Failure(RecordingFileError::Truncated);
    }

    std::unique_ptr<std::uint8_t[]> buffer;
    try {
        buffer = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(expected));
    } catch (const std::bad_alloc&) {
        ::close(fd);
        return Failure(RecordingFileError::TooLarge);
    }
    std::size_t got = 0;
    while (got < expected) {
        const ssize_t n = ::read(fd, buffer.get() + got, static_cast<std::size_t>(expected) - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return Failure(RecordingFileError::CannotOpen);
        }
        if (n == 0)
            break;  // the file shrank meanwhile; decode what is there
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return ReadRecordingBytes(buffer.get(), got);
}

void AppendRecordingBytes(std::string& out, const Recording& rec, int shownCount)
{
    if (shownCount == 0)
        return;

    RecordingHeader header = rec.m_header;
    const std::size_t rows = rec.rowCount();
    header.dwSampleCount = static_cast<std::uint32_t>(rows);
    const std::size_t events = std::min<std::size_t>(header.wFreeFallCount, rec.m_pFreeFallEvents.size());
    header.wFreeFallCount = static_cast<std::uint16_t>(events);
    const bool motion = header.isMotion();

    std::size_t total = ArchiveStringSize(std::strlen(kRecordingMagic)) + RecordingHeader::kSize
        + rows * (motion ? kRowBytes + kTickBytes : kRowBytes) + 1;
    for (std::size_t e = 0; e < events; ++e)
        total += ArchiveStringSize(rec.m_pFreeFallEvents[e].size());
    out.reserve(out.size() + total);

    AppendArchiveString(out, kRecordingMagic);
    const RecordingHeader::Bytes headerBytes = header.toBytes();
    out.append(reinterpret_cast<const char*>(headerBytes.data()), headerBytes.size());

    if (!motion && kLittleEndianHost) {
        if (rows > 0)
            out.append(reinterpret_cast<const char*>(rec.m_pSamples.data()), rows * kRowBytes);
    } else {
        for (std::size_t k = 0; k < rows; ++k) {
            for (double value : rec.m_pSamples[k])
                AppendLittleEndian(out, std::bit_cast<std::uint64_t>(value), 8);
            if (motion) {
                const auto tick = static_cast<std::int32_t>(rec.tickOf(k));
                AppendLittleEndian(out, static_cast<std::uint32_t>(tick), 4);
            }
        }
    }

    out.push_back(static_cast<char>(rec.m_bRealTime));
    for (std::size_t e = 0; e < events; ++e)
        AppendArchiveString(out, rec.m_pFreeFallEvents[e]);
}

bool WriteRecordingFile(const std::string& path, const Recording& rec, int shownCount)
{
    std::string bytes;
    try {
        AppendRecordingBytes(bytes, rec, shownCount);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return WriteFileAtomically(path, bytes);
}

}  // namespace shakemeter
