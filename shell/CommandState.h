#pragma once
// The enable table of the main window's commands as a pure function of the workflow state, so the
// menu, the toolbar and the instrument pane's menu all grey and check the same way.

#include <vector>

namespace shakemeter {

// What the enable rules look at. Filled by the main window from its flags and the view.
struct ShellState {
    bool reading = false;            // m_bReading: a real-time or spectrum reading runs
    bool progressOpen = false;       // the progress window is up
    int shownCount = 0;              // the view's m_nShownCount
    bool listShown = false;          // the view's m_bListShown
    int displayMode = 0;             // the view's m_nDisplayMode
    bool spectrumRecording = false;  // the shown recording was read for FFT analysis
    bool summaryShown = true;        // m_bSummaryShown
    bool instrumentShown = true;     // m_bInstrumentShown
    bool frequencyMode = false;      // the graph shows the spectrum
    bool cursorsShown = false;       // the graph's measuring cursors are placed
    bool comparing = false;          // a second recording is drawn over the shown one
};

struct CommandUi {
    bool enabled = false;
    bool checkable = false;
    bool checked = false;
    bool operator==(const CommandUi&) const = default;
};

// Enabled and checked state of one command id. Ids without a rule are enabled.
CommandUi CommandUiFor(int commandId, const ShellState& state);

// Every command id of the menus, the toolbar and the accelerators, in menu order.
const std::vector<int>& AllCommandIds();

// A recording read for FFT analysis is marked by its interval of exactly 1/256 s.
bool IsSpectrumInterval(double secondsPerSample);

}  // namespace shakemeter
