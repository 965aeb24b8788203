// The summary of many recordings: each line's figures, an unreadable file in the middle of the
// list, and the same table whatever the number of threads.

#include <algorithm>
#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ExportFixtures.h"
#include "ScopedTimeZone.h"
#include "TestRecordings.h"
#include "analysis/export/RecordingSummary.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::exports;
using namespace shakemeter::testing;

class RecordingSummaryTest : public ::testing::Test {
protected:
    // A recording at rest on Z with one shock of 3 g at row 5 and a fall of 6 rows from row 10,
    // and eleven other files of random rows.
    void SetUp() override
    {
        std::vector<SampleRow> rows(30, SampleRow{0.0, 0.0, 1.0, 1.0});
        rows[5] = {2.0, 0.0, 2.2, 3.0};
        for (int k = 10; k < 16; ++k)
            rows[k] = {0.0, 0.0, 0.1, 0.1};
        m_paths.push_back(Write("events.Vibration", MakeRecording(MarchHeader(), rows)));
        for (int i = 0; i < 11; ++i)
            m_paths.push_back(Write("random" + std::to_string(i) + ".Vibration",
                                    MakeRecording(MarchHeader(), RandomCountRows(500 + 100 * i, i))));
    }

    std::string Write(const std::string& name, const Recording& recording)
    {
        const std::string path = m_folder / name;
        EXPECT_TRUE(WriteRecordingFile(path, recording, recording.m_header.dwSampleCount));
        return path;
    }

    ScopedTimeZone m_zone{"UTC0"};
    ScratchFolder m_folder{"summary"};
    std::vector<std::string> m_paths;
};

TEST_F(RecordingSummaryTest, ALineHoldsTheRecordingsFiguresAndEvents)
{
    const RecordingSummary line = SummarizeRecording(m_paths[0]);
    ASSERT_TRUE(line.readable()) << line.failure;
    EXPECT_EQ(line.startTime, "2023-03-05T14:07:09+00:00");
    EXPECT_EQ(line.kind, "logged");
    EXPECT_DOUBLE_EQ(line.intervalS, 0.05);
    EXPECT_EQ(line.rows, 30u);
    EXPECT_EQ(line.max[0], 2.0);
    EXPECT_EQ(line.min[2], 0.1);
    EXPECT_EQ(line.max[2], 2.2);
    EXPECT_EQ(line.shocks, 1u);
    EXPECT_EQ(line.largestShock, 3.0);
    EXPECT_EQ(line.falls, 1u);
    // Six rows of 50 ms: g (0.3 s)^2 / 2.
    EXPECT_NEAR(line.highestDropM, 9.80665 * 0.09 / 2, 1e-9);
}

TEST_F(RecordingSummaryTest, AnUnreadableFileInTheMiddleGetsItsReasonAndTheRestGoOn)
{
    const std::string broken = m_folder / "broken.Vibration";
    std::ofstream(broken) << std::string(200, 'x');
    std::vector<std::string> paths = m_paths;
    paths.insert(paths.begin() + 4, broken);
    paths.insert(paths.begin() + 6, m_folder / "missing.Vibration");

    std::vector<std::size_t> progress;
    const auto lines = SummarizeRecordings(paths, 2, {}, [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(total, paths.size());
        progress.push_back(done);
    });
    ASSERT_EQ(lines.size(), paths.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].file, paths[i]);
        EXPECT_EQ(lines[i].readable(), i != 4 && i != 6) << i;
    }
    EXPECT_NE(lines[4].failure.find("not a recording file"), std::string::npos) << lines[4].failure;
    EXPECT_EQ(lines[6].failure, "no such file");
    for (std::size_t i = 0; i < progress.size(); ++i)
        EXPECT_EQ(progress[i], i + 1);
    EXPECT_EQ(progress.size(), paths.size());

    const auto table = ParseCsv(FormatSummaryCsv(lines));
    ASSERT_EQ(table.size(), paths.size() + 1);
    for (const auto& row : table)
        EXPECT_EQ(row.size(), 19u);
    EXPECT_EQ(table[5][0], broken);
    EXPECT_EQ(table[5][18], lines[4].failure);
    EXPECT_EQ(table[5][4], "");
    EXPECT_EQ(table[1][4], "30");
    EXPECT_EQ(table[1][18], "");
    EXPECT_EQ(std::stod(table[1][15]), 3.0);

    const std::string text = FormatSummaryTable(lines);
    EXPECT_THAT(text, ::testing::ContainsRegex("missing.Vibration +cannot read: no such file\n"));
}

// Paths of any length: each line of the table keeps every column and its own line end.
TEST(RecordingSummaryTable, LongPathsKeepEveryColumn)
{
    const std::string folder = "/" + std::string(200, 'd') + "/" + std::string(200, 'e') + "/" + std::string(200, 'f');
    RecordingSummary read;
    read.file = folder + "/week1.Vibration";
    read.startTime = "2023-03-05T14:07:09+00:00";
    read.kind = "logged";
    read.intervalS = 0.05;
    read.rows = 30;
    read.max = {2.0, 0.5, 2.25};
    read.shocks = 1;
    read.largestShock = 3.0;
    read.falls = 1;
    read.highestDropM = 0.125;
    RecordingSummary missing;
    missing.file = folder + "/week2.Vibration";
    missing.failure = "no such file";

    const std::string text = FormatSummaryTable({read, missing});
    EXPECT_THAT(text, ::testing::ContainsRegex("\n/d+/e+/f+/week1\\.Vibration +2023-03-05T14:07:09\\+00:00 +logged +"
                                               "0\\.05 +30 +2 .* 2\\.25 .* 1 +3 +1 +0\\.125\n"));
    EXPECT_THAT(text, ::testing::EndsWith("/week2.Vibration  cannot read: no such file\n"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
}

TEST_F(RecordingSummaryTest, OneThreadAndSeveralGiveTheSameTable)
{
    const auto one = SummarizeRecordings(m_paths, 1);
    const auto two = SummarizeRecordings(m_paths, 2);
    const auto many = SummarizeRecordings(m_paths, 0);
    EXPECT_EQ(FormatSummaryCsv(one), FormatSummaryCsv(two));
    EXPECT_EQ(FormatSummaryCsv(one), FormatSummaryCsv(many));
    EXPECT_EQ(FormatSummaryTable(one), FormatSummaryTable(two));
    EXPECT_TRUE(SummarizeRecordings({}, 2).empty());
}

}  // namespace
