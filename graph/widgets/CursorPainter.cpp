#include "graph/widgets/CursorPainter.h"

#include <QFont>

#include "graph/core/CursorMarks.h"
#include "graph/widgets/CellHeightFont.h"

namespace shakemeter {

namespace {

QRect LineRect(const CursorMark& mark, const PlotRect& plot)
{
    return QRect(mark.x - (mark.lineWidth - 1) / 2, plot.top, mark.lineWidth, plot.height() + 1);
}

QRect LabelRect(const CursorMark& mark)
{
    return QRect(mark.label.left, mark.label.top, mark.label.width(), mark.label.height());
}

}  // namespace

void DrawCursorMarks(QPainter& painter, const std::vector<CursorMark>& marks, const PlotRect& plot,
                     const PaintParams& params)
{
    if (marks.empty())
        return;
    const bool lightBackground = PaletteColor(params.colors.background).lightness() > 127;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Bold);
    for (const CursorMark& mark : marks) {
        const QColor color = ToQColor(CursorColor(mark.name, lightBackground));
        painter.fillRect(LineRect(mark, plot), color);
        const QRect label = LabelRect(mark);
        painter.fillRect(label, color);
        painter.setFont(WithCellHeight(font, label.height(), painter.device()));
        painter.setPen(lightBackground ? Qt::white : Qt::black);
        painter.drawText(label, Qt::AlignCenter, QString(QLatin1Char(mark.name)));
    }
    painter.restore();
}

QRegion CursorMarksRegion(const std::vector<CursorMark>& marks, const PlotRect& plot)
{
    QRegion region;
    for (const CursorMark& mark : marks) {
        region += LineRect(mark, plot);
        region += LabelRect(mark);
    }
    return region;
}

}  // namespace shakemeter
