#include "analysis/widgets/ListPrint.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QPainter>
#include <QTableView>
#include <algorithm>

#include "analysis/widgets/CDataListDlg.h"
#include "analysis/widgets/ReportPainter.h"

namespace shakemeter {

ListPrintSource ReadListForPrint(const QTableView* list)
{
    ListPrintSource source;
    const QAbstractItemModel* model = list ? list->model() : nullptr;
    if (!model)
        return source;
    const QHeaderView* header = list->horizontalHeader();
    const int columns = std::min(model->columnCount(), REPORT_MAX_COLUMNS);
    for (int visual = 0; visual < columns; ++visual) {
        const int logical = header ? header->logicalIndex(visual) : visual;
        if (logical < 0)
            continue;
        source.columns.push_back(
            {model->headerData(logical, Qt::Horizontal).toString().left(REPORT_MAX_HEADING).toStdString(), logical});
    }
    source.rowCount = model->rowCount();
    source.cellText = [model](int row, int subItem) {
        return model->data(model->index(row, subItem)).toString().toStdString();
    };
    return source;
}

ListPrintSource ReadListForPrint(const CDataListDlg* window)
{
    if (!window || !window->IsOpen())
        return {};
    return ReadListForPrint(window->List());
}

void PrintListPage(QPainter& painter, int page, ListPageContext context, const ListPrintSource& source)
{
    const QPaintDevice* device = painter.device();
    if (!device)
        return;
    context.pageWidth = device->width();
    context.pageHeight = device->height();
    DrawReportLayout(painter, ListReportPage(context, source, page));
}

void PrintGraphReportHeader(QPainter& painter, const QRect& page, const SummaryTexts& summary, int summaryHeight)
{
    DrawReportLayout(painter, GraphReportHeader(page.width(), page.height(), summary, summaryHeight), page.topLeft());
}

}  // namespace shakemeter
