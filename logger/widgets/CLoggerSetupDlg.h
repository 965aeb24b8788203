#pragma once
// The logger setup dialog: sampling interval and unit, LED flash cycle, record mode with the
// per-axis thresholds, start mode. "Setup" stamps the block with the local time, keeps it as the
// main window's last setup and sends it; the rules of every control are SetupBlockEditor's.

#include <QRadioButton>
#include <memory>

#include "logger/SetupBlock.h"
#include "logger/widgets/LoggerDialogBase.h"

class QComboBox;
class QLabel;
class QPushButton;
class QCheckBox;

namespace shakemeter {

class CNumericEdit;
class SpinButtons;

class CLoggerSetupDlg : public LoggerDialogBase {
    Q_OBJECT
public:
    static constexpr int kDialogId = 223;
    static constexpr int IDC_RATE = 1078;
    static constexpr int IDC_SPIN = 1130;
    static constexpr int IDC_UNIT = 1131;
    static constexpr int IDC_LED_10 = 1136, IDC_LED_20 = 1137, IDC_LED_30 = 1138, IDC_LED_OFF = 1139;
    static constexpr int IDC_THRESHOLD_X = 1172, IDC_THRESHOLD_Y = 1141, IDC_THRESHOLD_Z = 1142;
    static constexpr int IDC_NORMAL = 1154, IDC_MOTION = 1155;
    static constexpr int IDC_MANUAL = 1146, IDC_AUTOMATIC = 1147;
    static constexpr int IDC_FREE_FALL = 1173;
    static constexpr int IDC_STATUS = 1161;
    static constexpr int IDC_DEFAULT = 1044;

    CLoggerSetupDlg(DeviceLibrary& library, LoggerHost& host, LoggerDialogOwner& owner, QWidget* parent = nullptr);
    ~CLoggerSetupDlg() override;

    void Initialise() override;
    // "Setup": refused while not connected and below 50 ms; otherwise closes and sends.
    void OnOK();
    void OnDefault();

    // The local time that stamps the block (tests fix it).
    void SetClock(std::function<CalendarFields()> clock) { m_clock = std::move(clock); }
    const SetupBlockEditor& Editor() const { return *m_editor; }

protected:
    void OnPresence(bool found) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ShowEditor();
    void ShowRate();
    void ShowThresholds();
    void OnRateEdited(const QString& text);
    void OnUnitChosen(int index);
    void OnSpin(int delta);

    std::unique_ptr<SetupBlockEditor> m_editor;
    std::function<CalendarFields()> m_clock;
    CNumericEdit* m_rate = nullptr;
    SpinButtons* m_spin = nullptr;
    QComboBox* m_unit = nullptr;
    QComboBox* m_thresholds[3] = {nullptr, nullptr, nullptr};       // X, Y, Z
    QRadioButton* m_led[4] = {nullptr, nullptr, nullptr, nullptr};  // 10s, 20s, 30s, No Light
    QRadioButton* m_normal = nullptr;
    QRadioButton* m_motion = nullptr;
    QRadioButton* m_manual = nullptr;
    QRadioButton* m_automatic = nullptr;
    QCheckBox* m_freeFall = nullptr;
    QLabel* m_status = nullptr;
};

}  // namespace shakemeter
