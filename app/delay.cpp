#include "app/delay.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace tarnwel {

void Delay(int ms) {
    if (ms < 0)
        return;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
    // "More than ms" has passed once ms + 1 whole milliseconds are gone; a timer may
    // fire a little early, so check the clock and wait again if it did.
    for (;;) {
        const qint64 left = ms + 1 - clock.elapsed();
        if (left <= 0) {
            loop.processEvents(QEventLoop::AllEvents);
            return;
        }
        wake.start(static_cast<int>(left));
        loop.exec();
    }
}

} // namespace tarnwel
