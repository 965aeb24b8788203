#pragma once
// What a session file keeps: the shown recording, the recording compared with it and how the two
// are aligned, the two cursors and the zoom. Paths are absolute here; the file writes them
// relative to its own folder where it can. Rows are 0-based rows of the recording they belong to.

#include <cstddef>
#include <optional>
#include <string>

#include "graph/core/CursorPair.h"
#include "graph/core/OverlayAlignment.h"

namespace shakemeter {

struct SessionComparison {
    std::string file;
    OverlayAlignment alignment;
    bool operator==(const SessionComparison&) const = default;
};

struct SessionZoom {
    std::size_t firstRow = 0;
    std::size_t lastRow = 0;
    bool operator==(const SessionZoom&) const = default;
};

struct Session {
    std::string recording;
    std::optional<SessionComparison> comparison;
    std::optional<CursorPair> cursors;
    std::optional<SessionZoom> zoom;
    bool operator==(const Session&) const = default;
};

}  // namespace shakemeter
