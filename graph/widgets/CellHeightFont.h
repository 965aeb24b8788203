#pragma once
// Fonts sized by their cell: the page gives text heights as ascent plus descent in device
// pixels, while a pixel size sets only the em height (about 12% less for Arial).

#include <QFont>
#include <QPaintDevice>

namespace shakemeter {

// The font with the pixel size whose cell on the device (the screen's when null) is cellHeight.
QFont WithCellHeight(QFont font, int cellHeight, const QPaintDevice* device);

}  // namespace shakemeter
