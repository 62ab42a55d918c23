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

// Runs the machine's clock in another zone for the life of the object.
struct MachineZone {
    QByteArray saved = qgetenv("TZ");
    explicit MachineZone(const QByteArray& zone) {
        qputenv("TZ", zone);
        tzset();
    }
    ~MachineZone() {
        if (saved.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", saved);
        tzset();
    }
};

} // namespace

class TestMarketHours : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void exchangeDayOnAMachineElsewhere_data();
    void exchangeDayOnAMachineElsewhere();
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
    // 23:45 in New York is 11:45 the next day in Shanghai: the morning is over there.
    QTest::newRow("New York before midnight is Shanghai's lunch break")
        << kDefault << QDateTime(QDate(2024, 6, 3), QTime(23, 45), QTimeZone("America/New_York"))
        << false << cst(4, 11, 30);
    QTest::newRow("empty: always open, even on Saturday")
        << QString() << cst(8, 3, 0) << true << QDateTime();
    QTest::newRow("one session of our own")
        << QStringLiteral(" 10:00 - 10:30 ") << cst(5, 10, 45) << false << cst(5, 10, 30);
    QTest::newRow("blanks only: always open")
        << QStringLiteral("  ") << cst(8, 3, 0) << true << QDateTime();
    QTest::newRow("sessions that touch")
        << QStringLiteral("10:00-10:30,10:30-11:00") << cst(5, 10, 30) << true << cst(5, 10, 30);
}

// The machine's own date is not the exchange's: the same instant, read on a clock in UTC or
// New York, is already the next day in Shanghai, or not yet.
void TestMarketHours::exchangeDayOnAMachineElsewhere_data() {
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDateTime>("instant"); // as the machine's clock gives it: local time
    QTest::addColumn<QDate>("day");
    QTest::addColumn<bool>("open");

    const auto local = [](int day, int hour, int minute = 0) {
        return QDateTime(QDate(2024, 6, day), QTime(hour, minute), Qt::LocalTime);
    };
    // 2024-06-03, Monday, 21:30 in New York (EDT) is Tuesday 09:30 in Shanghai.
    QTest::newRow("New York evening, Shanghai morning")
        << QByteArray("America/New_York") << local(3, 21, 30) << QDate(2024, 6, 4) << true;
    QTest::newRow("New York morning, Shanghai night, same day")
        << QByteArray("America/New_York") << local(3, 10) << QDate(2024, 6, 3) << false;
    QTest::newRow("UTC evening, Shanghai next morning")
        << QByteArray("UTC") << local(3, 17) << QDate(2024, 6, 4) << false;
    QTest::newRow("UTC at five, Shanghai that afternoon")
        << QByteArray("UTC") << local(3, 5) << QDate(2024, 6, 3) << true;
}

void TestMarketHours::exchangeDayOnAMachineElsewhere() {
    QFETCH(QByteArray, zone);
    const MachineZone machine(zone);
    // Built on the machine's clock while it runs in that zone.
    QFETCH(QDateTime, instant);
    const QDateTime now(instant.date(), instant.time(), Qt::LocalTime);
    QTEST(MarketHours::exchangeDate(now), "day");
    QTEST(MarketHours::parse(kDefault)->isOpen(now), "open");
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
    QTest::newRow("opens as it closes") << QStringLiteral("10:00-10:00");
    QTest::newRow("three times") << QStringLiteral("09:15-11:30-13:00");
}

void TestMarketHours::malformed() {
    QFETCH(QString, setting);
    QVERIFY(!MarketHours::parse(setting));
}

QTEST_GUILESS_MAIN(TestMarketHours)
#include "tst_markethours.moc"
