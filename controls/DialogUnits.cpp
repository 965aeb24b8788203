#include "controls/DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

namespace shakemeter {

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    // The average over the 52 letters, rounded, as dialog templates measure it.
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseWidth = (letters / 26 + 1) / 2;
    m_baseHeight = metrics.height();
    if (m_baseWidth < 1) {
        m_baseWidth = 1;
    }
    if (m_baseHeight < 1) {
        m_baseHeight = 1;
    }
}

DialogUnits SetTemplateFontAndSize(QWidget* dialog, const QString& fontFamily, int pointSize, int widthUnits,
                                   int heightUnits)
{
    QFont font(fontFamily);
    font.setPointSize(pointSize);
    dialog->setFont(font);
    const DialogUnits units(font);
    dialog->setFixedSize(units.x(widthUnits), units.y(heightUnits));
    return units;
}

}  // namespace shakemeter
