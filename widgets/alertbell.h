// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>

namespace tarnwel {

// A small amber bell: the mark of a stock with alerts and of alerts not yet seen.
// `size` in logical pixels, drawn at `ratio` device pixels to the logical one.
QPixmap alertBell(int size, qreal ratio);

} // namespace tarnwel
