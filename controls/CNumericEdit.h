#pragma once
// An edit box that takes only the characters of a decimal number as typed keys: digits, '.', '-'
// and backspace. Where they go is not checked (several points or minus signs pass) and pasting is
// not filtered: the dialogs that use it check and normalise the text themselves.

#include <QLineEdit>

namespace shakemeter {

class CNumericEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CNumericEdit(QWidget* parent = nullptr);

    // Whether a typed character reaches the edit.
    static bool PassesCharacter(QChar c);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace shakemeter
