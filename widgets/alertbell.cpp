// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/alertbell.h"

#include <QPainter>
#include <QPainterPath>

namespace tarnwel {

QPixmap alertBell(int size, qreal ratio) {
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    QPainterPath bell;
    bell.moveTo(8, 1.5);
    bell.cubicTo(4.5, 1.5, 3.5, 4.5, 3.5, 7.5);
    bell.lineTo(3.5, 10.5);
    bell.lineTo(2, 12.5);
    bell.lineTo(14, 12.5);
    bell.lineTo(12.5, 10.5);
    bell.lineTo(12.5, 7.5);
    bell.cubicTo(12.5, 4.5, 11.5, 1.5, 8, 1.5);
    p.setPen(QPen(QColor(0x80, 0x50, 0x00), 1));
    p.setBrush(QColor(0xff, 0xb4, 0x00));
    p.drawPath(bell);
    p.drawEllipse(QRectF(6.5, 12.5, 3, 2.5));
    return pixmap;
}

} // namespace tarnwel
