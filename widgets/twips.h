// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tarnwel {

// Layouts are given in twips: 1,440 to the inch, 15 to a device-independent pixel.
inline constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips) {
    // Round to the nearest pixel, halves away from zero.
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}
constexpr int twips(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QPoint px(QPoint twipsPoint) {
    return {px(twipsPoint.x()), px(twipsPoint.y())};
}
inline QSize px(QSize twipsSize) {
    return {px(twipsSize.width()), px(twipsSize.height())};
}
inline QRect pxRect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}
inline QPoint twips(QPoint pixelPoint) {
    return pixelPoint * kTwipsPerPixel;
}
inline QSize twips(QSize pixelSize) {
    return pixelSize * kTwipsPerPixel;
}

} // namespace tarnwel
