// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/download.h"

#include "net/cappedreader.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

namespace tarnwel {

namespace {

// Keeps downloads for revalidation only. Whatever freshness the service grants, every
// request asks it again, conditionally, so an unchanged chart costs no more than a
// "304 Not Modified": charts change by the minute, and a refresh the user asks for must
// reach the service rather than be answered from the disk.
class RevalidatingCache : public QNetworkDiskCache {
public:
    using QNetworkDiskCache::QNetworkDiskCache;

    QIODevice* prepare(const QNetworkCacheMetaData& metaData) override {
        return QNetworkDiskCache::prepare(stale(metaData));
    }
    void updateMetaData(const QNetworkCacheMetaData& metaData) override {
        QNetworkDiskCache::updateMetaData(stale(metaData));
    }

private:
    static QNetworkCacheMetaData stale(QNetworkCacheMetaData metaData) {
        metaData.setExpirationDate(QDateTime::fromSecsSinceEpoch(0));
        return metaData;
    }
};

// One manager, and so one network thread, for every download without a cache of its own.
// The quote requests do not come here: they are asked on the program's own thread.
QNetworkAccessManager* sharedNetwork() {
    static QPointer<QNetworkAccessManager> shared;
    if (!shared)
        shared = new QNetworkAccessManager(QCoreApplication::instance());
    return shared;
}

} // namespace

Download::Download(Options options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_network(m_options.cacheDirectory.isEmpty() ? sharedNetwork()
                                                   : new QNetworkAccessManager(this))
    , m_deadline(new QTimer(this)) {
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this, [this] {
        if (!m_reply)
            return;
        m_timedOut = true;
        m_reply->abort();
    });
    setCache(m_options.cacheDirectory);
}

Download::~Download() {
    abort();
}

void Download::setCache(const QString& directory) {
    if (directory.isEmpty())
        return;
    auto* cache = new RevalidatingCache(m_network);
    cache->setCacheDirectory(directory);
    m_network->setCache(cache);
}

void Download::get(const QUrl& url) {
    abort();
    QNetworkRequest request(url);
    if (!m_network->cache())
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                             QNetworkRequest::AlwaysNetwork);
    if (m_options.limit == Limit::Idle)
        request.setTransferTimeout(m_options.timeoutMs);
    restrictRedirects(request);
    // The quote service answers only requests that name the page they come from.
    if (!m_options.referer.isEmpty())
        request.setRawHeader("Referer", m_options.referer);

    qCDebug(m_options.log).noquote() << "GET" << url.toString(QUrl::FullyEncoded);
    m_clock.start();
    m_timedOut = false;
    QNetworkReply* reply = m_network->get(request);
    m_reply = reply;
    m_reader = new CappedReader(reply, m_options.maxBytes);
    connect(m_reader, &CappedReader::tooLarge, reply, [this, reply] {
        qCDebug(m_options.log) << "refused: more than" << m_options.maxBytes << "bytes";
        reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { onFinished(reply); });
    if (m_options.limit == Limit::Whole && m_options.timeoutMs > 0)
        m_deadline->start(m_options.timeoutMs);
}

void Download::abort() {
    m_deadline->stop();
    if (QNetworkReply* reply = m_reply) {
        m_reply = nullptr;
        // The replaced download must not report: only the latest request counts.
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void Download::onFinished(QNetworkReply* reply) {
    if (reply != m_reply)
        return;
    m_deadline->stop();
    m_reply = nullptr;
    reply->deleteLater();

    Reply result;
    result.url = reply->url();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    result.httpStatus = status.isValid() ? status.toInt() : 0;
    result.body = m_reader->takeBody();
    result.error = reply->error();
    result.errorString = reply->errorString();
    result.timedOut = m_timedOut;
    qCDebug(m_options.log).noquote()
        << "status" << result.httpStatus << "size" << (result.body ? result.body->size() : -1)
        << "bytes in" << m_clock.elapsed() << "ms from" << result.url.toString(QUrl::FullyEncoded);
    Q_EMIT finished(result);
}

} // namespace tarnwel
