// Page counts, rows per page and the texts and positions of the printed test report.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/report/DataListCells.h"
#include "analysis/report/DataListColumns.h"
#include "analysis/report/ReportPages.h"
#include "recording/test_summary_fixtures.h"

namespace shakemeter {
namespace {

using testing::FlatRows;
using testing::HeaderAt;
using testing::MakeRecording;
using testing::ScopedTimeZone;
using testing::Shown;

// A4 at 600 dpi: c = 87, w = 83.
constexpr int kH = 4960;
constexpr int kV = 7016;
constexpr int kC = 87;
constexpr int kW = 83;

SummaryTexts SampleSummary()
{
    SummaryTexts s;
    s.startTime = "05/03/23 14:07:09";
    s.samplingRate = "0.050";
    s.samples = "66";
    s.unit = "g";
    s.mode = "Normal";
    s.threshold = {"NONE", "NONE", "NONE"};
    s.max = {"1.00 @ 05/03/23 14:07:09", "2.00 @ 05/03/23 14:07:10", "3.00 @ 05/03/23 14:07:11", "4.00 @ 05/03/23 14:07:12"};
    s.min = {"-1.00 @ 05/03/23 14:07:09", "-2.00 @ 05/03/23 14:07:09", "-3.00 @ 05/03/23 14:07:09",
        "0.10 @ 05/03/23 14:07:09"};
    s.avg = {"0.01", "0.02", "0.03", "1.04"};
    return s;
}

ListPrintSource SourceOf(const DataListCells& cells)
{
    ListPrintSource source;
    const auto& columns = DataListColumnsFor(cells.FrequencyMode());
    for (int c = 0; c < DATA_LIST_COLUMNS; ++c)
        source.columns.push_back({std::string(columns[static_cast<std::size_t>(c)].heading), c});
    source.rowCount = cells.RowCount();
    source.cellText = [&cells](int row, int subItem) { return cells.CellText(row, subItem); };
    return source;
}

ListPageContext Context(bool frequencyMode, double peak = 0.0)
{
    ScopedTimeZone zone("UTC0");
    ListPageContext context;
    context.pageWidth = kH;
    context.pageHeight = kV;
    context.frequencyMode = frequencyMode;
    context.summary = SampleSummary();
    context.peakFrequency = peak;
    context.today = CalendarTime::FromLocal({2024, 2, 9, 10, 0, 0});
    return context;
}

// The texts of a page at a given height, left to right.
std::vector<std::string> TextsAt(const ReportPageLayout& page, int y)
{
    std::vector<const ReportText*> found;
    for (const ReportText& t : page.texts) {
        if (t.y == y)
            found.push_back(&t);
    }
    std::stable_sort(found.begin(), found.end(), [](const ReportText* a, const ReportText* b) { return a->x < b->x; });
    std::vector<std::string> texts;
    for (const ReportText* t : found)
        texts.push_back(t->text);
    return texts;
}

const ReportText* Find(const ReportPageLayout& page, const std::string& text)
{
    for (const ReportText& t : page.texts) {
        if (t.text == text)
            return &t;
    }
    return nullptr;
}

TEST(ReportPageCountTest, FirstPageHoldsFewerRowsInTimeMode)
{
    EXPECT_EQ(ListPageCount(0, false), 1);
    EXPECT_EQ(ListPageCount(65, false), 1);
    EXPECT_EQ(ListPageCount(66, false), 2);
    EXPECT_EQ(ListPageCount(135, false), 2);
    EXPECT_EQ(ListPageCount(136, false), 3);
    EXPECT_EQ(ListPageCount(256, true), 4);
    // Page 1 of a spectrum list holds 70 rows, so 70 rows make one page, not a second empty one.
    EXPECT_EQ(ListPageCount(70, true), 1);
    EXPECT_EQ(ListPageCount(71, true), 2);
    EXPECT_EQ(ListPageCount(210, true), 3);
    EXPECT_EQ(ListPageCount(1000000, false), 1 + (1000000 - 65 + 69) / 70);
}

TEST(ReportPageCountTest, EveryRowIsOnExactlyOnePage)
{
    for (const bool freq : {false, true}) {
        for (const int n : {0, 1, 65, 66, 70, 71, 135, 136, 256, 1001}) {
            int next = 0;
            const int pages = ListPageCount(n, freq);
            for (int p = 1; p <= pages; ++p) {
                const ListPageRows rows = ListRowsOfPage(p, n, freq);
                if (rows.end == rows.first)
                    continue;
                EXPECT_EQ(rows.first, next) << n << " page " << p;
                next = rows.end;
            }
            EXPECT_EQ(next, n) << n << (freq ? " frequency" : " time");
            EXPECT_EQ(ListRowsOfPage(pages + 1, n, freq).end, ListRowsOfPage(pages + 1, n, freq).first);
        }
    }
    EXPECT_EQ(ListRowsOfPage(2, 66, false).first, 65);
    EXPECT_EQ(ListRowsOfPage(2, 66, false).end, 66);
    EXPECT_EQ(ListRowsOfPage(4, 256, true).first, 210);
    EXPECT_EQ(ListRowsOfPage(4, 256, true).end, 256);
    EXPECT_EQ(ListRowsOfPage(0, 256, true).end, 0);
    EXPECT_EQ(ListRowsOfPage(-5, 256, true).end, 0);
    EXPECT_EQ(ListRowsOfPage(2000000000, 256, false).end, 0);
}

TEST(ReportSummaryLinesTest, LinesAreJoinedExactly)
{
    const auto lines = ReportSummaryLines(SampleSummary());
    EXPECT_EQ(lines[0], "Start Time: 05/03/23 14:07:09  Sampling rate: 0.050sec  Samplings: 66  Unit: g  Mode: Normal");
    EXPECT_EQ(lines[1], "X MAX: 1.00 @ 05/03/23 14:07:09  X MIN: -1.00 @ 05/03/23 14:07:09  X AVG: 0.01   X Threshold: NONE");
    EXPECT_EQ(lines[2], "Y MAX: 2.00 @ 05/03/23 14:07:10  Y MIN: -2.00 @ 05/03/23 14:07:09  Y AVG: 0.02   Y Threshold: NONE");
    EXPECT_EQ(lines[3], "Z MAX: 3.00 @ 05/03/23 14:07:11  Z MIN: -3.00 @ 05/03/23 14:07:09  Z AVG: 0.03   Z Threshold: NONE");
    EXPECT_EQ(lines[4],
        "Vector Sum MAX: 4.00 @ 05/03/23 14:07:12  Vector Sum MIN: 0.10 @ 05/03/23 14:07:09  Vector Sum AVG: 1.04");
}

TEST(ReportSummaryLinesTest, FiftyMillisecondRecordingReadsZeroPointZeroFiveZeroSec)
{
    ScopedTimeZone zone("UTC0");
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), FlatRows(10, 1.0)));
    const auto lines = ReportSummaryLines(shown.view.m_summary);
    EXPECT_NE(lines[0].find("Sampling rate: 0.050sec  Samplings: 10"), std::string::npos) << lines[0];
}

TEST(GraphReportHeaderTest, TitleAndFiveLinesAboveTheGraph)
{
    const ReportPageLayout page = GraphReportHeader(kH, kV, SampleSummary(), 155);
    EXPECT_EQ(page.titleFontHeight, 175);
    EXPECT_EQ(page.bodyFontHeight, kC);
    ASSERT_EQ(page.texts.size(), 6u);
    EXPECT_EQ(page.texts[0], (ReportText{2480 - 425, 0, "Test Report", ReportFont::Title}));
    const auto lines = ReportSummaryLines(SampleSummary());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(page.texts[static_cast<std::size_t>(i) + 1], (ReportText{0, (3 + 2 * i) * kC, lines[static_cast<std::size_t>(i)], ReportFont::Body}));
    EXPECT_TRUE(page.lines.empty());
}

TEST(GraphReportHeaderTest, HiddenSummaryPanelPrintsNoTitleAndNoLines)
{
    const ReportPageLayout page = GraphReportHeader(kH, kV, SampleSummary(), 0);
    EXPECT_TRUE(page.texts.empty());
    EXPECT_TRUE(page.lines.empty());
}

TEST(ListReportPageTest, FirstTimePageHasSummaryRuleHeadingsAndRows)
{
    ScopedTimeZone zone("UTC0");
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), FlatRows(66, 0.5)));
    const DataListCells cells(shown.document, shown.view);
    const ReportPageLayout page = ListReportPage(Context(false), SourceOf(cells), 1);
    EXPECT_EQ(page.titleFontHeight, 2 * kC);
    EXPECT_EQ(page.bodyFontHeight, kC);
    EXPECT_EQ(page.texts.front(), (ReportText{2480 - 6 * kW, 0, "Test Report", ReportFont::Title}));
    const auto lines = ReportSummaryLines(SampleSummary());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(TextsAt(page, (3 + i) * kC), std::vector<std::string>{lines[static_cast<std::size_t>(i)]});
    ASSERT_EQ(page.lines.size(), 1u);
    EXPECT_EQ(page.lines[0], (ReportLine{0, 739, kH, 739}));

    EXPECT_EQ(TextsAt(page, 9 * kC),
        (std::vector<std::string>{"No.  ", "Time           ", "X Value", "Y Value", "Z Value", "Vector Sum", "Unit"}));
    const int headingX[] = {0, 5 * kW, 20 * kW, 27 * kW, 34 * kW, 41 * kW, 51 * kW};
    for (int c = 0; c < 7; ++c) {
        const ReportText* h = Find(page, std::string(DataListColumnsFor(false)[static_cast<std::size_t>(c)].heading));
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(h->x, headingX[c]) << c;
    }
    EXPECT_EQ(TextsAt(page, 10 * kC),
        (std::vector<std::string>{"1", " 05/03/23 14:07:09", "0.50", "0.50", "0.50", "0.50", "g"}));
    EXPECT_EQ(TextsAt(page, 74 * kC).front(), "65");
    EXPECT_TRUE(TextsAt(page, 75 * kC).empty());  // row 65 waits for page 2
    const ReportText* footer = Find(page, "09/02/24  page1");
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->x, 2480 - 5 * kW);
    EXPECT_EQ(footer->y, kV - kC);
}

TEST(ListReportPageTest, SecondPageHoldsTheSixtySixthRowAlone)
{
    ScopedTimeZone zone("UTC0");
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), FlatRows(66, 0.5)));
    const DataListCells cells(shown.document, shown.view);
    const ReportPageLayout page = ListReportPage(Context(false), SourceOf(cells), 2);
    EXPECT_EQ(TextsAt(page, 6 * kC).front(), "No.  ");
    EXPECT_EQ(TextsAt(page, 7 * kC),
        (std::vector<std::string>{"66", " 05/03/23 14:07:12 250ms", "0.50", "0.50", "0.50", "0.50", "g"}));
    EXPECT_TRUE(TextsAt(page, 8 * kC).empty());
    EXPECT_TRUE(page.lines.empty());
    EXPECT_EQ(Find(page, "Start Time: 05/03/23 14:07:09  Sampling rate: 0.050sec  Samplings: 66  Unit: g  Mode: Normal"),
        nullptr);
    EXPECT_NE(Find(page, "09/02/24  page2"), nullptr);
}

TEST(ListReportPageTest, SpectrumPagesListBinsUnderThePeakLine)
{
    ScopedTimeZone zone("UTC0");
    std::vector<SampleRow> rows(256);
    for (int i = 0; i < 256; ++i)
        rows[static_cast<std::size_t>(i)] = {std::sin(2 * 3.14159265358979 * 12 * i / 256.0), 0.0, 0.0, 0.0};
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 0), rows), true);
    const DataListCells cells(shown.document, shown.view);
    const ListPrintSource source = SourceOf(cells);
    ASSERT_EQ(ListPageCount(source.rowCount, true), 4);

    const ReportPageLayout first = ListReportPage(Context(true, shown.view.m_dPeakFrequency), source, 1);
    EXPECT_EQ(TextsAt(first, 3 * kC), std::vector<std::string>{"The frequency of the max magnitude is 12.00 HZ"});
    EXPECT_TRUE(first.lines.empty());
    EXPECT_EQ(TextsAt(first, 6 * kC), (std::vector<std::string>{"No.  ", "Frequency(HZ)  ", "X Value", "Y Value", "Z Value"}));
    EXPECT_EQ(TextsAt(first, 7 * kC).at(1), "0.00");
    EXPECT_EQ(TextsAt(first, 76 * kC).at(0), "70");
    EXPECT_EQ(TextsAt(first, 76 * kC).size(), 5u);  // no vector sum and no unit
    EXPECT_TRUE(TextsAt(first, 77 * kC).empty());

    const ReportPageLayout last = ListReportPage(Context(true, shown.view.m_dPeakFrequency), source, 4);
    EXPECT_EQ(TextsAt(last, 7 * kC).at(0), "211");
    EXPECT_EQ(TextsAt(last, 7 * kC).at(1), "210.00");
    EXPECT_EQ(TextsAt(last, 52 * kC).at(0), "256");
    EXPECT_TRUE(TextsAt(last, 53 * kC).empty());
    EXPECT_EQ(Find(last, "The frequency of the max magnitude is 12.00 HZ"), nullptr);
}

TEST(ListReportPageTest, APageAloneIsTheSameAsInAFullPrint)
{
    ScopedTimeZone zone("UTC0");
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), FlatRows(256, 0.25)));
    const DataListCells cells(shown.document, shown.view);
    const ListPrintSource source = SourceOf(cells);
    ASSERT_EQ(ListPageCount(256, false), 4);
    // Page 3 of a time list: rows 135 to 204.
    const ReportPageLayout alone = ListReportPage(Context(false), source, 3);
    EXPECT_EQ(TextsAt(alone, 7 * kC).at(0), "136");
    EXPECT_EQ(TextsAt(alone, 76 * kC).at(0), "205");
    for (int p = 1; p <= 4; ++p)
        (void)ListReportPage(Context(false), source, p);
    const ReportPageLayout again = ListReportPage(Context(false), source, 3);
    EXPECT_EQ(again.texts, alone.texts);
}

TEST(ListReportPageTest, ClosedListPrintsTitlesSummaryAndFootersOnly)
{
    ScopedTimeZone zone("UTC0");
    const ListPrintSource closed;  // no columns, no rows, no cell reader
    const ReportPageLayout first = ListReportPage(Context(false), closed, 1);
    ASSERT_EQ(first.texts.size(), 7u);  // title, five lines, footer
    EXPECT_EQ(first.texts.front().text, "Test Report");
    EXPECT_EQ(first.texts.back().text, "09/02/24  page1");
    EXPECT_EQ(first.lines.size(), 1u);
    const ReportPageLayout third = ListReportPage(Context(false), closed, 3);
    ASSERT_EQ(third.texts.size(), 2u);
    EXPECT_EQ(third.texts.back().text, "09/02/24  page3");
    const ReportPageLayout spectrum = ListReportPage(Context(true, 40.0), closed, 1);
    EXPECT_EQ(TextsAt(spectrum, 3 * kC), std::vector<std::string>{"The frequency of the max magnitude is 40.00 HZ"});

    // Columns but rows counted without a reader (a list torn down halfway) print headings only.
    ListPrintSource headingsOnly;
    headingsOnly.columns = {{"No.  ", 0}};
    headingsOnly.rowCount = 5;
    EXPECT_EQ(ListReportPage(Context(false), headingsOnly, 1).texts.size(), 8u);
}

TEST(ListReportPageTest, OverlongHeadingsAndColumnCountsAreCut)
{
    ScopedTimeZone zone("UTC0");
    ListPrintSource source;
    for (int c = 0; c < 150; ++c)
        source.columns.push_back({std::string(120, 'h'), c});
    source.rowCount = 1;
    source.cellText = [](int, int subItem) { return std::to_string(subItem); };
    const ReportPageLayout page = ListReportPage(Context(true), source, 2);
    const auto headings = TextsAt(page, 6 * kC);
    ASSERT_EQ(headings.size(), 100u);
    EXPECT_EQ(headings[0].size(), 100u);
    // Page 2 of a one-row list has no rows.
    EXPECT_TRUE(TextsAt(page, 7 * kC).empty());
    const ReportPageLayout first = ListReportPage(Context(true), source, 1);
    const auto cells = TextsAt(first, 7 * kC);
    ASSERT_EQ(cells.size(), 100u);
    EXPECT_EQ(cells[99], "99");
    const ReportText* second = Find(first, "1");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->x, 100 * kW);
}

}  // namespace
}  // namespace shakemeter
