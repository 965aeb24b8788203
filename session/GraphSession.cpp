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

std::optional<ZoomRows> SessionZoomRows(const GraphModel& model, const SessionZoom& zoom, bool frameReading)
{
    // The rows a zoom onto first..last shows, found on a copy as the next paint would find them.
    const auto shownBy = [&](int first, int last) -> std::optional<vibration::RowRange> {
        GraphModel trial = model;
        if (!trial.ZoomOntoRows(first, last, frameReading))
            return std::nullopt;
        trial.PrepareDrawing(frameReading, false);
        trial.FinishDrawing();
        return VisibleRows(trial);
    };
    // Each end rounded outwards holds at most a few rows more per pixel: a few trials, each moving
    // an end by a row towards the rows wanted, find the rows that show exactly the zoom, or else
    // the nearest.
    constexpr int kTrials = 12;
    const auto miss = [&](const vibration::RowRange& shown) {
        const auto distance = [](std::size_t a, std::size_t b) { return a > b ? a - b : b - a; };
        return distance(shown.from, zoom.firstRow) + distance(shown.to, zoom.lastRow);
    };
    ZoomRows ask{static_cast<int>(zoom.firstRow), static_cast<int>(zoom.lastRow)};
    ZoomRows previous{-1, -1};
    std::optional<ZoomRows> best;
    std::size_t bestMiss = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        const std::optional<vibration::RowRange> shown = shownBy(ask.first, ask.last);
        if (!shown)
            break;
        if (!best || miss(*shown) < bestMiss) {
            best = ask;
            bestMiss = miss(*shown);
        }
        if (bestMiss == 0)
            break;
        const ZoomRows before = ask;
        if (shown->to > zoom.lastRow && ask.last - 1 > ask.first)
            --ask.last;
        else if (shown->to < zoom.lastRow)
            ++ask.last;
        if (shown->from < zoom.firstRow && ask.first + 1 < ask.last)
            ++ask.first;
        else if (shown->from > zoom.firstRow && ask.first > 0)
            --ask.first;
        // Unmoved, or back where it was a step ago: the rows lie between two pixels' worth.
        const auto same = [](const ZoomRows& a, const ZoomRows& b) { return a.first == b.first && a.last == b.last; };
        if (same(ask, before) || same(ask, previous))
            break;
        previous = before;
    }
    return best;
}

}  // namespace shakemeter
