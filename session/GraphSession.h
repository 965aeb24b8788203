#pragma once
// The graph's part of a session: what the model shows beyond its recording (the compared
// recording, the cursors, the zoom) taken into a session, checked against the recordings a
// session names, and put back. The program and the command line's render put a session back
// through the same calls, so both draw it alike.

#include <cstddef>
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
// zoom needs the model's geometry and is made by the caller, through ZoomOntoRows.
void ApplySessionMarks(GraphModel& model, const Session& session);

}  // namespace shakemeter
