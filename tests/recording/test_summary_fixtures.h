#pragma once
// Small builders shared by the summary, sample-time and text-report tests.

#include <string>

#include "ScopedTimeZone.h"
#include "TestRecordings.h"
#include "recording/Recording.h"
#include "recording/RecordingView.h"

namespace shakemeter::testing {

// The document and the view, with a recording installed the way a complete producer does it.
struct Shown {
    Recording document;
    RecordingView view;

    explicit Shown(Recording fresh, bool frequencyMode = false)
    {
        view.SetFrequencyMode(frequencyMode);
        InstallCompleteRecording(document, view, std::move(fresh));
    }
    std::string label(int k) const { return view.FormatSampleTime(document, k); }
};

}  // namespace shakemeter::testing
