#pragma once
// The common look and presence polling of the three logger dialogs: background RGB(124, 185, 200)
// for the dialog and its controls, the title "Connecting..." until the first poll, then
// "Connected" or "Not Connected" after every poll (timer 1, once a second, while the dialog is up).
// Each dialog owns the link it transfers with.

#include <QDialog>
#include <QTimer>

#include "logger/CLoggerLink.h"

namespace shakemeter {

class LoggerDialogOwner;

class LoggerDialogBase : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPollTimerId = 1;
    static constexpr int kPollPeriodMs = 1000;
    static QColor BackgroundColour() { return QColor(124, 185, 200); }

    LoggerDialogBase(int dialogId, DeviceLibrary& library, LoggerHost& host, LoggerDialogOwner& owner, QWidget* parent);

    CLoggerLink& Link() { return m_link; }
    bool IsConnected() const { return m_bConnected; }
    bool IsPolling() const { return m_pollTimer.isActive(); }

    // Sets the dialog up for a new showing (the dialog's initialisation) and starts polling.
    virtual void Initialise() = 0;
    // One tick of the presence poll.
    void Poll();
    // Initialise, then the modal loop.
    int DoModal();

    void done(int result) override;

protected:
    virtual void OnPresence(bool found) = 0;
    void StartPolling();
    void ApplyLook();

    CLoggerLink m_link;
    LoggerDialogOwner& m_owner;
    bool m_bConnected = false;

private:
    QTimer m_pollTimer;
};

}  // namespace shakemeter
