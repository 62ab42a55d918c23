// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/chartview.h"

#include <QBuffer>
#include <QImageReader>
#include <QMovie>
#include <QPainter>

namespace tarnwel {

ChartView::ChartView(QWidget* parent)
    : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

ChartView::~ChartView() = default;

QString ChartView::noticeText() {
    return QStringLiteral("图表暂时无法显示");
}

void ChartView::showLoading(const QString& address) {
    m_lastAddress = address;
    m_state = State::Loading;
}

void ChartView::showPicture(const QByteArray& bytes) {
    if (!decodePicture(bytes)) {
        showFailure();
        return;
    }
    m_state = State::Shown;
    m_failed = false;
    update();
    Q_EMIT loadFinished(true);
}

void ChartView::showFailure() {
    clearPicture();
    m_state = State::Failed;
    m_failed = true;
    update();
    Q_EMIT loadFinished(false);
}

bool ChartView::decodePicture(const QByteArray& bytes) {
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
