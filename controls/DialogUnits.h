#pragma once
// Dialog layouts are given in dialog units of the dialog's font: a horizontal unit is a quarter of
// the font's average character width, a vertical unit an eighth of its line height.

#include <QFont>
#include <QRect>
#include <QString>

class QWidget;

namespace shakemeter {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseWidth, int baseHeight) : m_baseWidth(baseWidth), m_baseHeight(baseHeight) {}

    int x(int units) const { return units * m_baseWidth / 4; }
    int y(int units) const { return units * m_baseHeight / 8; }
    QRect rect(int left, int top, int width, int height) const { return QRect(x(left), y(top), x(width), y(height)); }
    int baseWidth() const { return m_baseWidth; }
    int baseHeight() const { return m_baseHeight; }

private:
    int m_baseWidth = 8;
    int m_baseHeight = 16;
};

// Gives a dialog its template's font and its fixed size in units of that font; the units returned
// place the dialog's controls.
DialogUnits SetTemplateFontAndSize(QWidget* dialog, const QString& fontFamily, int pointSize, int widthUnits,
                                   int heightUnits);

}  // namespace shakemeter
