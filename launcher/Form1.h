#pragma once
// The launcher's one window: a background picture and three clickable pictures that start the
// application's installer, start the driver installer, or close the launcher.

#include <QLabel>
#include <QWidget>
#include <functional>
#include <memory>

#include "launcher/ProgramStarter.h"

namespace setupgate {

// A picture that reacts to a click, or to Space/Enter when it has the keyboard focus.
class ClickableImage : public QLabel {
    Q_OBJECT
public:
    ClickableImage(const QString& name, const QPixmap& picture, const QRect& geometry, QWidget* parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

class Form1 : public QWidget {
    Q_OBJECT
public:
    using ErrorReporter = std::function<void(const QString&)>;

    // launcherDir: the folder of the medium that holds Software/. The starter and the error
    // reporter can be replaced (tests start fake installers and read the messages).
    explicit Form1(const QString& launcherDir, std::unique_ptr<ProgramStarter> starter = nullptr,
                   ErrorReporter reportError = nullptr, QWidget* parent = nullptr);

    ClickableImage* installButton() const { return m_btnConn; }
    ClickableImage* driverButton() const { return m_image1; }
    ClickableImage* closeButton() const { return m_image2; }

private:
    void StartInstaller(const QString& path);

    QString m_launcherDir;
    std::unique_ptr<ProgramStarter> m_starter;
    ErrorReporter m_reportError;
    ClickableImage* m_btnConn = nullptr;
    ClickableImage* m_image1 = nullptr;
    ClickableImage* m_image2 = nullptr;
};

}  // namespace setupgate
