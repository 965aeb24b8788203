// Cell texts and columns of the data list in time and frequency mode.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/report/DataListCells.h"
#include "analysis/report/DataListColumns.h"
#include "recording/FixedText.h"
#include "recording/test_summary_fixtures.h"

namespace shakemeter {
namespace {

using testing::FlatRows;
using testing::HeaderAt;
using testing::MakeRecording;
using testing::ScopedTimeZone;
using testing::Shown;

constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";

std::vector<std::string> Row(const DataListCells& cells, int r)
{
    std::vector<std::string> texts;
    for (int c = 0; c < DATA_LIST_COLUMNS; ++c)
        texts.push_back(cells.CellText(r, c));
    return texts;
}

std::string Fixed2(double v)
{
    std::string s;
    AppendFixed2(s, v);
    return s;
}

// A spectrum capture: 256 rows at 1/256 s with a 12 Hz component on X and 40 Hz on Z.
Recording SpectrumCapture()
{
    std::vector<SampleRow> rows(256);
    for (int i = 0; i < 256; ++i) {
        const double t = i / 256.0;
        rows[static_cast<std::size_t>(i)] = {std::sin(2 * M_PI * 12 * t), 0.25, 1.0 + 0.5 * std::sin(2 * M_PI * 40 * t), 1.0};
    }
    return MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 0), std::move(rows));
}

TEST(DataListColumnsTest, HeadingsCarryTheBlanksThatSpaceThePrintedColumns)
{
    const auto& time = DataListColumnsFor(false);
    const auto& freq = DataListColumnsFor(true);
    EXPECT_EQ(time[0].heading, "No.  ");
    EXPECT_EQ(time[1].heading, "Time           ");
    EXPECT_EQ(time[1].heading.size(), 15u);
    EXPECT_EQ(freq[1].heading, "Frequency(HZ)  ");
    EXPECT_EQ(freq[1].heading.size(), 15u);
    EXPECT_EQ(time[5].heading, "Vector Sum");
    EXPECT_EQ(time[6].heading, "Unit");
    const int timeWidths[] = {50, 200, 130, 130, 130, 130, 130};
    const int freqWidths[] = {50, 200, 130, 130, 130, 0, 0};
    for (int c = 0; c < DATA_LIST_COLUMNS; ++c) {
        EXPECT_EQ(time[static_cast<std::size_t>(c)].width, timeWidths[c]) << c;
        EXPECT_EQ(freq[static_cast<std::size_t>(c)].width, freqWidths[c]) << c;
    }
    EXPECT_TRUE(freq[5].heading.empty());
    EXPECT_TRUE(freq[6].heading.empty());
    EXPECT_EQ(freq[2].heading, "X Value");
}

TEST(DataListCellsTest, TimeModeRowsShowNumberTimeValuesAndUnit)
{
    ScopedTimeZone zone(kBerlin);
    std::vector<SampleRow> rows = FlatRows(40, 0.0);
    rows[3] = {-0.004, 1.005, -12.5, 12.54};
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), rows));
    const DataListCells cells(shown.document, shown.view);
    EXPECT_EQ(cells.RowCount(), 40);
    EXPECT_EQ(Row(cells, 0), (std::vector<std::string>{"1", " 05/03/23 14:07:09", "0.00", "0.00", "0.00", "0.00", "g"}));
    // "%.2f" as printf makes it: negative zero keeps its sign, halves follow the binary value.
    EXPECT_EQ(Row(cells, 3),
        (std::vector<std::string>{"4", " 05/03/23 14:07:09 150ms", "-0.00", Fixed2(1.005), "-12.50", "12.54", "g"}));
    EXPECT_EQ(cells.CellText(39, 0), "40");
}

TEST(DataListCellsTest, SpectrumRecordingListsBinsOrHalfTheSamples)
{
    ScopedTimeZone zone(kBerlin);
    Shown freq(SpectrumCapture(), true);
    const DataListCells f(freq.document, freq.view);
    ASSERT_EQ(f.RowCount(), 256);
    const SampleRow& bin12 = freq.view.m_pSpectrum[12];
    EXPECT_GT(bin12[0], 0.4);  // the 12 Hz component shows in the row, not a neighbour's
    EXPECT_EQ(Row(f, 12), (std::vector<std::string>{"13", "12.00", Fixed2(bin12[0]), Fixed2(bin12[1]), Fixed2(bin12[2]), "", ""}));
    EXPECT_EQ(f.CellText(255, 1), "255.00");
    EXPECT_EQ(f.CellText(0, 0), "1");

    Shown time(SpectrumCapture(), false);
    const DataListCells t(time.document, time.view);
    EXPECT_EQ(t.RowCount(), 128);
    EXPECT_EQ(t.CellText(12, 1), " 14:07:09+12/256");
    EXPECT_EQ(t.CellText(0, 1), " 14:07:09");
    EXPECT_EQ(t.CellText(12, 5), "1.00");
    EXPECT_EQ(t.CellText(12, 6), "g");
}

TEST(DataListCellsTest, TheModeIsReadAtEveryRequest)
{
    ScopedTimeZone zone(kBerlin);
    Shown shown(SpectrumCapture(), false);
    const DataListCells cells(shown.document, shown.view);
    EXPECT_EQ(cells.CellText(2, 1), " 14:07:09+2/256");
    shown.view.m_bFrequencyMode = true;
    shown.view.RefreshSummary(shown.document);
    EXPECT_TRUE(cells.FrequencyMode());
    EXPECT_EQ(cells.RowCount(), 256);
    EXPECT_EQ(cells.CellText(2, 1), "2.00");
}

TEST(DataListCellsTest, RowsOutsideTheDataGiveEmptyTexts)
{
    ScopedTimeZone zone("UTC0");
    Shown empty(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), {}));
    const DataListCells none(empty.document, empty.view);
    EXPECT_EQ(none.RowCount(), 0);
    EXPECT_EQ(none.CellText(0, 0), "");
    EXPECT_EQ(none.CellText(0, 1), "");

    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), FlatRows(5, 1.0)));
    const DataListCells cells(shown.document, shown.view);
    // The list may still count the rows of the recording it was built for.
    shown.view.m_nShownCount = 1000;
    EXPECT_EQ(cells.CellText(4, 2), "1.00");
    EXPECT_EQ(cells.CellText(5, 2), "");
    EXPECT_EQ(cells.CellText(999, 1), "");
    EXPECT_EQ(cells.CellText(-1, 0), "");
    EXPECT_EQ(cells.CellText(0, 7), "");
    EXPECT_EQ(cells.CellText(0, -1), "");
    // Frequency mode without a spectrum (a recording that is not a capture).
    shown.view.m_bFrequencyMode = true;
    EXPECT_EQ(cells.CellText(0, 0), "");
    shown.view.m_nShownCount = -3;
    EXPECT_EQ(cells.RowCount(), 0);
}

TEST(DataListCellsTest, ARealTimeRecordingListsOnlyTheRowsReadSoFar)
{
    ScopedTimeZone zone("UTC0");
    Recording fresh = MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 1000), FlatRows(100, 0.5), {}, true);
    fresh.m_header.dwSampleCount = 3;  // planned 100 points, three read
    Shown shown(std::move(fresh));
    const DataListCells cells(shown.document, shown.view);
    EXPECT_EQ(cells.RowCount(), 3);
    EXPECT_EQ(cells.CellText(2, 1), " 05/03/23 14:07:11");
    EXPECT_EQ(cells.CellText(3, 2), "");
}

}  // namespace
}  // namespace shakemeter
