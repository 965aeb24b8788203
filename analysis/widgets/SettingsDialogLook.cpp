#include "analysis/widgets/SettingsDialogLook.h"

#include <QDialog>
#include <QGroupBox>
#include <QPalette>
#include <QPushButton>

#include "controls/Pictures.h"

namespace shakemeter {

QColor SettingsDialogBackground()
{
    return QColor(124, 185, 200);
}

void ApplySettingsDialogLook(QDialog* dialog)
{
    QPalette pal = dialog->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
            pal.setColor(group, role, SettingsDialogBackground());
        }
    }
    pal.setColor(QPalette::WindowText, Qt::black);
    pal.setColor(QPalette::Text, Qt::black);
    pal.setColor(QPalette::ButtonText, Qt::black);
    dialog->setPalette(pal);
    dialog->setAutoFillBackground(true);
}

QFont SettingsGroupTitleFont()
{
    QFont font;
    // The face is asked for by that name; where no such face exists the family it names stands in.
    font.setFamilies({QStringLiteral("Arial bold"), QStringLiteral("Arial")});
    font.setPixelSize(14);
    font.setWeight(QFont::Medium);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QGroupBox* AddSettingsGroupBox(QDialog* dialog, int id, const QString& title, const QRect& geometry, bool titleFont)
{
    auto* box = new QGroupBox(title, dialog);
    box->setObjectName(QString::number(id));
    box->setGeometry(geometry);
    if (titleFont) {
        box->setFont(SettingsGroupTitleFont());
    }
    box->lower();  // behind the controls it frames
    return box;
}

QPushButton* AddSettingsOkButton(QDialog* dialog, const QRect& geometry, bool isDefault, bool okToAccept)
{
    auto* ok = AddPictureButton(dialog, 1, QStringLiteral("OK"), geometry, SETTINGS_OK_BITMAP);
    ok->setDefault(isDefault);
    ok->setAutoDefault(isDefault);
    if (okToAccept) {
        QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    }
    return ok;
}

QPushButton* AddSettingsCancelButton(QDialog* dialog, const QRect& geometry)
{
    return AddPictureCancelButton(dialog, QStringLiteral("Cancel"), geometry, SETTINGS_CANCEL_BITMAP);
}

}  // namespace shakemeter
