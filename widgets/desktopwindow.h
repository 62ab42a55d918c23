// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace tarnwel {

// How often a floating window puts itself back on top.
inline constexpr int kKeepOnTopMs = 500;

// Whether the desktop blends a window's see-through pixels with what lies beneath. Only an
// X11 desktop without a compositing manager does not: there a see-through background would
// show its colours darkened instead, so the windows paint it opaque.
bool desktopBlendsWindows();

// Keeps a top-level window on every virtual desktop: sticky, on desktop 0xFFFFFFFF. A
// window manager forgets both when the window is hidden, so they are set anew each time it
// shows. Nothing happens outside X11.
void keepOnEveryDesktop(QWidget* window);

} // namespace tarnwel
