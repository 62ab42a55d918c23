// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;
class QTimer;

namespace tarnwel {

// Holds the per-user lock that tells a later start of the program that one already
// runs, and listens beside it for what a later start asks of this one. The lock of an
// instance that died is taken over: at once when it names a process that is gone, and
// after a grace when it names none (the owner died between making the file and writing
// its id into it).
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // A live owner writes its id within milliseconds of making the file.
    static constexpr int kGraceMs = 3000;

    // The lock file in the per-user runtime directory (or the temporary directory).
    static QString defaultLockPath();
    // Where the instance holding `lockPath` listens: a socket beside the lock (on
    // Windows, a pipe named after it).
    static QString serverName(const QString& lockPath);

    explicit SingleInstance(const QString& lockPath, int graceMs = kGraceMs,
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the only instance: it now holds the lock and listens.
    bool acquire();

Q_SIGNALS:
    // A later start asked for this; it is told so once the connected slots return.
    void requested(const QString& request);

private:
    bool ownerlessPastGrace() const;
    void listen();
    void serve(QLocalSocket* socket);

    QString m_lockPath;
    int m_graceMs;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

// One request to the instance that holds a lock, answered or not.
class InstanceRequest : public QObject {
    Q_OBJECT
public:
    explicit InstanceRequest(const QString& lockPath, QObject* parent = nullptr);

    // Connects and asks; `answerMs` is how long an instance that took the connection
    // may take to answer. Reports through finished(), once.
    void send(const QString& request, int answerMs = 2000);

Q_SIGNALS:
    // Heard: the running instance read the request and acted on it.
    void finished(bool heard);

private:
    void finish(bool heard);

    QString m_serverName;
    QByteArray m_request;
    QLocalSocket* m_socket = nullptr;
    QTimer* m_answer = nullptr;
};

} // namespace tarnwel
