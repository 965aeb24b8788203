// Page counts, rows per page and the positions of the printed test report's texts.

#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/report/ReportPages.h"
#include "recording/test_summary_fixtures.h"

namespace shakemeter {
namespace {

using testing::ScopedTimeZone;

// A4 at 600 dpi: c = 87, w = 83.
constexpr int kH = 4960;
constexpr int kV = 7016;
constexpr int kC = 87;
constexpr int kW = 83;

SummaryTexts Summary()
{
    SummaryTexts s{"05/03/23 14:07:09",
                   "0.050",
                   "66",
                   "g",
                   "Normal",
                   {"NONE", "2", "NONE"},
                   {"1.00 @ A", "2.00", "3.00", "4.00"},
                   {"-1.00", "-2.00", "-3.00", "0.10"},
                   {"0.01", "0.02", "0.03", "1.04"}};
    return s;
}

// A list of seven columns whose cells read "r.c".
ListPrintSource Source(int rows, bool frequencyMode)
{
    ListPrintSource source;
    const char* second = frequencyMode ? "Frequency(HZ)  " : "Time           ";
    source.columns = {{"No.  ", 0},
                      {second, 1},
                      {"X Value", 2},
                      {"Y Value", 3},
                      {"Z Value", 4},
                      {frequencyMode ? "" : "Vector Sum", 5},
                      {frequencyMode ? "" : "Unit", 6}};
    source.rowCount = rows;
    source.cellText = [](int r, int c) { return std::to_string(r) + "." + std::to_string(c); };
    return source;
}

ReportPageLayout Page(const ListPrintSource& source, int page, bool frequencyMode)
{
    ListPageContext context;
    context.pageWidth = kH;
    context.pageHeight = kV;
    context.frequencyMode = frequencyMode;
    context.summary = Summary();
    context.peakFrequency = 12.0;
    context.today = CalendarTime::FromLocal({2024, 2, 9, 12, 0, 0});
    return ListReportPage(context, source, page);
}

// The text as placed on the page; at (-1, -1) when the page does not have it.
ReportText Find(const ReportPageLayout& page, const std::string& text)
{
    const auto it =
        std::find_if(page.texts.begin(), page.texts.end(), [&](const ReportText& t) { return t.text == text; });
    return it == page.texts.end() ? ReportText{-1, -1, text, ReportFont::Body} : *it;
}

TEST(ReportPageCountTest, EveryRowIsOnExactlyOnePage)
{
    EXPECT_EQ(ListPageCount(0, false), 1);
    EXPECT_EQ(ListPageCount(65, false), 1);
    EXPECT_EQ(ListPageCount(66, false), 2);
    EXPECT_EQ(ListPageCount(136, false), 3);
    EXPECT_EQ(ListPageCount(256, true), 4);
    // Page 1 of a spectrum list holds 70 rows: no trailing page without rows.
    EXPECT_EQ(ListPageCount(70, true), 1);
    for (const bool freq : {false, true}) {
        for (const int n : {0, 1, 65, 66, 70, 71, 135, 136, 256, 1001}) {
            int next = 0;
            for (int p = 1; p <= ListPageCount(n, freq); ++p) {
                const ListPageRows rows = ListRowsOfPage(p, n, freq);
                EXPECT_EQ(rows.first, next) << n << " page " << p;
                if (n > 0) {
                    EXPECT_LT(rows.first, rows.end) << n << " page " << p;
                }
                next = rows.end;
            }
            EXPECT_EQ(next, n);
        }
    }
    EXPECT_EQ(ListRowsOfPage(0, 256, true).end, 0);
    EXPECT_EQ(ListRowsOfPage(2000000000, 256, false).end, 0);
}

TEST(ReportPagesTest, GraphHeaderHasTitleAndFiveLinesOnlyWithTheSummaryPanel)
{
    const ReportPageLayout page = GraphReportHeader(kH, kV, Summary(), 155);
    EXPECT_EQ(page.titleFontHeight, 175);
    EXPECT_EQ(page.bodyFontHeight, kC);
    ASSERT_EQ(page.texts.size(), 6u);
    EXPECT_EQ(page.texts[0], (ReportText{2480 - 425, 0, "Test Report", ReportFont::Title}));
    EXPECT_EQ(
        page.texts[1],
        (ReportText{0, 3 * kC,
                    "Start Time: 05/03/23 14:07:09  Sampling rate: 0.050sec  Samplings: 66  Unit: g  Mode: Normal",
                    ReportFont::Body}));
    EXPECT_EQ(page.texts[3].text, "Y MAX: 2.00  Y MIN: -2.00  Y AVG: 0.02   Y Threshold: 2");
    EXPECT_EQ(page.texts[4].y, 9 * kC);
    EXPECT_EQ(page.texts[5].text, "Vector Sum MAX: 4.00  Vector Sum MIN: 0.10  Vector Sum AVG: 1.04");
    EXPECT_TRUE(GraphReportHeader(kH, kV, Summary(), 0).texts.empty());
}

TEST(ReportPagesTest, TimeListPagePositions)
{
    ScopedTimeZone zone("UTC0");
    const ReportPageLayout first = Page(Source(66, false), 1, false);
    EXPECT_EQ(first.titleFontHeight, 2 * kC);
    EXPECT_EQ(first.texts.front(), (ReportText{2480 - 6 * kW, 0, "Test Report", ReportFont::Title}));
    EXPECT_EQ(Find(first, "X MAX: 1.00 @ A  X MIN: -1.00  X AVG: 0.01   X Threshold: NONE").y, 4 * kC);
    EXPECT_EQ(first.lines, (std::vector<ReportLine>{{0, 739, kH, 739}}));
    // Each heading's characters widen its column; the cells stand under their headings.
    const std::pair<const char*, int> headings[] = {
        {"No.  ", 0}, {"Time           ", 5 * kW}, {"X Value", 20 * kW}, {"Vector Sum", 41 * kW}, {"Unit", 51 * kW}};
    for (const auto& [text, x] : headings)
        EXPECT_EQ(Find(first, text).x, x) << text;
    EXPECT_EQ(Find(first, "Unit").y, 9 * kC);
    EXPECT_EQ(Find(first, "0.6"), (ReportText{51 * kW, 10 * kC, "0.6", ReportFont::Body}));
    EXPECT_EQ(Find(first, "64.0").y, 74 * kC);
    EXPECT_EQ(Find(first, "65.0").y, -1);
    EXPECT_EQ(Find(first, "09/02/24  page1"),
              (ReportText{2480 - 5 * kW, kV - kC, "09/02/24  page1", ReportFont::Body}));

    const ReportPageLayout second = Page(Source(66, false), 2, false);
    EXPECT_EQ(Find(second, "No.  ").y, 6 * kC);
    EXPECT_EQ(Find(second, "65.0").y, 7 * kC);
    EXPECT_TRUE(second.lines.empty());
    EXPECT_EQ(second.texts.size(), 1u + 7u + 7u + 1u);  // title, headings, one row, footer
}

TEST(ReportPagesTest, FrequencyListPageHasThePeakLineAndNoEmptyColumns)
{
    ScopedTimeZone zone("UTC0");
    const ReportPageLayout first = Page(Source(256, true), 1, true);
    EXPECT_EQ(Find(first, "The frequency of the max magnitude is 12.00 HZ").y, 3 * kC);
    EXPECT_TRUE(first.lines.empty());
    EXPECT_EQ(Find(first, "Z Value").y, 6 * kC);
    EXPECT_EQ(Find(first, "0.0").y, 7 * kC);
    EXPECT_EQ(Find(first, "69.0").y, 76 * kC);
    // The zero-width columns add no width: their cells would stand right after Z.
    EXPECT_EQ(Find(first, "0.5").x, 41 * kW);
    EXPECT_EQ(Find(Page(Source(256, true), 4, true), "255.0").y, 52 * kC);
}

TEST(ReportPagesTest, OverlongHeadingsAndTooManyColumnsAreCut)
{
    ScopedTimeZone zone("UTC0");
    ListPrintSource wide;
    for (int c = 0; c < 150; ++c)
        wide.columns.push_back({std::string(120, 'h'), c});
    const ReportPageLayout page = Page(wide, 2, true);
    ASSERT_EQ(page.texts.size(), 1u + 100u + 1u);
    EXPECT_EQ(page.texts[1].text.size(), 100u);
    EXPECT_EQ(page.texts[2].x, 100 * kW);

    // Headings are cut and measured in characters, never inside one.
    ListPrintSource letters;
    std::string umlauts;
    for (int i = 0; i < 120; ++i)
        umlauts += "\xC3\xBC";
    letters.columns = {{umlauts, 0}, {"X Value", 1}};
    const ReportPageLayout cut = Page(letters, 2, true);
    EXPECT_EQ(cut.texts[1].text, umlauts.substr(0, 200));
    EXPECT_EQ(cut.texts[2].x, 100 * kW);
}

}  // namespace
}  // namespace shakemeter
