#include "logger/widgets/CDownloadDlg.h"

#include <QLabel>
#include <QPushButton>

#include "logger/widgets/LoggerDialogOwner.h"
#include "controls/DialogUnits.h"
#include "controls/Pictures.h"

namespace shakemeter {

namespace {
const char* const kWaitingText = "Waiting for connecting...";
const char* const kReadyText = "Press Download to stop logging and load data from logger, or Cancel to exit.";
}  // namespace

CDownloadDlg::CDownloadDlg(DeviceLibrary& library, LoggerHost& host, LoggerDialogOwner& owner, QWidget* parent)
    : LoggerDialogBase(kDialogId, library, host, owner, parent)
{
    // Caption without a system menu.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    const DialogUnits u = SetTemplateFontAndSize(this, QStringLiteral("Arial"), 11, 148, 52);
    ApplyLook();
    setWindowTitle(QStringLiteral("Connecting..."));

    m_status = new QLabel(QString::fromLatin1(kWaitingText), this);
    m_status->setObjectName(QString::number(IDC_STATUS));
    m_status->setGeometry(u.rect(11, 4, 126, 24));
    m_status->setWordWrap(true);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* download = AddPictureButton(this, 1, QStringLiteral("Download"), u.rect(20, 31, 51, 15), 231);
    download->setDefault(true);
    connect(download, &QPushButton::clicked, this, &CDownloadDlg::OnOK);

    AddPictureCancelButton(this, QStringLiteral("Cancel"), u.rect(78, 31, 51, 15), 232);
}

void CDownloadDlg::Initialise()
{
    m_bConnected = false;
    m_status->setText(QString::fromLatin1(kWaitingText));
    StartPolling();
}

QString CDownloadDlg::StatusText() const
{
    return m_status->text();
}

void CDownloadDlg::OnPresence(bool found)
{
    m_status->setText(QString::fromLatin1(found ? kReadyText : kConnectFailedMessage));
}

void CDownloadDlg::OnOK()
{
    if (!m_bConnected) {
        return;
    }
    accept();
    const bool ok = m_link.Download();
    m_link.CloseDevice();
    if (ok) {
        m_owner.SetDataUnsaved();
    }
}

}  // namespace shakemeter
