#include "analysis/widgets/PlotPalette.h"

#include <QPalette>
#include <QWidget>

namespace shakemeter {

void UseDarkPlotPalette(QWidget& widget)
{
    widget.setAutoFillBackground(true);
    QPalette p = widget.palette();
    p.setColor(QPalette::Window, Qt::black);
    p.setColor(QPalette::WindowText, QColor(200, 200, 200));
    widget.setPalette(p);
}

}  // namespace shakemeter
