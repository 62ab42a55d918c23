// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/windowdrag.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWindow>

namespace tarnwel {

WindowDrag::WindowDrag(QWidget* window)
    : m_window(window) {}

void WindowDrag::mousePressed(Qt::MouseButton button, QPoint globalPos) {
    if (m_window && button == Qt::LeftButton)
        m_offset = globalPos - m_window->pos();
}

void WindowDrag::mouseMoved(Qt::MouseButtons buttons, QPoint globalPos) {
    if (!m_window)
        return;
    if (!startsDrag(buttons)) {
        m_following = false;
        return;
    }
    if (m_following) {
        m_window->move(globalPos - m_offset);
        return;
    }
    QWindow* handle = m_window->windowHandle();
    if (handle && handle->startSystemMove()) {
        // The window manager takes the button from here and its release never reaches
        // us; without one, the next clicks on the window go astray (a double-click on
        // the line that was just dragged would not be seen). Release it ourselves.
        const QPointF local = handle->mapFromGlobal(QPointF(globalPos));
        QMouseEvent release(QEvent::MouseButtonRelease, local, QPointF(globalPos), Qt::LeftButton,
                            Qt::NoButton, QGuiApplication::keyboardModifiers());
        QCoreApplication::sendEvent(handle, &release);
        return;
    }
    // Following from the grip taken at the press: taking it now would leave the window
    // behind the pointer by the first step.
    m_following = true;
    m_window->move(globalPos - m_offset);
}

void WindowDrag::mouseReleased() {
    m_following = false;
}

} // namespace tarnwel
