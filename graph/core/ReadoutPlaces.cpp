#include "graph/core/ReadoutPlaces.h"

#include <algorithm>

namespace shakemeter {

ReadoutPlaces PlaceReadout(int plotLeft, int offset, const std::array<int, READOUT_TEXTS>& widths, int count, int gap)
{
    ReadoutPlaces places;
    places.x = {plotLeft - 80, plotLeft + 250 + offset, plotLeft + 330 + offset, plotLeft + 410 + offset,
                plotLeft + 490 + offset};
    places.left = places.x[0];
    count = std::clamp(count, 0, READOUT_TEXTS);
    int end = places.left;
    bool any = false;
    for (int i = 0; i < count; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        if (any)
            places.x[k] = std::max(places.x[k], end + gap);
        if (widths[k] > 0) {
            end = places.x[k] + widths[k];
            any = true;
        }
    }
    places.right = any ? end : places.left;
    return places;
}

}  // namespace shakemeter
