#include "stealth/colourkey.h"

#include <QList>
#include <QRect>

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

} // namespace tarnwel
