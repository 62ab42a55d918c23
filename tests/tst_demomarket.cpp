// SPDX-License-Identifier: GPL-3.0-or-later
#include "demo/market.h"
#include "demo/server.h"
#include "quotes/quoteparse.h"
#include "quotes/quotereply.h"
#include "ticker/quotefeed.h"
#include "watchlist/watchlistfile.h"

#include <QBuffer>
#include <QHostAddress>
#include <QHttpServer>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using tarnwel::demo::Bar;
using tarnwel::demo::Market;
using tarnwel::demo::Period;
namespace quotereply = tarnwel::quotereply;
using tarnwel::ParsedReply;
using tarnwel::parseReply;
using tarnwel::QuoteService;
using tarnwel::ReplyKind;

namespace {

// A clock the test moves by hand.
struct ManualClock {
    std::shared_ptr<qint64> now = std::make_shared<qint64>(0);
    Market::Clock clock() const {
        return [now = now] { return *now; };
    }
};

double field(const QString& reply, int k) {
    const std::optional<QString> text = quotereply::field(reply, k);
    bool ok = false;
    const double value = text ? text->toDouble(&ok) : 0;
    return ok ? value : -1;
}

// The reply decoded, with its framing checked.
QString quoteText(const QByteArray& reply, const QString& code) {
    QStringDecoder gbk("GBK");
    const QString text = gbk.decode(reply);
    if (gbk.hasError())
        return {};
    const QString prefix = u"var hq_str_"_qs + code + u"=\""_qs;
    if (!text.startsWith(prefix) || !text.endsWith(u"\";\n"_qs))
        return {};
    return text.mid(prefix.size(), text.size() - prefix.size() - 3);
}

} // namespace

class TestDemoMarket : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void quoteLine_data();
    void quoteLine();
    void unknownCodeIsEmpty();
    void walkStaysWithinTheDay();
    void sameMarketEveryRun();
    void charts_data();
    void charts();
    void feedReadsTheMarket();
};

void TestDemoMarket::quoteLine_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("decimals");

    QTest::newRow("Shanghai stock") << "sh600028"
                                    << "中国石化" << 2;
    QTest::newRow("Shenzhen stock, today's name") << "sz000001"
                                                  << "平安银行" << 2;
    QTest::newRow("full-width letter") << "sz000002"
                                       << "万科Ａ" << 2;
    QTest::newRow("only in today's listing") << "sz300750"
                                             << "宁德时代" << 2;
    QTest::newRow("Shanghai index") << "sh000001"
                                    << "上证指数" << 3;
    QTest::newRow("Shenzhen index") << "sz399001"
                                    << "深证成指" << 3;
}

void TestDemoMarket::quoteLine() {
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(int, decimals);

    Market market(ManualClock().clock());
    const QString text = quoteText(market.quoteReply(code), code);
    QVERIFY2(!text.isEmpty(), "not one GBK line framed as the service frames it");
    QCOMPARE(quotereply::field(text, 0), name);

    const double open = field(text, 1), prev = field(text, 2), last = field(text, 3);
    const double high = field(text, 4), low = field(text, 5);
    for (const int k : {1, 2, 3, 4, 5}) {
        const QString price = *quotereply::field(text, k);
        QCOMPARE(price.size() - price.indexOf(u'.') - 1, decimals);
    }
    QVERIFY(prev > 0);
    QVERIFY(low <= open && open <= high);
    QVERIFY(low <= last && last <= high);
    QVERIFY(high <= prev * 1.1 + 0.01 && low >= prev * 0.9 - 0.01);
    // Shares, whole and in lots of 100, as the ticker divides them.
    const QString volume = *quotereply::field(text, 8);
    QVERIFY(!volume.contains(u'.'));
    QVERIFY(volume.toLongLong() > 0 && volume.toLongLong() % 100 == 0);
    // The date, time and status close the line, as on the service.
    QCOMPARE(text.count(u','), 32);

    // The second service's record of the same moment cuts to the same quote.
    const std::optional<QString> second =
        QStringDecoder("GBK").decode(market.secondServiceReply(code));
    const ParsedReply parsed = parseReply(QuoteService::Tencent, *second, code);
    QCOMPARE(parsed.kind, ReplyKind::Quote);
    QCOMPARE(*parsed.quote.name, name);
    QCOMPARE(parsed.quote.price->toDouble(), std::round(last * 100) / 100);
    QCOMPARE(parsed.quote.prevClose->toDouble(), std::round(prev * 100) / 100);
}

void TestDemoMarket::unknownCodeIsEmpty() {
    Market market(ManualClock().clock());
    QCOMPARE(market.quoteReply(u"sh999999"_qs), QByteArray("var hq_str_sh999999=\"\";\n"));
    QCOMPARE(market.quoteReply(u"SH600028"_qs), QByteArray("var hq_str_SH600028=\"\";\n"));
    QCOMPARE(parseReply(QuoteService::Tencent,
                        QString::fromLatin1(market.secondServiceReply(u"sh999999"_qs)),
                        u"sh999999"_qs)
                 .kind,
             ReplyKind::NoRecord);
}

void TestDemoMarket::walkStaysWithinTheDay() {
    ManualClock time;
    Market market(time.clock(), 1000);
    const QString code = u"sz000002"_qs;
    const QString first = quoteText(market.quoteReply(code), code);
    const double prev = field(first, 2);
    double volume = field(first, 8);
    QSet<double> prices;
    for (int i = 0; i < 3000; ++i) {
        *time.now += 1000;
        const QString text = quoteText(market.quoteReply(code), code);
        QCOMPARE(field(text, 2), prev);
        const double last = field(text, 3);
        QVERIFY(last >= field(text, 5) && last <= field(text, 4));
        QVERIFY2(last >= prev * 0.9 - 0.005 && last <= prev * 1.1 + 0.005,
                 "beyond the daily limit");
        QVERIFY(field(text, 8) >= volume);
        volume = field(text, 8);
        prices.insert(last);
    }
    QVERIFY2(prices.size() > 20, "the price hardly moves");
    // A long silence is caught up in a bounded number of steps, not replayed.
    *time.now += 24LL * 3600 * 1000;
    const qsizetype before = market.intraday(code).size();
    QVERIFY(market.intraday(code).size() - before <= 600);
}

void TestDemoMarket::sameMarketEveryRun() {
    Market one(ManualClock().clock());
    Market two(ManualClock().clock());
    for (const QString& code : {u"sh600028"_qs, u"sz002001"_qs, u"sh000001"_qs}) {
        const QString a = quoteText(one.quoteReply(code), code);
        const QString b = quoteText(two.quoteReply(code), code);
        for (const int k : {1, 2, 3, 4, 5, 8})
            QCOMPARE(quotereply::field(a, k), quotereply::field(b, k));
    }
    QVERIFY(quotereply::field(quoteText(one.quoteReply(u"sh600028"_qs), u"sh600028"_qs), 2) !=
            quotereply::field(quoteText(one.quoteReply(u"sh600050"_qs), u"sh600050"_qs), 2));
}

void TestDemoMarket::charts_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");

    QTest::newRow("daily") << "/newchart/daily/n/sh600028.gif" << 200;
    QTest::newRow("weekly") << "/newchart/weekly/n/sz000001.gif" << 200;
    QTest::newRow("monthly") << "/newchart/monthly/n/sh600050.gif" << 200;
    QTest::newRow("intraday index") << "/newchart/min/n/sh000001.gif" << 200;
    QTest::newRow("unknown period") << "/newchart/yearly/n/sh600028.gif" << 404;
    QTest::newRow("unknown code") << "/newchart/daily/n/sh999999.gif" << 404;
    QTest::newRow("not a picture name") << "/newchart/daily/n/sh600028.png" << 404;
    QTest::newRow("quote") << "/list=sh600028" << 200;
    QTest::newRow("second service's quote") << "/q=sz300750" << 200;
    QTest::newRow("several codes at once") << "/list=sh000001,sz300750" << 200;
    QTest::newRow("elsewhere") << "/hq/list=sh600028" << 404;
}

void TestDemoMarket::charts() {
    QFETCH(QString, path);
    QFETCH(int, status);

    Market market(ManualClock().clock());
    QHttpServer server;
    tarnwel::demo::addRoutes(server, market);
    const quint16 port = server.listen(QHostAddress::LocalHost, 0);
    QVERIFY(port != 0);

    QNetworkAccessManager network;
    QNetworkReply* reply =
        network.get(QNetworkRequest(QUrl(u"http://127.0.0.1:"_qs + QString::number(port) + path)));
    QSignalSpy finished(reply, &QNetworkReply::finished);
    QVERIFY(finished.wait(10000));
    reply->deleteLater();
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), status);
    if (status != 200)
        return;
    const QByteArray body = reply->readAll();
    if (path.startsWith(u"/list=")) {
        // One line a code, in the order asked.
        const QStringList codes = path.mid(6).split(u',');
        const QList<QByteArray> lines = body.split('\n');
        QCOMPARE(lines.size(), codes.size() + 1);
        for (qsizetype i = 0; i < codes.size(); ++i)
            QVERIFY(!quoteText(lines[i] + '\n', codes[i]).isEmpty());
    } else if (path.startsWith(u"/q="))
        QVERIFY(body.startsWith(QByteArray("v_" + path.mid(3).toLatin1() + "=\"")));
    else {
        // The chart window reads a picture by its content.
        QBuffer buffer;
        buffer.setData(body);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.read().size(), QSize(545, 300));
    }
}

void TestDemoMarket::feedReadsTheMarket() {
    ManualClock time;
    Market market(time.clock());
    QHttpServer server;
    tarnwel::demo::addRoutes(server, market);
    const quint16 port = server.listen(QHostAddress::LocalHost, 0);
    QVERIFY(port != 0);

    QTemporaryDir dir;
    const QString setup = dir.filePath(u"setup.ini"_qs);
    QVERIFY(tarnwel::WatchListFile(setup).write({u"中国石化(sh600028)"_qs}));
    tarnwel::QuoteFeed::Options options;
    options.baseUrl = QUrl(u"http://127.0.0.1:"_qs + QString::number(port) + u'/');
    options.watchListPath = setup;
    options.turnPauseMs = 60000;
    options.fetchTimeoutMs = 10000;
    tarnwel::QuoteFeed feed(options);
    QSignalSpy texts(&feed, &tarnwel::QuoteFeed::textsReady);
    feed.RefreshQuotes();
    QVERIFY(texts.wait(10000));

    // The ticker shows the walk as the chart draws it.
    const QList<Bar> today = market.intraday(u"sh600028"_qs);
    QCOMPARE(feed.values().lastPrice.toDouble(), today.last().close);
    QCOMPARE(feed.values().openPrice.toDouble(), today.first().open);
    QCOMPARE(feed.values().prevClose.toDouble(), market.previousClose(u"sh600028"_qs));
    QVERIFY(!feed.values().shIndexValue.isEmpty() && !feed.values().szIndexValue.isEmpty());
    const QList<Bar> daily = market.bars(u"sh600028"_qs, Period::Daily);
    QCOMPARE(daily.last().close, today.last().close);
    QCOMPARE(daily.at(daily.size() - 2).close, market.previousClose(u"sh600028"_qs));
}

QTEST_MAIN(TestDemoMarket)
#include "tst_demomarket.moc"
