#pragma once
// The measuring cursors A and B in the main window: Analysis > "Two Cursors" places them at a
// third and two thirds of the rows the graph shows (and takes them away), the mouse drags a line
// it is pressed on, the keys move the active cursor a sample at a time (comma and full stop; ten
// with Shift) and switch between A and B (Space), and the "Cursors" dock shows what they read.
// A recording that takes the shown one's place takes the cursors with it.

#include <QObject>
#include <QString>
#include <cstddef>
#include <optional>

#include "analysis/vibration/TimeRows.h"
#include "analysis/vibration/Units.h"
#include "graph/core/CursorPair.h"
#include "recording/Recording.h"

class QAction;
class QMainWindow;
class QMenu;

namespace shakemeter {

class CVxView;
class CursorPanel;

class CursorCommands : public QObject {
    Q_OBJECT
public:
    // How far either side of a line a press takes the line instead of starting a zoom band.
    static constexpr int kGrabReach = 4;
    static constexpr int kBigStep = 10;

    // Adds the dock to the window and the commands to the menus (after what they hold); the
    // window's enable rules keep the actions' states.
    CursorCommands(QMainWindow& window, CVxView& view, QAction& toggle, QAction& exportRange, QMenu& analysisMenu,
                   QMenu& exportMenu, vibration::Unit unit);

    CursorPanel* Panel() const { return m_panel; }
    // The cursor the keys move: 'A' or 'B'.
    char Active() const { return m_active; }
    vibration::Unit Unit() const { return m_unit; }
    // The rows from the earlier cursor to the later, both included; nothing without cursors.
    std::optional<vibration::RowRange> Range() const;

    // Two Cursors: places them (and shows the dock) or takes them away.
    void Toggle();
    // Cursors put on the shown recording from elsewhere (a session opened): they become the ones
    // Two Cursors placed, with their dock shown (the only way to it keeps the cursors), A active
    // and going with the recording.
    void Adopt();
    void SetUnit(vibration::Unit unit);
    // The panel from the cursors as they stand.
    void Refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place(std::optional<CursorPair> cursors);
    // Takes the cursors away with their dock and whatever the mouse held of them.
    void Remove();
    void Step(long long samples);
    // The shown recording was replaced, or the graph switched domains: only the first takes the
    // cursors away.
    void FollowRecording();

    struct RecordingKey {
        const void* rows = nullptr;
        std::size_t count = 0;
        RecordingHeader header{};
        bool operator==(const RecordingKey&) const = default;
    };
    RecordingKey KeyOfShown() const;

    CVxView& m_view;
    CursorPanel* m_panel = nullptr;
    vibration::Unit m_unit;
    char m_active = 'A';
    char m_dragged = 0;  // the cursor the mouse holds
    bool m_hovering = false;
    std::optional<RecordingKey> m_placedOn;  // the recording the cursors were placed on
};

}  // namespace shakemeter
