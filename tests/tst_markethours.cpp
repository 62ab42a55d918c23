// SPDX-License-Identifier: GPL-3.0-or-later
#include "quotes/markethours.h"

#include <QTest>

using namespace tarnwel;

namespace {

const QString kDefault = QStringLiteral("09:15-11:30,13:00-15:00");

// An instant on the exchange's own clock. 2024-06-03 is a Monday.
QDateTime cst(int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(2024, 6, day), QTime(hour, minute, second), MarketHours::exchangeZone());
}

} // namespace

class TestMarketHours : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decision_data();
    void decision();
    void malformed_data();
    void malformed();
};

void TestMarketHours::decision_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QDateTime>("instant");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QDateTime>("lastClose");

    const QDateTime friday =
        QDateTime(QDate(2024, 5, 31), QTime(15, 0), MarketHours::exchangeZone());
    QTest::newRow("Monday before the morning") << kDefault << cst(3, 9, 14, 59) << false << friday;
    QTest::newRow("morning opens at 09:15:00") << kDefault << cst(3, 9, 15) << true << friday;
    QTest::newRow("morning") << kDefault << cst(3, 10, 30) << true << friday;
    QTest::newRow("last second of the morning") << kDefault << cst(3, 11, 29, 59) << true << friday;
    QTest::newRow("morning closes at 11:30:00")
        << kDefault << cst(3, 11, 30) << false << cst(3, 11, 30);
    QTest::newRow("lunch break") << kDefault << cst(3, 12, 15) << false << cst(3, 11, 30);
    QTest::newRow("afternoon opens at 13:00:00")
        << kDefault << cst(3, 13, 0) << true << cst(3, 11, 30);
    QTest::newRow("afternoon") << kDefault << cst(3, 14, 59, 59) << true << cst(3, 11, 30);
    QTest::newRow("afternoon closes at 15:00:00")
        << kDefault << cst(3, 15, 0) << false << cst(3, 15, 0);
    QTest::newRow("weekday evening") << kDefault << cst(4, 21, 0) << false << cst(4, 15, 0);
    QTest::newRow("Tuesday early morning") << kDefault << cst(4, 3, 0) << false << cst(3, 15, 0);
    QTest::newRow("Saturday in session hours")
        << kDefault << cst(8, 10, 0) << false << cst(7, 15, 0);
    QTest::newRow("Sunday night") << kDefault << cst(9, 23, 59, 59) << false << cst(7, 15, 0);
    QTest::newRow("Monday just after midnight")
        << kDefault << cst(10, 0, 0, 1) << false << cst(7, 15, 0);
    // The user's own zone does not matter: the exchange's clock decides.
    QTest::newRow("New York Sunday evening is Shanghai Monday morning")
        << kDefault << QDateTime(QDate(2024, 6, 2), QTime(21, 30), QTimeZone("America/New_York"))
        << true << friday;
    QTest::newRow("Berlin Friday night is Shanghai Saturday")
        << kDefault << QDateTime(QDate(2024, 6, 7), QTime(23, 0), QTimeZone("Europe/Berlin"))
        << false << cst(7, 15, 0);
    QTest::newRow("UTC at the morning open")
        << kDefault << QDateTime(QDate(2024, 6, 3), QTime(1, 15), QTimeZone::utc()) << true
        << friday;
    QTest::newRow("empty: always open, even on Saturday")
        << QString() << cst(8, 3, 0) << true << QDateTime();
    QTest::newRow("one session of our own")
        << QStringLiteral(" 10:00 - 10:30 ") << cst(5, 10, 45) << false << cst(5, 10, 30);
}

void TestMarketHours::decision() {
    QFETCH(QString, setting);
    QFETCH(QDateTime, instant);
    QFETCH(bool, open);
    QFETCH(QDateTime, lastClose);

    const std::optional<MarketHours> hours = MarketHours::parse(setting);
    QVERIFY(hours);
    QCOMPARE(hours->isOpen(instant), open);
    QCOMPARE(hours->lastClose(instant), lastClose);
}

void TestMarketHours::malformed_data() {
    QTest::addColumn<QString>("setting");
    QTest::newRow("words") << QStringLiteral("always");
    QTest::newRow("no minutes") << QStringLiteral("9-15");
    QTest::newRow("ends before it starts") << QStringLiteral("15:00-09:15");
    QTest::newRow("overlapping") << QStringLiteral("09:00-11:00,10:30-12:00");
    QTest::newRow("empty session") << QStringLiteral("09:15-11:30,");
    QTest::newRow("hour 24") << QStringLiteral("09:00-24:00");
}

void TestMarketHours::malformed() {
    QFETCH(QString, setting);
    QVERIFY(!MarketHours::parse(setting));
}

QTEST_GUILESS_MAIN(TestMarketHours)
#include "tst_markethours.moc"
