// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/portalshortcut.h"

#include "base/logging.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace tarnwel {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kShortcutId = QStringLiteral("toggle");

// One entry of BindShortcuts' a(sa{sv}).
struct PortalEntry {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalEntry& entry) {
    argument.beginStructure();
    argument << entry.id << entry.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalEntry& entry) {
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.endStructure();
    return argument;
}

// The portal's trigger form: "CTRL+ALT+z", modifiers then the key's XKB name.
QString preferredTrigger(const QKeyCombination& keys) {
    QStringList parts;
    const Qt::KeyboardModifiers modifiers = keys.keyboardModifiers();
    if (modifiers & Qt::ControlModifier)
        parts << QStringLiteral("CTRL");
    if (modifiers & Qt::AltModifier)
        parts << QStringLiteral("ALT");
    if (modifiers & Qt::ShiftModifier)
        parts << QStringLiteral("SHIFT");
    if (modifiers & Qt::MetaModifier)
        parts << QStringLiteral("LOGO");
    const QString key = QKeySequence(keys.key()).toString(QKeySequence::PortableText);
    parts << (key.size() == 1 ? key.toLower() : key);
    return parts.join(u'+');
}

} // namespace

} // namespace tarnwel

Q_DECLARE_METATYPE(tarnwel::PortalEntry)

namespace tarnwel {

PortalShortcut::PortalShortcut(QObject* parent)
    : PortalShortcut(QDBusConnection::sessionBus(), parent) {}

PortalShortcut::PortalShortcut(const QDBusConnection& bus, QObject* parent)
    : GlobalShortcut(parent)
    , m_bus(bus) {
    qDBusRegisterMetaType<PortalEntry>();
    qDBusRegisterMetaType<QList<PortalEntry>>();
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                  SLOT(shortcutActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
}

PortalShortcut::~PortalShortcut() {
    closeSession();
}

void PortalShortcut::setKeys(const QKeySequence& keys) {
    closeSession();
    m_keys = keys.isEmpty() ? QKeySequence() : QKeySequence(keys[0]);
    if (m_keys.isEmpty()) {
        setState(State::None);
        return;
    }
    ask(QStringLiteral("CreateSession"), {}, SLOT(sessionCreated(uint, QVariantMap)));
}

// Every portal call answers with a request object that later sends Response; the
// request's path is known beforehand from the token, so the answer cannot be missed.
void PortalShortcut::ask(const QString& method, const QVariantList& arguments, const char* answer) {
    const QString token = QStringLiteral("tarnwel%1").arg(++m_tokens);
    const QString sender = m_bus.baseService().mid(1).replace(u'.', u'_');
    m_pendingPath = kPath + QStringLiteral("/request/") + sender + u'/' + token;
    m_pendingSlot = answer;
    m_bus.connect(kService, m_pendingPath, kRequest, QStringLiteral("Response"), this, answer);

    QVariantMap options{{QStringLiteral("handle_token"), token}};
    if (method == u"CreateSession")
        options.insert(QStringLiteral("session_handle_token"), token);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(arguments + QVariantList{options});
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    const int asked = m_tokens;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, asked](auto* w) {
        w->deleteLater();
        if (!w->isError() || asked != m_tokens) // answered, or no longer wanted
            return;
        qCInfo(lcBossKey) << "the desktop portal offers no global shortcuts:"
                          << w->error().message();
        m_bus.disconnect(kService, m_pendingPath, kRequest, QStringLiteral("Response"), this,
                         m_pendingSlot);
        setState(State::Unsupported);
    });
}

void PortalShortcut::sessionCreated(uint response, const QVariantMap& results) {
    m_bus.disconnect(kService, m_pendingPath, kRequest, QStringLiteral("Response"), this,
                     m_pendingSlot);
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    m_session = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path()
                                                     : handle.toString();
    if (response != 0 || m_session.isEmpty()) {
        setState(State::Unsupported);
        return;
    }
    const QVariantMap properties{
        {QStringLiteral("description"), QStringLiteral("隐藏或显示全部窗口")},
        {QStringLiteral("preferred_trigger"), preferredTrigger(m_keys[0])}};
    const QList<PortalEntry> shortcuts{{kShortcutId, properties}};
    ask(QStringLiteral("BindShortcuts"),
        {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts),
         QString()},
        SLOT(shortcutsBound(uint, QVariantMap)));
}

void PortalShortcut::shortcutsBound(uint response, const QVariantMap&) {
    m_bus.disconnect(kService, m_pendingPath, kRequest, QStringLiteral("Response"), this,
                     m_pendingSlot);
    m_pendingSlot = nullptr;
    if (response == 0) {
        setState(State::Active);
        return;
    }
    // The user may have declined it in the desktop's own dialog.
    closeSession();
    setState(State::Unsupported);
}

void PortalShortcut::shortcutActivated(const QDBusObjectPath& session, const QString& id,
                                       qulonglong, const QVariantMap&) {
    if (!m_session.isEmpty() && session.path() == m_session && id == kShortcutId)
        Q_EMIT activated();
}

void PortalShortcut::closeSession() {
    if (m_pendingSlot)
        m_bus.disconnect(kService, m_pendingPath, kRequest, QStringLiteral("Response"), this,
                         m_pendingSlot);
    m_pendingSlot = nullptr;
    if (m_session.isEmpty())
        return;
    m_bus.asyncCall(QDBusMessage::createMethodCall(kService, m_session,
                                                   QStringLiteral("org.freedesktop.portal.Session"),
                                                   QStringLiteral("Close")));
    m_session.clear();
}

} // namespace tarnwel
