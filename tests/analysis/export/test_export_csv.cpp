// The comma-separated exports read back as a spreadsheet reads them: the rows of a range with
// their labels and unit, the event table and a PSD with every number exact.

#include <cmath>
#include <sstream>

#include <gtest/gtest.h>

#include "ExportFixtures.h"
#include "ScopedTimeZone.h"
#include "TestRecordings.h"
#include "analysis/export/AnalysisCsv.h"
#include "analysis/export/ExportText.h"
#include "analysis/export/RangeCsv.h"
#include "analysis/vibration/TimeRows.h"
#include "recording/CsvExport.h"
#include "recording/RecordingView.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::exports;
using namespace shakemeter::testing;
using vibration::Unit;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class RangeCsvTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Recording fresh = MakeRecording(MarchHeader(), RandomCountRows(40, 3));
        InstallCompleteRecording(m_recording, m_view, std::move(fresh));
    }
    ScopedTimeZone m_zone{"UTC0"};
    Recording m_recording;
    RecordingView m_view;
};

TEST_F(RangeCsvTest, RowsInGAreTheFullTablesLinesOfThoseRows)
{
    const std::vector<std::string> full = Lines(BuildCsv(m_recording, m_view));
    const std::vector<std::string> range = Lines(BuildRangeCsv(m_recording, m_view, {7, 19}, Unit::G));
    ASSERT_EQ(range.size(), 1u + 13u);
    EXPECT_EQ(range[0], full[0]);
    for (std::size_t k = 7; k <= 19; ++k)
        EXPECT_EQ(range[k - 6], full[k + 1]) << "row " << k;
}

TEST_F(RangeCsvTest, MetresPerSecondSquaredScaleEveryValueAndNameTheUnit)
{
    const auto table = ParseCsv(BuildRangeCsv(m_recording, m_view, {0, 39}, Unit::MetresPerSecondSquared));
    ASSERT_EQ(table.size(), 41u);
    EXPECT_EQ(table[0],
              (std::vector<std::string>{"No.", "Time", "X (m/s2)", "Y (m/s2)", "Z (m/s2)", "Vector Sum (m/s2)"}));
    for (std::size_t k = 0; k < 40; ++k) {
        ASSERT_EQ(table[k + 1].size(), 6u);
        EXPECT_EQ(table[k + 1][0], std::to_string(k + 1));
        EXPECT_EQ(" " + table[k + 1][1], m_view.FormatSampleTime(m_recording, static_cast<int>(k)));
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(std::stod(table[k + 1][2 + c]), m_recording.m_pSamples[k][c] * 9.80665, 0.005);
    }
}

TEST_F(RangeCsvTest, ARangePastTheRowsStopsAtTheLastRow)
{
    EXPECT_EQ(Lines(BuildRangeCsv(m_recording, m_view, {38, 500}, Unit::G)).size(), 3u);
    EXPECT_EQ(Lines(BuildRangeCsv(m_recording, m_view, {40, 41}, Unit::G)).size(), 1u);
}

vibration::Events SomeEvents()
{
    vibration::Events e;
    e.shocks.push_back({10, 12, "05/03/23 14:07:09 500ms", 0.15, 3.1, 11, {-2.5, 0.25, 1.75}, "-X"});
    const vibration::FreeFall fall{3, 8, "05/03/23 14:07:09 150ms", 0.3, 0.441299, 0.306458, 0.600658, 2.94, 0};
    e.freeFalls = {fall, fall};
    e.freeFalls[1].impact.reset();
    return e;
}

TEST(EventsCsv, EveryEventReadsBackInItsColumnsWithShockValuesInTheUnit)
{
    std::ostringstream out;
    WriteEventsCsv(out, SomeEvents(), Unit::MetresPerSecondSquared, {"06/05/26 08:30:15", "odd, \"quoted\""});
    const auto table = ParseCsv(out.str());
    ASSERT_EQ(table.size(), 6u);
    for (const auto& row : table)
        EXPECT_EQ(row.size(), 15u);
    EXPECT_EQ(table[0][5], "Peak sum (m/s2)");
    EXPECT_EQ(table[0][10], "Drop height (m)");

    const auto& shock = table[1];
    EXPECT_EQ(shock[0], "shock");
    EXPECT_EQ(shock[1], "10");
    EXPECT_EQ(shock[3], "05/03/23 14:07:09 500ms");
    EXPECT_DOUBLE_EQ(std::stod(shock[5]), 3.1 * 9.80665);
    EXPECT_DOUBLE_EQ(std::stod(shock[6]), -2.5 * 9.80665);
    EXPECT_EQ(shock[9], "-X");
    EXPECT_EQ(shock[10], "");

    const auto& fall = table[2];
    EXPECT_EQ(fall[0], "free fall");
    EXPECT_EQ(fall[5], "");
    // Heights and speeds are metres and m/s whatever the unit of the shocks.
    EXPECT_EQ(std::stod(fall[10]), 0.441299);
    EXPECT_EQ(std::stod(fall[11]), 0.306458);
    EXPECT_EQ(std::stod(fall[12]), 0.600658);
    EXPECT_EQ(std::stod(fall[13]), 2.94);
    EXPECT_EQ(fall[14], "0");
    EXPECT_EQ(table[3][14], "");

    EXPECT_EQ(table[4][0], "logged free fall");
    EXPECT_EQ(table[4][3], "06/05/26 08:30:15");
    EXPECT_EQ(table[5][3], "odd, \"quoted\"");
}

TEST(PsdCsv, EveryDensityAndTheGrmsLineReadBackExactly)
{
    vibration::PsdResult psd;
    psd.fs = 256;
    psd.segment = 16;
    psd.df = 16;
    psd.frequency = {0, 16, 32};
    for (int axis = 0; axis < 3; ++axis) {
        psd.axes[axis].psd = {1e-7 * (axis + 1), 0.1 / 3.0, 123.456789012345};
        psd.axes[axis].grms = 0.7 + axis;
    }
    std::ostringstream out;
    WritePsdCsv(out, psd, Unit::G);
    const auto table = ParseCsv(out.str());
    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table[0], (std::vector<std::string>{"Frequency (Hz)", "X (g^2/Hz)", "Y (g^2/Hz)", "Z (g^2/Hz)"}));
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(std::stod(table[k + 1][0]), psd.frequency[k]);
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_EQ(std::stod(table[k + 1][1 + axis]), psd.axes[axis].psd[k]);
    }
    EXPECT_EQ(table[4][0], "Grms (g)");
    for (int axis = 0; axis < 3; ++axis)
        EXPECT_EQ(std::stod(table[4][1 + axis]), psd.axes[axis].grms);

    std::ostringstream metres;
    WritePsdCsv(metres, psd, Unit::MetresPerSecondSquared);
    const auto scaled = ParseCsv(metres.str());
    EXPECT_EQ(scaled[0][1], "X (m/s2^2/Hz)");
    EXPECT_DOUBLE_EQ(std::stod(scaled[2][1]), 0.1 / 3.0 * 9.80665 * 9.80665);
    EXPECT_DOUBLE_EQ(std::stod(scaled[4][1]), 0.7 * 9.80665);
}

TEST(PsdCsv, ComparisonWritesBothDensitiesAndTheRatioWithEmptyCellsWhereThereIsNone)
{
    // Shown at 256 per second in 16 Hz bins, compared at 64 per second: its Nyquist frequency
    // (32 Hz) is the shown density's third bin, so the last shown bin has no compared value.
    vibration::PsdResult shown;
    shown.fs = 256;
    shown.segment = 16;
    shown.df = 16;
    shown.frequency = {0, 16, 32, 48};
    vibration::PsdResult compared = shown;
    compared.fs = 64;
    compared.df = 4;
    compared.frequency.clear();
    for (int k = 0; k <= 8; ++k)
        compared.frequency.push_back(4.0 * k);
    for (int axis = 0; axis < 3; ++axis) {
        shown.axes[axis].psd = {0.0, 0.1 / 3.0, 2.0, 5.0};
        shown.axes[axis].grms = 0.5 + axis;
        compared.axes[axis].psd.assign(9, 0.2);
        compared.axes[axis].grms = 0.25 + axis;
    }
    const vibration::PsdComparison comparison = vibration::ComparePsd(shown, compared);
    std::ostringstream out;
    WritePsdComparisonCsv(out, comparison, Unit::G);
    const auto table = ParseCsv(out.str());
    ASSERT_EQ(table.size(), 6u);
    EXPECT_EQ(table[0],
              (std::vector<std::string>{"Frequency (Hz)", "X shown (g^2/Hz)", "Y shown (g^2/Hz)", "Z shown (g^2/Hz)",
                                        "X compared (g^2/Hz)", "Y compared (g^2/Hz)", "Z compared (g^2/Hz)",
                                        "X ratio (dB)", "Y ratio (dB)", "Z ratio (dB)"}));
    for (const auto& line : table)
        EXPECT_EQ(line.size(), 10u);
    // Bin 0: nothing shown there, so no ratio (an empty cell, never "inf").
    EXPECT_EQ(table[1][1], "0");
    EXPECT_EQ(std::stod(table[1][4]), 0.2);
    EXPECT_EQ(table[1][7], "");
    EXPECT_EQ(std::stod(table[2][1]), 0.1 / 3.0);
    EXPECT_EQ(std::stod(table[2][8]), *vibration::RatioDb(0.1 / 3.0, 0.2));
    EXPECT_EQ(std::stod(table[3][9]), 10.0 * std::log10(0.1));
    // 48 Hz lies past the compared recording's 32 Hz: the shown density alone.
    EXPECT_EQ(std::stod(table[4][3]), 5.0);
    for (int column = 4; column < 10; ++column)
        EXPECT_EQ(table[4][column], "") << column;
    EXPECT_EQ(table[5][0], "Grms (g)");
    EXPECT_EQ(std::stod(table[5][2]), 1.5);
    EXPECT_EQ(std::stod(table[5][6]), 2.25);
    EXPECT_EQ(table[5][7], "");

    std::ostringstream metres;
    WritePsdComparisonCsv(metres, comparison, Unit::MetresPerSecondSquared);
    const auto scaled = ParseCsv(metres.str());
    EXPECT_EQ(scaled[0][4], "X compared (m/s2^2/Hz)");
    EXPECT_DOUBLE_EQ(std::stod(scaled[2][4]), 0.2 * 9.80665 * 9.80665);
    EXPECT_EQ(scaled[2][8], table[2][8]);
    EXPECT_DOUBLE_EQ(std::stod(scaled[5][6]), 2.25 * 9.80665);
}

TEST(ExportText, StartTimesCarryTheOffsetTheZoneHadThen)
{
    const ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(IsoLocalTime(CalendarTime::FromLocal({2026, 1, 15, 8, 30, 12})), "2026-01-15T08:30:12+01:00");
    EXPECT_EQ(IsoLocalTime(CalendarTime::FromLocal({2026, 7, 15, 8, 30, 12})), "2026-07-15T08:30:12+02:00");
    const ScopedTimeZone west("<-0330>3:30");
    EXPECT_EQ(IsoLocalTime(CalendarTime::FromLocal({2026, 7, 15, 8, 30, 12})), "2026-07-15T08:30:12-03:30");
}

TEST(ExportText, OnlyFieldsThatNeedQuotesGetThem)
{
    std::string out;
    for (const char* field : {"plain", "a,b", "say \"hi\"", "two\nlines"}) {
        AppendCsvField(out, field);
        out += ';';
    }
    EXPECT_EQ(out, "plain;\"a,b\";\"say \"\"hi\"\"\";\"two\nlines\";");
}

}  // namespace
