// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "net/httpreply.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;
class QTimer;

namespace tarnwel {

class CappedReader;

// One download at a time through Qt's network thread, for the charts: a size cap, a time
// limit, redirects kept to the origin asked, a disk cache when given a directory, and one
// log line going out and one coming back (quotes are asked through HttpGet). Asking again
// supersedes the download in flight: its answer is never reported. Each get() reports
// exactly once, after it has returned.
class Download : public QObject {
    Q_OBJECT
public:
    using Category = const QLoggingCategory& (*)();
    enum class Limit {
        Whole, // the whole transfer, however slowly its bytes trickle in
        Idle,  // a transfer that moves no data for this long
    };

    struct Options {
        qint64 maxBytes = 0;
        int timeoutMs = 60000; // 0: no limit
        Limit limit = Limit::Whole;
        QByteArray referer;     // empty: no Referer header
        QString cacheDirectory; // empty: always the network, no disk cache
        Category log = nullptr;
    };

    using Reply = HttpReply;

    explicit Download(Options options, QObject* parent = nullptr);
    ~Download() override;

    void get(const QUrl& url);
    // Drops the download in flight without a report.
    void abort();
    bool isBusy() const { return m_reply != nullptr; }

Q_SIGNALS:
    void finished(const tarnwel::Download::Reply& reply);

private:
    void setCache(const QString& directory);
    void onFinished(QNetworkReply* reply);

    Options m_options;
    QNetworkAccessManager* m_network = nullptr;
    QTimer* m_deadline = nullptr;
    QPointer<QNetworkReply> m_reply;
    CappedReader* m_reader = nullptr; // of m_reply
    QElapsedTimer m_clock;
    bool m_timedOut = false;
};

} // namespace tarnwel
