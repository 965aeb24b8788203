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

// The prefix's forms, each read when the one before holds its escape: a byte, a 16-bit word and a
// 32-bit word, little-endian.
struct PrefixForm {
    std::size_t bytes;
    std::uint32_t escape;
};
constexpr PrefixForm kPrefixForms[] = {{1, kByteEscape}, {2, kWordEscape}, {4, kLongEscape}};

LengthPrefix ReadLengthPrefix(const std::uint8_t* data, std::size_t size, std::size_t& pos)
{
    LengthPrefix prefix;
    std::size_t used = 0;
    for (const PrefixForm& form : kPrefixForms) {
        if (size - pos < used + form.bytes) {
            prefix.status = ArchiveStringStatus::Truncated;
            return prefix;
        }
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < form.bytes; ++k)
            value |= static_cast<std::uint32_t>(data[pos + used + k]) << (8 * k);
        used += form.bytes;
        // Only the word form carries the wide marker.
        const bool wide = form.escape == kWordEscape && value == kWideMarker;
        if (wide || value != form.escape) {
            prefix.wide = wide;
            prefix.length = wide ? 0 : value;
            pos += used;
            return prefix;
        }
    }
    // A further 64-bit length would follow; no recording holds a string of 4 GB.
    prefix.status = ArchiveStringStatus::TooLarge;
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
