#pragma once
// The view's companions of the shown recording, without any widget: the facts of the recording
// (RecordingFacts) and what the view has made of them (ViewState). One object serves the graph,
// the list, the report and the link; each part is changed only through its own methods, and the
// functions below change both together where a new recording or a new row touches both.

#include "recording/Recording.h"
#include "recording/RecordingFacts.h"
#include "recording/ViewState.h"

namespace shakemeter {

class RecordingView : public RecordingFacts, public ViewState {
public:
    // The facts of the recording (see RecordingFacts::Refresh), the value range back to the
    // recording's automatic range, and the list to be refilled.
    void RefreshSummary(const Recording& recording);
    // The graph's value range follows the recording's automatic range again.
    void UseAutomaticValueRange() { SetValueRange(m_dAutoMin, m_dAutoMax, true); }
};

// Installs a complete new recording in place of the old one: the arrays of the old recording and
// the spectrum go, the header reaches the view's copy, a spectrum table is made for wInterval 0,
// display mode 0 becomes 1. The caller then refreshes what a complete recording needs.
void ReplaceRecording(Recording& document, RecordingView& view, Recording&& fresh);

// The sequence for a complete recording (file load, download, spectrum read): ReplaceRecording,
// the spectrum for wInterval 0, then RefreshSummary.
void InstallCompleteRecording(Recording& document, RecordingView& view, Recording&& fresh);

// A real-time reading begins: a recording with room for `requested` rows replaces the shown one,
// its first row taken at `start`; the value range follows the automatic one. True when the value
// range changed.
bool BeginRealTimeRecording(Recording& document, RecordingView& view, const RecordingHeader& header,
                            const CalendarTime& start, const SampleRow& first, int requested);

// The result of one more row of a real-time reading.
enum class RowAppend {
    NoRoom,      // the recording has no room left: nothing was stored
    Added,       // stored and counted
    RangeGrown,  // stored, and the value range the graph shows grew with it
};

// Stores the next row of a real-time reading and counts it in the recording, its header and the
// view: running statistics and their texts, shown range, automatic (and, when it is followed,
// shown) value range. The list is to be refilled.
RowAppend AppendRealTimeRow(Recording& document, RecordingView& view, const SampleRow& row);

}  // namespace shakemeter
