// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/holdingmark.h"

#include <QPainter>

namespace tarnwel {

QPixmap holdingMark(int size, qreal ratio) {
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    p.setPen(QPen(QColor(0x80, 0x50, 0x00), 1));
    p.setBrush(QColor(0xe8, 0xb0, 0x20));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    // The hole shows what lies beneath: the list's row, selected or not.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.fillRect(QRectF(6, 6, 4, 4), Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(6, 6, 4, 4));
    return pixmap;
}

} // namespace tarnwel
