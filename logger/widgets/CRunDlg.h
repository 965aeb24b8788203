#pragma once
// The real-time reading dialog: a sampling rate (500 ms to 60 s) and a number of points (1 to
// 100000). "RUN" keeps the choices in the main window and starts the reading on the dialog's link,
// which then reads one sample per interval until the points are in or the reading is stopped.

#include "logger/widgets/LoggerDialogBase.h"

class QComboBox;

namespace shakemeter {

class CNumericEdit;
class SpinButtons;

class CRunDlg : public LoggerDialogBase {
    Q_OBJECT
public:
    static constexpr int kDialogId = 144;
    static constexpr int IDC_RATE = 1174;
    static constexpr int IDC_POINTS = 1077;
    static constexpr int IDC_SPIN = 1122;

    CRunDlg(DeviceLibrary& library, LoggerHost& host, LoggerDialogOwner& owner, QWidget* parent = nullptr);

    void Initialise() override;
    // "RUN": nothing while not connected, without a chosen rate or with no points; otherwise
    // closes and starts the reading.
    void OnOK();

    QComboBox* RateList() const { return m_rate; }
    CNumericEdit* PointsEdit() const { return m_points; }

protected:
    void OnPresence(bool found) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnPointsEdited(const QString& text);
    void OnSpin(int delta);

    QComboBox* m_rate = nullptr;
    CNumericEdit* m_points = nullptr;
    SpinButtons* m_spin = nullptr;
};

}  // namespace shakemeter
