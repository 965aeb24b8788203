#include "graph/core/AxisText.h"

#include <charconv>

namespace shakemeter {

std::string FormatFixed(double value, int decimals)
{
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

std::string FormatInteger(std::int64_t value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string PeakLabel(double frequency)
{
    std::string text = FormatFixed(frequency, 2);
    text += " HZ";
    return text;
}

void SplitTimeLabel(const std::string& text, std::string& timeLine, std::string& dateLine)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) {
        timeLine = text;
        dateLine.clear();
        return;
    }
    const std::size_t cut = colon >= 2 ? colon - 2 : 0;
    timeLine = text.substr(cut);
    dateLine = text.substr(0, cut);
}

}  // namespace shakemeter
