#pragma once
// The analysis plots' colours: light text on black, as the graph pane draws.

class QWidget;

namespace shakemeter {

void UseDarkPlotPalette(QWidget& widget);

}  // namespace shakemeter
