// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

class QTcpServer;
class QTcpSocket;

// A small HTTP/1.1 server on 127.0.0.1 that stands in for the quote and chart services.
// Each path answers with a scripted response; every request is recorded.
class FakeHttpServer : public QObject {
    Q_OBJECT
public:
    struct Response {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "text/html; charset=GBK";
        bool hang = false;                                 // accept the request and never answer
        QList<QPair<QByteArray, QByteArray>> headers = {}; // more header lines, e.g. Location
        QByteArray raw = {}; // when set, sent as it stands in place of a response, then closed
    };
    struct Request {
        QByteArray method;
        QString path;
        QHash<QByteArray, QByteArray> headers; // names in lower case
    };

    explicit FakeHttpServer(QObject* parent = nullptr);
    ~FakeHttpServer() override;

    // http://127.0.0.1:<port>/
    QUrl baseUrl() const;

    void setResponse(const QString& path, const Response& response);
    void setResponse(const QString& path, const QByteArray& body);
    // For paths without a response of their own; 404 unless set.
    void setDefaultResponse(const Response& response);

    // Keep connections open after each answer, as the real services do.
    void setKeepAlive(bool keep) { m_keepAlive = keep; }
    // Closes every open connection, as a service does with idle ones.
    void closeConnections();
    int connectionCount() const { return m_connections; }

    const QList<Request>& requests() const { return m_requests; }
    QStringList requestPaths() const;
    void clearRequests() { m_requests.clear(); }

Q_SIGNALS:
    void requestReceived(const QString& path);

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);

    QTcpServer* m_server;
    QHash<QString, Response> m_responses;
    Response m_default;
    QList<Request> m_requests;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    bool m_keepAlive = false;
    int m_connections = 0;
};
