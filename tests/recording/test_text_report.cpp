// The ".xls" text report, its number texts and the names of the two saved files.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <sstream>
#include <string_view>

#include "recording/FixedText.h"
#include "recording/TextReport.h"
#include "ScopedCommaLocale.h"
#include "test_summary_fixtures.h"

namespace shakemeter {
namespace {

using namespace testing;

constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";
constexpr const char* kListHeader = "NO.\tX Value\tY Value\tZ Value\tVector Sum Value\tUNIT\tTIME\t";

std::vector<std::string> Lines(const std::string& report)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = report.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(report.substr(start, end - start));
    EXPECT_EQ(start, report.size()) << "report does not end with CR LF";
    return lines;
}

// The row numbers of the groups on one list line; every group has seven fields, the unit "g"
// and a time label between blanks.
std::vector<long> GroupRows(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    bool wellFormed = start == line.size() && fields.size() % 7 == 0;
    std::vector<long> rows;
    for (std::size_t g = 0; wellFormed && g + 7 <= fields.size(); g += 7) {
        const std::string_view time = fields[g + 6];
        wellFormed = fields[g + 5] == "g" && time.size() > 2 && time.front() == ' ' && time.back() == ' ';
        rows.push_back(std::stol(std::string(fields[g])));
    }
    EXPECT_TRUE(wellFormed) << line;
    return rows;
}

std::size_t ListStart(const std::vector<std::string>& lines)
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == "Vibration Data List(X,Y,Z,Vector Sum)")
            return i + 2;  // title, empty line, then the list header
    ADD_FAILURE() << "no list title";
    return lines.size();
}

std::string Repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

TEST(TextReportTest, SmallMotionRecordingByteForByte)
{
    ScopedTimeZone zone(kBerlin);
    RecordingHeader header = HeaderAt(2023, 3, 5, 14, 7, 9, 5);
    header.byThresholdX = 3;
    header.byThresholdZ = 18;
    header.wFreeFallCount = 2;
    Recording fresh = MakeRecording(header,
                                    {
                                        {0.12, -0.50, 1.00, 1.12},
                                        {-0.004, 0.0, 0.99, 0.99},
                                        {1.5, 0.25, 1.01, 1.83},
                                    },
                                    {0, 2, 3});
    fresh.m_pFreeFallEvents = {"05/03/23 14:07:20", "05/03/23 14:08:00"};
    Shown shown(std::move(fresh));

    const std::string hyphens(150, '-');
    const std::string expected =
        std::string(33, ' ') +
        "Test Report\r\n"
        "\r\n"
        ">>Start Time: 05/03/23 14:07:09\r\n"
        ">>Sampling rate: 1sec    Samplings: 3\r\n"
        ">>Unit: g   Mode: Motion Detection\r\n"
        ">>X MAX: 1.50 @ 05/03/23 14:07:12  X MIN: -0.00 @ 05/03/23 14:07:11  X AVG: 0.54   X Threshold: 3\r\n"
        ">>Y MAX: 0.25 @ 05/03/23 14:07:12  Y MIN: -0.50 @ 05/03/23 14:07:09  Y AVG: -0.08   Y Threshold: NONE\r\n"
        ">>Z MAX: 1.01 @ 05/03/23 14:07:12  Z MIN: 0.99 @ 05/03/23 14:07:11  Z AVG: 1.00   Z Threshold: 18\r\n"
        ">>Vector Sum MAX: 1.83 @ 05/03/23 14:07:12  Vector Sum MIN: 0.99 @ 05/03/23 14:07:11"
        "  Vector Sum AVG: 1.31\r\n" +
        hyphens +
        "\r\n"
        "Free Fall Recordings: 2\r\n"
        "\r\n"
        "NO.\tTime\t\r\n"
        "1 \t 05/03/23 14:07:20 \t\r\n"
        "2 \t 05/03/23 14:08:00 \t\r\n" +
        hyphens +
        "\r\n"
        "Vibration Data List(X,Y,Z,Vector Sum)\r\n"
        "\r\n" +
        kListHeader +
        "\r\n"
        "1\t0.12\t-0.50\t1.00\t1.12\tg\t 05/03/23 14:07:09 \t\r\n"
        "2\t-0.00\t0.00\t0.99\t0.99\tg\t 05/03/23 14:07:11 \t\r\n"
        "3\t1.50\t0.25\t1.01\t1.83\tg\t 05/03/23 14:07:12 \t\r\n";
    EXPECT_EQ(FormatTextReport(shown.document, shown.view), expected);
}

TEST(TextReportTest, ADecimalCommaLocaleWritesTheSameBytes)
{
    ScopedTimeZone zone(kBerlin);
    std::vector<SampleRow> rows;
    for (int i = 0; i < 40; ++i)
        rows.push_back({0.25 * i, -1.5, 0.98, 2.75});
    const auto report = [&rows](std::uint16_t interval, bool realTime) {
        Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, interval), rows, {}, realTime));
        return FormatTextReport(shown.document, shown.view);
    };
    const std::string logged = report(200, false);
    const std::string live = report(500, true);
    ASSERT_NE(logged.find("0.050"), std::string::npos);
    ASSERT_NE(live.find("0.50"), std::string::npos);

    testing::ScopedCommaLocale comma;
    if (!comma.active())
        GTEST_SKIP() << testing::ScopedCommaLocale::kMissing;
    EXPECT_EQ(report(200, false), logged);
    EXPECT_EQ(report(500, true), live);
}

TEST(TextReportTest, WithoutEventsTwoRulesFollowEachOther)
{
    ScopedTimeZone zone(kBerlin);
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), FlatRows(4, 0.5)));
    const std::vector<std::string> lines = Lines(FormatTextReport(shown.document, shown.view));
    ASSERT_GE(lines.size(), 13u);
    EXPECT_EQ(lines[3], ">>Sampling rate: 0.050sec    Samplings: 4");
    EXPECT_EQ(lines[4], ">>Unit: g   Mode: Normal");
    EXPECT_EQ(lines[9], std::string(150, '-'));
    EXPECT_EQ(lines[10], std::string(150, '-'));
    EXPECT_EQ(lines[11], "Vibration Data List(X,Y,Z,Vector Sum)");
    EXPECT_EQ(lines[12], "");
    EXPECT_EQ(lines[14], "1\t0.50\t0.50\t0.50\t0.50\tg\t 05/03/23 14:07:09 \t");
    EXPECT_EQ(lines[17], "4\t0.50\t0.50\t0.50\t0.50\tg\t 05/03/23 14:07:09 150ms \t");
    EXPECT_EQ(lines.size(), 18u);
}

TEST(TextReportTest, LongRecordingsAreWrittenInBlocksSideBySide)
{
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), FlatRows(2 * 60000 + 10000, 1.0)));
    const std::vector<std::string> lines = Lines(FormatTextReport(shown.document, shown.view));
    const std::size_t first = ListStart(lines);
    ASSERT_EQ(lines.size(), first + 1 + 60000);
    EXPECT_EQ(lines[first], Repeat(kListHeader, 3));
    EXPECT_EQ(GroupRows(lines[first + 1]), (std::vector<long>{1, 60001, 120001}));
    EXPECT_EQ(GroupRows(lines[first + 10000]), (std::vector<long>{10000, 70000, 130000}));
    EXPECT_EQ(GroupRows(lines[first + 10001]), (std::vector<long>{10001, 70001}));
    EXPECT_EQ(GroupRows(lines[first + 60000]), (std::vector<long>{60000, 120000}));
}

TEST(TextReportTest, RowsBeyondThreeBlocksAreNotDropped)
{
    ScopedTimeZone zone(kBerlin);
    const long total = 4 * 60000 + 1;
    std::vector<SampleRow> rows(static_cast<std::size_t>(total));
    for (long i = 0; i < total; ++i)
        rows[static_cast<std::size_t>(i)] = {(i % 1000) * 0.01, 0.0, 0.0, 0.0};
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), std::move(rows)));
    const std::string report = FormatTextReport(shown.document, shown.view);
    const std::vector<std::string> lines = Lines(report);
    const std::size_t first = ListStart(lines);
    ASSERT_EQ(lines.size(), first + 1 + 60000);
    EXPECT_EQ(lines[first], Repeat(kListHeader, 5));
    EXPECT_EQ(GroupRows(lines[first + 1]), (std::vector<long>{1, 60001, 120001, 180001, 240001}));
    EXPECT_EQ(GroupRows(lines[first + 2]), (std::vector<long>{2, 60002, 120002, 180002}));
    EXPECT_EQ(lines[first + 1].substr(lines[first + 1].rfind("240001\t")),
              "240001\t0.00\t0.00\t0.00\t0.00\tg\t 05/03/23 17:27:09 \t");  // 12000 s later

    std::vector<int> seen(static_cast<std::size_t>(total) + 1, 0);
    for (std::size_t i = first + 1; i < lines.size(); ++i)
        for (long row : GroupRows(lines[i]))
            ++seen[static_cast<std::size_t>(row)];
    for (long row = 1; row <= total; ++row)
        ASSERT_EQ(seen[static_cast<std::size_t>(row)], 1) << row;

    // Written to a stream in pieces, the bytes are the same.
    std::ostringstream stream;
    ASSERT_TRUE(WriteTextReport(stream, shown.document, shown.view));
    EXPECT_EQ(stream.str(), report);
}

// The list part of a report as printf and a fresh clock conversion per row write it: the number of
// the row, four values as "%.2f", the unit and the label of the row's time, at whole milliseconds
// a row from the start.
std::string PlainList(const Recording& recording, const CalendarTime& start, std::int64_t intervalMs)
{
    const std::size_t shown = recording.RowCount();
    std::string out;
    char text[2000];
    for (std::size_t r = 1; r <= std::min<std::size_t>(shown, 60000); ++r) {
        for (std::size_t row = r; row <= shown; row += 60000) {
            const SampleRow& v = recording.m_pSamples[row - 1];
            std::snprintf(text, sizeof text, "%zu\t%.2f\t%.2f\t%.2f\t%.2f\tg\t", row, v[0], v[1], v[2], v[3]);
            out += text;
            const std::int64_t ms = static_cast<std::int64_t>(row - 1) * intervalMs;
            out += start.plusSeconds(ms / 1000).format(" %d/%m/%y %H:%M:%S");
            if (ms % 1000 != 0)
                out += " " + std::to_string(ms % 1000) + "ms";
            out += " \t";
        }
        out += "\r\n";
    }
    return out;
}

TEST(TextReportTest, ListIsWhatPrintfAndTheClockWriteOnAwkwardValuesAndDates)
{
    ScopedTimeZone zone(kBerlin);
    // Negative zero, halves of the last digit either side of zero, values that carry into the
    // next digit, huge values and no values.
    const std::vector<double> awkward = {-0.0,
                                         0.005,
                                         -0.005,
                                         0.015,
                                         2.675,
                                         -2.675,
                                         0.995,
                                         -9.995,
                                         99.995,
                                         1e-9,
                                         -1e-9,
                                         1e300,
                                         -1e300,
                                         std::numeric_limits<double>::quiet_NaN(),
                                         std::numeric_limits<double>::infinity(),
                                         12.345,
                                         -0.125};
    const auto rowsOf = [&awkward](std::size_t count) {
        std::vector<SampleRow> rows(count);
        for (std::size_t i = 0; i < count; ++i)
            for (std::size_t c = 0; c < 4; ++c)
                rows[i][c] = awkward[(i * 5 + c * 3) % awkward.size()] + (i % 7 == 0 ? 0.0 : (i % 2000) * 0.01);
        return rows;
    };
    struct Case {
        RecordingHeader header;
        std::size_t rows;
        std::int64_t intervalMs;
    };
    const Case cases[] = {
        // 3 s a row over four and a half days: the clock falls back on 29 October, then
        // midnights and the end of the month, three blocks side by side.
        {HeaderAt(2023, 10, 28, 12, 0, 0, (3 << 2) | 1), 130000, 3000},
        // 53 ms a row across the end of a year, two blocks.
        {HeaderAt(2023, 12, 31, 23, 58, 0, 53 * 4), 70000, 53},
    };
    for (const Case& c : cases) {
        Shown shown(MakeRecording(c.header, rowsOf(c.rows)));
        const std::string report = FormatTextReport(shown.document, shown.view);
        const std::size_t title = report.find("Vibration Data List(X,Y,Z,Vector Sum)\r\n\r\n");
        ASSERT_NE(title, std::string::npos);
        const std::size_t list = report.find("\r\n", report.find(kListHeader, title)) + 2;
        const std::string expected = PlainList(shown.document, shown.view.m_timeStart, c.intervalMs);
        ASSERT_EQ(report.size() - list, expected.size());
        // The first differing line, not ten megabytes, when they differ.
        const auto [mine, theirs] =
            std::mismatch(report.begin() + static_cast<std::ptrdiff_t>(list), report.end(), expected.begin());
        if (mine != report.end()) {
            const std::size_t at = static_cast<std::size_t>(theirs - expected.begin());
            const std::size_t from = expected.rfind("\r\n", at);
            const std::size_t line = from == std::string::npos ? 0 : from + 2;
            ADD_FAILURE() << "list differs in line\n"
                          << expected.substr(line, expected.find("\r\n", at) - line) << "\nwritten as\n"
                          << report.substr(list + line, report.find("\r\n", list + at) - list - line);
        }
    }
}

TEST(TextReportTest, SpectrumRecordingExportsTheShownSamples)
{
    std::vector<SampleRow> rows = FlatRows(256, 0.25);
    rows[200] = {2.0, 2.0, 2.0, 2.0};
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 0), std::move(rows)));
    std::vector<std::string> lines = Lines(FormatTextReport(shown.document, shown.view));
    std::size_t first = ListStart(lines);
    EXPECT_EQ(lines[3], ">>Sampling rate: 1/256 sec    Samplings: 128");
    EXPECT_EQ(lines.size(), first + 1 + 128);

    shown.view.m_bFrequencyMode = true;
    shown.view.RefreshSummary(shown.document);
    lines = Lines(FormatTextReport(shown.document, shown.view));
    first = ListStart(lines);
    ASSERT_EQ(lines.size(), first + 1 + 256);
    // The samples, not the spectrum.
    EXPECT_EQ(lines[first + 201].substr(0, 24), "201\t2.00\t2.00\t2.00\t2.00\t");
}

TEST(TextReportTest, NothingShownWritesNoRows)
{
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 5), {}));
    const std::vector<std::string> lines = Lines(FormatTextReport(shown.document, shown.view));
    const std::size_t first = ListStart(lines);
    ASSERT_EQ(lines.size(), first + 1);
    EXPECT_EQ(lines[first], "");
}

TEST(FixedTextTest, TwoDecimalsAreExactlyWhatPrintfWrites)
{
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.005,
                                  -0.005,
                                  0.125,
                                  -0.375,
                                  0.015,
                                  1.005,
                                  2.675,
                                  1e-9,
                                  -1e-9,
                                  99.995,
                                  12345.678,
                                  -20000.0,
                                  1e300,
                                  -1.7976931348623157e308,
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(),
                                  -std::numeric_limits<double>::quiet_NaN()};
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> g(-20.0, 20.0);
    for (int i = 0; i < 20000; ++i)
        values.push_back(std::trunc(g(random) * 100) * 0.01);
    for (int i = 0; i < 2000; ++i)
        values.push_back(g(random));
    char expected[400];
    for (double v : values) {
        std::snprintf(expected, sizeof expected, "%.2f", v);
        std::string text;
        AppendFixed2(text, v);
        ASSERT_EQ(text, expected) << v;
    }
}

TEST(SaveNamesTest, DefaultNameIsTheLocalTimeWithTwoBlanks)
{
    ScopedTimeZone zone(kBerlin);
    EXPECT_EQ(DefaultReportBaseName(CalendarTime::FromLocal({2023, 3, 5, 14, 7, 9})), "23-03-05  14.07.09");
}

TEST(SaveNamesTest, ChosenNameGivesBothFilesWithOneBaseName)
{
    const SaveFileNamePair xls = SaveFileNames("/home/u/run1.xls");
    EXPECT_EQ(xls.recordingPath, "/home/u/run1.Vibration");
    EXPECT_EQ(xls.reportPath, "/home/u/run1.xls");
    const SaveFileNamePair vib = SaveFileNames("/home/u/run1.Vibration");
    EXPECT_EQ(vib.recordingPath, "/home/u/run1.Vibration");
    EXPECT_EQ(vib.reportPath, "/home/u/run1.xls");
    // Only the last dot of the file name counts.
    EXPECT_EQ(SaveFileNames("/data/run.1.txt").reportPath, "/data/run.1.xls");
    // A dot in a folder name is not the file's dot.
    EXPECT_EQ(SaveFileNames("/data/v1.2/run1").recordingPath, "/data/v1.2/run1.Vibration");
    EXPECT_EQ(SaveFileNames("run1").reportPath, "run1.xls");
}

TEST(SaveNamesTest, ProposedNameKeepsItsSecondsThroughTheCut)
{
    ScopedTimeZone zone(kBerlin);
    const CalendarTime now = CalendarTime::FromLocal({2023, 3, 5, 14, 7, 9});
    EXPECT_EQ(DefaultSaveFileName(now), "23-03-05  14.07.09.Vibration");
    EXPECT_EQ(SaveFileNames("/home/u/" + DefaultSaveFileName(now)).reportPath, "/home/u/23-03-05  14.07.09.xls");
    // The bare base name would lose them.
    EXPECT_EQ(SaveFileNames(DefaultReportBaseName(now)).recordingPath, "23-03-05  14.07.Vibration");
}

}  // namespace
}  // namespace shakemeter
