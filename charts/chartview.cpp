#include "charts/chartview.h"

#include "base/logging.h"
#include "net/cappedreader.h"

#include <QBuffer>
#include <QDateTime>
#include <QImageReader>
#include <QMovie>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainter>
#include <QUrl>

namespace tarnwel {

namespace {

// Keeps chart images for revalidation only. Whatever freshness the service grants, every
// navigation asks it again, conditionally, so an unchanged chart costs no more than a
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

} // namespace

ChartView::ChartView(QWidget* parent)
    : QWidget(parent)
    , m_network(new QNetworkAccessManager(this)) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

ChartView::~ChartView() {
    abortLoad();
}

QString ChartView::noticeText() {
    return QStringLiteral("图表暂时无法显示");
}

void ChartView::setCacheDirectory(const QString& directory) {
    if (directory == m_cacheDirectory)
        return;
    m_cacheDirectory = directory;
    if (directory.isEmpty()) {
        m_network->setCache(nullptr); // deletes the old cache
        return;
    }
    auto* cache = new RevalidatingCache(m_network);
    cache->setCacheDirectory(directory);
    m_network->setCache(cache);
}

void ChartView::setTransferTimeout(int milliseconds) {
    m_transferTimeout = qMax(0, milliseconds);
}

void ChartView::Navigate(const QString& address) {
    abortLoad();
    m_lastAddress = address;
    // No address: a chart that must not be asked for (a damaged code). It fails at once,
    // without a request, as a load that found nothing would.
    const QUrl url(address);
    if (address.isEmpty() || !url.isValid()) {
        qCDebug(lcChart) << "not requested: no valid chart address" << address;
        fail();
        return;
    }
    m_state = State::Loading;

    QNetworkRequest request(url);
    request.setTransferTimeout(m_transferTimeout);
    restrictRedirects(request);
    qCDebug(lcChart).noquote() << "GET" << url.toString(QUrl::FullyEncoded);
    m_clock.start();
    m_reply = m_network->get(request);
    m_reader = new CappedReader(m_reply, kMaxBodyBytes);
    connect(m_reply, &QNetworkReply::finished, this, &ChartView::onFinished);
    // Refused before any more of an oversized picture arrives.
    connect(m_reader, &CappedReader::tooLarge, this, [this, reply = m_reply.data()] {
        if (reply == m_reply) {
            qCDebug(lcChart) << "refused: more than" << kMaxBodyBytes << "bytes";
            fail();
        }
    });
}

void ChartView::abortLoad() {
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    // The replaced load must not report: only the latest navigation counts.
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void ChartView::onFinished() {
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    const std::optional<QByteArray> body = m_reader->takeBody();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int code = status.isValid() ? status.toInt() : 200;
    const bool delivered =
        reply->error() == QNetworkReply::NoError && code >= 200 && code < 300 && body;
    qCDebug(lcChart).noquote() << "status" << code << "size" << (body ? body->size() : -1)
                               << "bytes in" << m_clock.elapsed() << "ms from"
                               << reply->url().toString(QUrl::FullyEncoded);
    if (!delivered)
        qCDebug(lcChart).noquote() << "failed:" << reply->errorString();
    if (!delivered || !showPicture(*body)) {
        fail();
        return;
    }
    m_state = State::Shown;
    m_failed = false;
    update();
    Q_EMIT loadFinished(true);
}

void ChartView::fail() {
    abortLoad();
    clearPicture();
    m_state = State::Failed;
    m_failed = true;
    update();
    Q_EMIT loadFinished(false);
}

bool ChartView::showPicture(const QByteArray& bytes) {
    QBuffer probe;
    probe.setData(bytes);
    probe.open(QIODevice::ReadOnly);
    QImageReader reader(&probe);
    reader.setDecideFormatFromContent(true);
    const bool animated = reader.supportsAnimation() && reader.imageCount() != 1;
    const QImage first = reader.read();
    if (first.isNull())
        return false;

    clearPicture();
    m_still = QPixmap::fromImage(first);
    if (animated) {
        m_movieData = new QBuffer(this);
        m_movieData->setData(bytes);
        m_movieData->open(QIODevice::ReadOnly);
        m_movie = new QMovie(m_movieData, QByteArray(), this);
        connect(m_movie, &QMovie::frameChanged, this, [this] { update(); });
        m_movie->start();
    }
    return true;
}

void ChartView::clearPicture() {
    delete m_movie;
    m_movie = nullptr;
    delete m_movieData;
    m_movieData = nullptr;
    m_still = QPixmap();
}

QPixmap ChartView::currentPicture() const {
    if (m_movie && !m_movie->currentPixmap().isNull())
        return m_movie->currentPixmap();
    return m_still;
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QPoint origin(kBorder + kPageMargin, kBorder + kPageMargin);
    if (m_failed) {
        painter.setPen(QColor(0x55, 0x55, 0x55));
        const QRect area = rect().adjusted(origin.x(), origin.y(), -origin.x(), -origin.y());
        painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, noticeText());
        return;
    }
    // One picture pixel to a logical pixel, as at 100 %: on a denser screen the service's
    // bitmap is enlarged smoothly rather than in blocks, and covers the same area.
    const QPixmap picture = currentPicture();
    if (!picture.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(QRect(origin, picture.size()), picture);
    }
}

} // namespace tarnwel
