#include "graph/core/AxisSetupRules.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

#include "graph/core/AxisText.h"

namespace shakemeter {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::size_t SkipBlanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return i;
}

// Skips the blanks and a sign at the start of text; true for a minus sign.
bool SkipBlanksAndSign(std::string_view text, std::size_t& i)
{
    i = SkipBlanks(text);
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        return text[i++] == '-';
    return false;
}

bool LeftAsTyped(std::string_view text)
{
    return text.empty() || text == "-";
}

}  // namespace

double ParseLeadingDecimal(std::string_view text)
{
    std::size_t i = 0;
    const bool negative = SkipBlanksAndSign(text, i);
    const std::size_t start = i;
    std::size_t intDigits = 0;
    std::size_t fracDigits = 0;
    // Where the first significant digit stands relative to the point, to tell an overflow from
    // an underflow when the number does not fit a double.
    long long magnitude = 0;
    bool significant = false;
    while (i < text.size() && IsDigit(text[i])) {
        if (text[i] != '0' && !significant)
            significant = true;
        if (significant)
            ++magnitude;
        ++intDigits;
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            if (text[i] != '0' && !significant) {
                significant = true;
                magnitude = -static_cast<long long>(fracDigits);
            }
            ++fracDigits;
            ++i;
        }
    }
    if (intDigits == 0 && fracDigits == 0)
        return 0.0;
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) {
                if (exponent < 100000)
                    exponent = exponent * 10 + (text[j] - '0');
                ++j;
            }
            if (expNegative)
                exponent = -exponent;
            i = j;
        }
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        value = significant && magnitude + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (error != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

int ParseLeadingInt(std::string_view text)
{
    std::size_t i = 0;
    const bool negative = SkipBlanksAndSign(text, i);
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = static_cast<std::int64_t>(std::numeric_limits<int>::max()) + 1;
    while (i < text.size() && IsDigit(text[i])) {
        value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), kLimit);
        ++i;
    }
    if (negative)
        value = -value;
    return static_cast<int>(
        std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

AxisSetupTexts AxisSetupInitialTexts(const AxisSetupValues& values)
{
    return {FormatFixed(values.m_dPresetYMin, 2), FormatFixed(values.m_dPresetYMax, 2),
            FormatInteger(values.m_nRangeFirst), FormatInteger(values.m_nRangeLast)};
}

std::string NormaliseValueAxisText(std::string_view text)
{
    if (LeftAsTyped(text))
        return std::string(text);
    // Limited before the narrowing to single precision, which then cannot overflow; the limits
    // are exact in single precision, so the result is that of narrowing first.
    const double limited = std::clamp(ParseLeadingDecimal(text), -AXIS_VALUE_LIMIT, AXIS_VALUE_LIMIT);
    const float v = static_cast<float>(limited);
    return FormatFixed(static_cast<double>(v), 2);
}

std::string NormaliseFirstRowText(std::string_view text)
{
    if (LeftAsTyped(text))
        return std::string(text);
    return FormatInteger(std::max(ParseLeadingInt(text), 1));
}

std::string NormaliseLastRowText(std::string_view text, int shownCount)
{
    if (LeftAsTyped(text))
        return std::string(text);
    return FormatInteger(std::min(ParseLeadingInt(text), shownCount));
}

int FindRtWindowIndex(std::span<const int> table, int requested, int needed)
{
    const std::size_t limit = std::min(table.size(), static_cast<std::size_t>(std::max(requested, 0)));
    for (std::size_t i = 0; i < limit; ++i) {
        if (table[i] >= needed)
            return static_cast<int>(i);
    }
    return -1;
}

AxisSetupOutcome ApplyAxisSetup(const AxisSetupTexts& texts, const AxisSetupContext& context, AxisSetupValues& values)
{
    const double ymin = ParseLeadingDecimal(texts.m_strYMin);
    const double ymax = ParseLeadingDecimal(texts.m_strYMax);
    const int first = ParseLeadingInt(texts.m_strXMin);
    const int last = context.m_bReading ? context.m_nShownCount : ParseLeadingInt(texts.m_strXMax);

    AxisSetupOutcome outcome;
    // "not below" rather than "at or above", so that a range that is no number is refused too.
    outcome.m_bYOrderMessage = !(ymin < ymax);
    outcome.m_bXOrderMessage = context.m_nShownCount >= 2 && first >= last;
    if (!outcome.Accepted())
        return outcome;

    values.m_dPresetYMin = values.m_dYMin = ymin;
    values.m_dPresetYMax = values.m_dYMax = ymax;
    values.m_nRangeFirst = first;
    values.m_nRangeLast = last;
    if (context.m_nRtRequested > 0) {
        // Computed in 64 bits: a first row typed far below zero must not wrap the count around.
        const std::int64_t needed64 = static_cast<std::int64_t>(context.m_nShownCount) - first + 1;
        const int needed = static_cast<int>(
            std::clamp<std::int64_t>(needed64, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
        const int index = FindRtWindowIndex(context.m_nRtWindow, context.m_nRtRequested, needed);
        if (index >= 0)
            values.m_nRtWindowIdx = index;
        outcome.m_nFoundRtWindowIdx = index;
    }
    return outcome;
}

}  // namespace shakemeter
