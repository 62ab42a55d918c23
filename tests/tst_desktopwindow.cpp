// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' hints to an X11 desktop, on a real X server: CTest runs this suite under its
// own Xvfb (xvfb-run), with no window manager; without one it skips.
#include "stealth/form4.h"
#include "ticker/form1.h"
#include "ticker/form5.h"

#include <QGuiApplication>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

using namespace tarnwel;

namespace {

// Another X client: a pager that reads the windows' hints, or a compositing manager.
class OtherClient {
public:
    OtherClient()
        : m_connection(xcb_connect(nullptr, nullptr)) {}
    ~OtherClient() { xcb_disconnect(m_connection); }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    xcb_atom_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, qstrlen(name), name), nullptr);
        const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return found;
    }

    QList<quint32> property(WId window, const char* name) {
        auto* reply = xcb_get_property_reply(m_connection,
                                             xcb_get_property(m_connection, 0, xcb_window_t(window),
                                                              atom(name), XCB_ATOM_ANY, 0, 64),
                                             nullptr);
        QList<quint32> values;
        if (reply && reply->format == 32) {
            const auto* data = static_cast<const quint32*>(xcb_get_property_value(reply));
            values = QList<quint32>(data, data + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
        return values;
    }

    // Takes the first screen's compositing manager's selection, as a compositor does.
    void composite() {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const xcb_window_t owner = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, owner, root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_set_selection_owner(m_connection, owner, atom("_NET_WM_CM_S0"), XCB_CURRENT_TIME);
        roundTrip();
    }

private:
    void roundTrip() {
        std::free(
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    xcb_connection_t* m_connection;
};

std::unique_ptr<QWidget> window(const QString& name) {
    if (name == u"Form4")
        return std::make_unique<Form4>();
    if (name == u"Form5")
        return std::make_unique<Form5>();
    return std::make_unique<Form1>();
}

void applyAlpha(QWidget* window, int alpha) {
    if (auto* ticker = qobject_cast<Form1*>(window))
        ticker->applyAlpha(alpha);
    else if (auto* list = qobject_cast<Form5*>(window))
        list->applyAlpha(alpha);
}

} // namespace

class TestDesktopWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void onEveryDesktop_data();
    void onEveryDesktop();
    void backgroundWithoutCompositing_data();
    void backgroundWithoutCompositing();
};

void TestDesktopWindow::initTestCase() {
    if (QGuiApplication::platformName() != u"xcb")
        QSKIP("no X server (the suite runs under xvfb-run where it is installed)");
}

void TestDesktopWindow::onEveryDesktop_data() {
    QTest::addColumn<QString>("window");
    QTest::newRow("ticker") << QStringLiteral("Form1");
    QTest::newRow("stealth line") << QStringLiteral("Form4");
    QTest::newRow("list") << QStringLiteral("Form5");
}

void TestDesktopWindow::onEveryDesktop() {
    // Each time it shows: a window manager drops the hints when the window hides.
    QFETCH(QString, window);
    const std::unique_ptr<QWidget> shown = ::window(window);
    OtherClient pager;
    for (int time = 0; time < 2; ++time) {
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
        QCOMPARE(pager.property(shown->winId(), "_NET_WM_DESKTOP"), QList<quint32>{0xFFFFFFFF});
        const QList<quint32> states = pager.property(shown->winId(), "_NET_WM_STATE");
        QCOMPARE(states.count(pager.atom("_NET_WM_STATE_STICKY")), 1);
        // Qt's own states stand beside it.
        QVERIFY(states.contains(pager.atom("_NET_WM_STATE_ABOVE")));
        shown->hide();
    }
}

void TestDesktopWindow::backgroundWithoutCompositing_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("compositing");
    QTest::addColumn<QPoint>("bare");
    QTest::addColumn<int>("alpha");
    QTest::newRow("ticker, no compositing") << u"Form1"_qs << false << QPoint(246, 96) << 255;
    QTest::newRow("ticker, compositing") << u"Form1"_qs << true << QPoint(246, 96) << 102;
    QTest::newRow("list, no compositing") << u"Form5"_qs << false << QPoint(1, 1) << 255;
}

void TestDesktopWindow::backgroundWithoutCompositing() {
    // Unblended, a see-through background would show darkened; it is painted opaque, as
    // the window's own opacity was shown.
    QFETCH(QString, window);
    QFETCH(bool, compositing);
    QFETCH(QPoint, bare);
    QFETCH(int, alpha);
    OtherClient compositor;
    if (compositing)
        compositor.composite();
    const std::unique_ptr<QWidget> shown = ::window(window);
    applyAlpha(shown.get(), 102);
    const QImage image = shown->grab().toImage();
    QVERIFY(qAbs(qAlpha(image.pixel(bare)) - alpha) <= 1);
}

QTEST_MAIN(TestDesktopWindow)
#include "tst_desktopwindow.moc"
