#include "stealth/colourkey.h"

#include <QList>
#include <QRect>

namespace tarnwel {

QRegion colourKeyRegion(const QImage& image, QRgb key) {
    const QImage pixels =
        image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
            ? image
            : image.convertToFormat(QImage::Format_RGB32);
    const QRgb keyRgb = key & RGB_MASK;
    // One rectangle per run of kept pixels in a row; QRegion merges them in one go,
    // which is far cheaper than uniting them one by one.
    QList<QRect> runs;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        int x = 0;
        while (x < pixels.width()) {
            if ((line[x] & RGB_MASK) == keyRgb) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < pixels.width() && (line[x] & RGB_MASK) != keyRgb)
                ++x;
            runs.append(QRect(start, y, x - start, 1));
        }
    }
    QRegion region;
    region.setRects(runs.constData(), int(runs.size()));
    return region;
}

} // namespace tarnwel
