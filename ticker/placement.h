// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QSize>

namespace tarnwel {

// The ticker's client area in twips.
inline constexpr QSize kTickerSizeTwips{3750, 1485};

// Where the ticker opens on a screen of the given full size, all in twips: 1200 from
// the right edge and 500 from the bottom edge.
constexpr QPoint tickerPlacement(QSize screenTwips) {
    return {screenTwips.width() - kTickerSizeTwips.width() - 1200,
            screenTwips.height() - kTickerSizeTwips.height() - 500};
}

// Where the stealth line takes the ticker's place, in twips: at its left edge, its
// bottom level with the ticker's bottom (1200 + 285 = 1485).
constexpr QPoint stealthPlacement(QPoint tickerTwips) {
    return {tickerTwips.x(), tickerTwips.y() + 1200};
}

} // namespace tarnwel
