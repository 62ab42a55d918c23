// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/chartaddress.h"
#include "fakehttpserver.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(tarnwel::ChartSubject)

using namespace tarnwel;

class TestChartAddress : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sixteenAddresses_data();
    void sixteenAddresses();
    void unusualInput_data();
    void unusualInput();
    void hostileCodes_data();
    void hostileCodes();
};

void TestChartAddress::sixteenAddresses_data() {
    QTest::addColumn<ChartSubject>("subject");
    QTest::addColumn<QString>("stock");
    QTest::addColumn<int>("period");
    QTest::addColumn<QString>("address");

    // Written out in full, so that a slip in a period word or an index code cannot
    // hide behind the same slip in an expected value built by the same rule.
    const struct {
        ChartSubject subject;
        const char* stock;
        const char* tail;
    } rows[] = {{ChartSubject::Stock, "sh600028", "daily/n/sh600028"},
                {ChartSubject::Stock, "sh600028", "weekly/n/sh600028"},
                {ChartSubject::Stock, "sh600028", "monthly/n/sh600028"},
                {ChartSubject::Stock, "sh600028", "min/n/sh600028"},
                {ChartSubject::ShanghaiIndex, "sh600028", "daily/n/sh000001"},
                {ChartSubject::ShanghaiIndex, "sh600028", "weekly/n/sh000001"},
                {ChartSubject::ShanghaiIndex, "sh600028", "monthly/n/sh000001"},
                {ChartSubject::ShanghaiIndex, "sh600028", "min/n/sh000001"},
                {ChartSubject::ShenzhenIndex, "sh600028", "daily/n/sz399001"},
                {ChartSubject::ShenzhenIndex, "sh600028", "weekly/n/sz399001"},
                {ChartSubject::ShenzhenIndex, "sh600028", "monthly/n/sz399001"},
                {ChartSubject::ShenzhenIndex, "sh600028", "min/n/sz399001"},
                {ChartSubject::Stock, "sz000002", "daily/n/sz000002"},
                {ChartSubject::Stock, "sz000002", "weekly/n/sz000002"},
                {ChartSubject::Stock, "sz000002", "monthly/n/sz000002"},
                {ChartSubject::Stock, "sz000002", "min/n/sz000002"}};
    for (int i = 0; i < 16; ++i)
        QTest::newRow(rows[i].tail)
            << rows[i].subject << QString::fromLatin1(rows[i].stock) << i % 4
            << u"http://charts.example/newchart/" + QLatin1String(rows[i].tail) + u".gif";
}

void TestChartAddress::sixteenAddresses() {
    QFETCH(ChartSubject, subject);
    QFETCH(QString, stock);
    QFETCH(int, period);
    QFETCH(QString, address);
    QCOMPARE(chartAddress(QUrl(QStringLiteral("http://charts.example/")), period,
                          chartSubjectCode(subject, stock)),
             address);
}

void TestChartAddress::unusualInput_data() {
    QTest::addColumn<QUrl>("base");
    QTest::addColumn<int>("period");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("address");

    const QUrl base(QStringLiteral("http://127.0.0.1:8080/"));
    // Letters and digits go in as the entry holds them, everything else encoded.
    QTest::newRow("upper case, blanks")
        << base << 2 << QStringLiteral(" SH600028 ")
        << QStringLiteral("http://127.0.0.1:8080/newchart/monthly/n/%20SH600028%20.gif");
    QTest::newRow("characters a URL would escape")
        << base << 3 << QStringLiteral("sh60%20 28?x")
        << QStringLiteral("http://127.0.0.1:8080/newchart/min/n/sh60%2520%2028%3Fx.gif");
    QTest::newRow("Beijing code") << base << 0 << QStringLiteral("bj430047")
                                  << QStringLiteral("http://127.0.0.1:8080/newchart/daily/n/"
                                                    "bj430047.gif");
    QTest::newRow("32 characters")
        << base << 0 << QString(32, u'a')
        << u"http://127.0.0.1:8080/newchart/daily/n/" + QString(32, u'a') + u".gif";
    QTest::newRow("33 characters: not asked for") << base << 0 << QString(33, u'a') << QString();
    QTest::newRow("period -1") << base << -1 << QStringLiteral("sh600028") << QString();
    QTest::newRow("period 4") << base << 4 << QStringLiteral("sh600028") << QString();
    // A base configured without its final slash still means the service's root.
    QTest::newRow("base without slash")
        << QUrl(QStringLiteral("http://host.example/img")) << 0 << QStringLiteral("sh600028")
        << QStringLiteral("http://host.example/img/newchart/daily/n/sh600028.gif");
}

void TestChartAddress::unusualInput() {
    QFETCH(QUrl, base);
    QFETCH(int, period);
    QFETCH(QString, code);
    QFETCH(QString, address);
    QCOMPARE(chartAddress(base, period, code), address);
}

void TestChartAddress::hostileCodes_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("path"); // as the server receives it

    QTest::newRow("Beijing") << QStringLiteral("bj430047")
                             << QStringLiteral("/newchart/daily/n/bj430047.gif");
    QTest::newRow("climb out") << QStringLiteral("../../../x")
                               << QStringLiteral("/newchart/daily/n/..%2F..%2F..%2Fx.gif");
    QTest::newRow("dot segment") << QStringLiteral("..")
                                 << QStringLiteral("/newchart/daily/n/...gif");
    QTest::newRow("query") << QStringLiteral("x?y=1")
                           << QStringLiteral("/newchart/daily/n/x%3Fy%3D1.gif");
    QTest::newRow("fragment") << QStringLiteral("x#y")
                              << QStringLiteral("/newchart/daily/n/x%23y.gif");
    QTest::newRow("already encoded")
        << QStringLiteral("%2e%2e%2f") << QStringLiteral("/newchart/daily/n/%252e%252e%252f.gif");
    QTest::newRow("back slash") << QStringLiteral("..\\x")
                                << QStringLiteral("/newchart/daily/n/..%5Cx.gif");
    QTest::newRow("line break") << QStringLiteral("x\r\nHost: y")
                                << QStringLiteral("/newchart/daily/n/x%0D%0AHost%3A%20y.gif");
    QTest::newRow("Chinese") << QStringLiteral("石化")
                             << QStringLiteral("/newchart/daily/n/%E7%9F%B3%E5%8C%96.gif");
}

void TestChartAddress::hostileCodes() {
    QFETCH(QString, code);
    QFETCH(QString, path);
    // The chart window asks for the address as text; it is read back as a URL there.
    FakeHttpServer server;
    QNetworkAccessManager network;
    QNetworkReply* reply =
        network.get(QNetworkRequest(QUrl(chartAddress(server.baseUrl(), 0, code))));
    QSignalSpy finished(reply, &QNetworkReply::finished);
    QVERIFY(finished.wait(5000));
    reply->deleteLater();
    QCOMPARE(server.requestPaths(), QStringList{path});
}

QTEST_GUILESS_MAIN(TestChartAddress)
#include "tst_chartaddress.moc"
