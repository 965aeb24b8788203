#include "analysis/widgets/CAxisSetupDlg.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <utility>

#include "analysis/widgets/SettingsDialogLook.h"
#include "graph/core/GraphState.h"
#include "recording/RecordingView.h"
#include "controls/CNumericEdit.h"
#include "controls/DialogUnits.h"
#include "controls/Prompter.h"

namespace shakemeter {

CAxisSetupDlg::CAxisSetupDlg(const AxisSetupValues& values, ContextSource context, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_values(values), m_context(std::move(context)), m_prompter(prompter)
{
    const int shownCount = m_context().m_nShownCount;
    setObjectName(QString::number(kDialogId));
    setWindowTitle(QStringLiteral("Axis Setup"));
    const DialogUnits u = SetTemplateFontAndSize(this, QStringLiteral("Arial"), 11, 124, 85);
    ApplySettingsDialogLook(this);

    AddSettingsGroupBox(this, IDC_VALUE_GROUP, QStringLiteral("Vertical Axis Setup"), u.rect(6, 3, 112, 50), true);
    auto* yMinLabel = new QLabel(QStringLiteral("Minimum"), this);
    yMinLabel->setGeometry(u.rect(16, 20, 36, 9));
    m_yMin = AddField(IDC_YMIN, u.rect(54, 18, 50, 12), true);
    yMinLabel->setBuddy(m_yMin);
    auto* yMaxLabel = new QLabel(QStringLiteral("Maximum"), this);
    yMaxLabel->setGeometry(u.rect(16, 36, 36, 9));
    m_yMax = AddField(IDC_YMAX, u.rect(54, 34, 50, 12), true);
    yMaxLabel->setBuddy(m_yMax);
    AddUpDown(IDC_YMIN_SPIN, u.rect(104, 18, 10, 12), static_cast<int>(-AXIS_VALUE_LIMIT),
              static_cast<int>(AXIS_VALUE_LIMIT));
    AddUpDown(IDC_YMAX_SPIN, u.rect(104, 34, 10, 12), static_cast<int>(-AXIS_VALUE_LIMIT),
              static_cast<int>(AXIS_VALUE_LIMIT));

    // The time axis's row fields: present, filled and carried back, but never seen.
    QGroupBox* rowGroup =
        AddSettingsGroupBox(this, IDC_ROW_GROUP, QStringLiteral("Horizontal Axis Setup"), u.rect(6, 3, 112, 50), true);
    rowGroup->hide();
    rowGroup->setEnabled(false);
    for (const int top : {20, 36}) {
        auto* hidden = new QLabel(QStringLiteral("Minimum"), this);
        if (top == 36) {
            hidden->setText(QStringLiteral("Maximum"));
        }
        hidden->setGeometry(u.rect(16, top, 36, 9));
        hidden->hide();
    }
    m_xMin = AddField(IDC_XMIN, u.rect(54, 18, 50, 12), false);
    m_xMax = AddField(IDC_XMAX, u.rect(54, 34, 50, 12), false);
    AddUpDown(IDC_XMIN_SPIN, u.rect(104, 18, 10, 12), 0, shownCount);
    AddUpDown(IDC_XMAX_SPIN, u.rect(104, 34, 10, 12), 0, shownCount);

    QPushButton* ok = AddSettingsOkButton(this, u.rect(4, 61, 56, 17), true, false);
    connect(ok, &QPushButton::clicked, this, &CAxisSetupDlg::OnOK);
    AddSettingsCancelButton(this, u.rect(64, 61, 56, 17));

    m_bFieldsReady = true;
    FillFields();
    m_yMin->setFocus();
}

CNumericEdit* CAxisSetupDlg::AddField(int id, const QRect& geometry, bool shown)
{
    auto* edit = new CNumericEdit(this);
    edit->setObjectName(QString::number(id));
    edit->setGeometry(geometry);
    if (!shown) {
        edit->hide();
        edit->setEnabled(false);
    }
    connect(edit, &QLineEdit::textChanged, this, [this, edit] { OnFieldChanged(edit); });
    return edit;
}

QSpinBox* CAxisSetupDlg::AddUpDown(int id, const QRect& geometry, int minimum, int maximum)
{
    auto* spin = new QSpinBox(this);
    spin->setObjectName(QString::number(id));
    spin->setGeometry(geometry);
    spin->setRange(minimum, maximum);
    spin->hide();
    spin->setEnabled(false);
    return spin;
}

CNumericEdit* CAxisSetupDlg::Field(int id) const
{
    return findChild<CNumericEdit*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

QSpinBox* CAxisSetupDlg::UpDown(int id) const
{
    return findChild<QSpinBox*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

void CAxisSetupDlg::FillFields()
{
    const AxisSetupTexts texts = AxisSetupInitialTexts(m_values);
    m_yMin->setText(QString::fromStdString(texts.m_strYMin));
    m_yMax->setText(QString::fromStdString(texts.m_strYMax));
    m_xMin->setText(QString::fromStdString(texts.m_strXMin));
    m_xMax->setText(QString::fromStdString(texts.m_strXMax));
}

void CAxisSetupDlg::OnFieldChanged(CNumericEdit* edit)
{
    if (!m_bFieldsReady || m_bNormalising) {
        return;
    }
    const std::string text = edit->text().toStdString();
    std::string normal;
    if (edit == m_xMax) {
        normal = NormaliseLastRowText(text, m_context().m_nShownCount);
    } else if (edit == m_xMin) {
        normal = NormaliseFirstRowText(text);
    } else {
        normal = NormaliseValueAxisText(text);
    }
    if (normal == text) {
        return;
    }
    // The caret stays after what was typed, so digits typed one after the other build one number
    // (5 shows 5.00 with the caret after the 5; a 2 then gives 52.00).
    const int caret = edit->cursorPosition();
    m_bNormalising = true;
    edit->setText(QString::fromStdString(normal));
    m_bNormalising = false;
    edit->setCursorPosition(std::min(caret, static_cast<int>(edit->text().size())));
}

AxisSetupTexts CAxisSetupDlg::Texts() const
{
    return {m_yMin->text().toStdString(), m_yMax->text().toStdString(), m_xMin->text().toStdString(),
            m_xMax->text().toStdString()};
}

void CAxisSetupDlg::OnOK()
{
    AxisSetupValues values = m_values;
    const AxisSetupOutcome outcome = ApplyAxisSetup(Texts(), m_context(), values);
    if (outcome.m_bYOrderMessage) {
        m_prompter.Tell(this, QString::fromLatin1(AXIS_MESSAGE_Y_ORDER), PromptIcon::None);
    }
    if (outcome.m_bXOrderMessage) {
        m_prompter.Tell(this, QString::fromLatin1(AXIS_MESSAGE_X_ORDER), PromptIcon::None);
    }
    if (outcome.Accepted()) {
        m_values = values;
        m_nFoundRtWindowIdx = outcome.m_nFoundRtWindowIdx;
        accept();
    }
}

bool RunAxisSetup(QWidget* parent, AxisSetupValues& values, CAxisSetupDlg::ContextSource context, Prompter& prompter)
{
    CAxisSetupDlg dialog(values, std::move(context), prompter, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    values = dialog.Values();
    return true;
}

bool RunAxisSetup(QWidget* parent, GraphState& state, RecordingView& view, std::function<bool()> reading,
                  Prompter& prompter)
{
    AxisSetupValues start;
    start.m_dPresetYMin = state.m_dPresetYMin;
    start.m_dPresetYMax = state.m_dPresetYMax;
    start.m_dYMin = view.m_dYMin;
    start.m_dYMax = view.m_dYMax;
    start.m_nRangeFirst = view.m_nRangeFirst;
    start.m_nRangeLast = view.m_nRangeLast;
    start.m_nRtWindowIdx = state.m_nRtWindowIdx;
    auto context = [&view, reading = std::move(reading)] {
        AxisSetupContext c;
        c.m_nShownCount = view.m_nShownCount;
        c.m_bReading = reading && reading();
        c.m_nRtRequested = view.m_nRtRequested;
        c.m_nRtWindow = std::span<const int>(view.m_nRtWindow);
        return c;
    };
    CAxisSetupDlg dialog(start, context, prompter, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    const AxisSetupValues& chosen = dialog.Values();
    state.m_dPresetYMin = chosen.m_dPresetYMin;
    state.m_dPresetYMax = chosen.m_dPresetYMax;
    view.SetValueRange(chosen.m_dYMin, chosen.m_dYMax, view.m_bAutoScaleY);
    view.SetShownRange(chosen.m_nRangeFirst, chosen.m_nRangeLast);
    if (dialog.FoundRtWindowIdx() >= 0) {
        state.m_nRtWindowIdx = dialog.FoundRtWindowIdx();
    }
    return true;
}

}  // namespace shakemeter
