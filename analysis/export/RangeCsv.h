#pragma once
// A stretch of a recording as a comma-separated table: the columns of the shown-samples table
// (row number, time label, X, Y, Z, vector sum with two decimals) for rows from..to, the values
// in the unit asked for and the unit in the header.

#include <string>

#include "analysis/vibration/TimeRows.h"
#include "analysis/vibration/Units.h"
#include "recording/Recording.h"
#include "recording/RecordingFacts.h"

namespace shakemeter::exports {

// "No.,Time,X (U),Y (U),Z (U),Vector Sum (U)" and one line per row of range (0-based, inclusive,
// within the recording's time-domain rows): the 1-based row number, the row's time label without
// its leading blank and the four values. Lines end with "\n".
std::string BuildRangeCsv(const Recording& recording, const RecordingFacts& facts, vibration::RowRange range,
                          vibration::Unit unit);

}  // namespace shakemeter::exports
