#pragma once
// Integer pixel rectangles and points of the graph, in the coordinates of the surface drawn on
// (client pixels on the screen, device pixels on a page). y grows downwards.

namespace shakemeter {

struct PlotRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const PlotRect&) const = default;
};

struct PlotPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PlotPoint&) const = default;
};

}  // namespace shakemeter
