// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/desktopwindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#if defined(TARNWEL_HAVE_XCB) && !defined(Q_OS_WIN)
#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#endif

namespace tarnwel {

#if defined(TARNWEL_HAVE_XCB) && !defined(Q_OS_WIN)

namespace {

xcb_connection_t* xConnection() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The atoms of `names`, asked for together: one round trip for them all.
template <std::size_t N>
std::array<xcb_atom_t, N> atoms(xcb_connection_t* connection,
                                const std::array<const char*, N>& names) {
    std::array<xcb_intern_atom_cookie_t, N> cookies{};
    for (std::size_t i = 0; i < N; ++i)
        cookies[i] = xcb_intern_atom(connection, 0, qstrlen(names[i]), names[i]);
    std::array<xcb_atom_t, N> found{};
    for (std::size_t i = 0; i < N; ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
        found[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
    }
    return found;
}

// Written before the window maps, when a window manager reads them. The states are the
// sticky one alone: Qt adds its own to what it finds as it maps the window.
void writeEveryDesktop(xcb_connection_t* connection, xcb_window_t window) {
    const auto [desktop, state, sticky] =
        atoms<3>(connection, {"_NET_WM_DESKTOP", "_NET_WM_STATE", "_NET_WM_STATE_STICKY"});
    const quint32 everyDesktop = 0xFFFFFFFF;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, desktop, XCB_ATOM_CARDINAL, 32,
                        1, &everyDesktop);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32, 1,
                        &sticky);
    xcb_flush(connection);
}

class EveryDesktop : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The show event comes after the native window is made and before it maps.
        if (event->type() == QEvent::Show && watched == parent()) {
            if (xcb_connection_t* connection = xConnection())
                writeEveryDesktop(connection,
                                  xcb_window_t(static_cast<QWidget*>(watched)->winId()));
        }
        return false;
    }
};

} // namespace

bool desktopBlendsWindows() {
    xcb_connection_t* connection = xConnection();
    if (!connection)
        return true;
    // The compositing manager of the first screen holds this selection.
    const auto [manager] = atoms<1>(connection, {"_NET_WM_CM_S0"});
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, manager), nullptr);
    const bool blends = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return blends;
}

void keepOnEveryDesktop(QWidget* window) {
    window->installEventFilter(new EveryDesktop(window));
}

#else

bool desktopBlendsWindows() {
    return true;
}

void keepOnEveryDesktop(QWidget*) {}

#endif

} // namespace tarnwel
