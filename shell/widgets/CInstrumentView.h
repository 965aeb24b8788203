#pragma once
// The instrument pane at the left of the main window: the logger as one tree item with its picture,
// and on a right click over it the logger commands. The menu's actions are the main window's, so
// they are greyed by the same rules as the main menu.

#include <QFont>
#include <QList>
#include <QTreeWidget>
#include <functional>

class QAction;
class QMenu;

namespace shakemeter {

class CInstrumentView : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kPaneWidth = 130;

    explicit CInstrumentView(QWidget* parent = nullptr);

    // The tree's one item and its picture; run again whenever the view is initialised.
    void OnInitialUpdate();
    // The commands of the right-click menu, in order; a null entry is a separator.
    void SetContextActions(const QList<QAction*>& actions) { m_contextActions = actions; }
    // Right click at a point of the tree's viewport: over an item, selects it and shows the
    // menu there (returns true); elsewhere nothing happens.
    bool ContextMenuAt(const QPoint& viewportPoint);
    // How the menu is shown; tests look at it instead of running a popup loop.
    void SetMenuRunner(std::function<void(QMenu&, const QPoint& globalPoint)> runner)
    {
        m_menuRunner = std::move(runner);
    }

private:
    QList<QAction*> m_contextActions;
    QFont m_font;
    bool m_fontMade = false;
    std::function<void(QMenu&, const QPoint&)> m_menuRunner;
};

}  // namespace shakemeter
