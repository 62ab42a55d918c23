// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>

#include <optional>

class QNetworkReply;
class QNetworkRequest;

namespace tarnwel {

// Gathers the body of one reply up to a byte limit, so that no service, however it
// misbehaves, makes the program buffer without bound. A reply that announces a larger
// body, or whose bytes grow past the limit, is refused as soon as that is known:
// tooLarge() is emitted once, what was gathered is dropped and nothing more is read.
// The reader is the reply's child and goes with it.
class CappedReader : public QObject {
    Q_OBJECT
public:
    CappedReader(QNetworkReply* reply, qint64 maxBytes);

    // Once the reply has finished: its whole body, or nothing when it was too large.
    std::optional<QByteArray> takeBody();

Q_SIGNALS:
    void tooLarge();

private:
    void readAvailable();
    void refuse();

    QNetworkReply* m_reply;
    qint64 m_maxBytes;
    QByteArray m_body;
    bool m_exceeded = false;
};

// Redirects are followed only within the origin asked (same scheme, host and port), at
// most `kMaxRedirects` times: another origin would receive our headers, and its answer
// would be shown as if the service had sent it.
inline constexpr int kMaxRedirects = 3;
void restrictRedirects(QNetworkRequest& request);

} // namespace tarnwel
