// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/desktopnotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusServiceWatcher>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QVariantMap>

using namespace tarnwel;

namespace {

// A notification service that records what it is asked to show, and by whom.
class FakeNotifications : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Note {
        QString app, summary, body;
        QVariantMap hints;
        int timeout = 0;
        QString sender; // the caller's unique name on the bus
    };
    QList<Note> notes;

public Q_SLOTS:
    uint Notify(const QString& app, uint, const QString&, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap& hints, int timeout) {
        notes.append({app, summary, body, hints, timeout, message().service()});
        return uint(notes.size());
    }
};

// Waits until the connection of unique name `name` has left the bus.
bool leaves(const QDBusConnection& bus, const QString& name) {
    QDBusServiceWatcher watcher(name, bus, QDBusServiceWatcher::WatchForUnregistration);
    QSignalSpy gone(&watcher, &QDBusServiceWatcher::serviceUnregistered);
    return !bus.interface()->isServiceRegistered(name) || gone.wait(5000);
}

} // namespace

class TestDesktopNotifier : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void notifiesThroughTheService();

private:
    QProcess m_bus;
    QString m_address;
};

// A private session bus of our own, so the test never reaches the desktop's.
void TestDesktopNotifier::initTestCase() {
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--print-address"),
                 QStringLiteral("--nofork")});
    if (!m_bus.waitForStarted(5000))
        QSKIP("dbus-daemon is not installed");
    QSignalSpy output(&m_bus, &QProcess::readyReadStandardOutput);
    while (!m_bus.canReadLine())
        QVERIFY(output.wait(5000));
    m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
    QVERIFY(!m_address.isEmpty());
}

void TestDesktopNotifier::cleanupTestCase() {
    m_bus.terminate();
    m_bus.waitForFinished(5000);
}

void TestDesktopNotifier::notifiesThroughTheService() {
    DesktopNotifier notifier(m_address, nullptr);
    QSignalSpy answered(&notifier, &DesktopNotifier::answered);

    // No service on the bus: the call is refused, nothing is started or shown.
    notifier.notify(QStringLiteral("股价提醒"), QStringLiteral("no one listens"));
    QVERIFY(answered.wait(5000));
    QCOMPARE(answered.takeFirst().at(0).toBool(), false);

    QDBusConnection service = QDBusConnection::connectToBus(m_address, QStringLiteral("service"));
    FakeNotifications fake;
    QVERIFY(service.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &fake,
                                   QDBusConnection::ExportAllSlots));
    QVERIFY(service.registerService(QStringLiteral("org.freedesktop.Notifications")));

    const QString line = QStringLiteral("14:02:31 中国石化 5.50 ≥ 5.50");
    notifier.notify(QStringLiteral("股价提醒"), line);
    QVERIFY(answered.wait(5000));
    QCOMPARE(answered.takeFirst().at(0).toBool(), true);
    QCOMPARE(fake.notes.size(), 1);
    QCOMPARE(fake.notes[0].summary, QStringLiteral("股价提醒"));
    QCOMPARE(fake.notes[0].body, line);
    QCOMPARE(fake.notes[0].hints.value(QStringLiteral("suppress-sound")).toBool(), true);
    // Connected for the note alone: between alerts the program holds nothing on the bus.
    QVERIFY(leaves(service, fake.notes[0].sender));

    QDBusConnection::disconnectFromBus(QStringLiteral("service"));
}

QTEST_GUILESS_MAIN(TestDesktopNotifier)
#include "tst_desktopnotifier.moc"
