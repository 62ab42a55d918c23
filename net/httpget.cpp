// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/httpget.h"

#include "base/logging.h"
#include "net/cappedreader.h"

#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

namespace tarnwel {

namespace {

QNetworkReply::NetworkError networkErrorOf(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QNetworkReply::ConnectionRefusedError;
    case QAbstractSocket::HostNotFoundError:
        return QNetworkReply::HostNotFoundError;
    case QAbstractSocket::RemoteHostClosedError:
        return QNetworkReply::RemoteHostClosedError;
    case QAbstractSocket::SocketTimeoutError:
        return QNetworkReply::TimeoutError;
    case QAbstractSocket::SslHandshakeFailedError:
        return QNetworkReply::SslHandshakeFailedError;
    case QAbstractSocket::ProxyConnectionRefusedError:
        return QNetworkReply::ProxyConnectionRefusedError;
    case QAbstractSocket::ProxyNotFoundError:
        return QNetworkReply::ProxyNotFoundError;
    case QAbstractSocket::ProxyAuthenticationRequiredError:
        return QNetworkReply::ProxyAuthenticationRequiredError;
    default:
        return QNetworkReply::UnknownNetworkError;
    }
}

bool isHttps(const QUrl& url) {
    return url.scheme() == u"https";
}

// Scheme, host and port: what a connection goes to and what a redirect must keep.
QUrl originOf(const QUrl& url) {
    QUrl origin;
    origin.setScheme(url.scheme());
    origin.setHost(url.host());
    origin.setPort(url.port(isHttps(url) ? 443 : 80));
    return origin;
}

// Path and query as sent on the request line; nothing when a byte there could end it.
std::optional<QByteArray> requestTarget(const QUrl& url) {
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    for (const char c : std::as_const(target)) {
        if (uchar(c) <= 0x20 || uchar(c) >= 0x7f)
            return std::nullopt;
    }
    return target;
}

QByteArray hostHeader(const QUrl& url) {
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url.port() != -1 && url.port() != (isHttps(url) ? 443 : 80))
        host += ':' + QByteArray::number(url.port());
    return host;
}

} // namespace

HttpGet::HttpGet(Options options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_deadline(new QTimer(this)) {
    if (!m_options.log)
        m_options.log = &lcFeed;
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this, [this] {
        dropConnection();
        HttpReply reply;
        reply.url = m_url;
        reply.body = QByteArray();
        reply.error = QNetworkReply::OperationCanceledError;
        reply.errorString = QStringLiteral("no whole answer in time");
        reply.timedOut = true;
        finish(std::move(reply));
    });
}

HttpGet::~HttpGet() {
    abort();
    dropConnection();
}

void HttpGet::get(const QUrl& url) {
    abort();
    qCDebug(m_options.log).noquote() << "GET" << url.toString(QUrl::FullyEncoded);
    m_busy = true;
    m_hops = 0;
    m_clock.start();
    if (m_options.timeoutMs > 0)
        m_deadline->start(m_options.timeoutMs);
    m_starting = true;
    ask(url);
    m_starting = false;
}

void HttpGet::abort() {
    ++m_generation;
    m_deadline->stop();
    if (!m_busy)
        return;
    m_busy = false;
    // An answer still owed on the connection would be read as the next one's.
    dropConnection();
    m_response.reset();
}

void HttpGet::ask(const QUrl& url) {
    m_url = url;
    if (url.scheme() != u"http" && !isHttps(url)) {
        fail(QNetworkReply::ProtocolUnknownError, QStringLiteral("not an HTTP address"));
        return;
    }
    if (m_socket && originOf(url) == m_origin &&
        m_socket->state() == QAbstractSocket::ConnectedState) {
        m_reused = true;
        send();
        return;
    }
    dropConnection();
    connectTo(url);
}

void HttpGet::connectTo(const QUrl& url) {
    m_reused = false;
    m_origin = originOf(url);
    const quint16 port = quint16(m_origin.port());
    if (isHttps(url)) {
        auto* socket = new QSslSocket(this);
        m_socket = socket;
        connect(socket, &QSslSocket::encrypted, this, &HttpGet::send);
        socket->connectToHostEncrypted(url.host(), port);
    } else {
        m_socket = new QTcpSocket(this);
        connect(m_socket, &QAbstractSocket::connected, this, &HttpGet::send);
        m_socket->connectToHost(url.host(), port);
    }
    connect(m_socket, &QAbstractSocket::readyRead, this, &HttpGet::readAnswer);
    connect(m_socket, &QAbstractSocket::disconnected, this, &HttpGet::connectionEnded);
    connect(m_socket, &QAbstractSocket::errorOccurred, this, &HttpGet::socketFailed);
}

void HttpGet::send() {
    const std::optional<QByteArray> target = requestTarget(m_url);
    if (!target) {
        fail(QNetworkReply::ProtocolInvalidOperationError, QStringLiteral("address not sendable"));
        return;
    }
    QByteArray request = "GET " + *target + " HTTP/1.1\r\nHost: " + hostHeader(m_url) + "\r\n";
    // The quote service answers only requests that name the page they come from.
    if (!m_options.referer.isEmpty())
        request += "Referer: " + m_options.referer + "\r\n";
    request += "User-Agent: Mozilla/5.0\r\nAccept: */*\r\nConnection: keep-alive\r\n\r\n";
    m_response.emplace(m_options.maxBytes);
    m_socket->write(request);
    m_socket->flush();
}

void HttpGet::readAnswer() {
    const QByteArray bytes = m_socket->readAll();
    if (!m_busy || !m_response) {
        // Nothing is owed on an idle connection: it is not one to keep.
        dropConnection();
        return;
    }
    switch (m_response->feed(bytes)) {
    case HttpResponseReader::State::Reading:
        break;
    case HttpResponseReader::State::Done:
        answered();
        break;
    case HttpResponseReader::State::Malformed:
        fail(QNetworkReply::ProtocolFailure, QStringLiteral("not an HTTP answer"));
        break;
    }
}

void HttpGet::answered() {
    if (!m_response->keepsConnection())
        dropConnection();
    if (followRedirect())
        return;
    HttpReply reply;
    reply.url = m_url;
    reply.httpStatus = m_response->status();
    reply.body = m_response->body();
    if (!reply.body)
        qCDebug(m_options.log) << "refused: more than" << m_options.maxBytes << "bytes";
    finish(std::move(reply));
}

// Within the origin asked only, and no more than kMaxRedirects times: another origin would
// receive our headers, and its answer would be shown as if the service had sent it.
bool HttpGet::followRedirect() {
    const int status = m_response->status();
    const QByteArray location = m_response->header("location");
    if ((status < 301 || status > 308 || status == 304 || status == 305 || status == 306) ||
        location.isEmpty())
        return false;
    const QUrl target = m_url.resolved(QUrl::fromEncoded(location));
    if (!target.isValid())
        return false;
    if (originOf(target) != originOf(m_url)) {
        fail(QNetworkReply::InsecureRedirectError, QStringLiteral("redirect to another origin"));
        return true;
    }
    if (m_hops == kMaxRedirects) {
        fail(QNetworkReply::TooManyRedirectsError, QStringLiteral("too many redirects"));
        return true;
    }
    ++m_hops;
    qCDebug(m_options.log).noquote() << "redirected to" << target.toString(QUrl::FullyEncoded);
    m_response.reset();
    ask(target);
    return true;
}

void HttpGet::connectionEnded() {
    if (m_busy && m_response && m_socket && m_socket->bytesAvailable() > 0) {
        readAnswer();
        if (!m_busy || !m_socket)
            return;
    }
    if (!m_busy || !m_response) {
        // The service let an idle connection go, or it ended before our request went out.
        if (m_busy && !m_response)
            fail(QNetworkReply::RemoteHostClosedError, QStringLiteral("connection closed"));
        else
            dropConnection();
        return;
    }
    if (!m_response->started() && m_reused) {
        // The service had closed the kept connection as our request left: once more, afresh.
        dropConnection();
        connectTo(m_url);
        return;
    }
    if (m_response->closed() == HttpResponseReader::State::Done) {
        answered();
        return;
    }
    fail(QNetworkReply::RemoteHostClosedError, QStringLiteral("connection closed mid-answer"));
}

void HttpGet::socketFailed(QAbstractSocket::SocketError error) {
    if (error == QAbstractSocket::RemoteHostClosedError) {
        connectionEnded();
        return;
    }
    if (!m_busy) {
        dropConnection();
        return;
    }
    fail(networkErrorOf(error), m_socket ? m_socket->errorString() : QString());
}

void HttpGet::fail(QNetworkReply::NetworkError error, const QString& text) {
    dropConnection();
    HttpReply reply;
    reply.url = m_url;
    reply.body = QByteArray();
    reply.error = error;
    reply.errorString = text;
    if (!m_starting) {
        finish(std::move(reply));
        return;
    }
    // Reported like any answer: after get() has returned.
    QTimer::singleShot(0, this, [this, generation = m_generation, reply = std::move(reply)] {
        if (generation == m_generation)
            finish(reply);
    });
}

void HttpGet::finish(HttpReply reply) {
    if (!m_busy)
        return;
    m_busy = false;
    m_deadline->stop();
    m_response.reset();
    qCDebug(m_options.log).noquote()
        << "status" << reply.httpStatus << "size" << (reply.body ? reply.body->size() : -1)
        << "bytes in" << m_clock.elapsed() << "ms from" << reply.url.toString(QUrl::FullyEncoded);
    Q_EMIT finished(reply);
}

void HttpGet::dropConnection() {
    if (!m_socket)
        return;
    QAbstractSocket* socket = std::exchange(m_socket, nullptr);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

} // namespace tarnwel
