// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/transparency.h"

#include "base/numbertext.h"

#include <algorithm>
#include <cmath>

namespace tarnwel {

namespace {

// What "90%" gives.
constexpr int kLeastAlpha = 26;

} // namespace

int alphaFromTransparency(const QString& opText) {
    const double percent = leadingNumber(QStringView(opText).chopped(opText.isEmpty() ? 0 : 1));
    // Round half to even, then divide as integers truncating toward zero.
    const double scaled = std::nearbyint(percent * 255.0);
    const double quotient = std::trunc(scaled / 100.0);
    const int clamped = static_cast<int>(std::clamp(quotient, 0.0, 255.0));
    return std::max(255 - clamped, kLeastAlpha);
}

} // namespace tarnwel
