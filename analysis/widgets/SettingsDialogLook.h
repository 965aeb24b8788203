#pragma once
// The look the display settings dialogs share with the logger dialogs: RGB(124, 185, 200) behind
// the dialog and every control, OK and Cancel with picture faces (bitmaps 229 and 230), and the
// group titles of the colour and axis dialogs in "Arial bold", 14 pixels, weight 500.

#include <QColor>
#include <QFont>

class QDialog;
class QGroupBox;
class QPushButton;
class QRect;

namespace shakemeter {

constexpr int SETTINGS_OK_BITMAP = 229;
constexpr int SETTINGS_CANCEL_BITMAP = 230;

QColor SettingsDialogBackground();
// The dialog and its controls on the common background, with black texts.
void ApplySettingsDialogLook(QDialog* dialog);
QFont SettingsGroupTitleFont();
// A group box whose title alone uses the group font: the controls inside are its siblings and
// keep the dialog's font.
QGroupBox* AddSettingsGroupBox(QDialog* dialog, int id, const QString& title, const QRect& geometry, bool titleFont);
// OK (id 1) and Cancel (id 2) with their pictures, wired to accept()/reject() unless the caller
// connects OK itself (okToAccept false).
QPushButton* AddSettingsOkButton(QDialog* dialog, const QRect& geometry, bool isDefault, bool okToAccept);
QPushButton* AddSettingsCancelButton(QDialog* dialog, const QRect& geometry);

}  // namespace shakemeter
