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

} // namespace

QPixmap tickerBackground() {
    QPixmap pixmap(250, 100);
    QPainter p(&pixmap);
    p.fillRect(0, 0, 250, 40, QColor(0x8a, 0x8a, 0x8a));
    p.fillRect(0, 40, 250, 32, QColor(0x14, 0x14, 0x14));
    p.fillRect(0, 72, 250, 28, QColor(0x3a, 0x3a, 0x3a));
    // A hairline of light between the bands keeps them apart at high transparency.
    p.fillRect(0, 40, 250, 1, QColor(0xb0, 0xb0, 0xb0));
    p.fillRect(0, 72, 250, 1, QColor(0x5a, 0x5a, 0x5a));

    p.setRenderHint(QPainter::Antialiasing);
    drawGear(p, QPointF(232.5, 10.5), 5.5);
    QPainterPath arrow;
    arrow.moveTo(240.5, 8.5);
    arrow.lineTo(247.5, 8.5);
    arrow.lineTo(244.0, 13.0);
    arrow.closeSubpath();
    p.fillPath(arrow, Qt::white);
    return pixmap;
}

QPixmap houseIcon() {
    QPixmap pixmap = transparentPixmap(32);
    QPainter p(&pixmap);
    // The ticker stretches the icon over the left of its three bands; the house keeps
    // to the part that lands on the black band, clear of the text lines above and below.
    p.translate(1.5, 10.5);
    p.scale(0.56, 0.56);
    drawHouse(p);
    return pixmap;
}

QPixmap menuPanel() {
    QPixmap pixmap(116, 90);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setPen(QColor(0xa0, 0xa0, 0xa0));
    p.drawRect(0, 0, 115, 89);
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
