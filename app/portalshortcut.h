// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/globalshortcut.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QVariantMap>

namespace tarnwel {

// The combination asked of the desktop portal's GlobalShortcuts interface over D-Bus,
// as a Wayland compositor grants global keys: a session of its own, the combination as
// the preferred trigger (the desktop may let the user choose another), and its
// activations. Where the portal lacks the interface, or the desktop declines, it is
// Unsupported.
class PortalShortcut : public GlobalShortcut {
    Q_OBJECT
public:
    // On the session bus.
    explicit PortalShortcut(QObject* parent = nullptr);
    PortalShortcut(const QDBusConnection& bus, QObject* parent);
    ~PortalShortcut() override;

    void setKeys(const QKeySequence& keys) override;

private Q_SLOTS:
    void sessionCreated(uint response, const QVariantMap& results);
    void shortcutsBound(uint response, const QVariantMap& results);
    void shortcutActivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                           const QVariantMap& options);

private:
    void ask(const QString& method, const QVariantList& arguments, const char* answer);
    void closeSession();

    QDBusConnection m_bus;
    QKeySequence m_keys;
    QString m_session;
    QString m_pendingPath; // the request whose answer is awaited
    const char* m_pendingSlot = nullptr;
    int m_tokens = 0;
};

} // namespace tarnwel
