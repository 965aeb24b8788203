#pragma once
// The two measuring cursors of the graph, A and B, each standing on a sample row.

#include <cstddef>

namespace shakemeter {

struct CursorPair {
    std::size_t rowA = 0;  // 0-based rows of the shown recording
    std::size_t rowB = 0;
    bool operator==(const CursorPair&) const = default;
};

}  // namespace shakemeter
