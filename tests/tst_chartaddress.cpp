#include "charts/chartaddress.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(tarnwel::ChartSubject)

using namespace tarnwel;

namespace {

const QUrl kBase(QStringLiteral("http://charts.example/"));

} // namespace

class TestChartAddress : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyAddress_data();
    void everyAddress();
    void codeGoesInUntouched_data();
    void codeGoesInUntouched();
    void periodOutOfRange_data();
    void periodOutOfRange();
    void baseForms_data();
    void baseForms();
};

void TestChartAddress::everyAddress_data() {
    QTest::addColumn<ChartSubject>("subject");
    QTest::addColumn<QString>("stock");
    QTest::addColumn<int>("period");
    QTest::addColumn<QString>("address");

    // Written out in full, so that a slip in the period words or the index codes
    // cannot hide behind the same slip in an expected value built by the same rule.
    const struct {
        ChartSubject subject;
        const char* name;
    } subjects[] = {{ChartSubject::Stock, "stock"},
                    {ChartSubject::ShanghaiIndex, "shanghai"},
                    {ChartSubject::ShenzhenIndex, "shenzhen"}};
    const char* const addresses[3][4] = {{"http://charts.example/newchart/daily/n/sh600028.gif",
                                          "http://charts.example/newchart/weekly/n/sh600028.gif",
                                          "http://charts.example/newchart/monthly/n/sh600028.gif",
                                          "http://charts.example/newchart/min/n/sh600028.gif"},
                                         {"http://charts.example/newchart/daily/n/sh000001.gif",
                                          "http://charts.example/newchart/weekly/n/sh000001.gif",
                                          "http://charts.example/newchart/monthly/n/sh000001.gif",
                                          "http://charts.example/newchart/min/n/sh000001.gif"},
                                         {"http://charts.example/newchart/daily/n/sz399001.gif",
                                          "http://charts.example/newchart/weekly/n/sz399001.gif",
                                          "http://charts.example/newchart/monthly/n/sz399001.gif",
                                          "http://charts.example/newchart/min/n/sz399001.gif"}};
    for (int s = 0; s < 3; ++s) {
        for (int period = 0; period < kChartPeriodCount; ++period) {
            QTest::addRow("%s %d", subjects[s].name, period)
                << subjects[s].subject << QStringLiteral("sh600028") << period
                << QString::fromLatin1(addresses[s][period]);
        }
    }
    // A second stock, so that all sixteen addresses of a launch's reach are covered.
    const char* const other[4] = {"http://charts.example/newchart/daily/n/sz000002.gif",
                                  "http://charts.example/newchart/weekly/n/sz000002.gif",
                                  "http://charts.example/newchart/monthly/n/sz000002.gif",
                                  "http://charts.example/newchart/min/n/sz000002.gif"};
    for (int period = 0; period < kChartPeriodCount; ++period)
        QTest::addRow("stock sz000002 %d", period)
            << ChartSubject::Stock << QStringLiteral("sz000002") << period
            << QString::fromLatin1(other[period]);
}

void TestChartAddress::everyAddress() {
    QFETCH(ChartSubject, subject);
    QFETCH(QString, stock);
    QFETCH(int, period);
    QFETCH(QString, address);
    QCOMPARE(chartAddress(kBase, period, chartSubjectCode(subject, stock)), address);
}

void TestChartAddress::codeGoesInUntouched_data() {
    QTest::addColumn<QString>("code");

    QTest::newRow("upper case") << QStringLiteral("SH600028");
    QTest::newRow("blanks") << QStringLiteral(" sh600028 ");
    QTest::newRow("characters a URL would escape") << QStringLiteral("sh60%20 28?x");
    QTest::newRow("not a code at all") << QStringLiteral("中国石化");
    QTest::newRow("empty") << QString();
}

void TestChartAddress::codeGoesInUntouched() {
    QFETCH(QString, code);
    const QString address = chartAddress(kBase, 2, code);
    QCOMPARE(address, u"http://charts.example/newchart/monthly/n/" + code + u".gif");
    // The index subjects never take the stock's code.
    QCOMPARE(chartSubjectCode(ChartSubject::Stock, code), code);
    QCOMPARE(chartSubjectCode(ChartSubject::ShanghaiIndex, code), QStringLiteral("sh000001"));
    QCOMPARE(chartSubjectCode(ChartSubject::ShenzhenIndex, code), QStringLiteral("sz399001"));
}

void TestChartAddress::periodOutOfRange_data() {
    QTest::addColumn<int>("period");
    QTest::newRow("-1") << -1;
    QTest::newRow("4") << 4;
    QTest::newRow("32767") << 32767;
    QTest::newRow("min int") << std::numeric_limits<int>::min();
}

void TestChartAddress::periodOutOfRange() {
    QFETCH(int, period);
    QVERIFY(chartPeriodWord(period).isEmpty());
    QVERIFY(chartAddress(kBase, period, QStringLiteral("sh600028")).isEmpty());
}

void TestChartAddress::baseForms_data() {
    QTest::addColumn<QUrl>("base");
    QTest::addColumn<QString>("address");

    QTest::newRow("local server with port")
        << QUrl(QStringLiteral("http://127.0.0.1:8080/"))
        << QStringLiteral("http://127.0.0.1:8080/newchart/min/n/sz399001.gif");
    QTest::newRow("root below a path")
        << QUrl(QStringLiteral("http://host.example/img/"))
        << QStringLiteral("http://host.example/img/newchart/min/n/sz399001.gif");
    QTest::newRow("missing final slash")
        << QUrl(QStringLiteral("http://host.example/img"))
        << QStringLiteral("http://host.example/img/newchart/min/n/sz399001.gif");
    QTest::newRow("bare host") << QUrl(QStringLiteral("http://host.example"))
                               << QStringLiteral("http://host.example/newchart/min/n/sz399001.gif");
}

void TestChartAddress::baseForms() {
    QFETCH(QUrl, base);
    QFETCH(QString, address);
    QCOMPARE(chartAddress(base, 3, QStringLiteral("sz399001")), address);
}

QTEST_GUILESS_MAIN(TestChartAddress)
#include "tst_chartaddress.moc"
