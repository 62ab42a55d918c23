// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <functional>

class QWidget;

namespace tarnwel {

// Calls `redraw` with the window's device pixel ratio whenever that ratio differs from
// the one last drawn for: when the window is first shown and when it moves to a screen
// of another density. Pictures made for the old ratio would be blurred or enlarged.
void followPixelRatio(QWidget* window, std::function<void(qreal ratio)> redraw);

} // namespace tarnwel
