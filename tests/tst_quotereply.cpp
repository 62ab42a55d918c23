// SPDX-License-Identifier: GPL-3.0-or-later
#include "quotes/quoteparse.h"
#include "quotes/quoterecord.h"
#include "quotes/quotereply.h"
#include "ticker/tickertexts.h"

#include <QTest>

using namespace tarnwel;

class TestQuoteReply : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void field_data();
    void field();
    void volume_data();
    void volume();
    void emptyFieldsText();
    void clean_data();
    void clean();
    void stealthCaption_data();
    void stealthCaption();
    void shownPrice_data();
    void shownPrice();
    void levelsAndIndexMoves_data();
    void levelsAndIndexMoves();
};

void TestQuoteReply::field_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("k");
    QTest::addColumn<bool>("cut");
    QTest::addColumn<QString>("value");

    const QString stock = QStringLiteral("var hq_str_sh600028=\"中国石化,5.20,5.18,5.23,5.30,5.15,"
                                         "5.22,5.23,12345678,64512345.00\";\n");
    QTest::newRow("price") << stock << 3 << true << QStringLiteral("5.23");
    QTest::newRow("volume") << stock << 8 << true << QStringLiteral("12345678");
    QTest::newRow("framing after the last comma") << stock << 9 << false << QString();
    QTest::newRow("empty field") << QStringLiteral("x,,,,,,,,,") << 4 << true << QString();
    QTest::newRow("no comma") << QStringLiteral("var hq_str_sh699999=\"\";") << 1 << false
                              << QString();
    // Three commas: field 3 would run to the end of the reply, framing and all.
    QTest::newRow("index without closing comma")
        << QStringLiteral("上证指数,3050.1,3040.4,3061.789\";") << 3 << false << QString();
    QTest::newRow("too few commas never wrap to the start")
        << QStringLiteral("a,b,c") << 4 << false << QString();
    QTest::newRow("full-width comma, blanks and line ends are text")
        << QStringLiteral("名称, 1，5\r\n,2,") << 1 << true << QStringLiteral(" 1，5\r\n");
}

void TestQuoteReply::field() {
    QFETCH(QString, reply);
    QFETCH(int, k);
    QFETCH(bool, cut);
    QFETCH(QString, value);
    const std::optional<QString> result = quotereply::field(reply, k);
    QCOMPARE(result.has_value(), cut);
    QCOMPARE(result.value_or(QString()), value);
}

void TestQuoteReply::volume_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text"); // empty: the volume cannot be read

    QTest::newRow("worked example") << QStringLiteral("12345678") << QStringLiteral("123457");
    QTest::newRow("tie down to even") << QStringLiteral("250") << QStringLiteral("2");
    QTest::newRow("tie up to even") << QStringLiteral("350") << QStringLiteral("4");
    QTest::newRow("half a lot") << QStringLiteral("50") << QStringLiteral("0");
    QTest::newRow("empty") << QString() << QStringLiteral("0");
    QTest::newRow("blanks, decimals, trailing text")
        << QStringLiteral("  1250.50万") << QStringLiteral("13");
    QTest::newRow("no exponent read") << QStringLiteral("1e5") << QStringLiteral("0");
    QTest::newRow("small negative is not -0") << QStringLiteral("-30") << QStringLiteral("0");
    QTest::newRow("large, plain digits")
        << QStringLiteral("987654321098") << QStringLiteral("9876543211");
    // Too many digits for a double: "inf" must never reach the screen.
    QTest::newRow("overflow") << QString(350, u'9') << QString();
}

void TestQuoteReply::volume() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    const std::optional<double> lots = quotereply::volumeLots(field);
    QCOMPARE(lots.has_value(), !text.isEmpty());
    if (lots)
        QCOMPARE(quotereply::lotsText(*lots), text);
}

void TestQuoteReply::emptyFieldsText() {
    // Nine commas in a row after the name, for a Shenzhen stock.
    QuoteValues v;
    v.currentStockName = QStringLiteral("万科Ａ");
    v.currentStockCode = QStringLiteral("sz000002");
    const TickerTexts t = tickerTexts(v);
    QCOMPARE(t.label4, QStringLiteral("最高:  最低:"));
    QCOMPARE(t.label3, QStringLiteral("昨收:  今开:  成交:0"));
    QCOMPARE(t.label2, QString());
    QCOMPARE(t.stealthCaption, QStringLiteral("000002()"));
    QCOMPARE(t.stealthTooltip, QStringLiteral("万科Ａ(最高: 最低: 成交:0)沪综指: 深成指:"));
}

void TestQuoteReply::clean_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("clean");
    QTest::newRow("price") << QStringLiteral("5.23") << true;
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("Chinese and full-width") << QStringLiteral("中国石化Ａ") << true;
    QTest::newRow("tab") << QStringLiteral("5.2\t3") << false;
    QTest::newRow("line break") << QStringLiteral("5.23\n") << false;
    QTest::newRow("escape") << QStringLiteral("\x1b[2J") << false;
    QTest::newRow("delete") << QStringLiteral("5\x7f") << false;
    QTest::newRow("C1 control") << QStringLiteral("5\u0085") << false;
    QTest::newRow("replacement character") << QStringLiteral("5.\uFFFD") << false;
    QTest::newRow("private use: GBK's 0xFF") << QStringLiteral("5.\uF8F5") << false;
}

void TestQuoteReply::clean() {
    QFETCH(QString, field);
    QFETCH(bool, clean);
    QCOMPARE(quotereply::isClean(field), clean);
}

void TestQuoteReply::stealthCaption_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Shanghai") << QStringLiteral("sh600028") << QStringLiteral("600028(5.23)");
    QTest::newRow("Shenzhen") << QStringLiteral("sz300750") << QStringLiteral("300750(5.23)");
    QTest::newRow("Beijing") << QStringLiteral("bj430047") << QStringLiteral("430047(5.23)");
    QTest::newRow("bare digits") << QStringLiteral("600028") << QStringLiteral("600028(5.23)");
    // Every occurrence goes, not only the prefix.
    QTest::newRow("prefix inside") << QStringLiteral("sh60sz28") << QStringLiteral("6028(5.23)");
    QTest::newRow("upper case kept")
        << QStringLiteral("BJ430047") << QStringLiteral("BJ430047(5.23)");
}

void TestQuoteReply::stealthCaption() {
    QFETCH(QString, code);
    QFETCH(QString, caption);
    QuoteValues v;
    v.currentStockName = QStringLiteral("某股");
    v.currentStockCode = code;
    v.lastPrice = QStringLiteral("5.23");
    const TickerTexts t = tickerTexts(v);
    QCOMPARE(t.stealthCaption, caption);
    QVERIFY(t.stealthTooltip.startsWith(QStringLiteral("某股(最高:")));
}

namespace {

// A stock record of 33 fields: open, previous close, price, high, low; bid 1 at `bid`;
// the time and, unless empty, the status. Shanghai's trailing comma included.
QString record(const char* price, const char* bid, const char* time, const char* status,
               const char* close = "9.000") {
    QStringList fields(30, QStringLiteral("0"));
    fields[0] = QStringLiteral("var hq_str_sh600000=\"浦发银行");
    fields[2] = QString::fromLatin1(close);
    fields[3] = QString::fromLatin1(price);
    fields[11] = QString::fromLatin1(bid);
    fields << QStringLiteral("2026-08-31") << QString::fromLatin1(time);
    if (*status)
        fields << QString::fromLatin1(status) << QString();
    return fields.join(u',') + u"\";";
}

} // namespace

Q_DECLARE_METATYPE(tarnwel::PriceKind)

void TestQuoteReply::shownPrice_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<PriceKind>("kind");
    QTest::addColumn<QString>("price");

    using K = PriceKind;
    QTest::newRow("traded") << record("9.120", "9.110", "10:00:00", "00") << K::Traded
                            << QStringLiteral("9.120");
    QTest::newRow("traded, status 03 all the same")
        << record("9.120", "0", "10:00:00", "03") << K::Traded << QStringLiteral("9.120");
    QTest::newRow("suspended") << record("0.000", "0", "10:00:00", "03") << K::Suspended
                               << QStringLiteral("9.000");
    QTest::newRow("delisted") << record("0.000", "0", "10:00:00", "-3") << K::Delisted << QString();
    QTest::newRow("not listed") << record("0.000", "0", "10:00:00", "-2") << K::NotListed
                                << QString();
    QTest::newRow("auction with a match price")
        << record("0.000", "9.050", "09:22:28", "00") << K::Auction << QStringLiteral("9.050");
    QTest::newRow("auction without one")
        << record("0.000", "0.000", "09:22:28", "00") << K::NotTraded << QStringLiteral("9.000");
    QTest::newRow("no trade after the auction")
        << record("0.000", "9.050", "09:40:00", "00") << K::NotTraded << QStringLiteral("9.000");
    QTest::newRow("two decimals, no status field")
        << record("0.00", "0.00", "10:00:00", "") << K::NotTraded << QStringLiteral("9.000");
    // The auction's first second against the last before it, its last against the first after.
    QTest::newRow("before the auction")
        << record("0.000", "9.050", "09:14:59", "00") << K::NotTraded << QStringLiteral("9.000");
    QTest::newRow("auction, its first second")
        << record("0.000", "9.050", "09:15:00", "00") << K::Auction << QStringLiteral("9.050");
    QTest::newRow("auction, its last second")
        << record("0.000", "9.050", "09:25:59", "00") << K::Auction << QStringLiteral("9.050");
    QTest::newRow("auction over") << record("0.000", "9.050", "09:26:00", "00") << K::NotTraded
                                  << QStringLiteral("9.000");
    // A negative or non-finite price is no trade.
    QTest::newRow("negative price")
        << record("-1.00", "0", "10:00:00", "00") << K::NotTraded << QStringLiteral("9.000");
    QTest::newRow("infinite price")
        << record("inf", "0", "10:00:00", "00") << K::NotTraded << QStringLiteral("9.000");
    // Nothing to stand in: the price stays empty, never "0.000".
    QTest::newRow("no trade, no previous close")
        << record("0.000", "0", "10:00:00", "00", "0.000") << K::NotTraded << QString();
}

void TestQuoteReply::shownPrice() {
    QFETCH(QString, reply);
    const ParsedReply parsed = parseReply(QuoteService::Sina, reply, QStringLiteral("sh600000"));
    QCOMPARE(parsed.kind, ReplyKind::Quote);
    const ShownPrice shown = quoterecord::shownPrice(parsed.quote);
    QTEST(shown.kind, "kind");
    QTEST(shown.price, "price");
}

void TestQuoteReply::levelsAndIndexMoves_data() {
    QTest::addColumn<PriceKind>("kind");
    QTest::addColumn<QString>("open");
    QTest::addColumn<QStringList>("indices"); // Shanghai's value and close, then Shenzhen's
    QTest::addColumn<QString>("label3");
    QTest::addColumn<int>("shDirection");
    QTest::addColumn<int>("szDirection");

    QTest::newRow("suspended: a zero open is no level; the indices move apart")
        << PriceKind::Suspended << QStringLiteral("0.000")
        << QStringList{u"2990.000"_qs, u"3000.000"_qs, u"10300.000"_qs, u"10234.567"_qs}
        << QStringLiteral("昨收:9.000  今开:--  成交:0") << -1 << 1;
    QTest::newRow("an index of zero does not move")
        << PriceKind::Traded << QStringLiteral("0.000")
        << QStringList{u"0.000"_qs, u"3000.000"_qs, u"0"_qs, u"10234.567"_qs}
        << QStringLiteral("昨收:9.000  今开:0.000  成交:0") << 0 << 0;
}

void TestQuoteReply::levelsAndIndexMoves() {
    QFETCH(PriceKind, kind);
    QFETCH(QString, open);
    QFETCH(QStringList, indices);
    QuoteValues v;
    v.priceKind = kind;
    v.openPrice = open;
    v.prevClose = QStringLiteral("9.000");
    v.lastPrice = QStringLiteral("9.000");
    v.shIndexValue = indices[0];
    v.shIndexClose = indices[1];
    v.szIndexValue = indices[2];
    v.szIndexClose = indices[3];
    const TickerTexts t = tickerTexts(v);
    QTEST(t.label3, "label3");
    QTEST(t.shDirection, "shDirection");
    QTEST(t.szDirection, "szDirection");
}

QTEST_GUILESS_MAIN(TestQuoteReply)
#include "tst_quotereply.moc"
