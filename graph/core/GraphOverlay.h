#pragma once
// A second recording drawn over the shown one for comparison, with what the legend names and
// how it is placed in time. The model owns it, so every copy of the model (a picture, the page)
// draws it too.

#include <memory>
#include <string>

#include "graph/core/OverlayAlignment.h"
#include "recording/Recording.h"

namespace shakemeter {

struct GraphOverlay {
    std::shared_ptr<const Recording> recording;  // the compared recording, never null in a set overlay
    std::string shownName;                       // file names for the legend ("" when the shown recording has no file)
    std::string comparedName;
    std::string comparedPath;  // the full path it was read from (the session file keeps it)
    OverlayAlignment alignment;
};

}  // namespace shakemeter
