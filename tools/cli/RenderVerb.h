#pragma once
// render: a picture of the graph pane as the program paints it, written as PNG, SVG or PDF, of a
// recording or of a session file (its recording with the comparison, cursors and zoom it keeps).

#include <optional>
#include <string>
#include <vector>

namespace shakemeter::cli {

struct RenderRequest {
    std::string file;  // a recording, or a session by its extension
    std::string out;   // .png, .svg or .pdf
    int width = 1600;
    int height = 900;
    bool frequency = false;
    std::optional<long long> from;  // rows, 0-based and inclusive: the graph shows only these
    std::optional<long long> to;
    std::vector<long long> cursors;  // rows of cursors A and B, 0-based; empty for none
};

// Returns 0, 1 for an input or output that fails (message on standard error), 2 for a request
// the recording cannot answer (rows beyond it or beyond the rows drawn, an unknown picture format,
// rows or the spectrum asked of a session, a session whose rows lie beyond its recordings).
int RunRender(int argc, char** argv, const RenderRequest& request);

}  // namespace shakemeter::cli
