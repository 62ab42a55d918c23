// SPDX-License-Identifier: GPL-3.0-or-later
#include "stealth/colourkey.h"

#include <QList>
#include <QPainter>
#include <QRect>
#include <QTransform>

#include <cmath>

namespace tarnwel {

namespace {

// The x ranges [first, second) of the kept pixels in one row.
using Runs = QList<std::pair<int, int>>;

Runs keptRuns(const QRgb* line, int width, QRgb keyRgb) {
    Runs runs;
    int x = 0;
    while (x < width) {
        if ((line[x] & RGB_MASK) == keyRgb) {
            ++x;
            continue;
        }
        const int start = x;
        while (x < width && (line[x] & RGB_MASK) != keyRgb)
            ++x;
        runs.append({start, x});
    }
    return runs;
}

} // namespace

QRegion colourKeyRegion(const QImage& image, QRgb key) {
    const QImage pixels =
        image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
            ? image
            : image.convertToFormat(QImage::Format_RGB32);
    const QRgb keyRgb = key & RGB_MASK;

    // Rows with the same runs form one band of rectangles, the region's own banded
    // form: QRegion takes it in one go, which is far cheaper than uniting the
    // rectangles one by one, and it keeps the window's shape small.
    QList<QRect> rects;
    Runs band;
    int bandTop = 0;
    const auto closeBand = [&](int bottom) {
        for (const auto& [left, right] : band)
            rects.append(QRect(left, bandTop, right - left, bottom - bandTop));
    };
    for (int y = 0; y < pixels.height(); ++y) {
        Runs runs = keptRuns(reinterpret_cast<const QRgb*>(pixels.constScanLine(y)), pixels.width(),
                             keyRgb);
        if (runs == band)
            continue;
        closeBand(y);
        band = std::move(runs);
        bandTop = y;
    }
    closeBand(pixels.height());

    QRegion region;
    region.setRects(rects.constData(), int(rects.size()));
    return region;
}

QRegion deviceShape(const QRegion& logical, qreal ratio) {
    if (ratio == 1.0)
        return logical;
    // The same mapping the platform applies to a window's mask.
    return QTransform::fromScale(ratio, ratio).map(logical);
}

KeyedLine keyToLogicalGrid(const QImage& rendered, QSize logicalSize, QRgb ink, QRgb key) {
    const qreal ratio = rendered.devicePixelRatio();
    const QImage pixels = rendered.convertToFormat(QImage::Format_RGB32);
    const QRgb keyRgb = key & RGB_MASK;

    // Each device pixel belongs to the logical pixel its centre falls in.
    const auto logicalOf = [ratio](int device) { return int(std::floor((device + 0.5) / ratio)); };
    QImage grid(logicalSize, QImage::Format_RGB32);
    grid.fill(QColor::fromRgb(keyRgb));
    for (int y = 0; y < pixels.height(); ++y) {
        const int gy = logicalOf(y);
        if (gy >= grid.height())
            break;
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const int gx = logicalOf(x);
            if (gx < grid.width() && (line[x] & RGB_MASK) != keyRgb)
                grid.setPixel(gx, gy, ink);
        }
    }

    KeyedLine keyed;
    keyed.shape = colourKeyRegion(grid, key);
    keyed.pixels = QImage(pixels.size(), QImage::Format_RGB32);
    keyed.pixels.fill(QColor::fromRgb(keyRgb));
    {
        QPainter painter(&keyed.pixels);
        for (const QRect& rect : deviceShape(keyed.shape, ratio))
            painter.fillRect(rect, QColor::fromRgb(ink));
    }
    keyed.pixels.setDevicePixelRatio(ratio);
    return keyed;
}

} // namespace tarnwel
