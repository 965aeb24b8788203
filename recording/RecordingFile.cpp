#include "recording/RecordingFile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <unistd.h>

#include "recording/ArchiveString.h"
#include "recording/AtomicFile.h"
#include "recording/RegularFile.h"

namespace shakemeter {

namespace {

constexpr std::size_t kRowBytes = 4 * sizeof(double);
constexpr std::size_t kTickBytes = sizeof(std::int32_t);
constexpr bool kLittleEndianHost = std::endian::native == std::endian::little;

static_assert(sizeof(SampleRow) == kRowBytes, "a row is four packed doubles");
static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559, "rows are IEEE doubles");

std::int32_t DecodeTick(const std::uint8_t* p)
{
    if constexpr (kLittleEndianHost) {
        std::int32_t tick;
        std::memcpy(&tick, p, sizeof tick);
        return tick;
    }
    const std::uint32_t bits = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                               (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<std::int32_t>(bits);
}

void DecodeRow(const std::uint8_t* p, SampleRow& row)
{
    if constexpr (kLittleEndianHost) {
        std::memcpy(row.data(), p, kRowBytes);
    } else {
        for (std::size_t c = 0; c < 4; ++c) {
            std::uint64_t bits = 0;
            for (int i = 7; i >= 0; --i)
                bits = (bits << 8) | p[8 * c + i];
            row[c] = std::bit_cast<double>(bits);
        }
    }
}

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
bool AllFinite(const SampleRow* rows, std::size_t count)
{
    // A value is an infinity or a NaN exactly when every bit of its exponent is set, and then adding
    // one to the exponent carries into the sign bit. Gathering those carries with OR needs neither a
    // branch nor a chain of dependent additions, so the check runs as fast as the rows are read.
    constexpr std::uint64_t kExponent = 0x7FF0000000000000;
    constexpr std::uint64_t kExponentOne = std::uint64_t{1} << 52;
    // One gatherer per column keeps the loop in whole rows, which the compiler vectorises best.
    std::uint64_t carries[4] = {0, 0, 0, 0};
    for (std::size_t k = 0; k < count; ++k) {
        for (std::size_t c = 0; c < 4; ++c)
            carries[c] |= (std::bit_cast<std::uint64_t>(rows[k][c]) & kExponent) + kExponentOne;
    }
    return ((carries[0] | carries[1] | carries[2] | carries[3]) >> 63) == 0;
}

RecordingFileResult Failure(RecordingFileError error)
{
    RecordingFileResult result;
    result.error = error;
    return result;
}

// Where the parts of a file lie, known once the magic and the header were read.
struct FileLayout {
    RecordingHeader header;
    std::size_t rowsAt = 0;
    std::size_t rows = 0;
    std::size_t stride = kRowBytes;
    std::size_t tailAt() const { return rowsAt + rows * stride; }
};

// Reads the magic and the header from the first `available` bytes of a file of `fileSize` bytes
// and checks the counts against the size, so that nothing is allocated for rows or events the
// file cannot hold.
RecordingFileError ReadLayout(const std::uint8_t* data, std::size_t available, std::size_t fileSize, FileLayout& layout)
{
    std::size_t pos = 0;
    std::string magic;
    const ArchiveStringStatus magicStatus = ReadArchiveString(data, available, pos, magic);
    if (magicStatus != ArchiveStringStatus::Ok)
        return FromStringStatus(magicStatus);
    if (magic != kRecordingMagic)
        return RecordingFileError::InvalidFormat;

    if (available - pos < RecordingHeader::kSize)
        return RecordingFileError::Truncated;
    layout.header = RecordingHeader::FromBytes(data + pos);
    pos += RecordingHeader::kSize;

    // Row counts travel as int through the view, the list and the export.
    if (layout.header.dwSampleCount > static_cast<std::uint32_t>(INT_MAX))
        return RecordingFileError::TooLarge;
    layout.rowsAt = pos;
    layout.rows = layout.header.dwSampleCount;
    layout.stride = layout.header.IsMotion() ? kRowBytes + kTickBytes : kRowBytes;
    if (layout.rows > (fileSize - pos) / layout.stride)
        return RecordingFileError::Truncated;
    // Every further field takes at least one byte: the flag and one prefix per event.
    if (fileSize - layout.tailAt() < 1 + static_cast<std::size_t>(layout.header.wFreeFallCount))
        return RecordingFileError::Truncated;
    return RecordingFileError::None;
}

// The rows are decoded a piece at a time: with the capacity reserved, growing the arrays by one
// piece keeps the zeroing, the decoding and the check of a piece within the processor's cache,
// so that each row is written to memory once.
constexpr std::size_t kPieceRows = 4096;

// Appends `count` rows (at most kPieceRows, and their ticks with MODE_MOTION) decoded from `at`;
// false when a value is not finite.
bool AppendPiece(Recording& rec, const std::uint8_t* at, std::size_t count, std::size_t stride)
{
    const std::size_t first = rec.m_pSamples.size();
    rec.m_pSamples.resize(first + count);
    SampleRow* rows = rec.m_pSamples.data() + first;
    if (stride == kRowBytes) {
        for (std::size_t k = 0; k < count; ++k)
            DecodeRow(at + k * kRowBytes, rows[k]);
    } else {
        // Rows and ticks in one pass over the piece.
        rec.m_pSampleTicks.resize(first + count);
        std::int32_t* ticks = rec.m_pSampleTicks.data() + first;
        for (std::size_t k = 0; k < count; ++k, at += stride) {
            DecodeRow(at, rows[k]);
            ticks[k] = DecodeTick(at + kRowBytes);
        }
    }
    return AllFinite(rows, count);
}

// Appends `count` rows (and their ticks with MODE_MOTION) decoded from `at`.
bool AppendRows(Recording& rec, const std::uint8_t* at, std::size_t count, std::size_t stride)
{
    for (std::size_t done = 0; done < count;) {
        const std::size_t piece = std::min(kPieceRows, count - done);
        if (!AppendPiece(rec, at + done * stride, piece, stride))
            return false;
        done += piece;
    }
    return true;
}

// The real-time flag and the free-fall texts after the rows.
RecordingFileError ReadTail(const std::uint8_t* data, std::size_t size, Recording& rec)
{
    if (size < 1)
        return RecordingFileError::Truncated;
    rec.m_bRealTime = data[0];
    std::size_t pos = 1;
    rec.m_pFreeFallEvents.resize(rec.m_header.wFreeFallCount);
    for (std::string& text : rec.m_pFreeFallEvents) {
        const ArchiveStringStatus status = ReadArchiveString(data, size, pos, text);
        if (status != ArchiveStringStatus::Ok)
            return FromStringStatus(status);
    }
    // Bytes after the last event are ignored, as the format has no field that could hold them.
    return RecordingFileError::None;
}

// The result a layout's rows are read into: the header, and room for the rows and their ticks.
RecordingFileResult EmptyResultFor(const FileLayout& layout)
{
    RecordingFileResult result;
    Recording& rec = result.recording;
    rec.m_header = layout.header;
    rec.m_pSamples.reserve(layout.rows);
    if (layout.header.IsMotion())
        rec.m_pSampleTicks.reserve(layout.rows);
    return result;
}

RecordingFileResult Decode(const std::uint8_t* data, std::size_t size)
{
    FileLayout layout;
    const RecordingFileError layoutError = ReadLayout(data, size, size, layout);
    if (layoutError != RecordingFileError::None)
        return Failure(layoutError);

    RecordingFileResult result = EmptyResultFor(layout);
    Recording& rec = result.recording;
    if (!AppendRows(rec, data + layout.rowsAt, layout.rows, layout.stride))
        return Failure(RecordingFileError::InvalidFormat);
    const RecordingFileError tailError = ReadTail(data + layout.tailAt(), size - layout.tailAt(), rec);
    if (tailError != RecordingFileError::None)
        return Failure(tailError);
    return result;
}

// Positioned reads of an open regular file.
class OpenFile {
public:
    explicit OpenFile(const RegularFile& file) : m_fd(file.fd()) {}

    // Reads exactly `size` bytes at `offset`: None, Truncated when the file ends first (it shrank
    // since its size was taken), CannotOpen on a read error.
    RecordingFileError readAt(std::uint8_t* to, std::size_t size, std::size_t offset) const
    {
        std::size_t got = 0;
        while (got < size) {
            const ssize_t n = ::pread(m_fd, to + got, size - got, static_cast<off_t>(offset + got));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return RecordingFileError::CannotOpen;
            }
            if (n == 0)
                return RecordingFileError::Truncated;
            got += static_cast<std::size_t>(n);
        }
        return RecordingFileError::None;
    }

private:
    int m_fd;
};

// The rows are read in pieces through one small buffer that stays in the processor's cache, and
// decoded straight into the sample array: a large file is then copied once into the recording
// instead of once into a file-sized buffer and again out of it.
constexpr std::size_t kHeadBytes = 64 * 1024;

RecordingFileResult LoadFile(const OpenFile& file, std::size_t size)
{
    const std::size_t headSize = std::min(size, kHeadBytes);
    auto head = std::make_unique_for_overwrite<std::uint8_t[]>(headSize);
    if (RecordingFileError e = file.readAt(head.get(), headSize, 0); e != RecordingFileError::None)
        return Failure(e);

    FileLayout layout;
    const RecordingFileError layoutError = ReadLayout(head.get(), headSize, size, layout);
    if (layoutError == RecordingFileError::Truncated && headSize < size) {
        // A magic string longer than the head: no recording, but it is decided on the whole file.
        auto whole = std::make_unique_for_overwrite<std::uint8_t[]>(size);
        if (RecordingFileError e = file.readAt(whole.get(), size, 0); e != RecordingFileError::None)
            return Failure(e);
        return Decode(whole.get(), size);
    }
    if (layoutError != RecordingFileError::None)
        return Failure(layoutError);

    RecordingFileResult result = EmptyResultFor(layout);
    Recording& rec = result.recording;
    if (kLittleEndianHost && layout.stride == kRowBytes) {
        // Without ticks the file's rows are the memory image of the sample array: each piece is
        // read straight into the rows it grew by, with no copy of its own.
        for (std::size_t done = 0; done < layout.rows;) {
            const std::size_t count = std::min(kPieceRows, layout.rows - done);
            // Growing by one piece at a time (the capacity is reserved) keeps the zeroing, the
            // read and the check of a piece within the processor's cache.
            rec.m_pSamples.resize(done + count);
            SampleRow* to = rec.m_pSamples.data() + done;
            const RecordingFileError e =
                file.readAt(reinterpret_cast<std::uint8_t*>(to), count * kRowBytes, layout.rowsAt + done * kRowBytes);
            if (e != RecordingFileError::None)
                return Failure(e);
            if (!AllFinite(to, count))
                return Failure(RecordingFileError::InvalidFormat);
            done += count;
        }
    } else {
        auto piece = std::make_unique_for_overwrite<std::uint8_t[]>(kPieceRows * layout.stride);
        for (std::size_t done = 0; done < layout.rows;) {
            const std::size_t count = std::min(kPieceRows, layout.rows - done);
            const RecordingFileError e =
                file.readAt(piece.get(), count * layout.stride, layout.rowsAt + done * layout.stride);
            if (e != RecordingFileError::None)
                return Failure(e);
            if (!AppendPiece(rec, piece.get(), count, layout.stride))
                return Failure(RecordingFileError::InvalidFormat);
            done += count;
        }
    }

    const std::size_t tailSize = size - layout.tailAt();
    auto tail = std::make_unique_for_overwrite<std::uint8_t[]>(tailSize);
    if (RecordingFileError e = file.readAt(tail.get(), tailSize, layout.tailAt()); e != RecordingFileError::None)
        return Failure(e);
    const RecordingFileError tailError = ReadTail(tail.get(), tailSize, rec);
    if (tailError != RecordingFileError::None)
        return Failure(tailError);
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
    const auto cannotOpen = [](int systemError) {
        RecordingFileResult result = Failure(RecordingFileError::CannotOpen);
        result.systemError = systemError;
        return result;
    };
    const RegularFileOpening opening = OpenRegularFile(path);
    if (!opening.file.isOpen())
        return cannotOpen(opening.error);
    const OpenFile file(opening.file);
    const std::uint64_t size = opening.size;
    if (size > kMaxRecordingFileBytes)
        return Failure(RecordingFileError::TooLarge);
    if (size == 0)
        return Failure(RecordingFileError::Truncated);
    try {
        return LoadFile(file, static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return Failure(RecordingFileError::TooLarge);
    } catch (const std::length_error&) {
        return Failure(RecordingFileError::TooLarge);
    }
}

void AppendRecordingBytes(std::string& out, const Recording& rec, int shownCount)
{
    if (shownCount == 0)
        return;

    RecordingHeader header = rec.m_header;
    const std::size_t rows = rec.RowCount();
    header.dwSampleCount = static_cast<std::uint32_t>(rows);
    const std::size_t events = std::min<std::size_t>(header.wFreeFallCount, rec.m_pFreeFallEvents.size());
    header.wFreeFallCount = static_cast<std::uint16_t>(events);
    const bool motion = header.IsMotion();

    std::size_t total = ArchiveStringSize(std::strlen(kRecordingMagic)) + RecordingHeader::kSize +
                        rows * (motion ? kRowBytes + kTickBytes : kRowBytes) + 1;
    for (std::size_t e = 0; e < events; ++e)
        total += ArchiveStringSize(rec.m_pFreeFallEvents[e].size());
    out.reserve(out.size() + total);

    AppendArchiveString(out, kRecordingMagic);
    const RecordingHeader::Bytes headerBytes = header.ToBytes();
    out.append(reinterpret_cast<const char*>(headerBytes.data()), headerBytes.size());

    if (!motion && kLittleEndianHost) {
        if (rows > 0)
            out.append(reinterpret_cast<const char*>(rec.m_pSamples.data()), rows * kRowBytes);
    } else {
        for (std::size_t k = 0; k < rows; ++k) {
            if constexpr (kLittleEndianHost) {
                out.append(reinterpret_cast<const char*>(rec.m_pSamples[k].data()), kRowBytes);
            } else {
                for (double value : rec.m_pSamples[k])
                    AppendLittleEndian(out, std::bit_cast<std::uint64_t>(value), 8);
            }
            if (motion) {
                const auto tick = static_cast<std::int32_t>(rec.TickOf(k));
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
