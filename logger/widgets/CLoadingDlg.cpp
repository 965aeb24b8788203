#include "logger/widgets/CLoadingDlg.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QScreen>

#include "controls/DialogUnits.h"

namespace shakemeter {

CLoadingDlg::CLoadingDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QString::number(kDialogId));
    setWindowTitle(QStringLiteral("Loading..."));
    setModal(false);
    // The template's system font is 8 x 16 pixels per character cell.
    const DialogUnits u(8, 16);
    setFixedSize(u.x(128), u.y(12));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QString::number(IDC_PROGRESS));
    m_progress->setGeometry(0, 0, u.x(128), u.y(12));
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
}

void CLoadingDlg::SetRange(int maximum)
{
    m_progress->setRange(0, std::max(0, maximum));
}

void CLoadingDlg::SetPos(int position)
{
    // The bar shows the position within its range; a counter running past the end shows full.
    m_progress->setValue(std::min(position, m_progress->maximum()));
}

int CLoadingDlg::Pos() const
{
    return m_progress->value();
}
int CLoadingDlg::Maximum() const
{
    return m_progress->maximum();
}

void CLoadingDlg::ShowCentred()
{
    QWidget* owner = parentWidget();
    QRect area;
    if (owner != nullptr) {
        area = QRect(owner->mapToGlobal(QPoint(0, 0)), owner->size());
    } else if (screen() != nullptr) {
        area = screen()->availableGeometry();
    }
    ShowAt(area.center() - QPoint(width() / 2, height() / 2));
}

void CLoadingDlg::ShowAt(const QPoint& topLeft)
{
    move(topLeft);
    m_progress->show();
    show();
    raise();
}

void CLoadingDlg::End()
{
    hide();
}

// A progress window closed by hand would leave the frame's progress timer running and the
// commands it greys enabled in the middle of a reading.
void CLoadingDlg::reject() {}

void CLoadingDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

}  // namespace shakemeter
