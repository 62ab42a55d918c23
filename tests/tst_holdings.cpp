// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/settingsstore.h"
#include "holdings/holding.h"
#include "holdings/holdingsbook.h"
#include "quotes/markethours.h"
#include "testfiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwel;

namespace {

const QDate kMonday(2024, 6, 3);

QDateTime exchangeTime(const QDate& day, QTime time) {
    return QDateTime(day, time, MarketHours::exchangeZone());
}

// "5.23/5.18" traded at 5.23 after a close of 5.18; "suspended 5.18", "auction 5.30/5.18"
// (the provisional price during the opening auction), "delisted".
Quote quoteOf(const QString& code, const QString& described, const QDateTime& time) {
    Quote quote;
    quote.code = code;
    quote.time = time;
    const QStringList words = described.split(u' ');
    const QStringList prices = words.last().split(u'/');
    quote.price = prices.first();
    quote.prevClose = prices.last();
    const QString kind = words.size() > 1 ? words.first() : QString();
    if (kind == u"suspended") {
        quote.status = TradingStatus::Suspended;
    } else if (kind == u"auction") {
        quote.price = QStringLiteral("0.000");
        quote.bid1 = prices.first();
        quote.time = exchangeTime(time.date(), QTime(9, 20));
    } else if (described == u"delisted") {
        quote.status = TradingStatus::Delisted;
        quote.price = quote.prevClose = QStringLiteral("0.000");
    }
    return quote;
}

// A figure's colour follows its own sign; words and hidden figures have none.
bool signsAgree(const SignedLine& line) {
    for (const SignedPiece& piece : line) {
        const QChar first = piece.text.isEmpty() ? QChar() : piece.text.front();
        const int written = first == u'+' ? 1 : first == u'-' && piece.text != u"--" ? -1 : 0;
        if (written != piece.sign)
            return false;
    }
    return true;
}

} // namespace

class TestHoldings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void figures_data();
    void figures();
    void storedForm_data();
    void storedForm();
    void settingsFile();
    void book_data();
    void book();
};

void TestHoldings::figures_data() {
    QTest::addColumn<qint64>("shares");
    QTest::addColumn<QString>("cost");
    QTest::addColumn<QString>("quote");
    QTest::addColumn<bool>("ofToday");
    QTest::addColumn<QString>("today"); // empty: none
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("ret");

    const auto row = [](const char* tag, qint64 shares, const char* cost, const char* quote,
                        bool ofToday, const char* today, const char* total, const char* ret) {
        QTest::newRow(tag) << shares << QString::fromLatin1(cost) << QString::fromLatin1(quote)
                           << ofToday << QString::fromLatin1(today) << QString::fromLatin1(total)
                           << QString::fromLatin1(ret);
    };
    row("up", 1000, "5.12", "5.23/5.18", true, "+50.00", "+110.00", "+2.15%");
    row("down", 500, "10", "9.754/9.80", true, "-23.00", "-123.00", "-2.46%");
    row("unchanged", 100, "5.230", "5.230/5.230", true, "0.00", "0.00", "0.00%");
    row("zero cost: no return", 100, "0", "5.23/5.18", true, "+5.00", "+523.00", "");
    // -0.0001 yuan in all, a return of -0.0001%.
    row("a gain that rounds to zero keeps its sign", 1, "100.0001", "100.000/100.000", true, "0.00",
        "-0.00", "-0.00%");
    row("half a cent rounds away from zero", 1, "2", "2.005/2.010", true, "-0.01", "+0.01",
        "+0.25%");
    row("half a hundredth of a percent rounds up", 1, "2", "2.0001/2.0001", true, "0.00", "+0.00",
        "+0.01%");
    row("suspended counts at the previous close", 1000, "5.12", "suspended 5.18", true, "0.00",
        "+60.00", "+1.17%");
    row("auction at its provisional price", 1000, "5.12", "auction 5.30/5.18", true, "+120.00",
        "+180.00", "+3.52%");
    row("no previous close: nothing today", 1000, "5.12", "5.23/0.000", true, "", "+110.00",
        "+2.15%");
    row("delisted: no price, no figures", 1000, "5.12", "delisted", true, "", "", "");
    row("an earlier day's record: nothing today", 1000, "5.12", "5.23/5.18", false, "", "+110.00",
        "+2.15%");
    row("ten billion shares at four-digit prices", kMaxShares, "1234.5678", "1500.123/1499.999",
        true, "+1240000000.00", "+2655552000000.00", "+21.51%");
    // 10^10 × 9999999.999999 in cents is beyond 64 bits.
    row("beyond 64 bits, exact", kMaxShares, "0.0001", "9999999.999999/0.000001", true,
        "+99999999999980000.00", "+99999999998990000.00", "+9999999999899.00%");
    row("beyond 64 bits, down", kMaxShares, "9999999.9999", "0.001/0.002", true, "-10000000.00",
        "-99999999989000000.00", "-100.00%");
}

void TestHoldings::figures() {
    QFETCH(qint64, shares);
    QFETCH(QString, cost);
    QFETCH(QString, quote);
    QFETCH(bool, ofToday);
    QFETCH(QString, ret);
    const HoldingFigures f = holdingFigures(
        {shares, cost}, quoteOf(QStringLiteral("sh600028"), quote, exchangeTime(kMonday, {10, 0})),
        ofToday);
    QTEST(f.today ? amountText(*f.today) : QString(), "today");
    QTEST(f.total ? amountText(*f.total) : QString(), "total");
    QCOMPARE(f.total ? returnText(*f.total, f.basis).value_or(QString()) : QString(), ret);
}

void TestHoldings::storedForm_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<qint64>("shares");
    QTest::addColumn<QString>("cost");
    QTest::addColumn<QString>("written");

    const auto good = [](const char* tag, const char* stored, qint64 shares, const char* cost,
                         const char* written) {
        QTest::newRow(tag) << QString::fromLatin1(stored) << true << shares
                           << QString::fromLatin1(cost) << QString::fromLatin1(written);
    };
    const auto bad = [](const char* tag, const char* stored) {
        QTest::newRow(tag) << QString::fromLatin1(stored) << false << qint64(0) << QString()
                           << QString();
    };
    good("as written", "shares:1000;cost:5.12", 1000, "5.12", "shares:1000;cost:5.12");
    good("any order, blanks, zeros in front, a trailing semicolon",
         " cost: 05.120 ; shares: 01000 ;", 1000, "5.120", "shares:1000;cost:5.120");
    good("whole shares written with decimals, cost zero", "shares:1000.00;cost:.0", 1000, "0.0",
         "shares:1000;cost:0.0");
    good("the limits", "shares:10000000000;cost:9999999.9999", kMaxShares, "9999999.9999",
         "shares:10000000000;cost:9999999.9999");
    bad("shares only", "shares:1000");
    bad("empty cost", "shares:1000;cost:");
    bad("garbage", "abc");
    bad("unknown part", "shares:1000;cost:5.12;fee:5");
    bad("twice", "shares:1000;shares:200;cost:5.12");
    bad("more than ten billion", "shares:10000000001;cost:5");
    bad("many digits", "shares:99999999999999999999999;cost:5");
    // The values' own rules are the dialog's; one bad value spoils the whole.
    bad("negative cost", "shares:1000;cost:-1");
}

void TestHoldings::storedForm() {
    QFETCH(QString, stored);
    QFETCH(bool, reads);
    const std::optional<Holding> holding = parseHolding(stored);
    QCOMPARE(holding.has_value(), reads);
    if (!holding)
        return;
    QTEST(holding->shares, "shares");
    QTEST(holding->cost, "cost");
    QTEST(storedHolding(*holding), "written");
}

// Holdings written by hand: read as they stand, a damaged one ignored, logged once and never
// rewritten; the holdings of stocks that left the list removed together.
void TestHoldings::settingsFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vevivudaz.conf"));
    QVERIFY(writeAll(path, "[vevivudaz]\nop=60%\n\n[holdings]\n"
                           "sh600028=shares:1000;cost:5.12\n"
                           "sh600000=shares:1000;cost:abc\n"
                           "sz000001=shares:200;cost:10\n"
                           "sz000002=shares:300;cost:20\n"));
    SettingsStore store(path);
    QCOMPARE(store.hidesAmounts(), false); // missing reads as off
    const QStringList listed{QStringLiteral("sh600028"), QStringLiteral("sh600000")};
    QCOMPARE(heldCodes(store, listed), QStringList{QStringLiteral("sh600028")});

    HoldingsBook book;
    QTest::ignoreMessage(QtWarningMsg,
                         "holding of sh600000 does not read, ignored: shares:1000;cost:abc");
    book.load(store, listed);
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    book.reload(store);
    QCOMPARE(plainText(book.stockLine(QStringLiteral("sh600028"), false)),
             QStringLiteral("持仓 1000 股 成本 5.120  今日 --  累计 --"));
    QVERIFY(book.stockLine(QStringLiteral("sh600000"), false).isEmpty());
    QVERIFY(book.stockLine(QStringLiteral("sz000001"), false).isEmpty()); // not listed

    store.setHidesAmounts(true);
    removeUnlistedHoldings(store, listed);
    const QByteArray text = readAll(path);
    QVERIFY2(text.contains("\nsh600028=shares:1000;cost:5.12\n"), text.constData());
    QVERIFY2(text.contains("\nsh600000=shares:1000;cost:abc\n"), text.constData());
    QVERIFY2(!text.contains("sz00000"), text.constData());
    QVERIFY2(text.contains("\nhideamounts=1\n"), text.constData());
    QCOMPARE(SettingsStore(path).holdingCodes(),
             (QStringList{QStringLiteral("sh600000"), QStringLiteral("sh600028")}));
}

void TestHoldings::book_data() {
    // Each step: "<code> <quote>" (see quoteOf), then "yesterday" for a record of the day
    // before, "stored" for one served from store, "notime" for one without a time, or
    // "next day" when the feed's clock has moved on a day.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("hide");
    QTest::addColumn<QString>("first");  // the line of sh600028
    QTest::addColumn<QString>("second"); // of sz000001
    QTest::addColumn<QString>("totals");

    const auto row = [](const char* tag, std::initializer_list<const char*> steps, bool hide,
                        const char* first, const char* second, const char* totals) {
        QStringList all;
        for (const char* step : steps)
            all.append(QString::fromLatin1(step));
        QTest::newRow(tag) << all << hide << QString::fromUtf8(first) << QString::fromUtf8(second)
                           << QString::fromUtf8(totals);
    };
    const char* noSecond = "持仓 200 股 成本 10.000  今日 --  累计 --";
    row("one stock", {"sh600028 5.23/5.18"}, false,
        "持仓 1000 股 成本 5.120  今日 +50.00  累计 +110.00 (+2.15%)", noSecond,
        "合计 今日 +50.00  累计 +110.00 (+2.15%)");
    row("two stocks summed, the latest quote counts",
        {"sh600028 5.00/5.18", "sz000001 9.90/10.10", "sh600028 5.23/5.18", "sh600000 9.00/8.00"},
        false, "持仓 1000 股 成本 5.120  今日 +50.00  累计 +110.00 (+2.15%)",
        "持仓 200 股 成本 10.000  今日 -40.00  累计 -20.00 (-1.00%)",
        "合计 今日 +10.00  累计 +90.00 (+1.26%)");
    row("an earlier day's record is left out of the totals",
        {"sh600028 5.23/5.18", "sz000001 9.90/10.10 yesterday"}, false,
        "持仓 1000 股 成本 5.120  今日 +50.00  累计 +110.00 (+2.15%)",
        "持仓 200 股 成本 10.000  今日 --  累计 -20.00 (-1.00%)",
        "合计 今日 +50.00  累计 +110.00 (+2.15%)");
    row("a new day leaves yesterday's quotes out",
        {"sh600028 5.23/5.18", "sz000001 9.90/10.10 next day"}, false,
        "持仓 1000 股 成本 5.120  今日 --  累计 +110.00 (+2.15%)",
        "持仓 200 股 成本 10.000  今日 -40.00  累计 -20.00 (-1.00%)",
        "合计 今日 -40.00  累计 -20.00 (-1.00%)");
    row("served from store after the close, of today", {"sz000001 9.90/10.10 stored"}, false,
        "持仓 1000 股 成本 5.120  今日 --  累计 --",
        "持仓 200 股 成本 10.000  今日 -40.00  累计 -20.00 (-1.00%)",
        "合计 今日 -40.00  累计 -20.00 (-1.00%)");
    row("without a time: today only when live", {"sh600028 5.23/5.18 notime stored"}, false,
        "持仓 1000 股 成本 5.120  今日 --  累计 +110.00 (+2.15%)", noSecond, "");
    row("delisted: nothing to count", {"sh600028 5.23/5.18", "sh600028 delisted"}, false,
        "持仓 1000 股 成本 5.120  今日 --  累计 --", noSecond, "");
    row("hidden amounts", {"sh600028 5.23/5.18", "sz000001 9.90/10.10"}, true,
        "持仓 *** 股 成本 5.120  今日 ***  累计 *** (+2.15%)",
        "持仓 *** 股 成本 10.000  今日 ***  累计 *** (-1.00%)", "合计 今日 ***  累计 *** (+1.26%)");
}

void TestHoldings::book() {
    QFETCH(QStringList, steps);
    QFETCH(bool, hide);
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("settings.conf")));
    store.setHolding(QStringLiteral("sh600028"), QStringLiteral("shares:1000;cost:5.12"));
    store.setHolding(QStringLiteral("sz000001"), QStringLiteral("shares:200;cost:10"));
    HoldingsBook book;
    book.load(store,
              {QStringLiteral("sh600028"), QStringLiteral("sz000001"), QStringLiteral("sh600000")});

    QDate today = kMonday;
    for (QString step : steps) {
        if (step.endsWith(u" next day")) {
            today = today.addDays(1);
            step.chop(9);
        }
        const bool stored = step.endsWith(u" stored");
        step.remove(QStringLiteral(" stored"));
        QDateTime recordTime = exchangeTime(today, {10, 0});
        if (step.endsWith(u" yesterday"))
            recordTime = recordTime.addDays(-1);
        if (step.endsWith(u" notime"))
            recordTime = {};
        step.remove(QStringLiteral(" yesterday")).remove(QStringLiteral(" notime"));
        const QString code = step.section(u' ', 0, 0);
        book.record(quoteOf(code, step.section(u' ', 1), recordTime), !stored,
                    exchangeTime(today, {10, 0, 5}));
    }
    for (const auto& [code, column] : {std::pair{"sh600028", "first"}, {"sz000001", "second"}}) {
        const SignedLine line = book.stockLine(QString::fromLatin1(code), hide);
        QVERIFY(signsAgree(line));
        QTEST(plainText(line), column);
    }
    QVERIFY(book.stockLine(QStringLiteral("sh600000"), hide).isEmpty()); // not held
    QVERIFY(signsAgree(book.totalLine(hide)));
    QTEST(plainText(book.totalLine(hide)), "totals");
}

QTEST_GUILESS_MAIN(TestHoldings)
#include "tst_holdings.moc"
