#pragma once
// Where the logger's own free-fall events stand among the rows: the logger stamps each event with
// its wall-clock time to the second, so an event is placed at the first row sampled at or after
// that time.

#include <cstddef>
#include <vector>

#include "recording/Recording.h"

namespace shakemeter::vibration {

// The rows (0-based, ascending) of the recording's free-fall events; an event that cannot be read,
// lies before the start or after the last row is left out.
std::vector<std::size_t> LoggerEventRows(const Recording& recording);

}  // namespace shakemeter::vibration
