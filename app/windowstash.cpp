// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/windowstash.h"

#include <QApplication>
#include <QToolTip>
#include <QWidget>

namespace tarnwel {

int WindowStash::hideAll() {
    QToolTip::hideText();
    QList<Kept> windows, dialogs;
    const QWidgetList all = QApplication::topLevelWidgets();
    for (QWidget* window : all) {
        if (!window->isVisible())
            continue;
        if (window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip) {
            window->close();
            continue;
        }
        // Brought back windows first, so that a dialog comes back above its window.
        (window->parentWidget() ? dialogs : windows).append({window, window->pos()});
    }
    m_kept = windows + dialogs;
    for (const Kept& kept : std::as_const(m_kept))
        kept.window->hide();
    m_holding = true;
    return int(m_kept.size());
}

int WindowStash::showAll() {
    int shown = 0;
    for (const Kept& kept : std::as_const(m_kept)) {
        QWidget* window = kept.window;
        if (!window)
            continue;
        const bool quiet = window->testAttribute(Qt::WA_ShowWithoutActivating);
        window->setAttribute(Qt::WA_ShowWithoutActivating);
        // A dialog would otherwise be centred over its window again.
        window->move(kept.pos);
        window->show();
        window->setAttribute(Qt::WA_ShowWithoutActivating, quiet);
        ++shown;
    }
    m_kept.clear();
    m_holding = false;
    return shown;
}

} // namespace tarnwel
