#include "shell/widgets/CursorCommands.h"

#include <QAction>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>

#include "analysis/vibration/CursorReadings.h"
#include "analysis/widgets/CursorPanel.h"
#include "graph/core/CursorPlacement.h"
#include "graph/widgets/CVxView.h"

namespace shakemeter {

CursorCommands::CursorCommands(QMainWindow& window, CVxView& view, QAction& toggle, QAction& exportRange,
                               QMenu& analysisMenu, QMenu& exportMenu, vibration::Unit unit)
    : QObject(&window), m_view(view), m_unit(unit)
{
    m_panel = new CursorPanel(&window);
    window.addDockWidget(Qt::RightDockWidgetArea, m_panel);
    m_panel->hide();
    toggle.setCheckable(true);
    toggle.setShortcutContext(Qt::WindowShortcut);
    window.addAction(&toggle);
    analysisMenu.addSeparator();
    analysisMenu.addAction(&toggle);
    exportMenu.addAction(&exportRange);
    m_view.installEventFilter(this);
    connect(&m_view, &CVxView::readoutCleared, this, &CursorCommands::FollowRecording);
}

CursorCommands::RecordingKey CursorCommands::KeyOfShown() const
{
    const Recording& recording = m_view.Document();
    return {recording.m_pSamples.data(), recording.RowCount(), recording.m_header};
}

std::optional<vibration::RowRange> CursorCommands::Range() const
{
    const auto& cursors = m_view.Model().Cursors();
    if (!cursors)
        return std::nullopt;
    return vibration::RowRange{std::min(cursors->rowA, cursors->rowB), std::max(cursors->rowA, cursors->rowB)};
}

void CursorCommands::Toggle()
{
    if (m_view.Model().Cursors()) {
        Remove();
        return;
    }
    const auto start = StartingCursors(m_view.Model());
    if (!start)
        return;
    m_active = 'A';
    m_placedOn = KeyOfShown();
    Place(start);
    m_panel->show();
}

void CursorCommands::Adopt()
{
    if (!m_view.Model().Cursors())
        return;
    m_active = 'A';
    m_placedOn = KeyOfShown();
    Refresh();
    m_panel->show();
}

void CursorCommands::SetUnit(vibration::Unit unit)
{
    m_unit = unit;
    Refresh();
}

void CursorCommands::Remove()
{
    Place(std::nullopt);
    m_placedOn.reset();
    m_panel->hide();
    // The filter passes every event on once the cursors are gone: a line held or pointed at now
    // would still be when cursors come back, and the next move without a button would drag it.
    m_dragged = 0;
    if (m_hovering) {
        m_hovering = false;
        m_view.unsetCursor();
    }
}

void CursorCommands::Place(std::optional<CursorPair> cursors)
{
    m_view.SetCursors(cursors);
    Refresh();
}

void CursorCommands::Refresh()
{
    const auto& cursors = m_view.Model().Cursors();
    const std::optional<vibration::CursorReadings> readings =
        cursors ? vibration::ReadCursors(m_view.Document(), cursors->rowA, cursors->rowB, m_unit) : std::nullopt;
    if (!readings) {
        m_panel->Clear();
        return;
    }
    m_panel->Show(vibration::CursorReadingTextsOf(*readings, m_view.Document(), m_view.Companions()), m_active);
}

void CursorCommands::Step(long long samples)
{
    const auto& cursors = m_view.Model().Cursors();
    if (!cursors)
        return;
    const std::size_t row = m_active == 'A' ? cursors->rowA : cursors->rowB;
    Place(WithRow(*cursors, m_active, StepRow(m_view.Model(), row, samples)));
}

void CursorCommands::FollowRecording()
{
    // Hidden cursors (a spectrum shown) go as well: they would come back on the new rows.
    if (m_placedOn && !(KeyOfShown() == *m_placedOn)) {
        Remove();
        return;
    }
    // The other domain: a spectrum has no rows to read, and back in time the cursors read again.
    Refresh();
}

bool CursorCommands::eventFilter(QObject* watched, QEvent* event)
{
    // The pane still sends events while it is destroyed, when it is no longer a CVxView.
    if (watched != &m_view || qobject_cast<CVxView*>(watched) == nullptr || !m_view.Model().Cursors())
        return QObject::eventFilter(watched, event);
    const GraphModel& model = m_view.Model();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint p = mouse->position().toPoint();
        const char near = mouse->button() == Qt::LeftButton ? CursorNear(model, p.x(), p.y(), kGrabReach) : 0;
        if (near == 0)
            break;
        m_dragged = near;
        m_active = near;
        m_view.setFocus(Qt::MouseFocusReason);
        Refresh();
        return true;
    }
    case QEvent::MouseMove: {
        const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (m_dragged != 0) {
            if (const auto row = SnapColumnToRow(model, p.x()))
                Place(WithRow(*model.Cursors(), m_dragged, *row));
            return true;
        }
        // The pointer shows where a press takes a line.
        const bool hovering = CursorNear(model, p.x(), p.y(), kGrabReach) != 0;
        if (hovering != m_hovering) {
            m_hovering = hovering;
            if (hovering)
                m_view.setCursor(Qt::SplitHCursor);
            else
                m_view.unsetCursor();
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (m_dragged != 0 && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_dragged = 0;
            return true;
        }
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const long long step = (key->modifiers() & Qt::ShiftModifier) ? kBigStep : 1;
        switch (key->key()) {
        case Qt::Key_Comma:
        case Qt::Key_Less:
            Step(-step);
            return true;
        case Qt::Key_Period:
        case Qt::Key_Greater:
            Step(step);
            return true;
        case Qt::Key_Space:
            m_active = m_active == 'A' ? 'B' : 'A';
            Refresh();
            return true;
        default:
            break;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace shakemeter
