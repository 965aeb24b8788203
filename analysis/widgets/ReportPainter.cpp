#include "analysis/widgets/ReportPainter.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace shakemeter {

QFont ReportFontOfCellHeight(int cellHeight, const QPaintDevice* device)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::ExtraLight);
    const int height = std::max(cellHeight, 1);
    font.setPixelSize(height);
    // A pixel size is the em height; the page's sizes are whole cells, internal leading included.
    const QFontMetricsF metrics = device ? QFontMetricsF(font, device) : QFontMetricsF(font);
    const double cell = metrics.ascent() + metrics.descent();
    if (cell > 0)
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(height * height / cell))));
    return font;
}

void DrawReportLayout(QPainter& painter, const ReportPageLayout& layout, const QPoint& origin)
{
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    const QFont title = ReportFontOfCellHeight(layout.titleFontHeight, painter.device());
    const QFont body = ReportFontOfCellHeight(layout.bodyFontHeight, painter.device());
    const QFontMetricsF titleMetrics(title, painter.device());
    const QFontMetricsF bodyMetrics(body, painter.device());
    for (const ReportText& text : layout.texts) {
        const bool isTitle = text.font == ReportFont::Title;
        painter.setFont(isTitle ? title : body);
        const double ascent = isTitle ? titleMetrics.ascent() : bodyMetrics.ascent();
        painter.drawText(QPointF(origin.x() + text.x, origin.y() + text.y + ascent), QString::fromStdString(text.text));
    }
    for (const ReportLine& line : layout.lines)
        painter.drawLine(origin + QPoint(line.x1, line.y1), origin + QPoint(line.x2, line.y2));
    painter.restore();
}

}  // namespace shakemeter
