// SPDX-License-Identifier: GPL-3.0-or-later
#include "ticker/artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace tarnwel::artwork {

namespace {

void drawGear(QPainter& p, QPointF centre, qreal radius) {
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal angle = i * M_PI / teeth;
        const qreal r = (i % 2 == 0) ? radius : radius * 0.72;
        const QPointF point(centre.x() + r * qCos(angle), centre.y() + r * qSin(angle));
        if (i == 0)
            gear.moveTo(point);
        else
            gear.lineTo(point);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(centre, radius * 0.32, radius * 0.32);
    p.fillPath(gear.subtracted(hole), Qt::white);
}

// The gear and the down arrow in the top-right corner, where the menu opens.
void drawMenuMark(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    drawGear(p, QPointF(232.5, 10.5), 5.5);
    QPainterPath arrow;
    arrow.moveTo(240.5, 8.5);
    arrow.lineTo(247.5, 8.5);
    arrow.lineTo(244.0, 13.0);
    arrow.closeSubpath();
    p.fillPath(arrow, Qt::white);
}

// A house with a red roof, drawn into a 32 × 32 box.
void drawHouse(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    // Chimney, walls, roof, door, windows.
    p.fillRect(QRectF(21, 4, 4, 8), QColor(0x8b, 0x3a, 0x2a));
    p.fillRect(QRectF(6, 15, 20, 15), QColor(0xf2, 0xe6, 0xc8));
    p.setPen(QPen(QColor(0x6b, 0x55, 0x3c), 1));
    p.drawRect(QRectF(6.5, 15.5, 19, 14));
    QPainterPath roof;
    roof.moveTo(2, 17);
    roof.lineTo(16, 3);
    roof.lineTo(30, 17);
    roof.closeSubpath();
    p.fillPath(roof, QColor(0xd2, 0x1f, 0x1f));
    p.setPen(QPen(QColor(0x8e, 0x10, 0x10), 1));
    p.drawPath(roof);
    p.fillRect(QRectF(13, 21, 6, 9), QColor(0x7a, 0x4a, 0x22));
    p.fillRect(QRectF(20, 19, 4, 4), QColor(0x7f, 0xb8, 0xe6));
    p.fillRect(QRectF(8, 19, 4, 4), QColor(0x7f, 0xb8, 0xe6));
}

QPixmap transparentPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A picture of `size` logical pixels with room for every device pixel at `ratio`;
// painters on it draw in logical pixels.
QPixmap pixmapFor(QSize size, qreal ratio) {
    QPixmap pixmap(qCeil(size.width() * ratio), qCeil(size.height() * ratio));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace

QPixmap tickerBackground(qreal ratio) {
    QPixmap pixmap = pixmapFor({250, 100}, ratio);
    QPainter p(&pixmap);
    // At a fractional ratio the picture is a part of a logical pixel larger than 250 ×
    // 100; the bands fill it all.
    const QSizeF size = pixmap.deviceIndependentSize();
    p.fillRect(QRectF(0, 0, size.width(), 40), QColor(0x8a, 0x8a, 0x8a));
    p.fillRect(QRectF(0, 40, size.width(), 32), QColor(0x14, 0x14, 0x14));
    p.fillRect(QRectF(0, 72, size.width(), size.height() - 72), QColor(0x3a, 0x3a, 0x3a));
    // A hairline of light between the bands keeps them apart at high transparency.
    p.fillRect(QRectF(0, 40, size.width(), 1), QColor(0xb0, 0xb0, 0xb0));
    p.fillRect(QRectF(0, 72, size.width(), 1), QColor(0x5a, 0x5a, 0x5a));

    drawMenuMark(p);
    return pixmap;
}

QPixmap tickerMenuMark(qreal ratio) {
    QPixmap pixmap = pixmapFor({250, 100}, ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    drawMenuMark(p);
    return pixmap;
}

QPixmap houseIcon(qreal ratio) {
    QPixmap pixmap = pixmapFor({32, 32}, ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    // The ticker stretches the icon over the left of its three bands; the house keeps
    // to the part that lands on the black band, clear of the text lines above and below.
    p.translate(1.5, 10.5);
    p.scale(0.56, 0.56);
    drawHouse(p);
    return pixmap;
}

QPixmap menuPanel(qreal ratio) {
    QPixmap pixmap = pixmapFor({116, 90}, ratio);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    // The frame keeps to the outermost logical pixel at every ratio.
    p.fillRect(QRectF(0, 0, 116, 90), QColor(0xa0, 0xa0, 0xa0));
    p.fillRect(QRectF(1, 1, 114, 88), Qt::white);
    return pixmap;
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 32, 64}) {
        QPixmap pixmap = transparentPixmap(size);
        QPainter p(&pixmap);
        p.scale(size / 32.0, size / 32.0);
        drawHouse(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace tarnwel::artwork
