#pragma once

#include <QColor>
#include <QImage>
#include <QRegion>

namespace tarnwel {

// The stealth line's key colour: every pixel of exactly this blue is see-through.
inline constexpr QRgb kStealthKey = 0x0000ff; // RGB(0, 0, 255)

// The pixels of `image` that are not exactly `key` (alpha is ignored), as a region in
// the image's pixel coordinates. Given to a window as its shape, it keys the colour
// out: only the other pixels show, and only they take the mouse.
QRegion colourKeyRegion(const QImage& image, QRgb key = kStealthKey);

} // namespace tarnwel
