#pragma once
// The view options (dialog 226, "View "): which traces the graph draws and whether it draws its
// value and time grid lines. "Mark Points" is there but can be neither seen nor changed; its
// flag travels through unchanged.
//
// The view calls RunViewOptions with its graph state; on true it repaints its graph panel with
// erasing (the settings file takes the flags at close).

#include <QDialog>

#include "settings/GraphDisplayOptions.h"

class QCheckBox;

namespace shakemeter {

struct GraphState;

// The seven display flags the dialog edits.
struct ViewOptionFlags : DisplaySwitches {
    bool operator==(const ViewOptionFlags&) const = default;

    static ViewOptionFlags Of(const GraphState& state);
    void ApplyTo(GraphState& state) const;
};

class CViewOptionsDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 226;
    static constexpr int IDC_SHOW_X = 1152;
    static constexpr int IDC_SHOW_Y = 1153;
    static constexpr int IDC_SHOW_Z = 1154;
    static constexpr int IDC_SHOW_VECTOR_SUM = 1155;
    static constexpr int IDC_MARK_POINTS = 1158;
    static constexpr int IDC_HORZ_GRID = 1159;
    static constexpr int IDC_VERT_GRID = 1160;

    explicit CViewOptionsDlg(const ViewOptionFlags& flags, QWidget* parent = nullptr);

    // OK: the boxes' states become the flags, and the dialog ends.
    void OnOK();
    // The flags OK stored; the starting flags until then.
    const ViewOptionFlags& Flags() const { return m_flags; }
    QCheckBox* Box(int id) const;

private:
    ViewOptionFlags m_flags;
};

// The dialog for one command. True when OK stored the boxes' states into flags.
bool RunViewOptions(QWidget* parent, ViewOptionFlags& flags);
bool RunViewOptions(QWidget* parent, GraphState& state);

}  // namespace shakemeter
