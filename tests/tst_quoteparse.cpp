// SPDX-License-Identifier: GPL-3.0-or-later
#include "quotes/markethours.h"
#include "quotes/quoteparse.h"
#include "quotes/quoterecord.h"
#include "testfiles.h"

#include <QTest>

using namespace tarnwel;

Q_DECLARE_METATYPE(tarnwel::QuoteService)
Q_DECLARE_METATYPE(tarnwel::ReplyKind)
Q_DECLARE_METATYPE(tarnwel::PriceKind)

namespace {

QString recorded(QuoteService service, const char* file) {
    const QString dir = service == QuoteService::Sina ? QStringLiteral(QUOTE_REPLIES_DIR)
                                                      : QStringLiteral(TENCENT_REPLIES_DIR);
    return QString::fromUtf8(readAll(dir + u'/' + QLatin1String(file)));
}

// The fields the screen shows, as one text: open / previous close / price / high / low /
// lots, "-" for a field the record does not hold.
QString shownFields(const Quote& q) {
    QStringList parts;
    for (const std::optional<QString>& field : {q.open, q.prevClose, q.price, q.high, q.low})
        parts << field.value_or(QStringLiteral("-"));
    parts << (q.volumeLots ? QString::number(*q.volumeLots, 'f', 0) : QStringLiteral("-"));
    return parts.join(u'/');
}

} // namespace

class TestQuoteParse : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recordedReplies_data();
    void recordedReplies();
    void batch();
    void padding_data();
    void padding();
};

void TestQuoteParse::recordedReplies_data() {
    QTest::addColumn<QuoteService>("service");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("code");
    QTest::addColumn<ReplyKind>("kind");
    QTest::addColumn<QString>("fields"); // open/close/price/high/low/lots
    QTest::addColumn<QString>("time");   // on the exchange's clock; empty: none
    QTest::addColumn<PriceKind>("shown");
    QTest::addColumn<QString>("price"); // as shown

    const auto S = QuoteService::Sina;
    const auto T = QuoteService::Tencent;
    const auto row = [](const char* tag, QuoteService service, const QString& reply,
                        const char* code, const char* fields, const char* time, PriceKind shown,
                        const char* price) {
        QTest::newRow(tag) << service << reply << QString::fromLatin1(code) << ReplyKind::Quote
                           << QString::fromLatin1(fields) << QString::fromLatin1(time) << shown
                           << QString::fromLatin1(price);
    };
    const auto none = [](const char* tag, QuoteService service, const QString& reply,
                         ReplyKind kind) {
        QTest::newRow(tag) << service << reply << QStringLiteral("sz300999") << kind << QString()
                           << QString() << PriceKind::Traded << QString();
    };
    using K = PriceKind;

    // The first service, three-decimal prices and volumes in shares.
    const QString markets = recorded(S, "three-markets-2026-06-11.txt");
    row("Shanghai", S, markets.section(u'\n', 0, 0), "sh600519",
        "1272.120/1275.880/1270.320/1282.880/1266.910/13653", "2026-06-11 11:22:37", K::Traded,
        "1270.320");
    row("Beijing", S, markets.section(u'\n', 2, 2), "bj920371",
        "8.980/8.880/9.030/9.380/8.430/47379", "2026-06-11 11:22:37", K::Traded, "9.030");
    row("index", S, recorded(S, "indices-2022-04-07.txt").section(u'\n', 0, 0), "sh000001",
        "3267.8103/3283.4261/3236.6951/3290.2561/3236.4791/4026267", "2022-04-07 15:01:09",
        K::Traded, "3236.6951");
    row("suspended", S, recorded(S, "suspended-sz002729-2022-11-22.txt"), "sz002729",
        "0.000/35.360/0.000/0.000/0.000/0", "2022-11-22 11:30:00", K::Suspended, "35.360");
    row("delisted", S, recorded(S, "delisted-sz002220-2022-11-22.txt"), "sz002220",
        "0.000/0.000/0.000/0.000/0.000/0", "2022-11-18 12:20:48", K::Delisted, "");
    row("call auction", S,
        u"var hq_str_sh600000=\"" +
            recorded(S, "call-auction-sh600000-2026-08-31-payload.txt").trimmed() + u"\";",
        "sh600000", "0.000/9.000/0.000/0.000/0.000/0", "2026-08-31 09:22:28", K::Auction, "9.000");
    none("empty record", S, recorded(S, "empty-record-sz002257.txt"), ReplyKind::NoRecord);
    none("refused", S, recorded(S, "sys-auth-failed.txt"), ReplyKind::NotQuote);
    none("403 page", S, recorded(S, "refused-403-body.txt"), ReplyKind::NotQuote);

    // The second service: prices padded to three decimals, except an index's and a fund's
    // third; volumes in lots, the STAR market's in shares.
    row("second: Shanghai", T, recorded(T, "stock_sh600000_2026-09-14_close.txt"), "sh600000",
        "9.280/9.260/9.400/9.430/9.240/771871", "2026-09-14 16:14:38", K::Traded, "9.400");
    row("second: Shenzhen", T, recorded(T, "stock_sz000001_2026-09-14_close.txt"), "sz000001",
        "11.730/11.740/11.850/11.900/11.720/741248", "2026-09-14 16:14:48", K::Traded, "11.850");
    row("second: ChiNext", T, recorded(T, "chinext_sz300750_2023-11-16_close.txt"), "sz300750",
        "185.480/184.480/181.150/185.490/180.100/174662", "2023-11-16 16:14:03", K::Traded,
        "181.150");
    row("second: fund", T, recorded(T, "etf_sh510300_2026-08-25_close.txt"), "sh510300",
        "4.601/4.627/4.616/4.639/4.587/7452568", "2026-08-25 16:14:54", K::Traded, "4.616");
    row("second: STAR, shares to lots", T, recorded(T, "star_sh688256_2026-06-03_close.txt"),
        "sh688256", "1292.300/1300.000/1378.100/1428.010/1291.000/165598", "2026-06-03 15:50:49",
        K::Traded, "1378.100");
    row("second: STAR depositary receipt, shares to lots", T,
        recorded(T, "star_sh688256_2026-06-03_close.txt")
            .replace(QStringLiteral("v_sh688256="), QStringLiteral("v_sh689009=")),
        "sh689009", "1292.300/1300.000/1378.100/1428.010/1291.000/165598", "2026-06-03 15:50:49",
        K::Traded, "1378.100");
    const QString multi = recorded(T, "multi_sh600036_sz000001_bj920002_2026-09-30_close.txt");
    row("second: Beijing, among others", T, multi, "bj920002",
        "51.560/52.320/51.940/55.900/50.330/19680", "2026-09-30 15:34:30", K::Traded, "51.940");
    row("second: index unpadded", T, recorded(T, "index_sh000001_2026-06-11_close.txt"), "sh000001",
        "3979.71/3993.23/3987.01/3997.48/3958.44/568545244", "2026-06-11 16:14:16", K::Traded,
        "3987.01");
    row("second: index after another", T,
        recorded(T, "index_multi_sh000001_sz399001_2026-05-22_close_no_separator.txt"), "sz399001",
        "15382.29/15247.27/15597.30/15624.97/15295.57/763067278", "2026-05-22 16:14:00", K::Traded,
        "15597.30");
    // "S": its price field repeats the previous close, which is no trade.
    row("second: suspended", T, recorded(T, "suspended_sz000016_status-S_2026-09-14.txt"),
        "sz000016", "0.000/2.460/2.460/0.000/0.000/0", "2026-09-14 16:14:51", K::Suspended,
        "2.460");
    // "D" beside a name that ends in 退: on its way out, with no price at all.
    row("second: delisted", T,
        recorded(T, "suspended_sz000016_status-S_2026-09-14.txt")
            .replace(QStringLiteral("~*ST康佳A~"), QStringLiteral("~*ST康佳退~"))
            .replace(QStringLiteral("~S~"), QStringLiteral("~D~")),
        "sz000016", "0.000/2.460/2.460/0.000/0.000/0", "2026-09-14 16:14:51", K::Delisted, "");
    none("second: no such code", T,
         recorded(T, "empty_v_pv_none_match_unknown_or_delisted_code_2026-09-14.txt"),
         ReplyKind::NoRecord);
    none("second: a first-service reply", T, markets, ReplyKind::NotQuote);

    // Damaged records never shift values: the timestamp must stand where it belongs.
    const QString stock = recorded(T, "stock_sh600000_2026-09-14_close.txt");
    QString shifted = stock;
    shifted.replace(QStringLiteral("~9.40~9.26~"), QStringLiteral("~9.40~~9.26~"));
    QTest::newRow("second: a field too many")
        << T << shifted << QStringLiteral("sh600000") << ReplyKind::NotQuote << QString()
        << QString() << K::Traded << QString();
    QTest::newRow("second: cut short")
        << T << stock.section(u'~', 0, 31) + u"\";" << QStringLiteral("sh600000")
        << ReplyKind::NotQuote << QString() << QString() << K::Traded << QString();
    QTest::newRow("second: control character in the price")
        << T << QString(stock).replace(QStringLiteral("~9.40~"), QStringLiteral("~9.4\u0007~"))
        << QStringLiteral("sh600000") << ReplyKind::NotQuote << QString() << QString() << K::Traded
        << QString();
}

void TestQuoteParse::recordedReplies() {
    QFETCH(QuoteService, service);
    QFETCH(QString, reply);
    QFETCH(QString, code);
    QFETCH(ReplyKind, kind);

    const ParsedReply parsed = parseReply(service, reply, code);
    QCOMPARE(parsed.kind, kind);
    if (kind != ReplyKind::Quote)
        return;
    const Quote& q = parsed.quote;
    QCOMPARE(q.service, service);
    QCOMPARE(q.code, code);
    QTEST(shownFields(q), "fields");
    QTEST(q.time.toTimeZone(MarketHours::exchangeZone()).toString(u"yyyy-MM-dd HH:mm:ss"), "time");
    const ShownPrice shown = quoterecord::shownPrice(q);
    QTEST(shown.kind, "shown");
    QTEST(shown.price, "price");
}

// One request for several codes: each code's line, whatever the order, and a code without
// a line of its own.
void TestQuoteParse::batch() {
    const QString sina = recorded(QuoteService::Sina, "three-markets-2026-06-11.txt");
    const QList<ParsedReply> first = parseReplies(
        QuoteService::Sina, sina,
        {QStringLiteral("bj920371"), QStringLiteral("sh600028"), QStringLiteral("sz000001")});
    QCOMPARE(first.size(), 3);
    QCOMPARE(first[0].quote.price, QStringLiteral("9.030"));
    QCOMPARE(first[1].kind, ReplyKind::NotQuote);
    QCOMPARE(first[2].quote.price, QStringLiteral("11.300"));

    const QString tencent =
        recorded(QuoteService::Tencent, "multi_sh600036_sz000001_bj920002_2026-09-30_close.txt");
    const QList<ParsedReply> second = parseReplies(
        QuoteService::Tencent, tencent, {QStringLiteral("sz000001"), QStringLiteral("sh600036")});
    QCOMPARE(second[0].quote.price, QStringLiteral("11.570"));
    QCOMPARE(second[1].quote.price, QStringLiteral("41.260"));
}

void TestQuoteParse::padding_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("padded");
    QTest::newRow("two decimals") << QStringLiteral("5.23") << QStringLiteral("5.230");
    QTest::newRow("one") << QStringLiteral("5.2") << QStringLiteral("5.200");
    QTest::newRow("none") << QStringLiteral("12") << QStringLiteral("12.000");
    QTest::newRow("three stay") << QStringLiteral("4.616") << QStringLiteral("4.616");
    QTest::newRow("four never rounded") << QStringLiteral("5.2345") << QStringLiteral("5.2345");
    QTest::newRow("negative") << QStringLiteral("-0.5") << QStringLiteral("-0.500");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("not a number") << QStringLiteral("1.2.3") << QStringLiteral("1.2.3");
}

void TestQuoteParse::padding() {
    QFETCH(QString, text);
    QTEST(padToThreeDecimals(text), "padded");
}

QTEST_GUILESS_MAIN(TestQuoteParse)
#include "tst_quoteparse.moc"
