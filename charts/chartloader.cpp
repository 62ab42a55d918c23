// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/chartloader.h"

#include "base/logging.h"

#include <QUrl>

namespace tarnwel {

ChartLoader::ChartLoader(QObject* parent)
    : QObject(parent) {
    m_options.maxBytes = kMaxBodyBytes;
    m_options.timeoutMs = 0;
    m_options.limit = Download::Limit::Idle;
    m_options.log = &lcChart;
}

void ChartLoader::setCacheDirectory(const QString& directory) {
    if (directory == m_options.cacheDirectory)
        return;
    m_options.cacheDirectory = directory;
    delete m_download;
    m_download = nullptr;
}

void ChartLoader::setTransferTimeout(int milliseconds) {
    m_options.timeoutMs = qMax(0, milliseconds);
    delete m_download;
    m_download = nullptr;
}

void ChartLoader::Navigate(const QString& address) {
    if (!m_download) {
        m_download = new Download(m_options, this);
        connect(m_download, &Download::finished, this, &ChartLoader::finished);
    }
    m_download->abort();
    Q_EMIT started(address);
    // No address: a chart that must not be asked for (a damaged code). It fails at once,
    // without a request, as a load that found nothing would.
    const QUrl url(address);
    if (address.isEmpty() || !url.isValid()) {
        qCDebug(lcChart) << "not requested: no valid chart address" << address;
        Q_EMIT failed();
        return;
    }
    m_download->get(url);
}

void ChartLoader::finished(const Download::Reply& reply) {
    if (!reply.delivered()) {
        qCDebug(lcChart).noquote() << "failed:" << reply.errorString;
        Q_EMIT failed();
        return;
    }
    Q_EMIT loaded(*reply.body);
}

} // namespace tarnwel
