#include "analysis/report/ReportPages.h"

#include <algorithm>
#include <cstdint>

#include "recording/FixedText.h"
#include "recording/Utf8Text.h"

namespace shakemeter {

namespace {

int ClampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

int ListFirstPageRows(bool frequencyMode)
{
    return frequencyMode ? REPORT_ROWS_PER_PAGE : REPORT_FIRST_PAGE_ROWS_TIME;
}

int ListPageCount(int shownCount, bool frequencyMode)
{
    const int first = ListFirstPageRows(frequencyMode);
    if (shownCount <= first)
        return 1;
    return 1 + (shownCount - first + REPORT_ROWS_PER_PAGE - 1) / REPORT_ROWS_PER_PAGE;
}

ListPageRows ListRowsOfPage(int page, int rowCount, bool frequencyMode)
{
    if (page < 1 || rowCount <= 0)
        return {};
    const std::int64_t firstRows = ListFirstPageRows(frequencyMode);
    const std::int64_t first = page == 1 ? 0 : firstRows + (static_cast<std::int64_t>(page) - 2) * REPORT_ROWS_PER_PAGE;
    const std::int64_t end = page == 1 ? firstRows : first + REPORT_ROWS_PER_PAGE;
    if (first >= rowCount)
        return {};
    return {static_cast<int>(first), static_cast<int>(std::min<std::int64_t>(end, rowCount))};
}

std::array<std::string, 5> ReportSummaryLines(const SummaryTexts& s)
{
    std::array<std::string, 5> lines;
    lines[0] = "Start Time: " + s.startTime + "  Sampling rate: " + s.samplingRate + "sec" +
               "  Samplings: " + s.samples + "  Unit: " + s.unit + "  Mode: " + s.mode;
    static constexpr const char* kAxis[3] = {"X", "Y", "Z"};
    for (int a = 0; a < 3; ++a) {
        const std::string axis = kAxis[a];
        lines[static_cast<std::size_t>(a) + 1] = axis + " MAX: " + s.max[a] + "  " + axis + " MIN: " + s.min[a] + "  " +
                                                 axis + " AVG: " + s.avg[a] + "   " + axis +
                                                 " Threshold: " + s.threshold[a];
    }
    lines[4] = "Vector Sum MAX: " + s.max[3] + "  Vector Sum MIN: " + s.min[3] + "  Vector Sum AVG: " + s.avg[3];
    return lines;
}

ReportPageLayout GraphReportHeader(int pageWidth, int pageHeight, const SummaryTexts& summary, int summaryHeight)
{
    ReportPageLayout layout;
    const int c = pageHeight / 80;
    layout.titleFontHeight = pageHeight / 40;
    layout.bodyFontHeight = c;
    if (summaryHeight == 0)
        return layout;
    layout.texts.push_back({pageWidth / 2 - 3 * pageWidth / 35, 0, "Test Report", ReportFont::Title});
    const auto lines = ReportSummaryLines(summary);
    for (std::size_t i = 0; i < lines.size(); ++i)
        layout.texts.push_back({0, static_cast<int>(3 + 2 * i) * c, lines[i], ReportFont::Body});
    return layout;
}

ListPageContext ListPageContextOf(const RecordingView& view, const CalendarTime& today)
{
    ListPageContext context;
    context.frequencyMode = view.m_bFrequencyMode;
    context.summary = view.m_summary;
    context.peakFrequency = view.m_dPeakFrequency;
    context.today = today;
    return context;
}

ReportPageLayout ListReportPage(const ListPageContext& context, const ListPrintSource& source, int page)
{
    ReportPageLayout layout;
    const int H = context.pageWidth;
    const int V = context.pageHeight;
    const int c = V / 80;
    const int w = V / 84;
    layout.titleFontHeight = 2 * c;
    layout.bodyFontHeight = c;

    layout.texts.push_back({H / 2 - 6 * w, 0, "Test Report", ReportFont::Title});

    const bool summaryAbove = page == 1 && !context.frequencyMode;
    if (page == 1) {
        if (context.frequencyMode) {
            std::string peak = "The frequency of the max magnitude is ";
            AppendFixed2(peak, context.peakFrequency);
            peak += " HZ";
            layout.texts.push_back({0, 3 * c, std::move(peak), ReportFont::Body});
        } else {
            const auto lines = ReportSummaryLines(context.summary);
            for (std::size_t i = 0; i < lines.size(); ++i)
                layout.texts.push_back({0, static_cast<int>(3 + i) * c, lines[i], ReportFont::Body});
            const int ruleY = static_cast<int>(8.5 * c);
            layout.lines.push_back({0, ruleY, H, ruleY});
        }
    }

    // Headings, each column as wide as its heading's characters.
    const std::size_t columnCount = std::min<std::size_t>(source.columns.size(), REPORT_MAX_COLUMNS);
    std::vector<int> columnX(columnCount);
    const int headingY = (summaryAbove ? 9 : 6) * c;
    std::int64_t x = 0;
    for (std::size_t i = 0; i < columnCount; ++i) {
        // Headings are plain ASCII, but a character is what widens a column.
        std::string heading = Utf8Prefix(source.columns[i].heading, REPORT_MAX_HEADING);
        columnX[i] = ClampToInt(x);
        x += static_cast<std::int64_t>(Utf8Length(heading)) * w;
        if (!heading.empty())
            layout.texts.push_back({columnX[i], headingY, std::move(heading), ReportFont::Body});
    }

    // Rows.
    const ListPageRows rows = ListRowsOfPage(page, source.rowCount, context.frequencyMode);
    const int k = summaryAbove ? 10 : 7;
    if (source.cellText) {
        for (int r = rows.first; r < rows.end; ++r) {
            const int y = ClampToInt(static_cast<std::int64_t>(c) * (r - rows.first + k));
            for (std::size_t i = 0; i < columnCount; ++i) {
                std::string cell = source.cellText(r, source.columns[i].subItem);
                if (!cell.empty())
                    layout.texts.push_back({columnX[i], y, std::move(cell), ReportFont::Body});
            }
        }
    }

    std::string footer = context.today.format("%d/%m/%y") + "  page";
    AppendDecimal(footer, page);
    layout.texts.push_back({H / 2 - 5 * w, V - c, std::move(footer), ReportFont::Body});
    return layout;
}

}  // namespace shakemeter
