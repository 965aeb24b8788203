#pragma once
// Draws a prepared report page: texts with their top at the given position, in black on a
// transparent background, and 1-pixel lines. Fonts are made for the one drawing.

#include <QFont>
#include <QPoint>

#include "analysis/report/ReportLayout.h"

class QPainter;
class QPaintDevice;

namespace shakemeter {

// "Arial", thin (weight 200), sans-serif, whose cell (ascent plus descent) is cellHeight device
// pixels of the given device.
QFont ReportFontOfCellHeight(int cellHeight, const QPaintDevice* device);

void DrawReportLayout(QPainter& painter, const ReportPageLayout& layout, const QPoint& origin = {});

}  // namespace shakemeter
