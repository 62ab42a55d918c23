// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>

namespace tarnwel {

// A small gold coin with a square hole: the mark of a stock held. `size` in logical
// pixels, drawn at `ratio` device pixels to the logical one.
QPixmap holdingMark(int size, qreal ratio);

} // namespace tarnwel
