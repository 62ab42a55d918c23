// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

namespace tarnwel {

// Desktop notifications through the freedesktop notification service on a D-Bus bus.
// Each one is a single asynchronous call that never starts a service: where none runs
// the bus answers with an error and nothing shows. Silent, and gone by itself.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    // On the session bus, connected at the first notification.
    explicit DesktopNotifier(QObject* parent = nullptr);
    DesktopNotifier(const QDBusConnection& bus, QObject* parent);

    void notify(const QString& title, const QString& text);

Q_SIGNALS:
    // The service's answer to a notification: shown, or no service took it.
    void answered(bool shown);

private:
    std::optional<QDBusConnection> m_bus;
};

} // namespace tarnwel
