#pragma once
// The launcher's pictures, drawn by the program itself: the background of the form, the three
// choices, the form's icon and the pointer shown over the choices.

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace setupgate {

QPixmap BackgroundPicture();                                        // 440 x 322
QPixmap ChoicePicture(const QString& text, int width, int height);  // a button-like face
QIcon FormIcon();
QCursor ChoiceCursor();  // 32 x 32, hot spot (12, 1)

}  // namespace setupgate
