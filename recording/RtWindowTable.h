#pragma once
// The real-time window sizes: a reading shows 100 samples across the plot at first, and each time
// the data reach the right edge the samples are pressed into eleven twelfths of the width. The
// double operations are kept in their order, so a 1000-pixel plot grows to 109 and a 900-pixel
// plot to 108 samples.

#include <vector>

#include "recording/ViewState.h"

namespace shakemeter {

constexpr int RT_FIRST_WINDOW = 100;

// The narrowed scale of a full window of w samples in a plot of plotWidth pixels.
double RtNarrowedScale(int plotWidth, int w);
// The window that follows a full window of w samples (w >= 2, plotWidth > 0).
int NextRtWindowSize(int plotWidth, int w);
// 100 first, then each next size, up to and including the first entry that is not below the
// requested number of points. At least two entries; a plot without width gives just {100, 100}
// growth-free entries instead of dividing by zero.
std::vector<int> BuildRtWindowTable(int plotWidth, int requested);

// The table a real-time reading of `requested` points starts with, stored in the view, and the
// graph's pixels per sample it ends with. A plot not laid out yet counts as one pixel wide: the
// table still grows (its sizes do not depend on the width but through rounding).
double StartRtWindowTable(ViewState& view, int plotWidth, int requested);

}  // namespace shakemeter
