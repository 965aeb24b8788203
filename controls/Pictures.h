#pragma once
// The program's pictures by resource id (bitmaps "bitmap/<id>", icons "icon/<id>"), compiled into
// the program so they never go missing next to an installed binary.

#include <QIcon>
#include <QImage>
#include <QPixmap>

class QAbstractButton;
class QDialog;
class QPushButton;
class QRect;
class QWidget;

namespace shakemeter {

// A null image when the program has no bitmap of that id.
QImage LoadBitmap(int id);
QPixmap LoadIconPicture(int id);
// The main icon (128) in every size the program has.
QIcon MainIcon();

// A push button showing a 99 x 28 picture face instead of its text. The caption stays the
// button's accessible name and tool tip, so the button still says what it does.
void SetButtonFace(QAbstractButton* button, int bitmapId);
// A flat dialog button with a picture face: its control id as the object name, placed at the given
// geometry. Default and auto-default stay the caller's choice.
QPushButton* AddPictureButton(QWidget* parent, int id, const QString& text, const QRect& geometry, int bitmapId);
// A dialog's Cancel picture button (control id 2): never a default button, it rejects the dialog.
QPushButton* AddPictureCancelButton(QDialog* dialog, const QString& text, const QRect& geometry, int bitmapId);

}  // namespace shakemeter
