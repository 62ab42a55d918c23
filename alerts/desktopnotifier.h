// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

namespace tarnwel {

// Desktop notifications through the freedesktop notification service on a D-Bus bus.
// Each one is a single asynchronous call that never starts a service: where none runs
// the bus answers with an error and nothing shows. Silent, and gone by itself. The bus is
// connected only while a notification awaits its answer, so the program keeps no
// connection of its own between alerts.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    // On the session bus.
    explicit DesktopNotifier(QObject* parent = nullptr);
    // On the bus at `address`, such as a test's private one.
    DesktopNotifier(const QString& address, QObject* parent);
    ~DesktopNotifier() override;

    void notify(const QString& title, const QString& text);

Q_SIGNALS:
    // The service's answer to a notification: shown, or no service took it.
    void answered(bool shown);

private:
    void release();

    QString m_address;    // empty: the session bus
    QString m_connection; // the name of this notifier's connection
    int m_awaited = 0;    // notifications sent and not yet answered
};

} // namespace tarnwel
