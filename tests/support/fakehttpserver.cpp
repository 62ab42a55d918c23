// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehttpserver.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

} // namespace

FakeHttpServer::FakeHttpServer(QObject* parent)
    : QObject(parent)
    , m_server(new QTcpServer(this)) {
    m_default.status = 404;
    m_default.body = "not found";
    connect(m_server, &QTcpServer::newConnection, this, &FakeHttpServer::onNewConnection);
    if (!m_server->listen(QHostAddress::LocalHost, 0))
        qFatal("FakeHttpServer: cannot listen on 127.0.0.1");
}

FakeHttpServer::~FakeHttpServer() = default;

QUrl FakeHttpServer::baseUrl() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_server->serverPort()));
}

void FakeHttpServer::setResponse(const QString& path, const Response& response) {
    m_responses.insert(path, response);
}

void FakeHttpServer::setResponse(const QString& path, const QByteArray& body) {
    Response response;
    response.body = body;
    m_responses.insert(path, response);
}

void FakeHttpServer::setDefaultResponse(const Response& response) {
    m_default = response;
}

QStringList FakeHttpServer::requestPaths() const {
    QStringList paths;
    for (const Request& request : m_requests)
        paths.append(request.path);
    return paths;
}

void FakeHttpServer::onNewConnection() {
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        ++m_connections;
        m_buffers.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void FakeHttpServer::closeConnections() {
    const QList<QTcpSocket*> sockets = m_buffers.keys();
    for (QTcpSocket* socket : sockets)
        socket->disconnectFromHost();
}

void FakeHttpServer::onReadyRead(QTcpSocket* socket) {
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    buffer.remove(0, end + 4);

    Request request;
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.path = QString::fromLatin1(requestLine.value(1));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers.insert(line.left(colon).trimmed().toLower(),
                                   line.mid(colon + 1).trimmed());
    }
    m_requests.append(request);

    const Response response = m_responses.value(request.path, m_default);
    Q_EMIT requestReceived(request.path);
    if (response.hang)
        return;
    if (!response.raw.isEmpty()) {
        socket->write(response.raw);
        socket->disconnectFromHost();
        return;
    }
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                       reasonPhrase(response.status) + "\r\n";
    reply += "Content-Type: " + response.contentType + "\r\n";
    reply += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    for (const auto& [name, value] : response.headers)
        reply += name + ": " + value + "\r\n";
    reply += m_keepAlive ? "\r\n" : "Connection: close\r\n\r\n";
    reply += response.body;
    socket->write(reply);
    if (!m_keepAlive)
        socket->disconnectFromHost();
}
