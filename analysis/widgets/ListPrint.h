#pragma once
// Printing the test report: the list pages, read back from the data list window as it stands,
// and the report lines over the printed graph. Each page is drawn from scratch from its number,
// so a preview may go back and forth and a print may start at any page.

#include <QRect>

#include "analysis/report/ReportPages.h"

class QPainter;
class QTableView;

namespace shakemeter {

class CDataListDlg;

// The list's columns in display order, its item count and a reader of its cell texts. A missing
// or closed window gives an empty source. The reader refers to the list: use it for one page.
ListPrintSource ReadListForPrint(const QTableView* list);
ListPrintSource ReadListForPrint(const CDataListDlg* window);

// One list page at the geometry of the painter's device (its width and height in pixels).
void PrintListPage(QPainter& painter, int page, ListPageContext context, const ListPrintSource& source);

// The title and summary lines over the graph page, within page (its size is the page's).
void PrintGraphReportHeader(QPainter& painter, const QRect& page, const SummaryTexts& summary, int summaryHeight);

}  // namespace shakemeter
