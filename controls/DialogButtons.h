#pragma once
// The layout most of the program's small dialogs share: their form above OK and Cancel.

class QDialog;
class QLayout;

namespace shakemeter {

// Lays out the dialog as `form` over its OK and Cancel buttons, which accept and reject it.
void SetFormAboveOkCancel(QDialog& dialog, QLayout* form);

}  // namespace shakemeter
