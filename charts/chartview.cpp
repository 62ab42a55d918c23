#include "charts/chartview.h"

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

#include <utility>

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
    if (address.isEmpty())
        return;
    abortLoad();
    m_lastAddress = address;
    m_body.clear();
    m_state = State::Loading;

    QNetworkRequest request{QUrl(address)};
    request.setTransferTimeout(m_transferTimeout);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &ChartView::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &ChartView::onFinished);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        // Refuse an oversized picture before any of it arrives.
        bool known = false;
        const qint64 length =
            m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        if (known && length > kMaxBodyBytes)
            fail();
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

void ChartView::onReadyRead() {
    if (!m_reply)
        return;
    const qint64 room = kMaxBodyBytes + 1 - m_body.size();
    m_body += m_reply->read(qMax<qint64>(room, 0));
    if (m_body.size() > kMaxBodyBytes)
        fail();
}

void ChartView::onFinished() {
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    if (reply->isOpen())
        m_body += reply->read(qMax<qint64>(kMaxBodyBytes + 1 - m_body.size(), 0));

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int code = status.isValid() ? status.toInt() : 200;
    const bool delivered = reply->error() == QNetworkReply::NoError && code >= 200 && code < 300 &&
                           m_body.size() <= kMaxBodyBytes;
    const QByteArray body = std::exchange(m_body, {});
    if (!delivered || !showPicture(body)) {
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
    m_body.clear();
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
