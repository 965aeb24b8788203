#pragma once
// The "Test Report" printouts: the title and summary lines over the printed graph, and the pages
// of the data list with their page count, headings, rows and footers. Geometry is in device
// pixels of the page (H its width, V its height); every division truncates, as the page layout
// has always done, so the same page looks the same at any resolution of the same size.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "analysis/report/ReportLayout.h"
#include "recording/CalendarTime.h"
#include "recording/RecordingView.h"

namespace shakemeter {

constexpr int REPORT_ROWS_PER_PAGE = 70;
constexpr int REPORT_FIRST_PAGE_ROWS_TIME = 65;  // five summary lines and a rule take the rest
constexpr int REPORT_MAX_COLUMNS = 100;
constexpr int REPORT_MAX_HEADING = 100;

// Rows on page 1: fewer in time mode, where the summary stands above them.
int ListFirstPageRows(bool frequencyMode);
// Pages of a list of shownCount rows: 1 when they fit page 1, else one more per 70 rows.
int ListPageCount(int shownCount, bool frequencyMode);

// Rows [first, end) that page p (1-based) shows of a list of rowCount rows; empty when none.
struct ListPageRows {
    int first = 0;
    int end = 0;
};
ListPageRows ListRowsOfPage(int page, int rowCount, bool frequencyMode);

// The five summary lines the graph page and the first list page print.
std::array<std::string, 5> ReportSummaryLines(const SummaryTexts& summary);

// The title and summary over the graph page; nothing when the summary panel is hidden
// (summaryHeight 0, as always in frequency mode).
ReportPageLayout GraphReportHeader(int pageWidth, int pageHeight, const SummaryTexts& summary, int summaryHeight);

// What the list printout reads back from the list window. A closed window has no columns and
// no rows, and its pages carry only titles, summary and footers.
struct ListColumnRecord {
    std::string heading;
    int subItem = 0;
};
struct ListPrintSource {
    std::vector<ListColumnRecord> columns;  // display order
    int rowCount = 0;
    std::function<std::string(int row, int subItem)> cellText;
};

struct ListPageContext {
    int pageWidth = 0;
    int pageHeight = 0;
    bool frequencyMode = false;
    SummaryTexts summary;
    double peakFrequency = 0.0;
    CalendarTime today;  // the footer's date
};

// The mode, summary and peak frequency of the shown recording; the page size is the painter's.
ListPageContext ListPageContextOf(const RecordingView& view, const CalendarTime& today);

ReportPageLayout ListReportPage(const ListPageContext& context, const ListPrintSource& source, int page);

}  // namespace shakemeter
