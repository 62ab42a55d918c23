// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/pixelratio.h"

#include <QEvent>
#include <QWidget>

namespace tarnwel {

namespace {

class PixelRatioFollower : public QObject {
public:
    PixelRatioFollower(QWidget* window, std::function<void(qreal)> redraw)
        : QObject(window)
        , m_window(window)
        , m_redraw(std::move(redraw))
        , m_ratio(window->devicePixelRatioF()) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window &&
            (event->type() == QEvent::Show || event->type() == QEvent::ScreenChangeInternal)) {
            const qreal ratio = m_window->devicePixelRatioF();
            if (ratio != m_ratio) {
                m_ratio = ratio;
                m_redraw(ratio);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* m_window;
    std::function<void(qreal)> m_redraw;
    qreal m_ratio;
};

} // namespace

void followPixelRatio(QWidget* window, std::function<void(qreal ratio)> redraw) {
    new PixelRatioFollower(window, std::move(redraw));
}

} // namespace tarnwel
