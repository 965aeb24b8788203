#include "logger/widgets/CLoadingDlg.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "controls/DialogUnits.h"

namespace shakemeter {

namespace {

// The template's system font is 8 x 16 pixels per character cell.
const DialogUnits kUnits(8, 16);
// The bar's own size, the whole window when no Cancel is offered.
constexpr int kBarWidth = 128;
constexpr int kBarHeight = 12;
// A standard push button below the bar, right-aligned with margins of 4 units.
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kMargin = 4;

}  // namespace

CLoadingDlg::CLoadingDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QString::number(kDialogId));
    setWindowTitle(QStringLiteral("Loading..."));
    setModal(false);
    const DialogUnits& u = kUnits;
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QString::number(IDC_PROGRESS));
    m_progress->setGeometry(0, 0, u.x(kBarWidth), u.y(kBarHeight));
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QString::number(IDCANCEL));
    m_cancel->setGeometry(u.x(kBarWidth - kMargin - kButtonWidth), u.y(kBarHeight + kMargin), u.x(kButtonWidth),
                          u.y(kButtonHeight));
    // Enter or Space on the dialog must not end a download by accident; only a deliberate press.
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_cancel->setEnabled(false);
        emit cancelRequested();
    });
    SetCancelShown(false);
}

void CLoadingDlg::SetCancelShown(bool shown)
{
    const DialogUnits& u = kUnits;
    m_cancel->setVisible(shown);
    m_cancel->setEnabled(shown);
    setFixedSize(u.x(kBarWidth), u.y(shown ? kBarHeight + kMargin + kButtonHeight + kMargin : kBarHeight));
}

void CLoadingDlg::OfferCancel()
{
    if (isVisible())
        return;
    SetCancelShown(true);
    setWindowModality(Qt::ApplicationModal);
}

bool CLoadingDlg::CancelOffered() const
{
    return !m_cancel->isHidden();
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
    if (CancelOffered()) {
        setWindowModality(Qt::NonModal);
        SetCancelShown(false);
    }
}

// A progress window closed by hand would leave the frame's progress timer running and the
// commands it greys enabled in the middle of a reading.
void CLoadingDlg::reject() {}

void CLoadingDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

}  // namespace shakemeter
