// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPoint>
#include <QPointer>

class QWidget;

namespace tarnwel {

// Every shown window of the program put out of sight at once, and later brought back
// as it was: the same windows, where they were, each dialog above its window, and
// without taking the keyboard focus from whatever the user turned to meanwhile. Only a
// modal dialog takes it: Qt on X11 activates every modal window it shows. (A dialog
// running its own event loop, as a message box does, ends when hidden.)
class WindowStash {
public:
    bool holding() const { return m_holding; }
    // Hides them and says how many. Open menus and tooltips are closed, not kept.
    int hideAll();
    // Shows those that still exist and says how many.
    int showAll();

private:
    struct Kept {
        QPointer<QWidget> window;
        QPoint pos;
    };

    QList<Kept> m_kept;
    bool m_holding = false;
};

} // namespace tarnwel
