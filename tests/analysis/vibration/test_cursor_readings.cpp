// What two cursors read: the statistics between them are the statistics window's for the same
// rows, the span between them comes from whole ticks (exact for motion detection and spectrum
// captures), and B before A gives negative spans and differences, never a refusal.

#include <gtest/gtest.h>

#include "VibrationFixtures.h"
#include "analysis/vibration/CursorReadings.h"
#include "analysis/vibration/RangeStatisticsCache.h"
#include "recording/RecordingView.h"

namespace shakemeter::vibration {
namespace {

using testing::LoggedRecording;
using testing::RandomCountRows;

struct Installed {
    Recording recording;
    RecordingView view;
    explicit Installed(Recording fresh) { InstallCompleteRecording(recording, view, std::move(fresh)); }
};

void ExpectSameTables(const StatisticsTable& got, const StatisticsTable& wanted)
{
    EXPECT_EQ(got.unit, wanted.unit);
    EXPECT_EQ(got.rows, wanted.rows);
    EXPECT_EQ(got.cells, wanted.cells);
}

TEST(CursorReadings, TheStatisticsAreTheStatisticsWindowsForTheSameRows)
{
    const Installed shown(LoggedRecording(RandomCountRows(5000, 7)));  // 50 ms a row
    const TimeRows rows = TimeRowsOf(shown.recording);
    for (Unit unit : {Unit::G, Unit::MetresPerSecondSquared}) {
        // A at row 3000, B at row 1200: the rows between are 1200..3000 whichever stands first.
        const auto readings = ReadCursors(shown.recording, 3000, 1200, unit);
        ASSERT_TRUE(readings);
        RangeStatisticsCache window;
        const RangeStatistics& wanted = window.Update(rows, RowRange{1200, 3000}, false);
        const CursorReadingTexts texts = CursorReadingTextsOf(*readings, shown.recording, shown.view);
        ExpectSameTables(texts.statistics, StatisticsTableOf(wanted, unit));
        EXPECT_EQ(texts.statistics.rows, 1801u);
        for (std::size_t c = 0; c < 4; ++c) {
            EXPECT_DOUBLE_EQ(readings->statistics.columns[c].rms, wanted.columns[c].rms);
            EXPECT_EQ(readings->statistics.columns[c].maxRow, wanted.columns[c].maxRow);
        }

        const double scale = UnitScale(unit);
        for (std::size_t c = 0; c < 4; ++c) {
            EXPECT_DOUBLE_EQ(readings->atA[c], rows.rows[3000][c] * scale);
            EXPECT_DOUBLE_EQ(readings->atB[c], rows.rows[1200][c] * scale);
            EXPECT_DOUBLE_EQ(readings->difference[c], (rows.rows[1200][c] - rows.rows[3000][c]) * scale);
            EXPECT_EQ(texts.difference[c], AccelerationText(readings->difference[c]));
        }
        EXPECT_EQ(readings->deltaTicks, -1800);
        EXPECT_EQ(texts.deltaT, "-90.000 s");
        EXPECT_EQ(texts.rowA, "3001");
        EXPECT_EQ(texts.rowB, "1201");
        EXPECT_EQ(texts.firstRow, "1201");
        EXPECT_EQ(texts.lastRow, "3001");
    }
}

TEST(CursorReadings, TimesAreTheRowLabelsAndMotionSpansCountTicks)
{
    // Ticks of 50 ms with a pause after the third row: rows 2 and 4 are 49 ticks apart.
    const Installed shown(LoggedRecording(testing::FlatRows(5, 1.0), 200, {0, 1, 2, 50, 51}));
    const auto readings = ReadCursors(shown.recording, 2, 4, Unit::G);
    ASSERT_TRUE(readings);
    EXPECT_EQ(readings->deltaTicks, 49);
    EXPECT_DOUBLE_EQ(readings->deltaSeconds, 49 * 0.05);
    const CursorReadingTexts texts = CursorReadingTextsOf(*readings, shown.recording, shown.view);
    EXPECT_EQ(texts.deltaT, "2.450 s");
    // The labels the graph's read-out writes, without their leading blank.
    EXPECT_EQ(" " + texts.timeA, shown.view.FormatSampleTime(shown.recording, 2));
    EXPECT_EQ(" " + texts.timeB, shown.view.FormatSampleTime(shown.recording, 4));
    EXPECT_EQ(texts.timeB, "05/03/23 14:07:11 550ms");
    EXPECT_EQ(texts.statistics.rows, 3u);
    for (std::size_t c = 0; c < 4; ++c)
        EXPECT_EQ(texts.difference[c], "0.0000");
}

TEST(CursorReadings, SpectrumCapturesSpanWhole256thsOfASecondExactly)
{
    // A capture's rows are 1/256 s apart; its first half is what the time graph shows.
    const Installed shown(testing::SpectrumRecording(testing::FlatRows(512)));
    const auto readings = ReadCursors(shown.recording, 0, 3, Unit::G);
    ASSERT_TRUE(readings);
    EXPECT_EQ(CursorReadingTextsOf(*readings, shown.recording, shown.view).deltaT, "0.01171875 s");
    EXPECT_FALSE(ReadCursors(shown.recording, 0, 256, Unit::G));  // beyond the shown half
}

TEST(CursorReadings, OneRowAndRowsOutsideTheRecording)
{
    const Installed shown(LoggedRecording(RandomCountRows(10, 3)));
    const auto same = ReadCursors(shown.recording, 4, 4, Unit::G);
    ASSERT_TRUE(same);
    const CursorReadingTexts texts = CursorReadingTextsOf(*same, shown.recording, shown.view);
    EXPECT_EQ(texts.deltaT, "0.000 s");
    EXPECT_EQ(texts.statistics.rows, 1u);
    EXPECT_EQ(texts.statistics.cells[5][0], "0.0000");  // peak-to-peak of one row

    EXPECT_FALSE(ReadCursors(shown.recording, 10, 0, Unit::G));
    EXPECT_FALSE(ReadCursors(shown.recording, 0, 10, Unit::G));
    EXPECT_FALSE(ReadCursors(Recording{}, 0, 0, Unit::G));
}

TEST(CursorReadings, SecondsTexts)
{
    EXPECT_EQ(SecondsText(1.5), "1.500 s");
    EXPECT_EQ(SecondsText(-0.0), "0.000 s");
    EXPECT_EQ(SecondsText(3600.0), "3600.000 s");
    EXPECT_EQ(SecondsText(-1.0 / 256.0), "-0.00390625 s");
    EXPECT_EQ(SecondsText(0.1 + 0.2), "0.300 s");  // rounding noise is not a decimal
}

}  // namespace
}  // namespace shakemeter::vibration
