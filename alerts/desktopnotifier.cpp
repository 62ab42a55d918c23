// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/desktopnotifier.h"

#include "base/logging.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace tarnwel {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr int kServerTimeout = -1; // as long as the service shows such notes

QDBusMessage notifyCall(const QString& title, const QString& text) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    // No sound, no urgency: the note is for the user's eyes only.
    const QVariantMap hints{{QStringLiteral("suppress-sound"), true},
                            {QStringLiteral("urgency"), QVariant::fromValue(uchar(0))}};
    call << QStringLiteral("Tarnwel") << uint(0) << QString() << title << text << QStringList()
         << hints << kServerTimeout;
    call.setAutoStartService(false);
    return call;
}

} // namespace

DesktopNotifier::DesktopNotifier(QObject* parent)
    : DesktopNotifier(QString(), parent) {}

DesktopNotifier::DesktopNotifier(const QString& address, QObject* parent)
    : QObject(parent)
    , m_address(address)
    , m_connection(QStringLiteral("tarnwel-notifier-%1").arg(quintptr(this), 0, 16)) {}

DesktopNotifier::~DesktopNotifier() {
    if (m_awaited > 0)
        QDBusConnection::disconnectFromBus(m_connection);
}

void DesktopNotifier::notify(const QString& title, const QString& text) {
    // A named connection of our own, so that letting it go closes it; the session bus
    // connection Qt shares among its parts would stay open for the program's life.
    const QDBusConnection bus =
        m_address.isEmpty()
            ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connection)
            : QDBusConnection::connectToBus(m_address, m_connection);
    ++m_awaited;
    if (!bus.isConnected()) {
        qCDebug(lcAlerts) << "no session bus: no desktop notification";
        release();
        Q_EMIT answered(false);
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(notifyCall(title, text)), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isError())
            qCDebug(lcAlerts).noquote() << "no desktop notification:" << reply.error().message();
        release();
        Q_EMIT answered(!reply.isError());
    });
}

void DesktopNotifier::release() {
    if (--m_awaited == 0)
        QDBusConnection::disconnectFromBus(m_connection);
}

} // namespace tarnwel
