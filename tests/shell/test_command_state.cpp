#include <gtest/gtest.h>

#include <set>

#include "shell/CommandIds.h"
#include "shell/CommandState.h"

using namespace shakemeter;

namespace {

std::set<int> EnabledIds(const ShellState& s)
{
    std::set<int> ids;
    for (int id : AllCommandIds()) {
        if (CommandUiFor(id, s).enabled) {
            ids.insert(id);
        }
    }
    return ids;
}

const std::set<int> kAlways = {ID_APP_EXIT,    ID_VIEW_INSTRUMENT, ID_APP_ABOUT,
                               ID_HELP_TOPICS, ID_NEXT_PANE,       ID_PREV_PANE};

std::set<int> With(std::set<int> base, std::initializer_list<int> more)
{
    base.insert(more);
    return base;
}

// What a reading with data shown leaves: stopping it, saving, the list and the summary.
const std::set<int> kReadingWithData = With(
    kAlways, {ID_STOP_READING, ID_FILE_SAVE_BOTH, ID_FILE_PRINT_SETUP, ID_IMPORT_LIST, ID_VIEW_SUMMARY, ID_FILE_SAVE});

// A reading that runs while the given rows are shown in the graph.
ShellState ReadingShowing(int shownCount)
{
    ShellState s;
    s.reading = true;
    s.shownCount = shownCount;
    s.displayMode = 1;
    return s;
}

}  // namespace

TEST(CommandStateTest, FreshProgramOffersOnlyTheLoggerAndFileCommands)
{
    ShellState s;  // nothing shown, display mode 0
    EXPECT_EQ(EnabledIds(s), With(kAlways, {ID_FILE_OPEN_RECORDING, ID_LOGGER_SETUP, ID_DOWNLOAD, ID_RUN,
                                            ID_FFT_READING, ID_RELOAD, ID_FILE_OPEN, ID_FILE_NEW, ID_SESSION_OPEN}));
    EXPECT_FALSE(CommandUiFor(ID_VIEW_SUMMARY, s).enabled) << "Data Summary needs a display mode";
}

TEST(CommandStateTest, IdleWithALoggedRecordingEnablesEverythingButTheDomainSwitches)
{
    ShellState s;
    s.shownCount = 120;
    s.displayMode = 1;
    auto ids = EnabledIds(s);
    EXPECT_TRUE(ids.count(ID_FILE_SAVE_BOTH));
    EXPECT_TRUE(ids.count(ID_PREVIEW_GRAPH));
    EXPECT_TRUE(ids.count(ID_PRINT_GRAPH));
    EXPECT_FALSE(ids.count(ID_PRINT_LIST)) << "list printing needs the list";
    EXPECT_FALSE(ids.count(ID_PREVIEW_LIST));
    EXPECT_FALSE(ids.count(ID_FREQUENCY_GRAPH));
    EXPECT_FALSE(ids.count(ID_TIME_GRAPH));
    EXPECT_FALSE(ids.count(ID_STOP_READING));
    EXPECT_FALSE(ids.count(ID_PREVIEW_FREE_FALL));
    EXPECT_FALSE(ids.count(ID_PRINT_FREE_FALL));
    s.listShown = true;
    EXPECT_TRUE(CommandUiFor(ID_PRINT_LIST, s).enabled);
    EXPECT_TRUE(CommandUiFor(ID_PREVIEW_LIST, s).enabled);
}

TEST(CommandStateTest, RealTimeReadingLeavesStopSaveAndListCommands)
{
    ShellState s = ReadingShowing(5);
    s.listShown = true;
    EXPECT_EQ(EnabledIds(s), kReadingWithData);
}

TEST(CommandStateTest, SpectrumWaitingLeavesStopOnly)
{
    ShellState s;
    s.reading = true;
    s.progressOpen = true;
    EXPECT_EQ(EnabledIds(s), With(kAlways, {ID_STOP_READING}));
    // With data shown (a spectrum from an earlier reading) the domain switches stay off while the
    // progress window is up.
    s = ReadingShowing(128);
    s.progressOpen = true;
    s.spectrumRecording = true;
    EXPECT_EQ(EnabledIds(s), kReadingWithData);
}

TEST(CommandStateTest, SpectrumPollingAddsTheDomainSwitches)
{
    ShellState s = ReadingShowing(128);
    s.spectrumRecording = true;
    EXPECT_EQ(EnabledIds(s), With(kReadingWithData, {ID_FREQUENCY_GRAPH, ID_TIME_GRAPH}));
}

TEST(CommandStateTest, CheckMarksFollowTheWindowFlags)
{
    ShellState s;
    s.displayMode = 1;
    s.summaryShown = false;
    s.instrumentShown = true;
    EXPECT_EQ(CommandUiFor(ID_VIEW_INSTRUMENT, s), (CommandUi{true, true, true}));
    EXPECT_EQ(CommandUiFor(ID_VIEW_SUMMARY, s), (CommandUi{true, true, false}));
    s.instrumentShown = false;
    s.summaryShown = true;
    EXPECT_FALSE(CommandUiFor(ID_VIEW_INSTRUMENT, s).checked);
    EXPECT_TRUE(CommandUiFor(ID_VIEW_SUMMARY, s).checked);
    EXPECT_FALSE(CommandUiFor(ID_FILE_SAVE_BOTH, s).checkable);
}

TEST(CommandStateTest, SpectrumIntervalIsExactlyOneOver256)
{
    EXPECT_TRUE(IsSpectrumInterval(0.00390625));
    EXPECT_FALSE(IsSpectrumInterval(0.0039));
    EXPECT_FALSE(IsSpectrumInterval(0.5));
    EXPECT_FALSE(IsSpectrumInterval(0.0));
}

TEST(CommandStateTest, ExportsNeedRowsAndNoReading)
{
    ShellState s;
    for (int id : {ID_EXPORT_VISIBLE_CSV, ID_EXPORT_HDF5}) {
        s.shownCount = 0;
        EXPECT_FALSE(CommandUiFor(id, s).enabled) << id;
        s.shownCount = 120;
        s.displayMode = 1;
        EXPECT_TRUE(CommandUiFor(id, s).enabled) << id;
        s.reading = true;
        EXPECT_FALSE(CommandUiFor(id, s).enabled) << id;
        s.reading = false;
        s.progressOpen = true;
        EXPECT_FALSE(CommandUiFor(id, s).enabled) << id;
        s.progressOpen = false;
    }
}

// A session is saved of shown data while nothing replaces it, and opened whenever Open opens.
TEST(CommandStateTest, SessionsNeedDataToSaveAndNoReadingToOpen)
{
    ShellState s;
    EXPECT_FALSE(CommandUiFor(ID_SESSION_SAVE, s).enabled);
    EXPECT_TRUE(CommandUiFor(ID_SESSION_OPEN, s).enabled);
    s.shownCount = 120;
    s.displayMode = 1;
    EXPECT_TRUE(CommandUiFor(ID_SESSION_SAVE, s).enabled);
    s.progressOpen = true;
    EXPECT_FALSE(CommandUiFor(ID_SESSION_SAVE, s).enabled);
    EXPECT_EQ(CommandUiFor(ID_SESSION_OPEN, s).enabled, CommandUiFor(ID_FILE_OPEN_RECORDING, s).enabled);
    s.reading = true;
    EXPECT_FALSE(CommandUiFor(ID_SESSION_SAVE, s).enabled);
    EXPECT_FALSE(CommandUiFor(ID_SESSION_OPEN, s).enabled);
}

TEST(CommandStateTest, ComparisonCommandsFollowTheComparisonTheDomainAndReadings)
{
    ShellState s;
    s.shownCount = 120;
    s.displayMode = 1;
    const int follow[] = {ID_ALIGN_COMPARISON, ID_NUDGE_COMPARISON_EARLIER, ID_NUDGE_COMPARISON_LATER,
                          ID_NUDGE_COMPARISON_EARLIER_TEN, ID_NUDGE_COMPARISON_LATER_TEN};
    EXPECT_TRUE(CommandUiFor(ID_COMPARE_WITH, s).enabled);
    for (int id : follow)
        EXPECT_FALSE(CommandUiFor(id, s).enabled) << id;
    EXPECT_FALSE(CommandUiFor(ID_REMOVE_COMPARISON, s).enabled);

    s.comparing = true;
    for (int id : follow)
        EXPECT_TRUE(CommandUiFor(id, s).enabled) << id;
    EXPECT_TRUE(CommandUiFor(ID_REMOVE_COMPARISON, s).enabled);

    // The spectrum has no time axis to compare on; it can still be taken away.
    s.frequencyMode = true;
    EXPECT_FALSE(CommandUiFor(ID_COMPARE_WITH, s).enabled);
    for (int id : follow)
        EXPECT_FALSE(CommandUiFor(id, s).enabled) << id;
    EXPECT_TRUE(CommandUiFor(ID_REMOVE_COMPARISON, s).enabled);

    s.frequencyMode = false;
    s.reading = true;
    EXPECT_FALSE(CommandUiFor(ID_COMPARE_WITH, s).enabled);
    EXPECT_FALSE(CommandUiFor(ID_ALIGN_COMPARISON, s).enabled);
    s.reading = false;
    s.shownCount = 0;
    EXPECT_FALSE(CommandUiFor(ID_COMPARE_WITH, s).enabled);
}
