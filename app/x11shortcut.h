// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/globalshortcut.h"

#include <QAbstractNativeEventFilter>
#include <QList>

#include <memory>

struct xcb_connection_t;

namespace tarnwel {

// The combination grabbed on the X server's root windows through the connection Qt
// already has, with every variant of Caps Lock, Num Lock and Scroll Lock, so that those
// do not change what the combination is. The server refuses a grab that another client
// holds: then the combination is Taken and nothing of it is kept.
class X11Shortcut : public GlobalShortcut, public QAbstractNativeEventFilter {
public:
    // Null where the application does not run on X11.
    static std::unique_ptr<X11Shortcut> create();
    ~X11Shortcut() override;

    void setKeys(const QKeySequence& keys) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Grab {
        quint32 root;
        quint8 keycode;
        quint16 modifiers;
    };

    explicit X11Shortcut(xcb_connection_t* connection);
    bool grab(const QKeyCombination& keys);
    void release();
    bool matches(quint32 window, quint8 keycode, quint16 state) const;

    xcb_connection_t* m_connection;
    QList<Grab> m_grabs;
    quint16 m_modifiers = 0;
    bool m_down = false;
    quint32 m_pressedAt = 0; // X server times
    quint32 m_releasedAt = 0;
};

} // namespace tarnwel
