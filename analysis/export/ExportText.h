#pragma once
// The texts every export writes the same way: numbers that read back exactly, quoted CSV
// fields, the recording's kind and its start as ISO 8601 with the local UTC offset.

#include <string>
#include <string_view>

#include "recording/CalendarTime.h"
#include "recording/Recording.h"

namespace shakemeter::exports {

// The shortest text that reads back as the same double ("0.1", "2.5e-07", "nan", "inf"), the same
// in every locale.
void AppendNumber(std::string& out, double value);
std::string NumberText(double value);

// A CSV field as RFC 4180 writes it: quoted, with doubled quotes, when it holds a comma, a quote or
// a line break; as it is otherwise.
void AppendCsvField(std::string& out, std::string_view text);

// "logged", "real-time" or "spectrum".
const char* KindName(RecordingKind kind);

// "2026-05-06T08:30:12+02:00": the local time and the offset from UTC it had then.
std::string IsoLocalTime(const CalendarTime& time);

}  // namespace shakemeter::exports
