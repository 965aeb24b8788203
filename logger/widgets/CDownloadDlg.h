#pragma once
// The download dialog: polls for the logger and, on "Download", closes and brings the logger's
// memory into the document through its link.

#include "logger/widgets/LoggerDialogBase.h"

class QLabel;

namespace shakemeter {

class CDownloadDlg : public LoggerDialogBase {
    Q_OBJECT
public:
    static constexpr int kDialogId = 225;
    static constexpr int IDC_STATUS = 1157;

    CDownloadDlg(DeviceLibrary& library, LoggerHost& host, LoggerDialogOwner& owner, QWidget* parent = nullptr);

    void Initialise() override;
    // "Download": nothing while not connected; otherwise closes, downloads and closes the link.
    void OnOK();
    QString StatusText() const;

protected:
    void OnPresence(bool found) override;

private:
    QLabel* m_status = nullptr;
};

}  // namespace shakemeter
