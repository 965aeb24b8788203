#pragma once
// A comma-separated table of the shown samples for spreadsheets and data tools: one header row,
// then one row per shown sample (time mode) or per spectrum bin (frequency mode).

#include <string>

#include "recording/Recording.h"
#include "recording/RecordingView.h"

namespace shakemeter {

// Time mode: "No.,Time,X (g),Y (g),Z (g),Vector Sum (g)" and rows of the number (1-based), the time
// label without its leading blank and the four values with two decimals.
// Frequency mode (a spectrum shown as such): "No.,Frequency (Hz),X,Y,Z" and the bin's frequency and
// three magnitudes with two decimals. Lines end with "\n".
std::string BuildCsv(const Recording& recording, const RecordingView& view);

}  // namespace shakemeter
