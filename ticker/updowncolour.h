// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/settingsstore.h"

#include <QColor>

namespace tarnwel {

// Each readable on black (a contrast of at least 4.5:1) and saturated enough to tell apart
// over a white desktop at the highest transparency.
inline constexpr QRgb kUpDownRed = 0xffff2828;
inline constexpr QRgb kUpDownGreen = 0xff00c850;

// The colour of a figure that went `direction` (+1 up, -1 down, 0 neither).
inline QColor directionColour(UpDownColours colours, int direction) {
    if (colours == UpDownColours::None || direction == 0)
        return Qt::white;
    const bool up = direction > 0;
    return QColor::fromRgb(up == (colours == UpDownColours::RedUp) ? kUpDownRed : kUpDownGreen);
}

} // namespace tarnwel
