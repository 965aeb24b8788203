#pragma once
// Number texts for long listings. std::to_chars writes exactly what printf writes in the C locale
// ("%.2f" and "%d"), sign of negative zero, "nan" and "inf" included, but without the locale and
// format-string work printf does per call, and independent of the process locale.

#include <charconv>
#include <cstdint>
#include <string>

namespace shakemeter {

// Room for any double in fixed notation with two decimals ("-1.8e308" has 309 digits).
constexpr std::size_t kFixedTextMax = 330;

// Writes value as "%.2f" at first; returns the end. first must have kFixedTextMax bytes.
inline char* WriteFixed2(char* first, double value)
{
    return std::to_chars(first, first + kFixedTextMax, value, std::chars_format::fixed, 2).ptr;
}

// Writes value as "%d" at first; returns the end. first must have 24 bytes.
inline char* WriteDecimal(char* first, std::int64_t value)
{
    return std::to_chars(first, first + 24, value).ptr;
}

inline void AppendFixed2(std::string& out, double value)
{
    char buffer[kFixedTextMax];
    out.append(buffer, WriteFixed2(buffer, value));
}

inline void AppendDecimal(std::string& out, std::int64_t value)
{
    char buffer[24];
    out.append(buffer, WriteDecimal(buffer, value));
}

}  // namespace shakemeter
