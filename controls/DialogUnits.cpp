#include "controls/DialogUnits.h"

#include <QFontMetrics>

namespace shakemeter {

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average over the 52 letters, rounded, as dialog templates measure it.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseWidth = (letters / 26 + 1) / 2;
    m_baseHeight = metrics.height();
    if (m_baseWidth < 1) {
        m_baseWidth = 1;
    }
    if (m_baseHeight < 1) {
        m_baseHeight = 1;
    }
}

}  // namespace shakemeter
