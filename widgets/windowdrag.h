// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

namespace tarnwel {

// A drag starts only while exactly the left button is held: left together with any
// other button does not move the window.
constexpr bool startsDrag(Qt::MouseButtons buttons) {
    return buttons == Qt::LeftButton;
}

// Moves a frameless window with the mouse. The window manager does it where it can
// (a system move, as if the title bar were dragged); where the platform refuses, the
// window follows the mouse itself until the button is released.
class WindowDrag {
public:
    explicit WindowDrag(QWidget* window);
    // A press over a control that drags; `globalPos` in screen pixels. The window keeps
    // this grip on the pointer for the whole drag.
    void mousePressed(Qt::MouseButton button, QPoint globalPos);
    // A mouse move over a control that drags.
    void mouseMoved(Qt::MouseButtons buttons, QPoint globalPos);
    void mouseReleased();

private:
    QPointer<QWidget> m_window;
    bool m_following = false;
    QPoint m_offset; // pointer minus window position, taken at the press
};

} // namespace tarnwel
