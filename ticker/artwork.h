// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>

namespace tarnwel::artwork {

// Pictures are sized in logical pixels and drawn for `ratio` device pixels to the
// logical one, so they stay sharp on dense screens; at 1 they are plain bitmaps.

// The ticker's background, 250 × 100: grey, near-black and dark grey bands with a small
// gear and a down arrow in the top-right corner, where the menu opens.
QPixmap tickerBackground(qreal ratio = 1);
// The gear and the arrow alone, where the background has them, on a see-through picture of
// the background's size: drawn over a see-through background, they stay opaque.
QPixmap tickerMenuMark(qreal ratio = 1);
// A 32 × 32 house with a red roof.
QPixmap houseIcon(qreal ratio = 1);
// The menu panel, 116 × 90: white with a thin grey frame.
QPixmap menuPanel(qreal ratio = 1);
// The program's window icon.
QIcon programIcon();

} // namespace tarnwel::artwork
