#include "logger/widgets/CLoggerSetupDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <tuple>

#include "logger/widgets/LoggerDialogOwner.h"
#include "logger/widgets/SpinButtons.h"
#include "controls/CNumericEdit.h"
#include "controls/DialogUnits.h"
#include "controls/Pictures.h"
#include "controls/Prompter.h"

namespace shakemeter {

namespace {

CalendarFields LocalNow()
{
    return CalendarTime::Now().localFields();
}

QRadioButton* Radio(QWidget* parent, int id, const char* text, const QRect& geometry)
{
    auto* radio = new QRadioButton(QString::fromLatin1(text), parent);
    radio->setObjectName(QString::number(id));
    radio->setGeometry(geometry);
    radio->setAutoExclusive(false);  // each group is made exclusive by its QButtonGroup
    return radio;
}

}  // namespace

CLoggerSetupDlg::CLoggerSetupDlg(DeviceLibrary& library, LoggerHost& host, LoggerDialogOwner& owner, QWidget* parent)
    : LoggerDialogBase(kDialogId, library, host, owner, parent), m_clock(LocalNow)
{
    BuildControls();
    m_editor = std::make_unique<SetupBlockEditor>(m_owner.LastSetup());
}

CLoggerSetupDlg::~CLoggerSetupDlg() = default;

void CLoggerSetupDlg::BuildControls()
{
    const DialogUnits u = SetTemplateFontAndSize(this, QStringLiteral("Arial"), 11, 285, 167);
    ApplyLook();
    setWindowTitle(QStringLiteral("Connecting..."));

    auto group = [&](const char* title, int x, int y, int w, int h, int id) {
        auto* box = new QGroupBox(QString::fromLatin1(title), this);
        if (id != 0) {
            box->setObjectName(QString::number(id));
        }
        box->setGeometry(u.rect(x, y, w, h));
        box->lower();
        return box;
    };
    auto label = [&](const char* text, int x, int y, int w, int h) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setGeometry(u.rect(x, y, w, h + 2));
        return l;
    };

    group("Sampling Setup", 7, 6, 157, 37, 1158);
    label("Sampling Rate", 13, 23, 49, 8);
    std::tie(m_rate, m_spin) = AddSpinnedEdit(this, IDC_RATE, u.rect(66, 21, 34, 12), IDC_SPIN, u.rect(100, 21, 9, 12));
    m_unit = new QComboBox(this);
    m_unit->setObjectName(QString::number(IDC_UNIT));
    m_unit->addItems(
        {QStringLiteral("ms"), QStringLiteral("Second"), QStringLiteral("Minute"), QStringLiteral("Hour")});
    m_unit->setGeometry(u.rect(111, 21, 39, 12));

    group("LED Flash Cycle Setup", 167, 6, 110, 37, 1160);
    m_led[0] = Radio(this, IDC_LED_10, "10s", u.rect(182, 20, 25, 10));
    m_led[1] = Radio(this, IDC_LED_20, "20s", u.rect(224, 20, 24, 10));
    m_led[2] = Radio(this, IDC_LED_30, "30s", u.rect(182, 30, 25, 10));
    m_led[3] = Radio(this, IDC_LED_OFF, "No Light", u.rect(224, 30, 39, 10));

    group("Motion Detection Threshold Setup", 7, 46, 157, 73, 1159);
    QStringList thresholds;
    for (int g = 1; g <= 17; ++g) {
        thresholds << QStringLiteral("%1g").arg(g);
    }
    thresholds << QStringLiteral("18g ");
    const int thresholdIds[3] = {IDC_THRESHOLD_X, IDC_THRESHOLD_Y, IDC_THRESHOLD_Z};
    const char* thresholdLabels[3] = {"X Threshold", "Y Threshold", "Z Threshold"};
    const int labelTops[3] = {62, 79, 96};
    const int thresholdTops[3] = {61, 78, 96};
    for (int axis = 0; axis < 3; ++axis) {
        label(thresholdLabels[axis], 35, labelTops[axis], 40, 8);
        auto* combo = new QComboBox(this);
        combo->setObjectName(QString::number(thresholdIds[axis]));
        combo->addItems(thresholds);
        combo->setMaxVisibleItems(18);
        combo->setGeometry(u.rect(78, thresholdTops[axis], 58, 12));
        m_thresholds[axis] = combo;
    }

    group("Record Mode Setup", 167, 46, 110, 53, 0);
    m_normal = Radio(this, IDC_NORMAL, "Normal", u.rect(183, 62, 40, 10));
    m_motion = Radio(this, IDC_MOTION, "Motion Detection", u.rect(183, 77, 70, 10));
    group("", 167, 100, 111, 19, 0);
    m_manual = Radio(this, IDC_MANUAL, "Manual", u.rect(172, 106, 39, 10));
    m_automatic = Radio(this, IDC_AUTOMATIC, "Automatic", u.rect(219, 106, 49, 10));

    m_freeFall = new QCheckBox(QStringLiteral("Free-fall Detection"), this);
    m_freeFall->setObjectName(QString::number(IDC_FREE_FALL));
    m_freeFall->setGeometry(u.rect(242, 126, 18, 10));
    m_freeFall->setEnabled(false);
    m_freeFall->hide();

    m_status = new QLabel(this);
    m_status->setObjectName(QString::number(IDC_STATUS));
    m_status->setGeometry(u.rect(22, 130, 246, 14));
    m_status->setWordWrap(true);

    struct Face {
        int id;
        const char* text;
        int bitmap;
        int x;
    };
    for (const Face& f :
         {Face{IDC_DEFAULT, "Default", 235, 59}, Face{1, "Setup", 236, 118}, Face{2, "Cancel", 234, 177}}) {
        auto* button = AddPictureButton(this, f.id, QString::fromLatin1(f.text), u.rect(f.x, 143, 51, 15), f.bitmap);
        button->setAutoDefault(false);
        if (f.id == 1) {
            button->setDefault(true);
            connect(button, &QPushButton::clicked, this, &CLoggerSetupDlg::OnOK);
        } else if (f.id == 2) {
            connect(button, &QPushButton::clicked, this, &QDialog::reject);
        } else {
            connect(button, &QPushButton::clicked, this, &CLoggerSetupDlg::OnDefault);
        }
    }

    // Radio groups: LED cycle, record mode, start mode.
    auto* ledGroup = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        ledGroup->addButton(m_led[i]);
    }
    auto* modeGroup = new QButtonGroup(this);
    modeGroup->addButton(m_normal);
    modeGroup->addButton(m_motion);
    auto* startGroup = new QButtonGroup(this);
    startGroup->addButton(m_manual);
    startGroup->addButton(m_automatic);

    const std::uint8_t ledCycles[4] = {10, 20, 30, 0};
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t cycle = ledCycles[i];
        connect(m_led[i], &QRadioButton::clicked, this, [this, cycle] { m_editor->SetLedCycle(cycle); });
    }
    connect(m_manual, &QRadioButton::clicked, this, [this] { m_editor->SetStartMode(0); });
    connect(m_automatic, &QRadioButton::clicked, this, [this] { m_editor->SetStartMode(1); });
    connect(m_normal, &QRadioButton::clicked, this, [this] {
        m_editor->SetNormalMode();
        ShowThresholds();
    });
    connect(m_motion, &QRadioButton::clicked, this, [this] {
        m_editor->SetMotionMode();
        ShowThresholds();
    });
    connect(m_rate, &QLineEdit::textEdited, this, &CLoggerSetupDlg::OnRateEdited);
    connect(m_unit, &QComboBox::activated, this, &CLoggerSetupDlg::OnUnitChosen);
    connect(m_spin, &SpinButtons::step, this, &CLoggerSetupDlg::OnSpin);
}

void CLoggerSetupDlg::Initialise()
{
    m_editor = std::make_unique<SetupBlockEditor>(m_owner.LastSetup());
    m_bConnected = false;
    m_status->clear();
    ShowEditor();
    StartPolling();
}

void CLoggerSetupDlg::ShowRate()
{
    m_rate->setText(QString::fromStdString(m_editor->RateText()));
    m_unit->setCurrentIndex(m_editor->RateUnit());
}

void CLoggerSetupDlg::ShowThresholds()
{
    const int selections[3] = {m_editor->ThresholdX(), m_editor->ThresholdY(), m_editor->ThresholdZ()};
    for (int axis = 0; axis < 3; ++axis) {
        // Saved thresholds outside 1..18 show as no selection.
        const int sel = selections[axis];
        m_thresholds[axis]->setCurrentIndex(sel >= 0 && sel < THRESHOLD_CHOICES ? sel : -1);
        m_thresholds[axis]->setEnabled(m_editor->ThresholdsEnabled());
    }
}

void CLoggerSetupDlg::ShowEditor()
{
    ShowRate();
    const int led = m_editor->CheckedLedRadio();
    m_led[0]->setChecked(led != 0 && led != 20 && led != 30);
    m_led[1]->setChecked(led == 20);
    m_led[2]->setChecked(led == 30);
    m_led[3]->setChecked(led == 0);
    const bool motion = m_editor->Setup().IsMotion();
    m_motion->setChecked(motion);
    m_normal->setChecked(!motion);
    const bool automatic = m_editor->Setup().byStartMode == 1;
    m_automatic->setChecked(automatic);
    m_manual->setChecked(!automatic);
    m_freeFall->setChecked(m_editor->FreeFall());
    ShowThresholds();
}

void CLoggerSetupDlg::OnRateEdited(const QString& text)
{
    m_editor->SetRateText(text.toStdString());
    m_rate->setText(QString::fromStdString(m_editor->RateText()));
}

void CLoggerSetupDlg::OnUnitChosen(int index)
{
    m_editor->SetRateUnit(index);
    ShowRate();
}

void CLoggerSetupDlg::OnSpin(int delta)
{
    m_editor->StepRate(delta);
    ShowRate();
}

// The arrow keys in the rate edit step the number as the spin arrows do.
bool CLoggerSetupDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (const int step = watched == m_rate ? ArrowKeyStep(event) : 0) {
        OnSpin(step);
        return true;
    }
    return LoggerDialogBase::eventFilter(watched, event);
}

void CLoggerSetupDlg::OnPresence(bool found)
{
    m_status->setText(found ? QString() : QString::fromLatin1(kConnectFailedMessage));
}

void CLoggerSetupDlg::OnDefault()
{
    m_editor->Default();
    ShowEditor();
}

void CLoggerSetupDlg::OnOK()
{
    if (!m_bConnected) {
        return;
    }
    m_editor->SetThresholdSelections(m_thresholds[0]->currentIndex(), m_thresholds[1]->currentIndex(),
                                     m_thresholds[2]->currentIndex());
    HeaderBlock block{};
    if (m_editor->Finish(m_clock(), block) == SetupOutcome::RateTooSmall) {
        m_owner.UserPrompter().Tell(this, QString::fromLatin1(kRateTooSmallMessage), PromptIcon::None);
        return;
    }
    if (m_editor->ThresholdsIncomplete()) {
        m_owner.UserPrompter().Tell(this, QString::fromLatin1(kThresholdsMissingMessage), PromptIcon::None);
        return;
    }
    m_owner.LastSetup() = block;
    accept();
    if (m_link.WriteSetupAndReport(block)) {
        m_owner.OnSetupWritten();
    }
}

}  // namespace shakemeter
