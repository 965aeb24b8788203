// Cell texts of the data list in time and frequency mode.

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/report/DataListCells.h"
#include "analysis/report/DataListColumns.h"
#include "recording/FixedText.h"
#include "recording/test_summary_fixtures.h"

namespace shakemeter {
namespace {

using namespace testing;

std::vector<std::string> Row(const DataListCells& cells, int r)
{
    std::vector<std::string> texts;
    for (int c = 0; c < 7; ++c)
        texts.push_back(cells.CellText(r, c));
    return texts;
}

std::string Fixed2(double v)
{
    std::string s;
    AppendFixed2(s, v);
    return s;
}

TEST(DataListCellsTest, SpectrumRecordingListsBinsOrHalfTheSamples)
{
    ScopedTimeZone zone("UTC0");
    std::vector<SampleRow> rows(256);
    for (int i = 0; i < 256; ++i)
        rows[static_cast<std::size_t>(i)] = {std::sin(2 * M_PI * 12 * i / 256.0), 0.25, 1.0, 1.0};
    const Recording capture = MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 0), rows);

    Shown freq(capture, true);
    const DataListCells f(freq.document, freq.view);
    ASSERT_EQ(f.RowCount(), 256);
    const SampleRow& bin12 = freq.view.m_pSpectrum[12];
    EXPECT_GT(bin12[0], 0.4);  // the 12 Hz component is in row 12, not a neighbour
    EXPECT_EQ(Row(f, 12),
              (std::vector<std::string>{"13", "12.00", Fixed2(bin12[0]), Fixed2(bin12[1]), Fixed2(bin12[2]), "", ""}));
    EXPECT_EQ(f.CellText(255, 1), "255.00");

    Shown time(capture, false);
    const DataListCells t(time.document, time.view);
    EXPECT_EQ(t.RowCount(), 128);
    EXPECT_EQ(t.CellText(12, 1), " 14:07:09+12/256");
    EXPECT_EQ(t.CellText(12, 5), "1.00");
    EXPECT_EQ(t.CellText(12, 6), "g");
}

TEST(DataListCellsTest, RowsOutsideTheDataGiveEmptyTexts)
{
    ScopedTimeZone zone("UTC0");
    Shown empty(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), {}));
    EXPECT_EQ(DataListCells(empty.document, empty.view).RowCount(), 0);
    EXPECT_EQ(DataListCells(empty.document, empty.view).CellText(0, 1), "");

    // A real-time reading planned for 100 points that has read 3.
    Recording fresh = MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 1000), FlatRows(100, 1.0), {}, true);
    fresh.m_header.dwSampleCount = 3;
    Shown shown(std::move(fresh));
    const DataListCells cells(shown.document, shown.view);
    EXPECT_EQ(cells.RowCount(), 3);
    EXPECT_EQ(cells.CellText(2, 1), " 05/03/23 14:07:11");
    EXPECT_EQ(cells.CellText(2, 2), "1.00");
    // The list may still count the rows of a larger recording it was built for.
    shown.view.m_nShownCount = 1000;
    EXPECT_EQ(cells.CellText(3, 2), "");
    EXPECT_EQ(cells.CellText(-1, 0), "");
    EXPECT_EQ(cells.CellText(0, 7), "");
    // Frequency mode without a spectrum (the recording is not a capture).
    shown.view.m_bFrequencyMode = true;
    EXPECT_EQ(cells.CellText(0, 0), "");
}

TEST(DataListColumnsTest, NumberColumnWidensOnlyForNumbersThatWouldNotFit)
{
    EXPECT_EQ(DataListNumberWidth(0, 7, 8), 50);
    EXPECT_EQ(DataListNumberWidth(99999, 7, 8), 50);    // 5 digits: 43 px
    EXPECT_EQ(DataListNumberWidth(999999, 7, 8), 50);   // 6 digits: exactly 50
    EXPECT_EQ(DataListNumberWidth(1000000, 7, 8), 57);  // 7 digits
    EXPECT_EQ(DataListNumberWidth(1234567, 9, 8), 71);
    EXPECT_EQ(DataListNumberWidth(2147483647, 7, 8), 78);
}

}  // namespace
}  // namespace shakemeter
