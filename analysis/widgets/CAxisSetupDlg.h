#pragma once
// The axis setup (dialog 220, "Axis Setup"): the bottom and top of the value axis, which become
// both the preset and the current range. The shown-row fields of the time axis exist but are
// hidden; they travel with the dialog unseen and are stored as they were filled. Every change of
// a field's text is normalised at once (typing 5 shows 5.00); OK checks both ranges and keeps the
// dialog open with a message when one is not in order.
//
// The view calls RunAxisSetup; on true it repaints its graph panel without erasing and runs its
// ZoomOut action, which redraws the graph with the new range.

#include <QDialog>

#include <functional>
#include <span>

#include "graph/core/AxisSetupRules.h"

class QGroupBox;
class QLabel;
class QSpinBox;

namespace shakemeter {

class CNumericEdit;
class Prompter;
class RecordingView;
struct GraphState;

class CAxisSetupDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 220;
    static constexpr int IDC_VALUE_GROUP = 1155;
    static constexpr int IDC_ROW_GROUP = 1156;
    static constexpr int IDC_YMIN = 1141;
    static constexpr int IDC_YMAX = 1080;
    static constexpr int IDC_YMIN_SPIN = 1142;
    static constexpr int IDC_YMAX_SPIN = 1120;
    static constexpr int IDC_XMIN = 1143;
    static constexpr int IDC_XMAX = 1081;
    static constexpr int IDC_XMIN_SPIN = 1144;
    static constexpr int IDC_XMAX_SPIN = 1121;

    // A reading may go on while the dialog is open, so the shown rows, the reading flag and the
    // window table are asked for when they are used (the table only for the time of the call).
    using ContextSource = std::function<AxisSetupContext()>;

    CAxisSetupDlg(const AxisSetupValues& values, ContextSource context, Prompter& prompter, QWidget* parent = nullptr);

    // OK: the messages due, one after the other, and the dialog stays open; or the values are
    // stored and the dialog ends.
    void OnOK();
    // The values OK stored; the starting values until then.
    const AxisSetupValues& Values() const { return m_values; }
    // The real-time window OK picked; -1 when the one in force stays.
    int FoundRtWindowIdx() const { return m_nFoundRtWindowIdx; }
    AxisSetupTexts Texts() const;

    CNumericEdit* Field(int id) const;
    QSpinBox* UpDown(int id) const;

private:
    void FillFields();
    void OnFieldChanged(CNumericEdit* edit);
    CNumericEdit* AddField(int id, const QRect& geometry, bool shown);
    QSpinBox* AddUpDown(int id, const QRect& geometry, int minimum, int maximum);

    AxisSetupValues m_values;
    ContextSource m_context;
    int m_nFoundRtWindowIdx = -1;
    Prompter& m_prompter;
    CNumericEdit* m_yMin = nullptr;
    CNumericEdit* m_yMax = nullptr;
    CNumericEdit* m_xMin = nullptr;
    CNumericEdit* m_xMax = nullptr;
    bool m_bFieldsReady = false;
    bool m_bNormalising = false;
};

// The dialog for one command. True when OK stored new values into values.
bool RunAxisSetup(QWidget* parent, AxisSetupValues& values, CAxisSetupDlg::ContextSource context, Prompter& prompter);
// The same on the view's state: the preset range and the window in force from the graph state,
// the current range, the shown rows and the real-time request and table from the recording's
// view, and whether a reading is under way from the frame (asked at OK). Only the window is left
// alone when OK finds none that fits, since a reading may have changed it meanwhile.
bool RunAxisSetup(QWidget* parent, GraphState& state, RecordingView& view, std::function<bool()> reading,
                  Prompter& prompter);

}  // namespace shakemeter
