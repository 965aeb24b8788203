#include "launcher/LauncherArt.h"

#include <cmath>

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace setupgate {

namespace {

void DrawLoggerSketch(QPainter& p, const QRectF& box)
{
    // A stylised logger: a rounded case with a display showing a vibration trace.
    p.setPen(QPen(QColor(30, 60, 80), 2));
    p.setBrush(QColor(235, 240, 245));
    p.drawRoundedRect(box, 10, 10);
    const QRectF screen = box.adjusted(12, 12, -12, -box.height() / 2.2);
    p.setBrush(QColor(20, 35, 45));
    p.drawRoundedRect(screen, 4, 4);
    QPainterPath trace;
    const int points = 80;
    for (int i = 0; i <= points; ++i) {
        const double u = double(i) / points;
        const double x = screen.left() + 4 + (screen.width() - 8) * u;
        const double envelope = 0.2 + 0.8 * std::exp(-std::pow((u - 0.45) / 0.15, 2));
        const double y = screen.center().y() - envelope * (screen.height() / 2.6) * std::sin(u * 6.283185307 * 6);
        if (i == 0)
            trace.moveTo(x, y);
        else
            trace.lineTo(x, y);
    }
    p.setPen(QPen(QColor(90, 220, 120), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(trace);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 170, 80));
    p.drawEllipse(QPointF(box.center().x(), box.bottom() - box.height() / 4), 7, 7);
}

}  // namespace

QPixmap BackgroundPicture()
{
    QPixmap pixmap(440, 322);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 322);
    sky.setColorAt(0.0, QColor(124, 185, 200));
    sky.setColorAt(1.0, QColor(40, 90, 120));
    p.fillRect(pixmap.rect(), sky);

    QFont title(QStringLiteral("Arial"), 22, QFont::Bold);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(24, 24, 300, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Shakemeter"));
    QFont subtitle(QStringLiteral("Arial"), 11);
    p.setFont(subtitle);
    p.drawText(QRect(26, 66, 300, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("QZ810 vibration and shock logger"));
    p.drawText(QRect(26, 120, 260, 80), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Install the program first, then the driver of the logger's USB bridge."));

    DrawLoggerSketch(p, QRectF(310, 40, 100, 170));
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.drawLine(16, 240, 424, 240);
    return pixmap;
}

QPixmap ChoicePicture(const QString& text, int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 0, height);
    face.setColorAt(0.0, QColor(250, 250, 250));
    face.setColorAt(1.0, QColor(200, 215, 225));
    p.setBrush(face);
    p.setPen(QPen(QColor(30, 60, 80), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, width - 1, height - 1), 6, 6);
    QFont font(QStringLiteral("Arial"), 9, QFont::Bold);
    p.setFont(font);
    p.setPen(QColor(20, 40, 60));
    p.drawText(QRect(0, 0, width, height), Qt::AlignCenter, text);
    return pixmap;
}

QIcon FormIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawLoggerSketch(p, QRectF(6, 1, 20, 30));
    return QIcon(pixmap);
}

QCursor ChoiceCursor()
{
    // A pointing arrow whose tip is the hot spot (12, 1).
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QPolygonF arrow({QPointF(12, 1), QPointF(12, 23), QPointF(17, 18), QPointF(21, 27), QPointF(24, 25.5),
                           QPointF(20, 17), QPointF(27, 17)});
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(QColor(20, 60, 90));
    p.drawPolygon(arrow);
    return QCursor(pixmap, 12, 1);
}

}  // namespace setupgate
