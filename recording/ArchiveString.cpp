#include "recording/ArchiveString.h"

#include <algorithm>
#include <limits>

namespace shakemeter {

namespace {

constexpr std::uint8_t kByteEscape = 0xFF;
constexpr std::uint16_t kWordEscape = 0xFFFF;
constexpr std::uint16_t kWideMarker = 0xFFFE;
constexpr std::uint32_t kLongEscape = 0xFFFFFFFF;

// A length prefix as decoded: either a length, or the wide marker.
struct LengthPrefix {
    ArchiveStringStatus status = ArchiveStringStatus::Ok;
    bool wide = false;
    std::uint64_t length = 0;
};

LengthPrefix ReadLengthPrefix(const std::uint8_t* data, std::size_t size, std::size_t& pos)
{
    LengthPrefix prefix;
    // Fewer than `bytes` bytes left from pos for the prefix's next form.
    const auto truncated = [&](std::size_t bytes) {
        if (size - pos >= bytes)
            return false;
        prefix.status = ArchiveStringStatus::Truncated;
        return true;
    };
    if (truncated(1))
        return prefix;
    const std::uint8_t first = data[pos];
    if (first != kByteEscape) {
        prefix.length = first;
        pos += 1;
        return prefix;
    }
    if (truncated(3))
        return prefix;
    const auto word = static_cast<std::uint16_t>(data[pos + 1] | (data[pos + 2] << 8));
    if (word == kWideMarker) {
        prefix.wide = true;
        pos += 3;
        return prefix;
    }
    if (word != kWordEscape) {
        prefix.length = word;
        pos += 3;
        return prefix;
    }
    if (truncated(7))
        return prefix;
    const std::uint32_t dword =
        static_cast<std::uint32_t>(data[pos + 3]) | (static_cast<std::uint32_t>(data[pos + 4]) << 8) |
        (static_cast<std::uint32_t>(data[pos + 5]) << 16) | (static_cast<std::uint32_t>(data[pos + 6]) << 24);
    if (dword == kLongEscape) {
        // A further 64-bit length would follow; no recording holds a string of 4 GB.
        prefix.status = ArchiveStringStatus::TooLarge;
        return prefix;
    }
    prefix.length = dword;
    pos += 7;
    return prefix;
}

}  // namespace

ArchiveStringStatus ReadArchiveString(const std::uint8_t* data, std::size_t size, std::size_t& pos, std::string& text)
{
    if (pos > size)
        return ArchiveStringStatus::Truncated;
    std::size_t at = pos;
    LengthPrefix prefix = ReadLengthPrefix(data, size, at);
    if (prefix.status != ArchiveStringStatus::Ok)
        return prefix.status;

    if (!prefix.wide) {
        if (prefix.length > size - at)
            return ArchiveStringStatus::Truncated;
        text.assign(reinterpret_cast<const char*>(data + at), static_cast<std::size_t>(prefix.length));
        pos = at + static_cast<std::size_t>(prefix.length);
        return ArchiveStringStatus::Ok;
    }

    // Wide form: a second prefix gives the length in 16-bit characters.
    prefix = ReadLengthPrefix(data, size, at);
    if (prefix.status != ArchiveStringStatus::Ok)
        return prefix.status;
    if (prefix.wide)
        return ArchiveStringStatus::Invalid;
    if (prefix.length > (size - at) / 2)
        return ArchiveStringStatus::Truncated;
    const auto count = static_cast<std::size_t>(prefix.length);
    for (std::size_t i = 0; i < count; ++i) {
        if (data[at + 2 * i + 1] != 0)
            return ArchiveStringStatus::Invalid;
    }
    std::string converted(count, '\0');
    for (std::size_t i = 0; i < count; ++i)
        converted[i] = static_cast<char>(data[at + 2 * i]);
    text = std::move(converted);
    pos = at + 2 * count;
    return ArchiveStringStatus::Ok;
}

void AppendArchiveString(std::string& out, std::string_view text)
{
    const std::size_t length = text.size();
    if (length < kByteEscape) {
        out.push_back(static_cast<char>(length));
    } else if (length < kWideMarker) {
        out.push_back(static_cast<char>(kByteEscape));
        out.push_back(static_cast<char>(length & 0xFF));
        out.push_back(static_cast<char>((length >> 8) & 0xFF));
    } else {
        // Longer strings cannot be represented with a 32-bit length; such a string would be a
        // caller's error, and the length is clipped rather than written inconsistent.
        const auto clipped =
            static_cast<std::uint32_t>(std::min<std::size_t>(length, std::numeric_limits<std::uint32_t>::max() - 1));
        out.push_back(static_cast<char>(kByteEscape));
        out.push_back(static_cast<char>(0xFF));
        out.push_back(static_cast<char>(0xFF));
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<char>((clipped >> shift) & 0xFF));
        out.append(text.substr(0, clipped));
        return;
    }
    out.append(text);
}

std::size_t ArchiveStringSize(std::size_t length)
{
    if (length < kByteEscape)
        return 1 + length;
    if (length < kWideMarker)
        return 3 + length;
    return 7 + length;
}

}  // namespace shakemeter
