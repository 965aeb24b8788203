#pragma once
// The graph's part of a session: what the model shows beyond its recording (the compared
// recording, the cursors, the zoom) taken into a session, checked against the recordings a
// session names, and put back. The program and the command line's render put a session back
// through the same calls, so both draw it alike.

#include <cstddef>
#include <optional>
#include <string>

#include "graph/core/GraphModel.h"
#include "recording/Recording.h"
#include "session/Session.h"

namespace shakemeter {

// The session of the graph as it stands, for the shown recording read from recordingPath: the
// cursors when placed, the zoomed rows when zoomed (as the last paint left them).
Session SessionOfGraph(const GraphModel& model, const std::string& recordingPath);

// Why the session does not fit the recordings it names: a row beyond the recording it belongs to,
// told naming the session file. Empty when every row lies within.
std::string SessionRowsFault(const Session& session, const std::string& sessionPath, const Recording& shown);

// The cursors of the session on the model showing its recording (after SessionRowsFault). The
// zoom needs the model's geometry and is made by the caller, through ZoomOntoRows with the rows of
// SessionZoomRows.
void ApplySessionMarks(GraphModel& model, const Session& session);

// The rows to give ZoomOntoRows so that the graph, at the model's geometry, shows the zoom's rows
// again. A zoom onto rows ends on a whole pixel of the full view, which may hold a few rows more
// than asked for; taken as they were shown and zoomed onto again, the rows would grow with every
// save and open. Nothing when the model cannot zoom (no rows, no usable scales).
struct ZoomRows {
    int first = 0;
    int last = 0;
};
std::optional<ZoomRows> SessionZoomRows(const GraphModel& model, const SessionZoom& zoom, bool frameReading);

}  // namespace shakemeter
