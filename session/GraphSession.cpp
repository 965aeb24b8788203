#include "session/GraphSession.h"

#include <filesystem>

#include "analysis/vibration/TimeRows.h"
#include "graph/core/VisibleRows.h"

namespace shakemeter {

Session SessionOfGraph(const GraphModel& model, const std::string& recordingPath)
{
    Session session;
    session.recording = recordingPath;
    session.cursors = model.Cursors();
    if (!model.state().g_bFullView) {
        if (const std::optional<vibration::RowRange> rows = VisibleRows(model); rows && rows->from < rows->to)
            session.zoom = SessionZoom{rows->from, rows->to};
    }
    return session;
}

std::string SessionRowsFault(const Session& session, const std::string& sessionPath, const Recording& shown)
{
    const std::size_t rows = vibration::TimeRowsOf(shown).count;
    const std::string name = std::filesystem::path(session.recording).filename().string();
    const auto beyond = [&](const char* what, std::size_t row) -> std::string {
        if (row < rows)
            return {};
        return "Cannot open the session \"" + sessionPath + "\": " + what + " is at row " + std::to_string(row) +
               ", beyond the " + std::to_string(rows) + " rows of \"" + name + "\".";
    };
    std::string fault;
    if (session.cursors) {
        fault = beyond("cursor A", session.cursors->rowA);
        if (fault.empty())
            fault = beyond("cursor B", session.cursors->rowB);
    }
    if (fault.empty() && session.zoom)
        fault = beyond("the zoom's last row", session.zoom->lastRow);
    return fault;
}

void ApplySessionMarks(GraphModel& model, const Session& session)
{
    model.SetCursors(session.cursors);
}

}  // namespace shakemeter
