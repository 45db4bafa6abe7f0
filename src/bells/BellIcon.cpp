#include "bells/BellIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap drawBell(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    // Crown, body flaring to the lip, and the clapper below it.
    QPainterPath body;
    body.moveTo(6.0, 3.0);
    body.cubicTo(4.0, 3.5, 4.2, 8.0, 3.4, 10.5);
    body.cubicTo(3.0, 11.6, 1.8, 12.0, 1.8, 12.8);
    body.lineTo(14.2, 12.8);
    body.cubicTo(14.2, 12.0, 13.0, 11.6, 12.6, 10.5);
    body.cubicTo(11.8, 8.0, 12.0, 3.5, 10.0, 3.0);
    body.closeSubpath();
    QLinearGradient metal(0, 0, 16, 0);
    metal.setColorAt(0.0, QColor(0x8a, 0x5a, 0x12));
    metal.setColorAt(0.4, QColor(0xf2, 0xc8, 0x5b));
    metal.setColorAt(1.0, QColor(0x7a, 0x4c, 0x0c));
    p.setPen(QPen(QColor(0x5a, 0x38, 0x08), 0.7));
    p.setBrush(metal);
    p.drawPath(body);
    p.drawRoundedRect(QRectF(6.8, 1.2, 2.4, 2.0), 0.8, 0.8);
    p.setBrush(QColor(0x5a, 0x38, 0x08));
    p.drawEllipse(QPointF(8.0, 14.0), 1.3, 1.3);
    return pixmap;
}

} // namespace

QIcon bellIcon() {
    QIcon icon;
    for (int size : {16, 24, 32}) {
        icon.addPixmap(drawBell(size));
    }
    return icon;
}
