// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/singleinstance.h"

#include "base/logging.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

namespace tarnwel {

namespace {

// A request is one short line; anything longer is not one of ours.
constexpr qint64 kMaxRequest = 64;

} // namespace

QString SingleInstance::defaultLockPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/tarnwel.lock");
}

QString SingleInstance::serverName(const QString& lockPath) {
#ifdef Q_OS_WIN
    // Pipe names are machine-wide; the lock's per-user path makes this one per user.
    const QByteArray hash =
        QCryptographicHash::hash(lockPath.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("tarnwel-") + QString::fromLatin1(hash);
#else
    const QFileInfo lock(lockPath);
    return lock.absolutePath() + u'/' + lock.completeBaseName() + QStringLiteral(".socket");
#endif
}

SingleInstance::SingleInstance(const QString& lockPath, int graceMs, QObject* parent)
    : QObject(parent)
    , m_lockPath(lockPath)
    , m_graceMs(graceMs)
    , m_lock(std::make_unique<QLockFile>(lockPath)) {
    // Only a dead owner makes the lock stale, never its age: the ticker runs for days.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    if (m_lock->isLocked())
        return true;
    bool taken = m_lock->tryLock(0);
    // The removal fails while any process still holds the file, so a live owner that
    // has not written its id yet keeps its lock.
    if (!taken && m_lock->error() == QLockFile::LockFailedError && ownerlessPastGrace() &&
        m_lock->removeStaleLockFile())
        taken = m_lock->tryLock(0);
    if (taken)
        listen();
    return taken;
}

bool SingleInstance::ownerlessPastGrace() const {
    qint64 pid = 0;
    QString host, application;
    if (m_lock->getLockInfo(&pid, &host, &application))
        return false;
    const QFileInfo file(m_lockPath);
    if (!file.exists())
        return false;
    // Either way: a clock set back must not keep the lock for good.
    const qint64 age = file.lastModified().msecsTo(QDateTime::currentDateTime());
    return qAbs(age) > m_graceMs;
}

void SingleInstance::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = serverName(m_lockPath);
    // Whoever listened there before is gone: this process holds the lock.
    QLocalServer::removeServer(name);
    if (!m_server->listen(name)) {
        qCWarning(lcBossKey) << "later starts cannot reach this one:" << m_server->errorString();
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection())
            serve(socket);
    });
}

void SingleInstance::serve(QLocalSocket* socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() > kMaxRequest)
                socket->abort();
            return;
        }
        const QString request = QString::fromUtf8(socket->readLine(kMaxRequest)).trimmed();
        Q_EMIT requested(request);
        socket->write("ok\n");
        socket->disconnectFromServer();
    });
}

InstanceRequest::InstanceRequest(const QString& lockPath, QObject* parent)
    : QObject(parent)
    , m_serverName(SingleInstance::serverName(lockPath))
    , m_socket(new QLocalSocket(this))
    , m_answer(new QTimer(this)) {
    m_answer->setSingleShot(true);
    connect(m_answer, &QTimer::timeout, this, [this] { finish(false); });
    connect(m_socket, &QLocalSocket::errorOccurred, this, [this] { finish(false); });
    connect(m_socket, &QLocalSocket::connected, this, [this] { m_socket->write(m_request); });
    connect(m_socket, &QLocalSocket::readyRead, this, [this] {
        if (m_socket->canReadLine())
            finish(m_socket->readLine(kMaxRequest).trimmed() == "ok");
    });
}

void InstanceRequest::send(const QString& request, int answerMs) {
    m_request = request.toUtf8() + '\n';
    m_answer->start(answerMs);
    m_socket->connectToServer(m_serverName);
}

void InstanceRequest::finish(bool heard) {
    if (!m_answer->isActive())
        return;
    m_answer->stop();
    m_socket->abort();
    Q_EMIT finished(heard);
}

} // namespace tarnwel
