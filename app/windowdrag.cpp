#include "app/windowdrag.h"

#include <QWindow>

namespace tarnwel {

WindowDrag::WindowDrag(QWidget* window)
    : m_window(window) {}

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
    if (handle && handle->startSystemMove())
        return;
    m_following = true;
    m_offset = globalPos - m_window->pos();
}

void WindowDrag::mouseReleased() {
    m_following = false;
}

} // namespace tarnwel
