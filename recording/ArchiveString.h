#pragma once
// The length-prefixed string form used inside recording files: a one-byte length up to 254, then
// 0xFF + 16-bit length up to 65533, then 0xFF + 0xFFFF + 32-bit length. All numbers little-endian,
// characters without terminator.
//
// Reading also accepts the wide form (0xFF, 0xFFFE, then a length in the same three forms that
// counts 16-bit characters), as long as every character lies in the Latin-1 range; such a string
// becomes the 8-bit string of the same characters. A wide character above 0xFF has no 8-bit
// equivalent and is refused as Invalid rather than silently replaced.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace shakemeter {

enum class ArchiveStringStatus {
    Ok,
    Truncated,  // the bytes end before the prefix or the characters
    TooLarge,   // a length form this program never holds (the 64-bit length escape)
    Invalid,    // a wide string with characters outside Latin-1, or a nested wide marker
};

// Reads the string starting at data[pos]. On Ok, `text` holds it and `pos` is advanced past it;
// otherwise neither is changed. Nothing is allocated before the length is known to fit.
ArchiveStringStatus ReadArchiveString(const std::uint8_t* data, std::size_t size, std::size_t& pos, std::string& text);

// Appends the string in its shortest form.
void AppendArchiveString(std::string& out, std::string_view text);

// Bytes the shortest form of a string of this length takes, prefix included.
std::size_t ArchiveStringSize(std::size_t length);

}  // namespace shakemeter
