#include "controls/CNumericEdit.h"

#include <QKeyEvent>

namespace shakemeter {

CNumericEdit::CNumericEdit(QWidget* parent) : QLineEdit(parent) {}

bool CNumericEdit::PassesCharacter(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') || c == QLatin1Char('-') ||
           c == QChar(0x08);
}

void CNumericEdit::keyPressEvent(QKeyEvent* event)
{
    // Only printable characters are filtered; editing keys, cursor keys and shortcuts (whose
    // text is a control character or empty) keep their usual meaning.
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint() && !PassesCharacter(text.at(0))) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace shakemeter
