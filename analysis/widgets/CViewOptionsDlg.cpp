#include "analysis/widgets/CViewOptionsDlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

#include <array>

#include "analysis/widgets/SettingsDialogLook.h"
#include "graph/core/GraphState.h"
#include "controls/DialogUnits.h"

namespace shakemeter {

namespace {

struct BoxRow {
    int id;
    const char* caption;
    bool ViewOptionFlags::*flag;
    int left;
    int top;
    int width;
    bool shown;
};

constexpr std::array<BoxRow, 7> kBoxes{{
    {CViewOptionsDlg::IDC_SHOW_X, "X Value", &ViewOptionFlags::m_bShowX, 14, 14, 60, true},
    {CViewOptionsDlg::IDC_SHOW_Y, "Y Value", &ViewOptionFlags::m_bShowY, 14, 27, 60, true},
    {CViewOptionsDlg::IDC_SHOW_Z, "Z Value", &ViewOptionFlags::m_bShowZ, 14, 40, 60, true},
    // Nothing stands right of the longest caption, so it may run under the right column.
    {CViewOptionsDlg::IDC_SHOW_VECTOR_SUM, "Vector Sum Value", &ViewOptionFlags::m_bShowVectorSum, 14, 53, 110, true},
    {CViewOptionsDlg::IDC_MARK_POINTS, "Mark Points", &ViewOptionFlags::m_bMarkPoints, 80, 40, 60, false},
    {CViewOptionsDlg::IDC_HORZ_GRID, "Horizontal Axis", &ViewOptionFlags::m_bHorzGrid, 80, 14, 62, true},
    {CViewOptionsDlg::IDC_VERT_GRID, "Vertical Axis", &ViewOptionFlags::m_bVertGrid, 80, 27, 62, true},
}};

}  // namespace

ViewOptionFlags ViewOptionFlags::Of(const GraphState& state)
{
    ViewOptionFlags flags;
    static_cast<DisplaySwitches&>(flags) = state;
    return flags;
}

void ViewOptionFlags::ApplyTo(GraphState& state) const
{
    static_cast<DisplaySwitches&>(state) = *this;
}

CViewOptionsDlg::CViewOptionsDlg(const ViewOptionFlags& flags, QWidget* parent) : QDialog(parent), m_flags(flags)
{
    setObjectName(QString::number(kDialogId));
    setWindowTitle(QStringLiteral("View "));
    const DialogUnits u = SetTemplateFontAndSize(this, QStringLiteral("Tahoma"), 11, 151, 98);
    ApplySettingsDialogLook(this);

    auto* group = new QGroupBox(this);
    group->setGeometry(u.rect(7, 3, 137, 66));
    group->lower();
    for (const BoxRow& row : kBoxes) {
        auto* box = new QCheckBox(QString::fromLatin1(row.caption), this);
        box->setObjectName(QString::number(row.id));
        box->setGeometry(u.rect(row.left, row.top, row.width, 10));
        box->setChecked(flags.*row.flag);
        if (!row.shown) {
            box->hide();
            box->setEnabled(false);
        }
    }

    QPushButton* ok = AddSettingsOkButton(this, u.rect(10, 75, 62, 17), true, false);
    connect(ok, &QPushButton::clicked, this, &CViewOptionsDlg::OnOK);
    AddSettingsCancelButton(this, u.rect(79, 75, 62, 17));
}

QCheckBox* CViewOptionsDlg::Box(int id) const
{
    return findChild<QCheckBox*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

void CViewOptionsDlg::OnOK()
{
    for (const BoxRow& row : kBoxes) {
        m_flags.*row.flag = Box(row.id)->isChecked();
    }
    accept();
}

bool RunViewOptions(QWidget* parent, ViewOptionFlags& flags)
{
    CViewOptionsDlg dialog(flags, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    flags = dialog.Flags();
    return true;
}

bool RunViewOptions(QWidget* parent, GraphState& state)
{
    ViewOptionFlags flags = ViewOptionFlags::Of(state);
    if (!RunViewOptions(parent, flags)) {
        return false;
    }
    flags.ApplyTo(state);
    return true;
}

}  // namespace shakemeter
