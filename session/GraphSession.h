#pragma once
// The graph's part of a session: what the model shows beyond its recording (the compared
// recording, the cursors, the zoom) taken into a session, checked against the recordings a
// session names, and put back. The program and the command line's render put a session back
// through the same calls, so both draw it alike.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "graph/core/GraphModel.h"
#include "graph/core/GraphOverlay.h"
#include "recording/Recording.h"
#include "session/Session.h"

namespace shakemeter {

// The session of the graph as it stands, for the shown recording read from recordingPath: the
// compared recording's file and alignment when one is drawn, the cursors when placed, the zoomed
// rows when zoomed (as the last paint left them).
Session SessionOfGraph(const GraphModel& model, const std::string& recordingPath);

// Why the session does not fit the recordings it names: a row beyond the recording it belongs to
// (a cursor, the zoom, an event it aligns on) or a compared recording without samples, told naming
// the session file. Empty when everything fits. compared is read only when the session compares.
std::string SessionRowsFault(const Session& session, const std::string& sessionPath, const Recording& shown,
                             const Recording* compared = nullptr);

// The comparison as the graph draws it: the compared recording with the files' names for the
// legend and the session's alignment.
GraphOverlay SessionOverlay(const Session& session, std::shared_ptr<const Recording> compared);

// The comparison (when compared is given; an automatic value range then takes its values in) and
// the cursors of the session on the model showing its recording, after SessionRowsFault and a first
// paint. The zoom needs the model's geometry and is made by the caller, through ZoomOntoRows with
// the rows of SessionZoomRows.
void ApplySessionMarks(GraphModel& model, const Session& session, std::shared_ptr<const Recording> compared);

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
