// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/cappedreader.h"

#include <QNetworkReply>
#include <QNetworkRequest>

#include <utility>

namespace tarnwel {

CappedReader::CappedReader(QNetworkReply* reply, qint64 maxBytes)
    : QObject(reply)
    , m_reply(reply)
    , m_maxBytes(maxBytes) {
    connect(reply, &QNetworkReply::metaDataChanged, this, [this] {
        bool known = false;
        const qint64 length =
            m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        if (known && length > m_maxBytes)
            refuse();
    });
    connect(reply, &QNetworkReply::readyRead, this, &CappedReader::readAvailable);
}

void CappedReader::readAvailable() {
    if (m_exceeded)
        return;
    // One byte past the limit is enough to know the body is too large.
    m_body += m_reply->read(qMax<qint64>(m_maxBytes + 1 - m_body.size(), 0));
    if (m_body.size() > m_maxBytes)
        refuse();
}

void CappedReader::refuse() {
    if (m_exceeded)
        return;
    m_exceeded = true;
    m_body = QByteArray();
    Q_EMIT tooLarge();
}

std::optional<QByteArray> CappedReader::takeBody() {
    if (!m_exceeded && m_reply->isOpen())
        readAvailable();
    if (m_exceeded)
        return std::nullopt;
    return std::exchange(m_body, {});
}

void restrictRedirects(QNetworkRequest& request) {
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::SameOriginRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
}

} // namespace tarnwel
