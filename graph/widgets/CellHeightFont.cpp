#include "graph/widgets/CellHeightFont.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

namespace shakemeter {

QFont WithCellHeight(QFont font, int cellHeight, const QPaintDevice* device)
{
    const int height = std::max(cellHeight, 1);
    font.setPixelSize(height);
    const QFontMetricsF metrics = device != nullptr ? QFontMetricsF(font, device) : QFontMetricsF(font);
    const double cell = metrics.ascent() + metrics.descent();
    if (cell > 0)
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(height * height / cell))));
    return font;
}

}  // namespace shakemeter
