#include "logger/widgets/CRunDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <tuple>
#include <algorithm>

#include "logger/SetupBlock.h"
#include "logger/widgets/LoggerDialogOwner.h"
#include "logger/widgets/SpinButtons.h"
#include "controls/CNumericEdit.h"
#include "controls/DialogUnits.h"
#include "controls/Pictures.h"

namespace shakemeter {

CRunDlg::CRunDlg(DeviceLibrary& library, LoggerHost& host, LoggerDialogOwner& owner, QWidget* parent)
    : LoggerDialogBase(kDialogId, library, host, owner, parent)
{
    const DialogUnits u = SetTemplateFontAndSize(this, QStringLiteral("Arial"), 10, 145, 141);
    ApplyLook();
    setWindowTitle(QStringLiteral("Connecting..."));

    auto* rateBox = new QGroupBox(QStringLiteral("SAMPLING RATE"), this);
    rateBox->setGeometry(u.rect(8, 3, 129, 43));
    m_rate = new QComboBox(this);
    m_rate->setObjectName(QString::number(IDC_RATE));
    m_rate->addItems({QStringLiteral("500ms"), QStringLiteral("1s"), QStringLiteral("2s"), QStringLiteral("5s"),
                      QStringLiteral("10s"), QStringLiteral("60s")});
    m_rate->setGeometry(u.rect(46, 22, 56, 13));

    auto* pointsBox = new QGroupBox(QStringLiteral("SAMPLE DATA POINTS"), this);
    pointsBox->setGeometry(u.rect(8, 50, 129, 42));
    std::tie(m_points, m_spin) =
        AddSpinnedEdit(this, IDC_POINTS, u.rect(46, 66, 51, 13), IDC_SPIN, u.rect(97, 67, 10, 13));
    auto* range = new QLabel(QStringLiteral("(1-100000)"), this);
    range->setGeometry(u.rect(46, 82, 40, 9));

    auto* waiting = new QLabel(QStringLiteral("Waiting for connecting..."), this);
    waiting->setObjectName(QStringLiteral("1157"));
    waiting->setGeometry(u.rect(7, 95, 133, 16));
    waiting->hide();

    auto* run = AddPictureButton(this, 1, QStringLiteral("RUN"), u.rect(12, 115, 58, 15), 262);
    run->setDefault(true);
    connect(run, &QPushButton::clicked, this, &CRunDlg::OnOK);

    AddPictureCancelButton(this, QStringLiteral("CANCEL"), u.rect(74, 115, 58, 15), 230);

    connect(m_points, &QLineEdit::textEdited, this, &CRunDlg::OnPointsEdited);
    connect(m_spin, &SpinButtons::step, this, &CRunDlg::OnSpin);
}

void CRunDlg::Initialise()
{
    m_bConnected = false;
    const int index = m_owner.RtRateIndex();
    m_rate->setCurrentIndex(index >= 0 && index < m_rate->count() ? index : -1);
    m_points->setText(QString::fromStdString(m_owner.RtPoints()));
    StartPolling();
}

void CRunDlg::OnPresence(bool) {}

void CRunDlg::OnPointsEdited(const QString& text)
{
    if (text.isEmpty()) {
        return;  // an empty field stays empty while typing
    }
    const long v = std::clamp(ParseLeadingInteger(text.toStdString()), 1L, static_cast<long>(kRealTimeMaxPoints));
    m_points->setText(QString::number(v));
}

void CRunDlg::OnSpin(int delta)
{
    // The text may hold any number (the settings file keeps it as it was). Held to one past either
    // end first, a step lands where it would from the number itself, and the sum cannot overflow.
    const long top = kRealTimeMaxPoints;
    const long v = std::clamp(ParseLeadingInteger(m_points->text().toStdString()), 0L, top + 1);
    m_points->setText(QString::number(std::clamp(v + delta, 1L, top)));
}

bool CRunDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (const int step = watched == m_points ? ArrowKeyStep(event) : 0) {
        OnSpin(step);
        return true;
    }
    return LoggerDialogBase::eventFilter(watched, event);
}

void CRunDlg::OnOK()
{
    if (!m_bConnected) {
        return;
    }
    const int index = m_rate->currentIndex();
    const long points = ParseLeadingInteger(m_points->text().toStdString());
    // A reading needs a rate and at least one point: room for no rows cannot hold the first
    // sample, and no rate would send an interval of 0. The dialog stays open on the missing choice.
    if (index < 0 || index >= static_cast<int>(kRealTimeIntervals.size())) {
        QApplication::beep();
        m_rate->setFocus();
        return;
    }
    if (points < 1 || points > kRealTimeMaxPoints) {
        QApplication::beep();
        m_points->setFocus();
        return;
    }
    m_link.SetRealTimeInterval(kRealTimeIntervals[static_cast<std::size_t>(index)]);
    m_owner.View().SetRtRequested(static_cast<int>(points));
    m_owner.SetRtChoice(index, m_points->text().toStdString());
    accept();
    if (m_link.RunRealTime()) {
        m_owner.OnRealTimeStarted();
    } else {
        m_link.CloseDevice();
    }
}

}  // namespace shakemeter
