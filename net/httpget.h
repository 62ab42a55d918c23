// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "net/httpreply.h"
#include "net/httpresponse.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QObject>
#include <QUrl>

#include <optional>

class QTimer;

namespace tarnwel {

// One HTTP GET at a time, on the thread that asks, over a connection kept open between
// requests. For the quote requests, which come every few seconds: the answer wakes the
// program once, where a transfer handed to and back from a network thread wakes it
// several times. The same rules as every download: a size cap, a time limit for the whole
// transfer, redirects kept to the origin asked, one log line out and one back. Asking
// again supersedes the request in flight: its answer is never reported. Each get()
// reports exactly once, after it has returned.
class HttpGet : public QObject {
    Q_OBJECT
public:
    using Category = const QLoggingCategory& (*)();
    struct Options {
        qint64 maxBytes = 0;
        int timeoutMs = 60000; // 0: no limit
        QByteArray referer;    // empty: no Referer header
        Category log = nullptr;
    };

    explicit HttpGet(Options options, QObject* parent = nullptr);
    ~HttpGet() override;

    void get(const QUrl& url);
    // Drops the request in flight without a report.
    void abort();
    bool isBusy() const { return m_busy; }

Q_SIGNALS:
    void finished(const tarnwel::HttpReply& reply);

private:
    void ask(const QUrl& url);
    void connectTo(const QUrl& url);
    void send();
    void readAnswer();
    void answered();
    bool followRedirect();
    void connectionEnded();
    void socketFailed(QAbstractSocket::SocketError error);
    void fail(QNetworkReply::NetworkError error, const QString& text);
    void finish(HttpReply reply);
    void dropConnection();

    Options m_options;
    QTimer* m_deadline = nullptr;
    QAbstractSocket* m_socket = nullptr; // the kept connection
    QUrl m_origin;                       // of m_socket
    QUrl m_url;                          // the hop being asked
    int m_hops = 0;
    bool m_busy = false;
    bool m_reused = false;   // the request went out on a connection that had served one
    bool m_starting = false; // inside get(): a failure is reported later
    quint64 m_generation = 0;
    std::optional<HttpResponseReader> m_response;
    QElapsedTimer m_clock;
};

} // namespace tarnwel
