#include "analysis/export/ExportText.h"

#include <charconv>

namespace shakemeter::exports {

void AppendNumber(std::string& out, double value)
{
    char buffer[32];
    out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string NumberText(double value)
{
    std::string out;
    AppendNumber(out, value);
    return out;
}

void AppendCsvField(std::string& out, std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(text);
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

const char* KindName(RecordingKind kind)
{
    switch (kind) {
    case RecordingKind::RealTime:
        return "real-time";
    case RecordingKind::Spectrum:
        return "spectrum";
    case RecordingKind::Logged:
        break;
    }
    return "logged";
}

std::string IsoLocalTime(const CalendarTime& time)
{
    // strftime's %z gives "+0200"; ISO 8601's extended form wants "+02:00".
    std::string text = time.format("%Y-%m-%dT%H:%M:%S%z");
    if (text.size() >= 5)
        text.insert(text.size() - 2, 1, ':');
    return text;
}

}  // namespace shakemeter::exports
