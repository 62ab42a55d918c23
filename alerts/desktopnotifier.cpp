// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/desktopnotifier.h"

#include "base/logging.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace tarnwel {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr int kServerTimeout = -1; // as long as the service shows such notes

} // namespace

DesktopNotifier::DesktopNotifier(QObject* parent)
    : QObject(parent) {}

DesktopNotifier::DesktopNotifier(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus) {}

void DesktopNotifier::notify(const QString& title, const QString& text) {
    if (!m_bus)
        m_bus = QDBusConnection::sessionBus();
    if (!m_bus->isConnected()) {
        qCDebug(lcAlerts) << "no session bus: no desktop notification";
        Q_EMIT answered(false);
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    // No sound, no urgency: the note is for the user's eyes only.
    const QVariantMap hints{{QStringLiteral("suppress-sound"), true},
                            {QStringLiteral("urgency"), QVariant::fromValue(uchar(0))}};
    call << QStringLiteral("Tarnwel") << uint(0) << QString() << title << text << QStringList()
         << hints << kServerTimeout;
    call.setAutoStartService(false);
    auto* watcher = new QDBusPendingCallWatcher(m_bus->asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isError())
            qCDebug(lcAlerts).noquote() << "no desktop notification:" << reply.error().message();
        Q_EMIT answered(!reply.isError());
    });
}

} // namespace tarnwel
