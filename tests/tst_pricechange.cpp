// SPDX-License-Identifier: GPL-3.0-or-later
#include "quotes/pricechange.h"

#include <QTest>

using namespace tarnwel;

class TestPriceChange : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void change_data();
    void change();
};

void TestPriceChange::change_data() {
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("close");
    QTest::addColumn<bool>("known");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("percent");

    const auto row = [](const char* tag, const char* price, const char* close, int direction,
                        const char* change, const char* percent) {
        QTest::newRow(tag) << QString::fromLatin1(price) << QString::fromLatin1(close) << true
                           << direction << QString::fromLatin1(change)
                           << QString::fromLatin1(percent);
    };
    row("up, three decimals, exact", "5.230", "5.180", 1, "+0.050", "+0.97%");
    row("down, two decimals", "3.02", "3.14", -1, "-0.12", "-3.82%");
    row("unchanged", "11.320", "11.320", 0, "0.000", "0.00%");
    row("four-decimal index", "3236.6951", "3283.4261", -1, "-46.7310", "-1.42%");
    row("close with more decimals keeps the price's", "5.23", "5.180", 1, "+0.05", "+0.97%");
    row("large values", "12345.678", "13580.245", -1, "-1234.567", "-9.09%");
    // 0.005 % rounds away from zero: 1 × 10000 ÷ 2000 = 5 hundredths of a hundredth.
    row("percent at .005 rounds up", "20.001", "20.000", 1, "+0.001", "+0.01%");
    row("percent at .005 rounds down", "19.999", "20.000", -1, "-0.001", "-0.01%");
    // A percent that rounds to zero keeps the change's sign.
    row("percent rounds to zero, up", "100.001", "100.000", 1, "+0.001", "+0.00%");
    row("percent rounds to zero, down", "99.999", "100.000", -1, "-0.001", "-0.00%");
    // A close with finer decimals: the change rounds to the price's, halves away from zero.
    row("change rounded to the price's decimals", "5.23", "5.175", 1, "+0.06", "+1.06%");
    row("change rounds to zero, down", "5.23", "5.2301", -1, "-0.00", "-0.00%");
    row("no integer digits", ".520", "0.500", 1, "+0.020", "+4.00%");

    const auto none = [](const char* tag, const char* price, const char* close) {
        QTest::newRow(tag) << QString::fromLatin1(price) << QString::fromLatin1(close) << false << 0
                           << QString() << QString();
    };
    none("previous close zero", "1.000", "0.000");
    none("previous close empty", "1.000", "");
    none("price empty", "", "1.000");
    none("not a number", "1.0a0", "1.000");
    none("too many digits", "123456789.0", "1.000");
    none("eight integer digits", "12345678", "1.000");
    none("seven decimals", "1.0000001", "1.000");
    none("two points", "1.0.0", "1.000");
    none("previous close negative", "1.000", "-1.000");
}

void TestPriceChange::change() {
    QFETCH(QString, price);
    QFETCH(QString, close);
    QFETCH(bool, known);
    const std::optional<PriceChange> change = priceChange(price, close);
    QCOMPARE(change.has_value(), known);
    if (!change)
        return;
    QTEST(change->direction, "direction");
    QTEST(change->change, "change");
    QTEST(change->percent, "percent");
}

QTEST_GUILESS_MAIN(TestPriceChange)
#include "tst_pricechange.moc"
