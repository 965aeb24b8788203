#include "launcher/Form1.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>

#include "launcher/InstallerPaths.h"
#include "launcher/LauncherArt.h"

namespace setupgate {

ClickableImage::ClickableImage(const QString& name, const QPixmap& picture, const QRect& geometry, QWidget* parent)
    : QLabel(parent)
{
    setObjectName(name);
    setPixmap(picture);
    setGeometry(geometry);
    setCursor(ChoiceCursor());
    setFocusPolicy(Qt::StrongFocus);
}

void ClickableImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickableImage::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A held key repeats its press; starting the installer at each would open many of them.
        if (!event->isAutoRepeat())
            emit clicked();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void ClickableImage::focusInEvent(QFocusEvent* event)
{
    setFrameStyle(QFrame::Box);  // shows which picture the keyboard would press
    QLabel::focusInEvent(event);
}

void ClickableImage::focusOutEvent(QFocusEvent* event)
{
    setFrameStyle(QFrame::NoFrame);
    QLabel::focusOutEvent(event);
}

Form1::Form1(const QString& launcherDir, std::unique_ptr<ProgramStarter> starter, ErrorReporter reportError,
             QWidget* parent)
    : QWidget(parent),
      m_launcherDir(launcherDir),
      m_starter(starter ? std::move(starter) : std::make_unique<ProgramStarter>()),
      m_reportError(std::move(reportError))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setWindowIcon(FormIcon());
    setFixedSize(442, 318);

    auto* background = new QLabel(this);
    background->setPixmap(BackgroundPicture());
    background->setGeometry(0, 0, 440, 322);

    m_btnConn = new ClickableImage(QStringLiteral("btn_conn"), ChoicePicture(QStringLiteral("Setup"), 89, 32),
                                   QRect(16, 256, 89, 32), this);
    m_image1 = new ClickableImage(QStringLiteral("Image1"), ChoicePicture(QStringLiteral("USB Driver"), 91, 34),
                                  QRect(120, 256, 91, 34), this);
    m_image2 = new ClickableImage(QStringLiteral("Image2"), ChoicePicture(QStringLiteral("Exit"), 89, 34),
                                  QRect(331, 256, 89, 34), this);
    m_btnConn->setToolTip(QStringLiteral("Start the Shakemeter installer"));
    m_image1->setToolTip(QStringLiteral("Start the installer of the logger's USB driver"));
    m_image2->setToolTip(QStringLiteral("Close this window"));

    connect(m_btnConn, &ClickableImage::clicked, this,
            [this] { StartInstaller(ApplicationInstallerPath(m_launcherDir)); });
    connect(m_image1, &ClickableImage::clicked, this, [this] { StartInstaller(DriverInstallerPath(m_launcherDir)); });
    connect(m_image2, &ClickableImage::clicked, this, &QWidget::close);
}

void Form1::StartInstaller(const QString& path)
{
    const StartResult result = m_starter->Start(path);
    if (result.started)
        return;
    // The launcher stays open so the user can fix the medium and try again.
    if (m_reportError)
        m_reportError(result.message);
    else
        QMessageBox::warning(this, QStringLiteral("Setupgate"), result.message);
}

}  // namespace setupgate
