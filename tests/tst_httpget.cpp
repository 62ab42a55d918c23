// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehttpserver.h"
#include "net/httpget.h"
#include "net/httpresponse.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarnwel;

Q_DECLARE_METATYPE(tarnwel::HttpResponseReader::State)

namespace {

using State = HttpResponseReader::State;

HttpReply replyOf(const QSignalSpy& spy) {
    return spy.last().at(0).value<HttpReply>();
}

} // namespace

class TestHttpGet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reader_data();
    void reader();
    void keptConnectionCarriesTheNext();
    void closedKeptConnectionIsOpenedAgain();
    void failureBeforeSending();
    void brokenAnswers_data();
    void brokenAnswers();
};

void TestHttpGet::reader_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("thenClosed"); // the connection ends after the bytes
    QTest::addColumn<State>("state");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body"); // "<too large>": refused
    QTest::addColumn<bool>("kept");

    const QByteArray tooLarge = "<too large>";
    const qsizetype kMaxHead = HttpResponseReader::kMaxHeadBytes;
    QTest::newRow("length, 1.1 keeps the connection")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello") << false << State::Done
        << 200 << QByteArray("hello") << true;
    QTest::newRow("1.1 asked to close")
        << QByteArray("HTTP/1.1 200 OK\r\nConnection: Close\r\nContent-Length: 2\r\n\r\nhi")
        << false << State::Done << 200 << QByteArray("hi") << false;
    QTest::newRow("1.0 closes unless asked to keep")
        << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nhi") << false << State::Done
        << 200 << QByteArray("hi") << false;
    QTest::newRow("1.0 keep-alive, bare line ends")
        << QByteArray("HTTP/1.0 200 OK\nConnection: keep-alive\nContent-Length: 2\n\nhi") << false
        << State::Done << 200 << QByteArray("hi") << true;
    QTest::newRow("chunks, extension and trailer")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                      "3;x=y\r\nabc\r\nA\r\n0123456789\r\n0\r\nX-End: 1\r\n\r\n")
        << false << State::Done << 200 << QByteArray("abc0123456789") << true;
    QTest::newRow("to the end of the connection")
        << QByteArray("HTTP/1.1 200 OK\r\n\r\nvar a=1;") << true << State::Done << 200
        << QByteArray("var a=1;") << false;
    QTest::newRow("interim answer skipped")
        << QByteArray("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 403 Forbidden\r\n"
                      "Content-Length: 0\r\n\r\n")
        << false << State::Done << 403 << QByteArray() << true;
    QTest::newRow("interim answer's headers dropped")
        << QByteArray("HTTP/1.1 103 Early Hints\r\nConnection: close\r\n\r\nHTTP/1.1 200 OK\r\n"
                      "Content-Length: 1\r\n\r\nx")
        << false << State::Done << 200 << QByteArray("x") << true;
    QTest::newRow("switching protocols is no interim answer")
        << QByteArray("HTTP/1.1 101 Switching Protocols\r\n\r\n") << false << State::Malformed
        << 101 << QByteArray() << false;
    QTest::newRow("status line without a reason, 599")
        << QByteArray("HTTP/1.1 599\r\nContent-Length: 0\r\n\r\n") << false << State::Done << 599
        << QByteArray() << true;
    QTest::newRow("a header given twice")
        << QByteArray("HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nSet-Cookie: b=2\r\n"
                      "Content-Length: 1\r\n\r\nx")
        << false << State::Done << 200 << QByteArray("x") << true;
    QTest::newRow("stray line end first")
        << QByteArray("\r\nHTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nx") << false << State::Done
        << 200 << QByteArray("x") << true;
    QTest::newRow("no content") << QByteArray("HTTP/1.1 204 No Content\r\n\r\n") << false
                                << State::Done << 204 << QByteArray() << true;
    QTest::newRow("not modified") << QByteArray("HTTP/1.1 304 Not Modified\r\n\r\n") << false
                                  << State::Done << 304 << QByteArray() << true;
    QTest::newRow("chunked after another coding")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n"
                      "3\r\nabc\r\n0\r\n\r\n")
        << false << State::Done << 200 << QByteArray("abc") << true;
    QTest::newRow("length exactly the cap")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 16\r\n\r\n" + QByteArray(16, ','))
        << false << State::Done << 200 << QByteArray(16, ',') << true;
    QTest::newRow("length over the cap: refused before the body")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 17\r\n\r\n") << false << State::Done
        << 200 << tooLarge << false;
    QTest::newRow("chunks exactly the cap")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nF\r\n" +
                      QByteArray(15, ',') + "\r\n1\r\n,\r\n0\r\n\r\n")
        << false << State::Done << 200 << QByteArray(16, ',') << true;
    QTest::newRow("chunk size in 15 digits, over the cap")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n0000000000000f9\r\n")
        << false << State::Done << 200 << tooLarge << false;
    QTest::newRow("chunks over the cap")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n10\r\n" +
                      QByteArray(16, ',') + "\r\n1\r\n")
        << false << State::Done << 200 << tooLarge << false;
    QTest::newRow("to the end, over the cap")
        << QByteArray("HTTP/1.1 200 OK\r\n\r\n" + QByteArray(17, ',')) << false << State::Done
        << 200 << tooLarge << false;
    QTest::newRow("to the end, exactly the cap")
        << QByteArray("HTTP/1.1 200 OK\r\n\r\n" + QByteArray(16, ',')) << true << State::Done << 200
        << QByteArray(16, ',') << false;
    QTest::newRow("bytes after the answer: not kept")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nxHTTP/1.1") << false
        << State::Done << 200 << QByteArray("x") << false;
    QTest::newRow("not HTTP") << QByteArray("var hq_str_sh600028=\"\";\n") << false
                              << State::Malformed << 0 << QByteArray() << false;
    QTest::newRow("HTTP/2 status line") << QByteArray("HTTP/2 200\r\n\r\n") << false
                                        << State::Malformed << 0 << QByteArray() << false;
    QTest::newRow("four-digit status") << QByteArray("HTTP/1.1 2000\r\n\r\n") << false
                                       << State::Malformed << 0 << QByteArray() << false;
    QTest::newRow("header without a name") << QByteArray("HTTP/1.1 200 OK\r\n: x\r\n\r\n") << false
                                           << State::Malformed << 200 << QByteArray() << false;
    QTest::newRow("two lengths")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab")
        << false << State::Malformed << 200 << QByteArray() << false;
    QTest::newRow("signed length") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n")
                                   << false << State::Malformed << 200 << QByteArray() << false;
    QTest::newRow("chunk size not hex")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n") << false
        << State::Malformed << 200 << QByteArray() << false;
    QTest::newRow("chunk size in 16 digits")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n000000000000000F\r\n")
        << false << State::Malformed << 200 << QByteArray() << false;
    QTest::newRow("chunk longer than its size")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nab\r\n0\r\n\r\n")
        << false << State::Malformed << 200 << QByteArray() << false;
    QTest::newRow("head exactly the limit")
        << QByteArray("HTTP/1.1 200 OK\r\nX: " + QByteArray(kMaxHead - 43, 'a') +
                      "\r\nContent-Length: 0\r\n\r\n")
        << false << State::Done << 200 << QByteArray() << true;
    QTest::newRow("line exactly the limit, unfinished")
        << QByteArray(kMaxHead, 'a') << false << State::Reading << 0 << QByteArray() << false;
    QTest::newRow("chunk extension past the limit, in one piece")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1;" +
                      QByteArray(17000, 'x') + "\r\nx\r\n0\r\n\r\n")
        << false << State::Malformed << 200 << QByteArray() << false;
    QTest::newRow("endless head") << QByteArray("HTTP/1.1 200 OK\r\nX: " + QByteArray(20000, 'a'))
                                  << false << State::Malformed << 200 << QByteArray() << false;
    QTest::newRow("cut short by the close")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nabc") << true << State::Malformed
        << 200 << QByteArray() << false;
}

// Whole, and a byte at a time: the pieces a connection delivers never change the answer.
void TestHttpGet::reader() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, thenClosed);
    QFETCH(State, state);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, kept);

    for (const bool piecewise : {false, true}) {
        HttpResponseReader reader(16);
        if (piecewise) {
            for (const char c : std::as_const(bytes))
                reader.feed(QByteArrayView(&c, 1));
        } else {
            reader.feed(bytes);
        }
        if (thenClosed)
            reader.closed();
        QCOMPARE(reader.state(), state);
        QCOMPARE(reader.status(), status);
        if (state != State::Done)
            continue;
        QCOMPARE(reader.body().value_or("<too large>"), body);
        QCOMPARE(reader.keepsConnection(), kept);
    }
}

void TestHttpGet::keptConnectionCarriesTheNext() {
    FakeHttpServer server;
    server.setKeepAlive(true);
    server.setDefaultResponse({200, QByteArray("a,1,2"), "text/plain", false, {}});
    // No time limit (0) is none, not one that has run out.
    HttpGet http({1024, 0, "https://quotes.example/", nullptr});
    QSignalSpy done(&http, &HttpGet::finished);
    for (const char* path : {"list=sh000001", "list=sz399001", "list=sh600028"}) {
        http.get(server.baseUrl().resolved(QUrl(QString::fromLatin1(path))));
        QVERIFY(done.wait(5000));
        QVERIFY(replyOf(done).delivered());
        QCOMPARE(*replyOf(done).body, QByteArray("a,1,2"));
    }
    QCOMPARE(server.connectionCount(), 1);
    QCOMPARE(server.requests().last().headers.value("referer"), "https://quotes.example/");
    QCOMPARE(server.requests().last().headers.value("host"),
             "127.0.0.1:" + QByteArray::number(server.baseUrl().port()));
}

// The service lets an idle connection go, as real ones do after a few seconds: the next
// request is answered all the same, over a new one.
void TestHttpGet::closedKeptConnectionIsOpenedAgain() {
    FakeHttpServer server;
    server.setKeepAlive(true);
    server.setDefaultResponse({200, QByteArray("a,1,2"), "text/plain", false, {}});
    HttpGet http({1024, 2000, {}, nullptr});
    QSignalSpy done(&http, &HttpGet::finished);
    http.get(server.baseUrl());
    QVERIFY(done.wait(5000));
    server.closeConnections();
    http.get(server.baseUrl());
    QVERIFY(done.wait(5000));
    QVERIFY(replyOf(done).delivered());
    QCOMPARE(server.connectionCount(), 2);
    QCOMPARE(done.count(), 2);
}

// A request that cannot go out reports after get() has returned, and not at all once
// a newer one has taken its place.
void TestHttpGet::failureBeforeSending() {
    HttpGet http({1024, 2000, {}, nullptr});
    QSignalSpy done(&http, &HttpGet::finished);
    http.get(QUrl(QStringLiteral("ftp://127.0.0.1/list=sh600028")));
    QCOMPARE(done.count(), 0);
    QVERIFY(done.wait(5000));
    QCOMPARE(replyOf(done).error, QNetworkReply::ProtocolUnknownError);

    FakeHttpServer server;
    server.setDefaultResponse({200, QByteArray("a,1,2"), "text/plain", false, {}});
    http.get(QUrl(QStringLiteral("ftp://127.0.0.1/list=sh600028")));
    http.get(server.baseUrl());
    QVERIFY(done.wait(5000));
    QCOMPARE(done.count(), 2);
    QVERIFY(replyOf(done).delivered());
}

void TestHttpGet::brokenAnswers_data() {
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QNetworkReply::NetworkError>("error");

    QTest::newRow("closed before an answer")
        << QByteArray() << QNetworkReply::RemoteHostClosedError;
    QTest::newRow("closed mid-body")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\nvar hq_str")
        << QNetworkReply::RemoteHostClosedError;
    QTest::newRow("308 to another origin")
        << QByteArray("HTTP/1.1 308 Permanent Redirect\r\nLocation: http://other.invalid/\r\n"
                      "Content-Length: 0\r\n\r\n")
        << QNetworkReply::InsecureRedirectError;
    QTest::newRow("not HTTP") << QByteArray("SSH-2.0-OpenSSH\r\n\r\n")
                              << QNetworkReply::ProtocolFailure;
}

void TestHttpGet::brokenAnswers() {
    QFETCH(QByteArray, raw);
    QFETCH(QNetworkReply::NetworkError, error);

    FakeHttpServer server;
    FakeHttpServer::Response response;
    response.raw = raw.isEmpty() ? QByteArray() : raw;
    response.hang = raw.isEmpty();
    server.setDefaultResponse(response);
    HttpGet http({1024, 2000, {}, nullptr});
    QSignalSpy done(&http, &HttpGet::finished);
    QSignalSpy received(&server, &FakeHttpServer::requestReceived);
    http.get(server.baseUrl());
    if (raw.isEmpty()) {
        QVERIFY(received.wait(5000));
        server.closeConnections();
    }
    QVERIFY(done.wait(5000));
    QCOMPARE(replyOf(done).error, error);
    QVERIFY(!replyOf(done).delivered());
    QCOMPARE(replyOf(done).body, QByteArray()); // a failure, not a body too large
    QCOMPARE(done.count(), 1);
}

QTEST_GUILESS_MAIN(TestHttpGet)
#include "tst_httpget.moc"
