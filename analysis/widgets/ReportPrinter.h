#pragma once
// The print sequence of the test report for both kinds: the page count announced before
// printing, each page drawn from its number (the graph and its report lines, or a list page read
// back from the list window), and the end of printing. The graph's own drawing is plugged in, so
// the report needs nothing of the graph pane but a function.
//
// The kind is the view's display mode, set by the command just before: 1 the graph, 2 the list.

#include <QList>
#include <QRect>
#include <functional>

#include "recording/CalendarTime.h"
#include "recording/RecordingView.h"

class QPainter;
class QPrinter;
class QWidget;

namespace shakemeter {

class CDataListDlg;

constexpr int REPORT_KIND_GRAPH = 1;
constexpr int REPORT_KIND_LIST = 2;

struct ReportPrintSources {
    const RecordingView* view = nullptr;       // mode, summary texts, peak frequency, shown count
    int summaryHeight = 0;                     // the summary panel's height; 0 hides the report lines
    const CDataListDlg* listWindow = nullptr;  // the data list, when the view has one
    // Draws the graph page (the page rectangle in device pixels); called for the graph kind only.
    std::function<void(QPainter&, const QRect& page)> drawGraph;
    // Extra tabs of the print dialog (the dialog owns them), when there are any.
    std::function<QList<QWidget*>()> printOptionTabs;
    // Called once the job (or the preview) has drawn its pages.
    std::function<void()> endPrinting;
    std::function<CalendarTime()> today = [] { return CalendarTime::Now(); };
};

class ReportPrinter {
public:
    explicit ReportPrinter(ReportPrintSources sources) : m_sources(std::move(sources)) {}

    // Pages of the kind: 1 for the graph (and for a kind that prints nothing), the list's count.
    int PageCount(int kind) const;
    // Page p (1-based) of the kind at the painter's device geometry.
    void PrintPage(QPainter& painter, int kind, int page) const;
    // Every page of the printer's range (all when none is set); false when printing cannot start
    // or the range holds no page.
    bool PrintDocument(QPrinter& printer, int kind) const;

    // The commands: the print dialog with the page range set, then the job (false when the job
    // was asked for and failed, true when it printed or the dialog was cancelled); or the
    // preview, which shows every page whatever range the last job printed.
    bool RunPrintDialog(QWidget* parent, QPrinter& printer, int kind) const;
    void RunPreview(QWidget* parent, QPrinter& printer, int kind) const;

private:
    ReportPrintSources m_sources;
};

}  // namespace shakemeter
