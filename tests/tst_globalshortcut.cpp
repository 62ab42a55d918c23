// SPDX-License-Identifier: GPL-3.0-or-later
// The boss key's grab on a real X server: CTest runs this suite under its own Xvfb
// (xvfb-run) and presses keys with xdotool; without them it skips.
#include "app/x11shortcut.h"

#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>

using namespace tarnwel;

namespace {

using State = GlobalShortcut::State;

// A second X client: another program that wants Ctrl+Alt and a key for itself.
class OtherClient {
public:
    OtherClient()
        : m_connection(xcb_connect(nullptr, nullptr)) {}
    ~OtherClient() { xcb_disconnect(m_connection); }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    // False when the server refuses the grab: someone else holds it.
    bool grab(xcb_keysym_t keysym, quint16 lock = 0) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const auto cookie = xcb_grab_key_checked(
            m_connection, 0, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | lock, keycode(keysym),
            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_generic_error_t* error = xcb_request_check(m_connection, cookie);
        std::free(error);
        return !error;
    }

private:
    xcb_keycode_t keycode(xcb_keysym_t keysym) {
        const xcb_setup_t* setup = xcb_get_setup(m_connection);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        auto* map = xcb_get_keyboard_mapping_reply(
            m_connection, xcb_get_keyboard_mapping(m_connection, setup->min_keycode, count),
            nullptr);
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
        xcb_keycode_t found = 0;
        for (int i = 0; i < count * map->keysyms_per_keycode && !found; ++i)
            if (syms[i] == keysym)
                found = xcb_keycode_t(setup->min_keycode + i / map->keysyms_per_keycode);
        std::free(map);
        return found;
    }

    xcb_connection_t* m_connection;
};

// Keys typed as the user would, by xdotool through the XTEST extension.
bool type(const char* keys) {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("key"), QString::fromLatin1(keys)});
    return xdotool.waitForFinished(10000) && xdotool.exitCode() == 0;
}

const QKeySequence kCtrlAltZ(Qt::CTRL | Qt::ALT | Qt::Key_Z);

} // namespace

class TestGlobalShortcut : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void pressReachesTheProgram_data();
    void pressReachesTheProgram();
    void heldByAnotherProgram();
    void releasedOnChangeAndExit();
};

void TestGlobalShortcut::initTestCase() {
    if (QGuiApplication::platformName() != u"xcb")
        QSKIP("no X server (the suite runs under xvfb-run where it is installed)");
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("xdotool is not installed");
}

void TestGlobalShortcut::pressReachesTheProgram_data() {
    QTest::addColumn<QByteArray>("lock"); // switched on for the press, then off again
    QTest::newRow("no lock") << QByteArray();
    QTest::newRow("Caps Lock") << QByteArray("Caps_Lock");
    QTest::newRow("Num Lock") << QByteArray("Num_Lock");
}

void TestGlobalShortcut::pressReachesTheProgram() {
    QFETCH(QByteArray, lock);
    const auto shortcut = X11Shortcut::create();
    QVERIFY(shortcut);
    shortcut->setKeys(kCtrlAltZ);
    QCOMPARE(shortcut->state(), State::Active);
    QSignalSpy activated(shortcut.get(), &GlobalShortcut::activated);
    if (!lock.isEmpty())
        QVERIFY(type(lock.constData()));
    QVERIFY(type("ctrl+alt+z"));
    QVERIFY(activated.wait(5000));
    QVERIFY(type("ctrl+alt+z"));
    QTRY_COMPARE_WITH_TIMEOUT(activated.size(), 2, 5000); // once a press
    QVERIFY(type("ctrl+alt+x"));                          // another combination is not it
    QVERIFY(type("ctrl+alt+z"));
    QTRY_COMPARE_WITH_TIMEOUT(activated.size(), 3, 5000);
    if (!lock.isEmpty())
        QVERIFY(type(lock.constData()));
}

void TestGlobalShortcut::heldByAnotherProgram() {
    const auto shortcut = X11Shortcut::create();
    {
        OtherClient other;
        QVERIFY(other.grab(XK_z));
        shortcut->setKeys(kCtrlAltZ);
        QCOMPARE(shortcut->state(), State::Taken);
        // None of its variants was kept either: a third program may have Caps Lock's.
        QVERIFY(OtherClient().grab(XK_z, XCB_MOD_MASK_LOCK));
    }
    // The other program ended; asked again, the combination is ours, and then theirs no more.
    shortcut->setKeys(kCtrlAltZ);
    QCOMPARE(shortcut->state(), State::Active);
    QVERIFY(!OtherClient().grab(XK_z));
}

void TestGlobalShortcut::releasedOnChangeAndExit() {
    auto shortcut = X11Shortcut::create();
    shortcut->setKeys(kCtrlAltZ);
    QCOMPARE(shortcut->state(), State::Active);
    shortcut->setKeys(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_X));
    QCOMPARE(shortcut->state(), State::Active);
    QVERIFY(OtherClient().grab(XK_z));
    QVERIFY(!OtherClient().grab(XK_x));
    shortcut.reset();
    QVERIFY(OtherClient().grab(XK_x));
    shortcut = X11Shortcut::create();
    shortcut->setKeys(QKeySequence());
    QCOMPARE(shortcut->state(), State::None);
}

QTEST_MAIN(TestGlobalShortcut)
#include "tst_globalshortcut.moc"
