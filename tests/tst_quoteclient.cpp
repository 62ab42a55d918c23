// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehttpserver.h"
#include "net/quoteclient.h"
#include "testfiles.h"

#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

using namespace tarnwel;

Q_DECLARE_METATYPE(tarnwel::QuoteFailure)

namespace {

// A port on 127.0.0.1 where nothing listens.
quint16 closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QuoteOutcome outcomeOf(const QSignalSpy& spy) {
    return spy.last().at(0).value<QuoteOutcome>();
}

} // namespace

class TestQuoteClient : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hostileCodes_data();
    void hostileCodes();
    void overlongCodeIsNotRequested();
    void outcomes_data();
    void outcomes();
    void refusedConnection();
    void redirects_data();
    void redirects();
    void newerRequestSupersedes();
};

void TestQuoteClient::hostileCodes_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("path"); // as the server receives it

    QTest::newRow("plain") << QStringLiteral("sh600028") << QStringLiteral("/list=sh600028");
    QTest::newRow("Beijing") << QStringLiteral("bj430047") << QStringLiteral("/list=bj430047");
    // "." and the other unreserved marks mean the same encoded or not, and go out plain;
    // with "list=" before them they can never form a dot segment.
    QTest::newRow("climb out") << QStringLiteral("../../x") << QStringLiteral("/list=..%2F..%2Fx");
    QTest::newRow("dot segment") << QStringLiteral("..") << QStringLiteral("/list=..");
    QTest::newRow("query and fragment")
        << QStringLiteral("sh6?a=1#x") << QStringLiteral("/list=sh6%3Fa%3D1%23x");
    QTest::newRow("already encoded")
        << QStringLiteral("%2F%41") << QStringLiteral("/list=%252F%2541");
    QTest::newRow("back slash and blanks")
        << QStringLiteral("a\\b c\t") << QStringLiteral("/list=a%5Cb%20c%09");
    QTest::newRow("unreserved marks") << QStringLiteral("-_.~") << QStringLiteral("/list=-_.~");
    QTest::newRow("CR LF header injection")
        << QStringLiteral("x\r\nHost: evil") << QStringLiteral("/list=x%0D%0AHost%3A%20evil");
    QTest::newRow("Chinese as UTF-8") << QStringLiteral("中") << QStringLiteral("/list=%E4%B8%AD");
    QTest::newRow("full-width digits")
        << QStringLiteral("ｓｈ６") << QStringLiteral("/list=%EF%BD%93%EF%BD%88%EF%BC%96");
    QTest::newRow("empty") << QString() << QStringLiteral("/list=");
    QTest::newRow("32 characters") << QString(32, u'9') << u"/list=" + QString(32, u'9');
}

void TestQuoteClient::hostileCodes() {
    QFETCH(QString, code);
    QFETCH(QString, path);
    FakeHttpServer server;
    QuoteClient client({server.baseUrl(), "https://quotes.example/", 2000});
    QSignalSpy done(&client, &QuoteClient::finished);
    client.fetch(code);
    QVERIFY(done.wait(5000));
    QCOMPARE(server.requestPaths(), QStringList{path});
}

void TestQuoteClient::overlongCodeIsNotRequested() {
    FakeHttpServer server;
    QuoteClient client({server.baseUrl(), {}, 2000});
    QSignalSpy done(&client, &QuoteClient::finished);
    client.fetch(QString(33, u'9'));
    // Reported as any failed fetch would be: later, not from inside fetch().
    QCOMPARE(done.count(), 0);
    QVERIFY(done.wait(5000));
    QCOMPARE(outcomeOf(done).failure, QuoteFailure::CodeTooLong);
    QVERIFY(server.requests().isEmpty());
}

void TestQuoteClient::outcomes_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("hang");
    QTest::addColumn<QuoteFailure>("failure");
    QTest::addColumn<QString>("text");

    const QByteArray quote = gbk(QStringLiteral("var hq_str_sh600028=\"中国石化,5.20,5.18\";"));
    QTest::newRow("good, decoded from GBK")
        << 200 << quote << false << QuoteFailure::None
        << QStringLiteral("var hq_str_sh600028=\"中国石化,5.20,5.18\";");
    // The service's answer for a code it does not know is a success: the caller judges.
    QTest::newRow("empty answer") << 200 << QByteArray() << false << QuoteFailure::None
                                  << QString();
    QTest::newRow("403 with commas") << 403 << QByteArray("Forbidden,,,,,,,,,") << false
                                     << QuoteFailure::HttpStatus << QString();
    // Without a Location there is nowhere to go: the answer stands, and is no quote.
    QTest::newRow("302 without a Location")
        << 302 << QByteArray("a,b") << false << QuoteFailure::HttpStatus << QString();
    QTest::newRow("500") << 500 << QByteArray("oops") << false << QuoteFailure::HttpStatus
                         << QString();
    QTest::newRow("hangs") << 200 << QByteArray() << true << QuoteFailure::Timeout << QString();
    QTest::newRow("exactly 64 KiB") << 200 << QByteArray(64 * 1024, ',') << false
                                    << QuoteFailure::None << QString(64 * 1024, u',');
    QTest::newRow("over 64 KiB") << 200 << QByteArray(64 * 1024 + 1, ',') << false
                                 << QuoteFailure::TooLarge << QString();
}

void TestQuoteClient::outcomes() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, hang);
    QFETCH(QuoteFailure, failure);
    QFETCH(QString, text);

    FakeHttpServer server;
    server.setDefaultResponse(FakeHttpServer::Response{status, body, "text/html", hang, {}});
    QuoteClient client({server.baseUrl(), {}, 300});
    QSignalSpy done(&client, &QuoteClient::finished);
    client.fetch(QStringLiteral("sh600028"));
    QVERIFY(done.wait(5000));
    const QuoteOutcome outcome = outcomeOf(done);
    QCOMPARE(outcome.failure, failure);
    QCOMPARE(outcome.code, QStringLiteral("sh600028"));
    QCOMPARE(outcome.text, text);
    if (failure == QuoteFailure::HttpStatus)
        QCOMPARE(outcome.httpStatus, status);
    QCOMPARE(done.count(), 1);
}

void TestQuoteClient::refusedConnection() {
    const QUrl base(QStringLiteral("http://127.0.0.1:%1/").arg(closedPort()));
    QuoteClient client({base, {}, 2000});
    QSignalSpy done(&client, &QuoteClient::finished);
    client.fetch(QStringLiteral("sh600028"));
    QVERIFY(done.wait(5000));
    QCOMPARE(outcomeOf(done).failure, QuoteFailure::ConnectionRefused);
}

void TestQuoteClient::redirects_data() {
    QTest::addColumn<int>("hops");       // same-origin redirects before the answer
    QTest::addColumn<bool>("elsewhere"); // the first redirect goes to another origin instead
    QTest::addColumn<QuoteFailure>("failure");
    QTest::addColumn<QStringList>("paths"); // what the client asked our server for

    const QString first = QStringLiteral("/list=sh600028");
    QTest::newRow("same origin, followed")
        << 1 << false << QuoteFailure::None << QStringList{first, QStringLiteral("/hop/1")};
    QTest::newRow("another origin, refused")
        << 0 << true << QuoteFailure::RedirectRefused << QStringList{first};
    const QStringList threeHops{first, QStringLiteral("/hop/1"), QStringLiteral("/hop/2"),
                                QStringLiteral("/hop/3")};
    QTest::newRow("three, followed") << 3 << false << QuoteFailure::None << threeHops;
    QTest::newRow("four, stopped after three")
        << 4 << false << QuoteFailure::TooManyRedirects << threeHops;
}

void TestQuoteClient::redirects() {
    QFETCH(int, hops);
    QFETCH(bool, elsewhere);
    QFETCH(QuoteFailure, failure);
    QFETCH(QStringList, paths);

    FakeHttpServer server;
    FakeHttpServer other;
    other.setDefaultResponse({200, QByteArray("x,1,2,3,4,5,6,7,8,9"), "text/plain", false, {}});
    const QByteArray origin = server.baseUrl().toEncoded().chopped(1);
    const auto hop = [](int n) { return QStringLiteral("/hop/%1").arg(n); };
    const auto redirectTo = [](const QByteArray& location) {
        return FakeHttpServer::Response{
            302, QByteArray(), "text/html", false, {{"Location", location}}};
    };
    server.setResponse(paths.first(),
                       redirectTo(elsewhere
                                      ? QByteArray(other.baseUrl().toEncoded() + "list=sh600028")
                                      : QByteArray(origin + hop(1).toLatin1())));
    for (int n = 1; n < hops; ++n)
        server.setResponse(hop(n), redirectTo(QByteArray(origin + hop(n + 1).toLatin1())));
    if (hops > 0)
        server.setResponse(hop(hops), QByteArray("good,1,2,3"));

    QuoteClient client({server.baseUrl(), "https://quotes.example/", 2000});
    QSignalSpy done(&client, &QuoteClient::finished);
    client.fetch(QStringLiteral("sh600028"));
    QVERIFY(done.wait(5000));
    QCOMPARE(outcomeOf(done).failure, failure);
    if (failure == QuoteFailure::None)
        QCOMPARE(outcomeOf(done).text, QStringLiteral("good,1,2,3"));
    // Qt 6.4's HTTP/1 layer now and then sends a followed redirect twice, over two
    // connections, and follows one answer: count the addresses asked for, not arrivals.
    QStringList asked = server.requestPaths();
    asked.removeDuplicates();
    QCOMPARE(asked, paths);
    // Neither the request nor our Referer ever reaches the other origin.
    QVERIFY(other.requests().isEmpty());
    QCOMPARE(done.count(), 1);
}

void TestQuoteClient::newerRequestSupersedes() {
    FakeHttpServer server;
    server.setResponse(QStringLiteral("/list=sh600028"),
                       {200, QByteArray("slow,1,2,3"), "text/plain", true, {}});
    server.setResponse(QStringLiteral("/list=sz300750"), QByteArray("fast,1,2,3"));
    QuoteClient client({server.baseUrl(), {}, 2000});
    QSignalSpy done(&client, &QuoteClient::finished);
    QSignalSpy received(&server, &FakeHttpServer::requestReceived);

    client.fetch(QStringLiteral("sh600028"));
    QVERIFY(received.wait(5000));
    client.fetch(QStringLiteral("sz300750"));
    QVERIFY(done.wait(5000));
    QCOMPARE(outcomeOf(done).code, QStringLiteral("sz300750"));
    // A superseded overlong code never reports either.
    client.fetch(QString(40, u'x'));
    client.abort();
    // A zero timer started now fires after the client's own would have.
    QTimer marker;
    marker.setSingleShot(true);
    QSignalSpy fired(&marker, &QTimer::timeout);
    marker.start(0);
    QVERIFY(fired.wait(5000));
    QCOMPARE(done.count(), 1);
    QVERIFY(!client.isBusy());
}

QTEST_GUILESS_MAIN(TestQuoteClient)
#include "tst_quoteclient.moc"
