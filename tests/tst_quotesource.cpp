// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehttpserver.h"
#include "quotes/markethours.h"
#include "quotes/quotesource.h"
#include "testfiles.h"

#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <memory>

using namespace tarnwel;

Q_DECLARE_METATYPE(tarnwel::QuoteService)
Q_DECLARE_METATYPE(tarnwel::QuoteSourceChoice)
Q_DECLARE_METATYPE(FakeHttpServer::Response)

namespace {

const QString kStock = QStringLiteral("sh600000");
const QString kIndex = QStringLiteral("sh000001");

QByteArray tencentReply(const char* file) {
    return gbk(
        QString::fromUtf8(readAll(QStringLiteral(TENCENT_REPLIES_DIR "/") + QLatin1String(file))));
}

// An address where nothing listens.
QUrl deadAddress() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort()));
}

// Both services on 127.0.0.1: the first answers as each row says, the second with its
// recorded replies.
struct Rig {
    FakeHttpServer first;
    FakeHttpServer second;
    QDateTime now{QDate(2026, 9, 14), QTime(10, 0), MarketHours::exchangeZone()};
    std::shared_ptr<ServiceSwitch> services =
        std::make_shared<ServiceSwitch>(true, [this] { return now; });
    std::unique_ptr<QuoteSource> source;
    std::unique_ptr<QSignalSpy> answers;

    Rig() {
        first.setResponse(u"/list=" + kStock,
                          readReplyFile("call-auction-sh600000-2026-08-31-payload.txt"));
        first.setResponse(u"/list=" + kIndex, readReplyFile("indices-2022-04-07.txt"));
        second.setResponse(u"/q=" + kStock, tencentReply("stock_sh600000_2026-09-14_close.txt"));
        second.setResponse(u"/q=" + kIndex, tencentReply("index_sh000001_2026-06-11_close.txt"));
    }
    void start(const QUrl& firstUrl = {}) {
        source = std::make_unique<QuoteSource>(
            QuoteSource::Options{firstUrl.isEmpty() ? first.baseUrl() : firstUrl, "x",
                                 second.baseUrl(), 300},
            services);
        answers = std::make_unique<QSignalSpy>(source.get(), &QuoteSource::answered);
    }
    // Asks for `code` and says which service answered, and whether with a quote.
    QuoteAnswer ask(const QString& code) {
        const qsizetype before = answers->size();
        source->fetch(code);
        if (!answers->wait(5000) || answers->size() != before + 1)
            return {};
        return answers->last().at(0).value<QuoteAnswer>();
    }
};

} // namespace

class TestQuoteSource : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void switching_data();
    void switching();
    void backAfterAMinute();
    void choices_data();
    void choices();
};

void TestQuoteSource::switching_data() {
    QTest::addColumn<FakeHttpServer::Response>("response");
    QTest::addColumn<bool>("dead");     // nothing listens at the first service's address
    QTest::addColumn<bool>("switches"); // after two such answers in a row, not one

    using R = FakeHttpServer::Response;
    const auto row = [](const char* tag, const R& response, bool switches) {
        QTest::newRow(tag) << response << false << switches;
    };
    row("403", R{403, readReplyFile("refused-403-body.txt")}, true);
    row("500", R{500, "oops"}, true);
    row("503", R{503, {}}, true);
    row("refused whole", R{200, readReplyFile("sys-auth-failed.txt")}, true);
    row("not a quote", R{200, "<html>hello</html>"}, true);
    row("hangs", R{200, {}, "text/html", true}, true);
    QTest::newRow("connection refused") << R{} << true << true;
    // An answer that knows nothing of one code is no refusal; nor is a missing page.
    row("empty record", R{200, readReplyFile("empty-record-sz002257.txt")}, false);
    row("404", R{404, "no"}, false);
}

void TestQuoteSource::switching() {
    QFETCH(FakeHttpServer::Response, response);
    QFETCH(bool, dead);
    QFETCH(bool, switches);
    Rig rig;
    rig.first.setResponse(u"/list=" + kStock, response);
    rig.start(dead ? deadAddress() : QUrl());

    QCOMPARE(rig.ask(kStock).service, QuoteService::Sina);
    QVERIFY(!rig.services->onSecond());
    QCOMPARE(rig.ask(kStock).service, QuoteService::Sina);
    QCOMPARE(rig.services->onSecond(), switches);
    const QuoteAnswer third = rig.ask(kStock);
    QCOMPARE(third.service, switches ? QuoteService::Tencent : QuoteService::Sina);
    if (switches) {
        QVERIFY(third.isQuote());
        QCOMPARE(third.parsed.quote.price, QStringLiteral("9.400"));
        QCOMPARE(rig.second.requests().first().headers.value("referer"), QByteArray());
    }
}

// The first service is asked again a minute after the switch, with the Shanghai index in
// place of the second's; it takes over when it answers with a quote.
void TestQuoteSource::backAfterAMinute() {
    Rig rig;
    rig.first.setResponse(u"/list=" + kIndex, FakeHttpServer::Response{403, "no"});
    rig.start();
    rig.ask(kIndex);
    rig.ask(kIndex);
    QVERIFY(rig.services->onSecond());
    QCOMPARE(rig.services->firstRefusal().httpStatus, 403);

    rig.now = rig.now.addSecs(59);
    QCOMPARE(rig.ask(kIndex).service, QuoteService::Tencent);
    rig.now = rig.now.addSecs(1);
    QCOMPARE(rig.ask(kStock).service, QuoteService::Tencent); // only the index tries
    // Still refusing: the next try only a minute later.
    QCOMPARE(rig.ask(kIndex).service, QuoteService::Sina);
    QCOMPARE(rig.ask(kIndex).service, QuoteService::Tencent);
    rig.now = rig.now.addSecs(60);
    rig.first.setResponse(u"/list=" + kIndex, readReplyFile("indices-2022-04-07.txt"));
    const QuoteAnswer back = rig.ask(kIndex);
    QCOMPARE(back.service, QuoteService::Sina);
    QVERIFY(back.isQuote());
    QVERIFY(!rig.services->onSecond());
    QCOMPARE(rig.ask(kStock).service, QuoteService::Sina);
}

void TestQuoteSource::choices_data() {
    QTest::addColumn<QuoteSourceChoice>("choice");
    QTest::addColumn<QuoteService>("third"); // who the third of three refused asks goes to
    QTest::newRow("auto") << QuoteSourceChoice::Auto << QuoteService::Tencent;
    QTest::newRow("first only") << QuoteSourceChoice::Sina << QuoteService::Sina;
    QTest::newRow("second only") << QuoteSourceChoice::Tencent << QuoteService::Tencent;
}

void TestQuoteSource::choices() {
    QFETCH(QuoteSourceChoice, choice);
    Rig rig;
    rig.first.setResponse(u"/list=" + kStock, FakeHttpServer::Response{503, {}});
    rig.services->setChoice(choice);
    rig.start();
    const QuoteService firstAsk = rig.ask(kStock).service;
    QCOMPARE(firstAsk,
             choice == QuoteSourceChoice::Tencent ? QuoteService::Tencent : QuoteService::Sina);
    rig.ask(kStock);
    QTEST(rig.ask(kStock).service, "third");
    // A new choice starts afresh, from the next request.
    if (choice != QuoteSourceChoice::Auto) {
        rig.services->setChoice(QuoteSourceChoice::Auto);
        QCOMPARE(rig.ask(kStock).service, QuoteService::Sina);
    }
}

QTEST_GUILESS_MAIN(TestQuoteSource)
#include "tst_quotesource.moc"
