// SPDX-License-Identifier: GPL-3.0-or-later
// The boss key asked of the desktop portal, against a portal of the test's own on a
// private session bus.
#include "app/portalshortcut.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace tarnwel;

namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// The GlobalShortcuts portal as the desktop plays it: a session per CreateSession, each
// request answered by a Response on the request's own path.
class FakePortal : public QDBusVirtualObject {
public:
    explicit FakePortal(QDBusConnection bus)
        : m_bus(std::move(bus)) {}

    uint bindAnswer = 0; // 0: granted, 1: declined by the user
    QString trigger;     // the preferred trigger asked for
    QStringList closed;  // sessions closed
    QString session;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        if (message.member() == u"Close") {
            closed << message.path();
        } else if (message.member() == u"CreateSession") {
            session = kPath + QStringLiteral("/session/1");
            answer(message, 0, {{QStringLiteral("session_handle"), session}});
        } else if (message.member() == u"BindShortcuts") {
            readTrigger(message.arguments().at(1).value<QDBusArgument>());
            answer(message, bindAnswer, {});
        } else {
            return false;
        }
        return true;
    }
    void press(const QString& sessionPath) {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, u"Activated"_qs);
        signal << QVariant::fromValue(QDBusObjectPath(sessionPath)) << u"toggle"_qs << qulonglong(0)
               << QVariantMap();
        m_bus.send(signal);
    }

private:
    void answer(const QDBusMessage& call, uint response, const QVariantMap& results) {
        const auto options = qdbus_cast<QVariantMap>(call.arguments().last());
        const QString token = options.value(u"handle_token"_qs).toString();
        const QString sender = call.service().mid(1).replace(u'.', u'_');
        const QString request = kPath + u"/request/" + sender + u'/' + token;
        m_bus.send(call.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage signal = QDBusMessage::createSignal(
            request, u"org.freedesktop.portal.Request"_qs, u"Response"_qs);
        signal << response << results;
        m_bus.send(signal);
    }
    void readTrigger(const QDBusArgument& shortcuts) {
        shortcuts.beginArray();
        while (!shortcuts.atEnd()) {
            QString id;
            QVariantMap properties;
            shortcuts.beginStructure();
            shortcuts >> id >> properties;
            shortcuts.endStructure();
            trigger = properties.value(u"preferred_trigger"_qs).toString();
        }
        shortcuts.endArray();
    }

    QDBusConnection m_bus;
};

// Once the portal answers a call, whatever it sent before has reached the client.
bool roundTrip(const QDBusConnection& client) {
    QDBusPendingCallWatcher watcher(client.asyncCall(QDBusMessage::createMethodCall(
        kPortal, kPath, u"org.freedesktop.DBus.Peer"_qs, u"Ping"_qs)));
    QSignalSpy done(&watcher, &QDBusPendingCallWatcher::finished);
    return done.wait(5000);
}

} // namespace

class TestPortalShortcut : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void withoutPortal();
    void bindAndActivate_data();
    void bindAndActivate();

private:
    QProcess m_bus;
    QString m_address;
};

void TestPortalShortcut::initTestCase() {
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--print-address"),
                 QStringLiteral("--nofork")});
    if (!m_bus.waitForStarted(5000))
        QSKIP("dbus-daemon is not installed");
    QSignalSpy output(&m_bus, &QProcess::readyReadStandardOutput);
    while (!m_bus.canReadLine())
        QVERIFY(output.wait(5000));
    m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
}

void TestPortalShortcut::cleanupTestCase() {
    m_bus.terminate();
    m_bus.waitForFinished(5000);
}

void TestPortalShortcut::withoutPortal() {
    QDBusConnection client = QDBusConnection::connectToBus(m_address, u"alone"_qs);
    PortalShortcut shortcut(client, nullptr);
    QSignalSpy changed(&shortcut, &GlobalShortcut::stateChanged);
    shortcut.setKeys(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z));
    QVERIFY(changed.wait(5000));
    QCOMPARE(shortcut.state(), GlobalShortcut::State::Unsupported);
}

void TestPortalShortcut::bindAndActivate_data() {
    QTest::addColumn<uint>("bindAnswer");
    QTest::addColumn<GlobalShortcut::State>("state");
    QTest::addColumn<int>("activations");
    QTest::newRow("granted") << 0u << GlobalShortcut::State::Active << 1;
    QTest::newRow("declined by the user") << 1u << GlobalShortcut::State::Unsupported << 0;
}

void TestPortalShortcut::bindAndActivate() {
    QFETCH(uint, bindAnswer);
    QFETCH(GlobalShortcut::State, state);
    QDBusConnection service = QDBusConnection::connectToBus(m_address, u"portal"_qs);
    FakePortal portal(service);
    portal.bindAnswer = bindAnswer;
    QVERIFY(service.registerVirtualObject(kPath, &portal, QDBusConnection::SubPath));
    QVERIFY(service.registerService(kPortal));
    QDBusConnection client = QDBusConnection::connectToBus(m_address, u"client"_qs);
    {
        PortalShortcut shortcut(client, nullptr);
        QSignalSpy changed(&shortcut, &GlobalShortcut::stateChanged);
        QSignalSpy activated(&shortcut, &GlobalShortcut::activated);
        shortcut.setKeys(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z));
        QVERIFY(changed.wait(5000));
        QCOMPARE(shortcut.state(), state);
        QCOMPARE(portal.trigger, u"CTRL+ALT+z"_qs);

        portal.press(portal.session);
        portal.press(kPath + u"/session/other"_qs); // another program's session
        QVERIFY(roundTrip(client));
        QTEST(int(activated.size()), "activations");
        shortcut.setKeys(QKeySequence());
        QCOMPARE(shortcut.state(), GlobalShortcut::State::None);
    }
    QTRY_COMPARE_WITH_TIMEOUT(portal.closed, QStringList{portal.session}, 5000);
    service.unregisterService(kPortal);
    service.unregisterObject(kPath, QDBusConnection::UnregisterTree);
    QDBusConnection::disconnectFromBus(u"portal"_qs);
    QDBusConnection::disconnectFromBus(u"client"_qs);
}

QTEST_GUILESS_MAIN(TestPortalShortcut)
#include "tst_portalshortcut.moc"
