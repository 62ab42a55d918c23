// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/x11shortcut.h"

#include "base/logging.h"

#include <QGuiApplication>

#if defined(TARNWEL_HAVE_XCB) && !defined(Q_OS_WIN)

#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace tarnwel {

namespace {

// The modifiers a combination may hold; the lock modifiers are grabbed in every state.
constexpr quint16 kCombinationMask =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

// Longer than the keyboard's delay before it repeats a key held down.
constexpr quint32 kRepeatMs = 1000;

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <typename T> Reply<T> reply(T* r) {
    return Reply<T>(r, &std::free);
}

quint16 xModifiers(Qt::KeyboardModifiers modifiers) {
    quint16 mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & Qt::MetaModifier)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

xcb_keysym_t keysymOf(Qt::Key key) {
    static const std::pair<Qt::Key, xcb_keysym_t> named[] = {
        {Qt::Key_Escape, XK_Escape},
        {Qt::Key_Tab, XK_Tab},
        {Qt::Key_Backspace, XK_BackSpace},
        {Qt::Key_Return, XK_Return},
        {Qt::Key_Enter, XK_KP_Enter},
        {Qt::Key_Insert, XK_Insert},
        {Qt::Key_Delete, XK_Delete},
        {Qt::Key_Pause, XK_Pause},
        {Qt::Key_Print, XK_Print},
        {Qt::Key_Home, XK_Home},
        {Qt::Key_End, XK_End},
        {Qt::Key_Left, XK_Left},
        {Qt::Key_Up, XK_Up},
        {Qt::Key_Right, XK_Right},
        {Qt::Key_Down, XK_Down},
        {Qt::Key_PageUp, XK_Page_Up},
        {Qt::Key_PageDown, XK_Page_Down},
    };
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return XK_F1 + (key - Qt::Key_F1);
    // Latin-1 keysyms are their characters; a letter's key is its small letter.
    if (key >= Qt::Key_Space && key <= Qt::Key_ydiaeresis)
        return QChar(char16_t(key)).toLower().unicode();
    for (const auto& [qtKey, keysym] : named)
        if (qtKey == key)
            return keysym;
    return 0;
}

// The server's keyboard map, read once per grab.
class Keymap {
public:
    explicit Keymap(xcb_connection_t* connection)
        : m_first(xcb_get_setup(connection)->min_keycode)
        , m_reply(
              xcb_get_keyboard_mapping_reply(
                  connection,
                  xcb_get_keyboard_mapping(connection, m_first,
                                           xcb_get_setup(connection)->max_keycode - m_first + 1),
                  nullptr),
              &std::free) {}

    // Every key that types `keysym`, at any level.
    QList<xcb_keycode_t> keycodes(xcb_keysym_t keysym) const {
        QList<xcb_keycode_t> codes;
        if (!m_reply || !keysym)
            return codes;
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(m_reply.get());
        const int perKey = m_reply->keysyms_per_keycode;
        const int count = xcb_get_keyboard_mapping_keysyms_length(m_reply.get());
        for (int i = 0; i < count; ++i)
            if (syms[i] == keysym && !codes.contains(xcb_keycode_t(m_first + i / perKey)))
                codes.append(xcb_keycode_t(m_first + i / perKey));
        return codes;
    }

private:
    xcb_keycode_t m_first;
    Reply<xcb_get_keyboard_mapping_reply_t> m_reply;
};

// The modifier bit a key such as Num Lock is mapped to; 0 where it is mapped to none.
quint16 modifierOf(xcb_connection_t* connection, const Keymap& keymap, xcb_keysym_t keysym) {
    const QList<xcb_keycode_t> codes = keymap.keycodes(keysym);
    const auto map = reply(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    if (!map || codes.isEmpty())
        return 0;
    const xcb_keycode_t* keys = xcb_get_modifier_mapping_keycodes(map.get());
    const int perModifier = map->keycodes_per_modifier;
    for (int i = 0; i < 8 * perModifier; ++i)
        if (keys[i] && codes.contains(keys[i]))
            return quint16(1 << (i / perModifier));
    return 0;
}

// Every state of Caps Lock, Num Lock and Scroll Lock.
QList<quint16> lockVariants(xcb_connection_t* connection, const Keymap& keymap) {
    QList<quint16> variants{0};
    const quint16 locks[] = {XCB_MOD_MASK_LOCK, modifierOf(connection, keymap, XK_Num_Lock),
                             modifierOf(connection, keymap, XK_Scroll_Lock)};
    for (const quint16 lock : locks) {
        if (!lock || variants.contains(lock))
            continue;
        for (const quint16 variant : QList<quint16>(variants))
            variants.append(variant | lock);
    }
    return variants;
}

QList<xcb_window_t> roots(xcb_connection_t* connection) {
    QList<xcb_window_t> windows;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem;
         xcb_screen_next(&it))
        windows.append(it.data->root);
    return windows;
}

} // namespace

std::unique_ptr<X11Shortcut> X11Shortcut::create() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return nullptr;
    return std::unique_ptr<X11Shortcut>(new X11Shortcut(x11->connection()));
}

X11Shortcut::X11Shortcut(xcb_connection_t* connection)
    : m_connection(connection) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11Shortcut::~X11Shortcut() {
    release();
}

void X11Shortcut::setKeys(const QKeySequence& keys) {
    release();
    if (keys.isEmpty()) {
        setState(State::None);
        return;
    }
    if (grab(keys[0]))
        setState(State::Active);
    qCInfo(lcBossKey) << "grab of" << keys[0] << (m_grabs.isEmpty() ? "failed" : "held");
}

// All variants are asked for at once and their answers read together: one round trip.
bool X11Shortcut::grab(const QKeyCombination& keys) {
    const Keymap keymap(m_connection);
    const QList<xcb_keycode_t> codes = keymap.keycodes(keysymOf(keys.key()));
    if (codes.isEmpty()) {
        setState(State::Unusable);
        return false;
    }
    m_modifiers = xModifiers(keys.keyboardModifiers());
    const QList<quint16> variants = lockVariants(m_connection, keymap);
    QList<xcb_void_cookie_t> cookies;
    for (const xcb_window_t root : roots(m_connection))
        for (const xcb_keycode_t code : codes)
            for (const quint16 variant : variants) {
                const quint16 modifiers = m_modifiers | variant;
                m_grabs.append({root, code, modifiers});
                cookies.append(xcb_grab_key_checked(m_connection, 0, root, modifiers, code,
                                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
            }
    bool refused = false;
    for (const xcb_void_cookie_t cookie : cookies)
        if (const auto error = reply(xcb_request_check(m_connection, cookie)))
            refused = true; // BadAccess: another client holds it
    if (!refused)
        return true;
    // Whatever variants were had go back, so the other program keeps the combination whole.
    release();
    setState(State::Taken);
    return false;
}

void X11Shortcut::release() {
    for (const Grab& grab : std::as_const(m_grabs))
        xcb_ungrab_key(m_connection, grab.keycode, grab.root, grab.modifiers);
    if (!m_grabs.isEmpty())
        xcb_flush(m_connection);
    m_grabs.clear();
    m_down = false;
}

bool X11Shortcut::matches(quint32 window, quint8 keycode, quint16 state) const {
    if ((state & kCombinationMask) != m_modifiers)
        return false;
    for (const Grab& grab : m_grabs)
        if (grab.root == window && grab.keycode == keycode)
            return true;
    return false;
}

bool X11Shortcut::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (m_grabs.isEmpty() || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const quint8 type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
    // The modifiers may well be let go of before the key.
    const quint16 state = type == XCB_KEY_RELEASE ? m_modifiers : key->state;
    if (!matches(key->event, key->detail, state))
        return false;
    if (type == XCB_KEY_RELEASE) {
        m_down = false;
        m_releasedAt = key->time;
        return true;
    }
    // A key held down repeats: as presses alone, or as a release and a press at one time.
    // A release that never came (a grab broken meanwhile) deafens it for a moment only.
    const bool repeat =
        (m_down && quint32(key->time - m_pressedAt) < kRepeatMs) || key->time == m_releasedAt;
    m_down = true;
    m_pressedAt = key->time;
    if (!repeat) // after the event is done with, as a click would come
        QMetaObject::invokeMethod(this, &GlobalShortcut::activated, Qt::QueuedConnection);
    return true;
}

} // namespace tarnwel

#else

namespace tarnwel {

std::unique_ptr<X11Shortcut> X11Shortcut::create() {
    return nullptr;
}

X11Shortcut::X11Shortcut(xcb_connection_t* connection)
    : m_connection(connection) {}
X11Shortcut::~X11Shortcut() = default;
void X11Shortcut::setKeys(const QKeySequence&) {}
bool X11Shortcut::grab(const QKeyCombination&) {
    return false;
}
void X11Shortcut::release() {}
bool X11Shortcut::matches(quint32, quint8, quint16) const {
    return false;
}
bool X11Shortcut::nativeEventFilter(const QByteArray&, void*, qintptr*) {
    return false;
}

} // namespace tarnwel

#endif
