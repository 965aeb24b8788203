#include "shell/widgets/CAboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "controls/DialogUnits.h"
#include "controls/Pictures.h"

namespace shakemeter {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QString::number(kDialogId));
    setWindowTitle(QStringLiteral("Norvane QZ810 Vibration Shakemeter"));
    const DialogUnits units = SetTemplateFontAndSize(this, QStringLiteral("MS Sans Serif"), 8, 270, 69);

    auto* icon = new QLabel(this);
    icon->setPixmap(LoadIconPicture(128).scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    icon->setGeometry(units.x(11), units.y(17), 32, 32);

    auto* text = new QLabel(QStringLiteral("Norvane QZ810 Vibration Shakemeter V3.2"), this);
    text->setGeometry(units.rect(40, 25, 170, 8));
    text->adjustSize();

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    ok->setGeometry(units.rect(221, 7, 42, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace shakemeter
