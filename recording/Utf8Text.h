#pragma once
// Lengths and cuts of UTF-8 texts counted in characters, so that a text cut to fit a place (a file
// name with umlauts in the legend, a long column heading on a page) never ends in part of a
// character.

#include <cstddef>
#include <string>

namespace shakemeter {

// Whether byte ch continues a character begun before it.
inline bool IsUtf8Continuation(char ch)
{
    return (static_cast<unsigned char>(ch) & 0xC0) == 0x80;
}

inline std::size_t Utf8Length(const std::string& text)
{
    std::size_t count = 0;
    for (const char ch : text)
        count += IsUtf8Continuation(ch) ? 0 : 1;
    return count;
}

// The first `characters` characters of text; all of it when it is no longer.
inline std::string Utf8Prefix(const std::string& text, std::size_t characters)
{
    std::size_t kept = 0;
    for (std::size_t cut = 0; cut < text.size(); ++cut) {
        if (!IsUtf8Continuation(text[cut]) && kept++ == characters)
            return text.substr(0, cut);
    }
    return text;
}

}  // namespace shakemeter
