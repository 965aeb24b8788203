#include "session/GraphSession.h"

#include <filesystem>
#include <utility>

#include "analysis/vibration/TimeRows.h"
#include "graph/core/VisibleRows.h"
#include "session/SessionFile.h"

namespace shakemeter {

Session SessionOfGraph(const GraphModel& model, const std::string& recordingPath)
{
    Session session;
    session.recording = recordingPath;
    if (const GraphOverlay* overlay = model.Overlay(); overlay != nullptr && !overlay->comparedPath.empty())
        session.comparison = SessionComparison{overlay->comparedPath, overlay->alignment};
    session.cursors = model.Cursors();
    if (!model.state().g_bFullView) {
        if (const std::optional<vibration::RowRange> rows = VisibleRows(model); rows && rows->from < rows->to)
            session.zoom = SessionZoom{rows->from, rows->to};
    }
    return session;
}

std::string SessionRowsFault(const Session& session, const std::string& sessionPath, const Recording& shown,
                             const Recording* compared)
{
    const auto fault = [&](const std::string& what) { return SessionOpenFailure(sessionPath, what); };
    const auto name = [](const std::string& path) { return std::filesystem::path(path).filename().string(); };
    const auto beyond = [&](const char* what, std::size_t row, const Recording& recording,
                            const std::string& path) -> std::optional<std::string> {
        const std::size_t rows = vibration::TimeRowsOf(recording).count;
        if (row < rows)
            return std::nullopt;
        return fault(std::string(what) + " is at row " + std::to_string(row) + ", beyond the " + std::to_string(rows) +
                     " rows of \"" + name(path) + "\"");
    };
    std::optional<std::string> found;
    if (session.cursors) {
        found = beyond("cursor A", session.cursors->rowA, shown, session.recording);
        if (!found)
            found = beyond("cursor B", session.cursors->rowB, shown, session.recording);
    }
    if (!found && session.zoom)
        found = beyond("the zoom's last row", session.zoom->lastRow, shown, session.recording);
    if (!found && session.comparison && compared != nullptr) {
        const SessionComparison& c = *session.comparison;
        if (vibration::TimeRowsOf(*compared).count == 0)
            return fault("the compared recording \"" + name(c.file) + "\" holds no samples");
        if (c.alignment.by == AlignBy::Event) {
            found = beyond("the shown recording's event", c.alignment.mainEventRow, shown, session.recording);
            if (!found)
                found = beyond("the compared recording's event", c.alignment.overlayEventRow, *compared, c.file);
        }
    }
    return found.value_or(std::string());
}

GraphOverlay SessionOverlay(const Session& session, std::shared_ptr<const Recording> compared)
{
    const auto name = [](const std::string& path) { return std::filesystem::path(path).filename().string(); };
    GraphOverlay overlay;
    overlay.recording = std::move(compared);
    overlay.shownName = name(session.recording);
    if (session.comparison) {
        overlay.comparedName = name(session.comparison->file);
        overlay.comparedPath = session.comparison->file;
        overlay.alignment = session.comparison->alignment;
    }
    return overlay;
}

void ApplySessionMarks(GraphModel& model, const Session& session, std::shared_ptr<const Recording> compared)
{
    if (session.comparison && compared)
        model.ShowComparison(SessionOverlay(session, std::move(compared)));
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
