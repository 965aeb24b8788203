#include "analysis/widgets/CColorSetupDlg.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "analysis/widgets/CColorComboBox.h"
#include "analysis/widgets/SettingsDialogLook.h"
#include "controls/DialogUnits.h"

namespace shakemeter {

namespace {

struct PickerRow {
    int id;
    const char* label;
    int GraphColors::*member;
};

// Top to bottom as the dialog shows them.
constexpr std::array<PickerRow, 6> kRows{{
    {CColorSetupDlg::IDC_BACKGROUND, "Background:", &GraphColors::background},
    {CColorSetupDlg::IDC_GRID, "Grid Axis:", &GraphColors::grid},
    {CColorSetupDlg::IDC_X, "X Value:", &GraphColors::x},
    {CColorSetupDlg::IDC_Y, "Y Value:", &GraphColors::y},
    {CColorSetupDlg::IDC_Z, "Z Value:", &GraphColors::z},
    {CColorSetupDlg::IDC_VECTOR_SUM, "Vector Sum:", &GraphColors::vectorSum},
}};

}  // namespace

CColorSetupDlg::CColorSetupDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QString::number(kDialogId));
    setWindowTitle(QStringLiteral("Color Setup"));
    const DialogUnits u = SetTemplateFontAndSize(this, QStringLiteral("Arial"), 11, 175, 128);
    ApplySettingsDialogLook(this);

    m_group = AddSettingsGroupBox(this, IDC_GROUP, QStringLiteral("Color Setup"), u.rect(7, 4, 161, 94), true);
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const int top = 17 + static_cast<int>(i) * 13;
        auto* label = new QLabel(QString::fromLatin1(kRows[i].label), this);
        label->setGeometry(u.rect(20, top + 1, 52, 10));
        auto* picker = new CColorComboBox(this);
        picker->setObjectName(QString::number(kRows[i].id));
        picker->setGeometry(u.rect(76, top, 78, 12));
        label->setBuddy(picker);
        m_pickers[i] = {kRows[i].id, picker};
    }

    QPushButton* ok = AddSettingsOkButton(this, u.rect(22, 105, 58, 17), true, false);
    connect(ok, &QPushButton::clicked, this, &CColorSetupDlg::OnOK);
    AddSettingsCancelButton(this, u.rect(95, 105, 58, 17));
}

CColorComboBox* CColorSetupDlg::Picker(int id) const
{
    for (const PickerSlot& slot : m_pickers) {
        if (slot.id == id) {
            return slot.picker;
        }
    }
    return nullptr;
}

void CColorSetupDlg::Initialise(const GraphColors& colours)
{
    m_chosen = colours;
    // The group font is made anew for each showing, as the title may have lost it meanwhile.
    m_group->setFont(SettingsGroupTitleFont());
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        m_pickers[i].picker->FillColors(colours.*kRows[i].member);
    }
}

void CColorSetupDlg::OnOK()
{
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        m_chosen.*kRows[i].member = m_pickers[i].picker->SelectedIndexByte();
    }
    accept();
}

bool CColorSetupDlg::DoModal(GraphColors& colours)
{
    Initialise(colours);
    if (exec() != QDialog::Accepted) {
        return false;
    }
    colours = m_chosen;
    return true;
}

}  // namespace shakemeter
