// SPDX-License-Identifier: GPL-3.0-or-later
#include "ticker/feedstatus.h"

#include "quotes/markethours.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarnwel;

namespace {

// Local times, as the user reads them.
QDateTime at(int hour, int minute, int second) {
    return QDateTime(QDate(2024, 6, 3), QTime(hour, minute, second));
}

FeedOutcome outcome(FeedOutcome::Kind kind, const QDateTime& time, QuoteFailure failure,
                    int status) {
    FeedOutcome o;
    o.kind = kind;
    o.replyTime = time;
    o.failure = failure;
    o.httpStatus = status;
    return o;
}
FeedOutcome live(const QDateTime& time) {
    return outcome(FeedOutcome::Kind::Live, time, QuoteFailure::None, 200);
}
FeedOutcome stored(const QDateTime& time) {
    return outcome(FeedOutcome::Kind::Stored, time, QuoteFailure::None, 0);
}
FeedOutcome failed(QuoteFailure failure, int status = 0) {
    return outcome(FeedOutcome::Kind::Failed, QDateTime(), failure, status);
}
// From the second service, standing in for the first since it refused with `refusal`.
FeedOutcome second(FeedOutcome o, std::optional<Refusal> refusal) {
    o.service = QuoteService::Tencent;
    o.firstRefused = refusal;
    return o;
}

// On the exchange's clock.
QDateTime cst(int month, int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(2026, month, day), QTime(hour, minute, second),
                     MarketHours::exchangeZone());
}

// A shown record with its own time, seen at `checked`.
FeedOutcome record(FeedOutcome::Kind kind, const QDateTime& time, const QDateTime& checked,
                   bool inSession = false) {
    FeedOutcome o = outcome(kind, checked, QuoteFailure::None, 200);
    o.recordTime = time;
    o.checkedAt = checked;
    o.inSession = inSession;
    return o;
}

} // namespace

class TestFeedStatus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sequences_data();
    void sequences();
    void changesAreSignalled();
};

void TestFeedStatus::sequences_data() {
    QTest::addColumn<QList<FeedOutcome>>("outcomes");
    QTest::addColumn<QString>("text");

    QTest::newRow("before any reply")
        << QList<FeedOutcome>{} << QStringLiteral("正在连接行情服务…");
    QTest::newRow("good reply") << QList<FeedOutcome>{live(at(14, 32, 5))}
                                << QStringLiteral("行情更新于 14:32:05");
    QTest::newRow("stored reply while closed")
        << QList<FeedOutcome>{live(at(14, 59, 58)), stored(at(15, 0, 3))}
        << QStringLiteral("休市中 · 行情为 15:00:03 的数据");
    QTest::newRow("first failure: host not found")
        << QList<FeedOutcome>{failed(QuoteFailure::HostNotFound)}
        << QStringLiteral("无法连接行情服务：找不到主机");
    QTest::newRow("failure after success: the prices' age too")
        << QList<FeedOutcome>{live(at(14, 32, 5)), failed(QuoteFailure::HttpStatus, 403)}
        << QStringLiteral("行情服务拒绝请求（HTTP 403）\n显示的行情更新于 14:32:05");
    QTest::newRow("failure after a stored reply")
        << QList<FeedOutcome>{stored(at(15, 0, 3)), failed(QuoteFailure::Timeout)}
        << QStringLiteral("连接超时\n显示的行情更新于 15:00:03");
    FeedOutcome ofAnother = failed(QuoteFailure::NotQuoteData);
    ofAnother.stockName = QStringLiteral("宁德时代");
    QTest::newRow("failure of another stock than the one shown")
        << QList<FeedOutcome>{live(at(14, 32, 5)), ofAnother}
        << QStringLiteral("宁德时代：应答不是行情数据\n显示的行情更新于 14:32:05");
    QTest::newRow("latest failure wins")
        << QList<FeedOutcome>{failed(QuoteFailure::Timeout), failed(QuoteFailure::NotQuoteData)}
        << QStringLiteral("应答不是行情数据");
    // Which service answered, where it is the second; after a failure of both, both reasons.
    const Refusal forbidden{QuoteFailure::HttpStatus, 403};
    QTest::newRow("second service standing in")
        << QList<FeedOutcome>{second(live(at(14, 32, 5)), forbidden)}
        << QStringLiteral("行情更新于 14:32:05\n行情来源：腾讯（新浪：拒绝请求 HTTP 403）");
    QTest::newRow("second service chosen") << QList<FeedOutcome>{second(live(at(14, 32, 5)), {})}
                                           << QStringLiteral("行情更新于 14:32:05\n行情来源：腾讯");
    QTest::newRow("second service after too large an answer")
        << QList<FeedOutcome>{second(live(at(14, 32, 5)), Refusal{QuoteFailure::TooLarge, 200})}
        << QStringLiteral("行情更新于 14:32:05\n行情来源：腾讯（新浪：应答过大）");
    QTest::newRow("both fail") << QList<FeedOutcome>{second(live(at(14, 32, 5)), forbidden),
                                                     second(
                                                         failed(QuoteFailure::Timeout),
                                                         Refusal{QuoteFailure::NotQuoteData, 200})}
                               << QStringLiteral("连接超时\n显示的行情更新于 14:32:05\n"
                                                 "行情来源：腾讯（新浪：应答不是行情数据）");
    QTest::newRow("success after failure")
        << QList<FeedOutcome>{live(at(9, 30, 0)), failed(QuoteFailure::ConnectionRefused),
                              live(at(9, 30, 12))}
        << QStringLiteral("行情更新于 09:30:12");

    // The market's own clock, where the record tells it.
    using K = FeedOutcome::Kind;
    const QDateTime afternoon = cst(10, 8, 14, 32, 5);
    QTest::newRow("record of today")
        << QList<FeedOutcome>{record(K::Live, afternoon, afternoon.addSecs(3), true)}
        << QStringLiteral("行情更新于 14:32:05");
    QTest::newRow("record of an earlier day")
        << QList<FeedOutcome>{record(K::Live, cst(9, 30, 15, 0, 3), afternoon)}
        << QStringLiteral("行情更新于 2026-09-30 15:00:03");
    QTest::newRow("closed, record of an earlier day")
        << QList<FeedOutcome>{record(K::Stored, cst(9, 30, 15, 0, 3), cst(10, 1, 10, 30))}
        << QStringLiteral("休市中 · 行情为 2026-09-30 15:00:03 的数据");
    QTest::newRow("failure after a record")
        << QList<FeedOutcome>{record(K::Live, afternoon, afternoon, true),
                              failed(QuoteFailure::Timeout)}
        << QStringLiteral("连接超时\n显示的行情更新于 14:32:05");
    QTest::newRow("stale in a session")
        << QList<FeedOutcome>{record(K::Live, cst(10, 8, 10, 0), cst(10, 8, 10, 12, 30), true)}
        << QStringLiteral("行情更新于 10:00:00\n行情已 12 分钟未更新");
    QTest::newRow("five minutes is not stale yet")
        << QList<FeedOutcome>{record(K::Live, cst(10, 8, 10, 0), cst(10, 8, 10, 5), true)}
        << QStringLiteral("行情更新于 10:00:00");
    QTest::newRow("five minutes and a second is stale")
        << QList<FeedOutcome>{record(K::Live, cst(10, 8, 10, 0), cst(10, 8, 10, 5, 1), true)}
        << QStringLiteral("行情更新于 10:00:00\n行情已 5 分钟未更新");
    QTest::newRow("stale an hour")
        << QList<FeedOutcome>{record(K::Live, cst(10, 8, 10, 0), cst(10, 8, 11, 0), true)}
        << QStringLiteral("行情更新于 10:00:00\n行情已 1 小时 0 分钟未更新");
    QTest::newRow("old, but outside the sessions")
        << QList<FeedOutcome>{record(K::Live, cst(10, 8, 15, 0, 3), cst(10, 8, 15, 40), false)}
        << QStringLiteral("行情更新于 15:00:03");

    const struct {
        const char* name;
        QuoteFailure failure;
        int status;
        const char16_t* text;
    } kinds[] = {
        {"connection refused", QuoteFailure::ConnectionRefused, 0, u"无法连接行情服务：连接被拒绝"},
        {"other network error", QuoteFailure::Network, 0, u"无法连接行情服务：网络错误"},
        {"timeout", QuoteFailure::Timeout, 0, u"连接超时"},
        {"HTTP 503", QuoteFailure::HttpStatus, 503, u"行情服务拒绝请求（HTTP 503）"},
        {"not quote data", QuoteFailure::NotQuoteData, 200, u"应答不是行情数据"},
        {"too large", QuoteFailure::TooLarge, 200, u"应答过大，不是行情数据"},
        {"redirect refused", QuoteFailure::RedirectRefused, 302, u"行情服务把请求转往别处，已拒绝"},
        {"too many redirects", QuoteFailure::TooManyRedirects, 302, u"行情服务转向次数过多"},
        {"code too long", QuoteFailure::CodeTooLong, 0, u"股票代码无效，未请求行情"},
    };
    for (const auto& kind : kinds)
        QTest::newRow(kind.name) << QList<FeedOutcome>{failed(kind.failure, kind.status)}
                                 << QString::fromUtf16(kind.text);
}

void TestFeedStatus::sequences() {
    QFETCH(QList<FeedOutcome>, outcomes);
    QFETCH(QString, text);
    FeedStatus status;
    for (const FeedOutcome& outcome : outcomes)
        status.record(outcome);
    QCOMPARE(status.text(), text);
}

void TestFeedStatus::changesAreSignalled() {
    FeedStatus status;
    QSignalSpy changed(&status, &FeedStatus::textChanged);
    status.record(failed(QuoteFailure::Timeout));
    status.record(failed(QuoteFailure::Timeout)); // the same text: no news
    status.record(live(at(10, 0, 0)));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.last().at(0).toString(), status.text());
}

QTEST_GUILESS_MAIN(TestFeedStatus)
#include "tst_feedstatus.moc"
