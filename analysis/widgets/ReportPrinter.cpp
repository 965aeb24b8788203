#include "analysis/widgets/ReportPrinter.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>

#include "analysis/report/ReportPages.h"
#include "analysis/widgets/ListPrint.h"

namespace shakemeter {

int ReportPrinter::PageCount(int kind) const
{
    if (kind != REPORT_KIND_LIST || !m_sources.view)
        return 1;
    return ListPageCount(m_sources.view->m_nShownCount, m_sources.view->m_bFrequencyMode);
}

void ReportPrinter::PrintPage(QPainter& painter, int kind, int page) const
{
    const QPaintDevice* device = painter.device();
    if (!device || !m_sources.view)
        return;
    const QRect pageRect(0, 0, device->width(), device->height());
    if (kind == REPORT_KIND_GRAPH) {
        if (m_sources.drawGraph)
            m_sources.drawGraph(painter, pageRect);
        PrintGraphReportHeader(painter, pageRect, m_sources.view->m_summary, m_sources.summaryHeight);
    } else if (kind == REPORT_KIND_LIST) {
        const CalendarTime today = m_sources.today ? m_sources.today() : CalendarTime::Now();
        // The window is read afresh for each page: it may have closed since the last one.
        PrintListPage(painter, page, ListPageContextOf(*m_sources.view, today), ReadListForPrint(m_sources.listWindow));
    }
}

bool ReportPrinter::PrintDocument(QPrinter& printer, int kind) const
{
    const int pages = PageCount(kind);
    int first = 1;
    int last = pages;
    if (printer.fromPage() > 0) {
        first = std::max(printer.fromPage(), 1);
        last = std::min(printer.toPage() > 0 ? printer.toPage() : pages, pages);
    }
    QPainter painter;
    // A range past the last page prints nothing, not a blank sheet.
    if (first > last || !painter.begin(&printer)) {
        if (m_sources.endPrinting)
            m_sources.endPrinting();
        return false;
    }
    // A printer that fails or is aborted between pages takes no further page.
    bool printed = true;
    for (int page = first; page <= last && printed; ++page) {
        if (page != first)
            printed = printer.newPage();
        if (printed)
            PrintPage(painter, kind, page);
    }
    printed = painter.end() && printed;
    if (m_sources.endPrinting)
        m_sources.endPrinting();
    return printed;
}

bool ReportPrinter::RunPrintDialog(QWidget* parent, QPrinter& printer, int kind) const
{
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, PageCount(kind));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (m_sources.printOptionTabs)
        dialog.setOptionTabs(m_sources.printOptionTabs());
    if (dialog.exec() != QDialog::Accepted)
        return true;
    if (printer.printRange() != QPrinter::PageRange)
        printer.setFromTo(0, 0);
    // The dialog offers only the report's pages, so a job that draws nothing has failed.
    return PrintDocument(printer, kind);
}

void ReportPrinter::RunPreview(QWidget* parent, QPrinter& printer, int kind) const
{
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [this, kind](QPrinter* target) {
        target->setFromTo(0, 0);
        const int pages = PageCount(kind);
        QPainter painter(target);
        for (int page = 1; page <= pages; ++page) {
            if (page != 1)
                target->newPage();
            PrintPage(painter, kind, page);
        }
    });
    preview.exec();
    if (m_sources.endPrinting)
        m_sources.endPrinting();
}

}  // namespace shakemeter
