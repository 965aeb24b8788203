#pragma once
// The event table and a PSD as comma-separated tables for spreadsheets and data tools. Numbers
// are written so that they read back exactly; lines end with "\n".

#include <ostream>
#include <string>
#include <vector>

#include "analysis/vibration/EventDetector.h"
#include "analysis/vibration/PsdComparison.h"
#include "analysis/vibration/Units.h"
#include "analysis/vibration/WelchPsd.h"

namespace shakemeter::exports {

// One row per event: shocks, then free falls, then the logger's own free-fall texts, under
// "Type,First row,Last row,Time,Duration (s),Peak sum (U),Peak X (U),Peak Y (U),Peak Z (U),Face,
// Drop height (m),Drop height min (m),Drop height max (m),Impact speed (m/s),Impact shock"
// with U the unit the shock values are converted to. Rows are 0-based; a column that does not
// apply to the event's type is empty, and a logged event has only its type and its text as time.
void WriteEventsCsv(std::ostream& out, const vibration::Events& events, vibration::Unit unit,
                    const std::vector<std::string>& loggedEvents = {});

// "Frequency (Hz),X (U^2/Hz),Y (U^2/Hz),Z (U^2/Hz)", one row per frequency, and a last line
// "Grms (U),x,y,z" with the Grms of each axis; the PSD is converted to the unit U first.
void WritePsdCsv(std::ostream& out, const vibration::PsdResult& psd, vibration::Unit unit);

// Two densities and their ratio at the shown density's frequencies, under "Frequency (Hz),
// X shown (U^2/Hz),Y shown (U^2/Hz),Z shown (U^2/Hz),X compared (U^2/Hz),Y compared (U^2/Hz),
// Z compared (U^2/Hz),X ratio (dB),Y ratio (dB),Z ratio (dB)"; a cell without a value (a bin past
// the compared recording's Nyquist frequency, a ratio of a zero density) is empty. A last line
// "Grms (U)" gives each density's Grms under its columns.
void WritePsdComparisonCsv(std::ostream& out, const vibration::PsdComparison& comparison, vibration::Unit unit);

}  // namespace shakemeter::exports
