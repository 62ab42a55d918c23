// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/globalshortcut.h"

#include "app/desktopsession.h"
#include "app/portalshortcut.h"
#include "app/x11shortcut.h"

#include <QGuiApplication>

namespace tarnwel {

void GlobalShortcut::setState(State state) {
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

void NoGlobalShortcut::setKeys(const QKeySequence& keys) {
    setState(keys.isEmpty() ? State::None : State::Unsupported);
}

std::unique_ptr<GlobalShortcut> platformShortcut() {
    const QString platform = QGuiApplication::platformName();
    // Without a screen there is no desktop to ask.
    if (platform == u"offscreen" || platform == u"minimal")
        return std::make_unique<NoGlobalShortcut>();
    // On XWayland a grab would see only the keys typed into X11 windows.
    if (desktopsession::waylandSession(desktopsession::Session::fromProcess()))
        return std::make_unique<PortalShortcut>();
    if (std::unique_ptr<GlobalShortcut> x11 = X11Shortcut::create())
        return x11;
    return std::make_unique<NoGlobalShortcut>();
}

} // namespace tarnwel
