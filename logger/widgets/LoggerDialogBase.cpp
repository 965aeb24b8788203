#include "logger/widgets/LoggerDialogBase.h"

#include <QPalette>

namespace shakemeter {

LoggerDialogBase::LoggerDialogBase(int dialogId, DeviceLibrary& library, LoggerHost& host, LoggerDialogOwner& owner,
                                   QWidget* parent)
    : QDialog(parent), m_link(library, host), m_owner(owner)
{
    setObjectName(QString::number(dialogId));
    m_pollTimer.setInterval(kPollPeriodMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &LoggerDialogBase::Poll);
}

void LoggerDialogBase::ApplyLook()
{
    QPalette pal = palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        pal.setColor(role, BackgroundColour());
    }
    pal.setColor(QPalette::WindowText, Qt::black);
    pal.setColor(QPalette::Text, Qt::black);
    pal.setColor(QPalette::ButtonText, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
}

void LoggerDialogBase::StartPolling()
{
    setWindowTitle(QStringLiteral("Connecting..."));
    m_pollTimer.start();
}

void LoggerDialogBase::Poll()
{
    const bool found = m_link.FindDevice() >= 0;
    m_bConnected = found;
    setWindowTitle(found ? QStringLiteral("Connected") : QStringLiteral("Not Connected"));
    OnPresence(found);
}

int LoggerDialogBase::DoModal()
{
    Initialise();
    return exec();
}

void LoggerDialogBase::done(int result)
{
    m_pollTimer.stop();
    QDialog::done(result);
}

}  // namespace shakemeter
