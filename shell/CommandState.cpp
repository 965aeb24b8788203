#include "shell/CommandState.h"

#include "shell/CommandIds.h"

namespace shakemeter {

namespace {

CommandUi Enabled(bool on)
{
    return CommandUi{on, false, false};
}
CommandUi Check(bool on, bool checked)
{
    return CommandUi{on, true, checked};
}

}  // namespace

bool IsSpectrumInterval(double secondsPerSample)
{
    return secondsPerSample == 1.0 / 256.0;
}

CommandUi CommandUiFor(int commandId, const ShellState& s)
{
    const bool data = s.shownCount != 0;
    const bool idle = !s.reading && !s.progressOpen;
    switch (commandId) {
    case ID_FILE_SAVE_BOTH:
    case ID_FILE_PRINT_SETUP:
    case ID_IMPORT_LIST:
        return Enabled(data);
    case ID_FILE_OPEN_RECORDING:
        return Enabled(!s.reading);
    case ID_PREVIEW_GRAPH:
        return Enabled(data && idle);
    case ID_PREVIEW_LIST:
        return Enabled(data && idle && s.listShown);
    case ID_PRINT_GRAPH:
        return Enabled(data && !s.reading);
    case ID_PRINT_LIST:
        return Enabled(data && s.listShown && !s.reading);
    case ID_PREVIEW_FREE_FALL:
    case ID_PRINT_FREE_FALL:
    case ID_CONTEXT_HIDDEN:
        return Enabled(false);
    case ID_LOGGER_SETUP:
    case ID_DOWNLOAD:
    case ID_RUN:
    case ID_FFT_READING:
    case ID_RELOAD:
        return Enabled(idle);
    case ID_STOP_READING:
        return Enabled(s.reading);
    case ID_VIEW_INSTRUMENT:
        return Check(true, s.instrumentShown);
    case ID_VIEW_SUMMARY:
        return Check(s.displayMode != 0, s.summaryShown);
    case ID_FREQUENCY_GRAPH:
    case ID_TIME_GRAPH:
        return Enabled(s.spectrumRecording && !s.progressOpen);
    // The standard open and new commands replace or re-initialise the document. While a reading
    // writes rows into the recording that would pull the rows from under it, so they follow Open.
    case ID_FILE_OPEN:
    case ID_FILE_NEW:
        return Enabled(!s.reading);
    case ID_FILE_SAVE:
        return Enabled(data);
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_PREVIEW:
        return Enabled(data && !s.reading);
    // An export reads every row it writes; a reading or a transfer would change them under it.
    case ID_EXPORT_VISIBLE_CSV:
    case ID_EXPORT_HDF5:
        return Enabled(data && idle);
    // A session names the shown recording's file, which a reading or a transfer is about to replace;
    // opening one replaces the shown recording as Open does.
    case ID_SESSION_SAVE:
        return Enabled(data && idle);
    case ID_SESSION_OPEN:
        return Enabled(!s.reading);
    // The cursors stand on sample rows: a graph of the spectrum has none, and a reading replaces
    // the rows they stand on.
    case ID_ANALYSIS_TWO_CURSORS:
        return Check(data && idle && s.displayMode != 0 && !s.frequencyMode, s.cursorsShown);
    case ID_EXPORT_CURSOR_RANGE_CSV:
        return Enabled(data && idle && s.cursorsShown && !s.frequencyMode);
    // A comparison is drawn in the time domain only, and a reading replaces the shown recording.
    case ID_COMPARE_WITH:
        return Enabled(data && idle && !s.frequencyMode);
    case ID_ALIGN_COMPARISON:
    case ID_NUDGE_COMPARISON_EARLIER:
    case ID_NUDGE_COMPARISON_LATER:
    case ID_NUDGE_COMPARISON_EARLIER_TEN:
    case ID_NUDGE_COMPARISON_LATER_TEN:
        return Enabled(s.comparing && idle && !s.frequencyMode);
    case ID_REMOVE_COMPARISON:
        return Enabled(s.comparing);
    default:
        return Enabled(true);
    }
}

const std::vector<int>& AllCommandIds()
{
    static const std::vector<int> ids = {ID_FILE_SAVE_BOTH,
                                         ID_FILE_OPEN_RECORDING,
                                         ID_FILE_PRINT_SETUP,
                                         ID_PREVIEW_GRAPH,
                                         ID_PREVIEW_LIST,
                                         ID_PREVIEW_FREE_FALL,
                                         ID_PRINT_GRAPH,
                                         ID_PRINT_LIST,
                                         ID_PRINT_FREE_FALL,
                                         ID_APP_EXIT,
                                         ID_LOGGER_SETUP,
                                         ID_DOWNLOAD,
                                         ID_RUN,
                                         ID_STOP_READING,
                                         ID_FFT_READING,
                                         ID_RELOAD,
                                         ID_VIEW_INSTRUMENT,
                                         ID_VIEW_SUMMARY,
                                         ID_APP_ABOUT,
                                         ID_HELP_TOPICS,
                                         ID_FREQUENCY_GRAPH,
                                         ID_TIME_GRAPH,
                                         ID_IMPORT_LIST,
                                         ID_FILE_NEW,
                                         ID_FILE_OPEN,
                                         ID_FILE_SAVE,
                                         ID_FILE_PRINT,
                                         ID_FILE_PRINT_PREVIEW,
                                         ID_NEXT_PANE,
                                         ID_PREV_PANE,
                                         ID_EXPORT_VISIBLE_CSV,
                                         ID_EXPORT_HDF5,
                                         ID_SESSION_SAVE,
                                         ID_SESSION_OPEN,
                                         ID_ANALYSIS_TWO_CURSORS,
                                         ID_EXPORT_CURSOR_RANGE_CSV,
                                         ID_COMPARE_WITH,
                                         ID_ALIGN_COMPARISON,
                                         ID_REMOVE_COMPARISON,
                                         ID_NUDGE_COMPARISON_EARLIER,
                                         ID_NUDGE_COMPARISON_LATER,
                                         ID_NUDGE_COMPARISON_EARLIER_TEN,
                                         ID_NUDGE_COMPARISON_LATER_TEN};
    return ids;
}

}  // namespace shakemeter
