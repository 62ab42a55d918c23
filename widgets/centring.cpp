// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/centring.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace tarnwel {

namespace {

void centreNow(QWidget* window, const QScreen* screen) {
    const QRect area = screen->geometry();
    window->move(area.topLeft() + centredPlacement(area.size(), window->frameGeometry().size()));
}

// Waits for the window's frame to appear, centres the window by it, and goes.
class FrameWatch : public QObject {
public:
    FrameWatch(QWidget* window, const QScreen* screen)
        : QObject(window)
        , m_window(window)
        , m_screen(screen) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (watched == m_window &&
            (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show) &&
            m_window->frameGeometry().size() != m_window->size()) {
            m_window->removeEventFilter(this);
            if (m_screen)
                centreNow(m_window, m_screen);
            deleteLater();
        }
        return false;
    }

private:
    QWidget* m_window;
    QPointer<const QScreen> m_screen;
};

} // namespace

void centreOnScreen(QWidget* window, const QScreen* screen) {
    if (!screen)
        screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    centreNow(window, screen);
    if (window->frameGeometry().size() == window->size())
        new FrameWatch(window, screen);
}

} // namespace tarnwel
