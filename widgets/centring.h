// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QSize>

class QScreen;
class QWidget;

namespace tarnwel {

// The top-left corner that centres a window of `windowSize` on a screen of
// `screenSize`, any unit.
constexpr QPoint centredPlacement(QSize screenSize, QSize windowSize) {
    return {(screenSize.width() - windowSize.width()) / 2,
            (screenSize.height() - windowSize.height()) / 2};
}

// Centres a top-level window's frame on `screen` (its own screen when null). A window
// manager frames the window only after it is shown, so its frame is measured again
// then, and the window centred once more by the frame it really has.
void centreOnScreen(QWidget* window, const QScreen* screen = nullptr);

} // namespace tarnwel
