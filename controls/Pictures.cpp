#include "controls/Pictures.h"

#include <QAbstractButton>
#include <QDialog>
#include <QPushButton>
#include <QRect>
#include <QString>

// The resource collection lives in a static library: nothing would pull its registration into the
// program unless someone names it, so every loader does so once.
static void EnsurePictureResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}

namespace shakemeter {

QImage LoadBitmap(int id)
{
    EnsurePictureResources();
    return QImage(QStringLiteral(":/bitmap/%1").arg(id));
}

QPixmap LoadIconPicture(int id)
{
    EnsurePictureResources();
    return QPixmap(QStringLiteral(":/icon/%1").arg(id));
}

QIcon MainIcon()
{
    EnsurePictureResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icon/128-32"));
    icon.addFile(QStringLiteral(":/icon/128"));
    return icon;
}

void SetButtonFace(QAbstractButton* button, int bitmapId)
{
    const QImage face = LoadBitmap(bitmapId);
    if (face.isNull()) {
        return;  // the caption stays readable
    }
    if (button->accessibleName().isEmpty()) {
        button->setAccessibleName(button->text());
    }
    button->setToolTip(button->accessibleName());
    button->setText(QString());
    button->setIcon(QIcon(QPixmap::fromImage(face)));
    button->setIconSize(face.size());
}

QPushButton* AddPictureButton(QWidget* parent, int id, const QString& text, const QRect& geometry, int bitmapId)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    button->setGeometry(geometry);
    button->setFlat(true);
    SetButtonFace(button, bitmapId);
    return button;
}

QPushButton* AddPictureCancelButton(QDialog* dialog, const QString& text, const QRect& geometry, int bitmapId)
{
    auto* cancel = AddPictureButton(dialog, 2, text, geometry, bitmapId);
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return cancel;
}

}  // namespace shakemeter
