// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QRegion>
#include <QSize>

namespace tarnwel {

// The stealth line's key colour: every pixel of exactly this blue is see-through.
inline constexpr QRgb kStealthKey = 0x0000ff; // RGB(0, 0, 255)

// The pixels of `image` that are not exactly `key` (alpha is ignored), as a region in
// the image's pixel coordinates. Given to a window as its shape, it keys the colour
// out: only the other pixels show, and only they take the mouse.
QRegion colourKeyRegion(const QImage& image, QRgb key = kStealthKey);

// The device pixels a window shape given in logical pixels covers on a screen of
// `ratio` device pixels to the logical one: the platform scales each rectangle of the
// shape and rounds its edges, so only whole logical pixels can be kept or cut.
QRegion deviceShape(const QRegion& logical, qreal ratio);

// A line keyed for its screen: the window shows `pixels` through `shape`, and every
// device pixel the shape lets through is ink.
struct KeyedLine {
    QImage pixels; // device pixels, with the screen's ratio: ink on the key
    QRegion shape; // the window's shape, in logical pixels
};

// Keys a line rendered at device resolution (ink on the key, without smoothing; its
// device pixel ratio set) for a window of `logicalSize`. A logical pixel is kept when
// ink covers the centre of any device pixel inside it, so no stroke is lost; the
// pixels are then redrawn as exactly the device pixels the kept shape will cover.
// At ratio 1 the shape is the ink's own and the pixels are the rendering's.
KeyedLine keyToLogicalGrid(const QImage& rendered, QSize logicalSize, QRgb ink,
                           QRgb key = kStealthKey);

} // namespace tarnwel
