// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/alertmonitor.h"
#include "alerts/alertrule.h"
#include "base/settingsstore.h"
#include "base/textfiles.h"
#include "quotes/markethours.h"
#include "quotes/quoteparse.h"
#include "testfiles.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace tarnwel;

namespace {

const QString kCode = QStringLiteral("sh600028");

// A whole record of 中国石化 as the service writes it; 2024-06-03 is a Monday.
QString record(const QString& price, const QDate& date, const QString& time,
               const QString& bid = QStringLiteral("0.000")) {
    QStringList fields(33, QStringLiteral("0"));
    fields[0] = QStringLiteral("var hq_str_sh600028=\"中国石化");
    fields[1] = QStringLiteral("5.02");
    fields[2] = QStringLiteral("5.00"); // the previous close
    fields[3] = price;
    fields[11] = bid;
    fields[30] = date.toString(Qt::ISODate);
    fields[31] = time;
    fields[32] = QStringLiteral("00\";");
    return fields.join(u',');
}

// The monitor over a settings file and a state file in a temporary directory, fed one
// step of a row at a time.
struct Rig {
    QTemporaryDir dir;
    std::shared_ptr<SettingsStore> settings =
        std::make_shared<SettingsStore>(dir.filePath(QStringLiteral("settings.conf")));
    QDateTime now{QDate(2024, 6, 3), QTime(10, 0), MarketHours::exchangeZone()};
    std::unique_ptr<AlertMonitor> monitor;
    QStringList fired; // "step:line"

    AlertMonitor::Options options() {
        return {settings, dir.filePath(QStringLiteral("state.ini")), [this] { return now; }};
    }
    void start() {
        monitor = std::make_unique<AlertMonitor>(options());
        QObject::connect(monitor.get(), &AlertMonitor::fired,
                         [this](const QString& code, const QString& line) {
                             QCOMPARE(code, kCode);
                             fired.append(QString::number(step) + u':' + line);
                             // Recorded before it is told: a program ended right now
                             // would not tell it again after a restart.
                             QVERIFY(AlertMonitor(options()).firedToday().contains(line));
                         });
    }
    QString lineAt(const QString& reads) const {
        return now.toLocalTime().toString(u"HH:mm:ss") + u" 中国石化 " + reads;
    }
    // "live 5.60", "stored 5.60", "zero", "auction 5.60", "yesterday 5.60",
    // "nextday 5.60", "newyork 5.60" (the machine's clock in New York from then on),
    // "restart", "rule above:5.55".
    void run(const QString& text) {
        const QStringList words = text.split(u' ');
        const QString& what = words[0];
        const QString price = words.value(1);
        now = now.addSecs(7);
        if (what == u"restart")
            return start();
        if (what == u"rule")
            return settings->setAlerts(kCode, price);
        if (what == u"nextday")
            now = now.addDays(1);
        if (what == u"newyork")
            now = now.toTimeZone(QTimeZone("America/New_York"));
        const QDate today = MarketHours::exchangeDate(now);
        QString reply;
        if (what == u"zero")
            reply = record(QStringLiteral("0.000"), today, QStringLiteral("10:00:00"));
        else if (what == u"auction")
            reply = record(QStringLiteral("0.000"), today, QStringLiteral("09:20:00"), price);
        else
            reply = record(price, what == u"yesterday" ? today.addDays(-3) : today,
                           QStringLiteral("10:00:00"));
        const ParsedReply parsed = parseReply(QuoteService::Sina, reply, kCode);
        QCOMPARE(parsed.kind, ReplyKind::Quote);
        monitor->check(QStringLiteral("中国石化"), parsed.quote, what != u"stored", now);
    }
    int step = 0;
};

} // namespace

class TestAlerts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void crossing_data();
    void crossing();
    void storedForm_data();
    void storedForm();
    void settingsFile();
    void stateOfAnEarlierRelease();
    void nextDayStartsWithNone();
    void unlistedAlertsGoInOneWrite_data();
    void unlistedAlertsGoInOneWrite();
};

void TestAlerts::crossing_data() {
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("fires"); // "step:what the line says after the name"

    using L = std::initializer_list<const char*>;
    const auto strings = [](L texts) {
        QStringList list;
        for (const char* text : texts)
            list.append(QString::fromUtf8(text));
        return list;
    };
    const auto row = [&strings](const char* tag, const char* rule, L steps, L fires) {
        QTest::newRow(tag) << QString::fromUtf8(rule) << strings(steps) << strings(fires);
    };
    row("above, and again after going back", "above:5.50",
        L{"live 5.49", "live 5.50", "live 5.60", "live 5.49", "live 5.51"},
        L{"1:5.50 ≥ 5.50", "4:5.51 ≥ 5.50"});
    row("below, and again after going back", "below:5.00",
        L{"live 5.01", "live 5.00", "live 4.90", "live 5.01", "live 4.99"},
        L{"1:5.00 ≤ 5.00", "4:4.99 ≤ 5.00"});
    row("exactly at the value, other decimals", "above:5.5", L{"live 5.499", "live 5.500"},
        L{"1:5.500 ≥ 5.5"});
    row("percent up, exactly at it", "move:3", L{"live 5.14", "live 5.15", "live 5.20"},
        L{"1:+3.00% ≥ +3%"});
    row("percent down, exactly at it", "move:3", L{"live 4.86", "live 4.85"}, L{"1:-3.00% ≤ -3%"});
    row("percent of 100, two decimals, exactly at it", "move:100.00", L{"live 9.99", "live 10.00"},
        L{"1:+100.00% ≥ +100.00%"});
    row("percent up, then down through the close", "move:2.5",
        L{"live 5.13", "live 5.00", "live 4.87"}, L{"0:+2.60% ≥ +2.5%", "2:-2.60% ≤ -2.5%"});
    row("zero and auction prices are no price", "above:5.50;below:5.00",
        L{"zero", "auction 5.60", "live 5.60"}, L{"2:5.60 ≥ 5.50"});
    row("stored replies neither fire nor re-arm", "above:5.50",
        L{"stored 5.60", "live 5.60", "stored 5.40", "live 5.60"}, L{"1:5.60 ≥ 5.50"});
    row("an earlier day's record before the open", "above:5.50", L{"yesterday 5.60", "live 5.60"},
        L{"1:5.60 ≥ 5.50"});
    row("first reply already beyond", "above:5.50;move:3", L{"live 5.60"},
        L{"0:5.60 ≥ 5.50", "0:+12.00% ≥ +3%"});
    row("restart on the same day, still beyond", "above:5.50",
        L{"live 5.60", "restart", "live 5.60", "live 5.40", "live 5.60"},
        L{"0:5.60 ≥ 5.50", "4:5.60 ≥ 5.50"});
    row("restart after going back", "below:5.00",
        L{"live 4.90", "live 5.10", "restart", "live 4.90"}, L{"0:4.90 ≤ 5.00", "3:4.90 ≤ 5.00"});
    row("the next day starts afresh", "above:5.50", L{"live 5.60", "restart", "nextday 5.60"},
        L{"0:5.60 ≥ 5.50", "2:5.60 ≥ 5.50"});
    row("a changed value starts afresh", "above:5.50",
        L{"live 5.60", "rule above:5.55", "live 5.60", "live 5.60"},
        L{"0:5.60 ≥ 5.50", "2:5.60 ≥ 5.55"});
    row("removed and set again", "above:5.50",
        L{"live 5.60", "rule", "live 5.60", "rule above:5.50", "live 5.60"},
        L{"0:5.60 ≥ 5.50", "4:5.60 ≥ 5.50"});
    row("a stored value that does not read", "above:5,50", L{"live 5.60"}, L{});
    // Sunday evening in New York is already Monday's session in Shanghai.
    row("a machine clock in New York", "above:5.50", L{"newyork 5.60"}, L{"0:5.60 ≥ 5.50"});
    row("a negative price is none", "below:5.00", L{"live -1.00", "live 4.90"}, L{"1:4.90 ≤ 5.00"});
}

void TestAlerts::crossing() {
    QFETCH(QString, rule);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, fires);

    Rig rig;
    rig.settings->setAlerts(kCode, rule);
    if (!parseAlertRule(rule))
        QTest::ignoreMessage(QtWarningMsg,
                             qPrintable(u"alerts of sh600028 do not read, ignored: " + rule));
    rig.start();
    QStringList expected;
    QStringList today; // what the tooltip lists at the end
    for (rig.step = 0; rig.step < steps.size(); ++rig.step) {
        rig.run(steps[rig.step]);
        if (steps[rig.step].startsWith(u"nextday"))
            today.clear();
        for (const QString& fire : fires) {
            const qsizetype colon = fire.indexOf(u':');
            if (fire.left(colon).toInt() != rig.step)
                continue;
            expected.append(fire.left(colon + 1) + rig.lineAt(fire.sliced(colon + 1)));
            today.append(rig.lineAt(fire.sliced(colon + 1)));
        }
    }
    QCOMPARE(rig.fired, expected);
    QCOMPARE(rig.monitor->firedToday(), today);
}

void TestAlerts::storedForm_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<QString>("above");
    QTest::addColumn<QString>("below");
    QTest::addColumn<QString>("move");
    QTest::addColumn<QString>("written"); // the stored form of what was read

    const auto good = [](const char* tag, const char* stored, const char* above, const char* below,
                         const char* move, const char* written) {
        QTest::newRow(tag) << QString::fromUtf8(stored) << true << QString::fromUtf8(above)
                           << QString::fromUtf8(below) << QString::fromUtf8(move)
                           << QString::fromUtf8(written);
    };
    const auto bad = [](const char* tag, const char* stored) {
        QTest::newRow(tag) << QString::fromUtf8(stored) << false << QString() << QString()
                           << QString() << QString();
    };
    good("all three", "above:5.50;below:5.00;move:3", "5.50", "5.00", "3",
         "above:5.50;below:5.00;move:3");
    good("one", "move:2.5", "", "", "2.5", "move:2.5");
    good("any order, blanks, a trailing semicolon", " move: 3 ; above:5.50;", "5.50", "", "3",
         "above:5.50;move:3");
    good("percent of 100, three price decimals", "below:12.345;move:100", "", "12.345", "100",
         "below:12.345;move:100");
    good("the largest price", "above:9999999.999", "9999999.999", "", "", "above:9999999.999");
    good("nothing", "", "", "", "", "");
    bad("not a number", "above:abc");
    bad("decimal comma", "above:5,50");
    bad("one bad part spoils the rest", "above:5.50;below:x");
    bad("no colon", "above=5.50");
    bad("unknown condition", "price:5.50");
    bad("twice", "above:5.50;above:5.60");
    bad("empty value", "above:");
    bad("negative", "below:-1");
    bad("zero price", "above:0");
    bad("percent of 0", "move:0");
    bad("price with four decimals", "above:5.1234");
    bad("a point alone", "above:.");
    bad("percent over 100", "move:100.01");
    bad("percent with three decimals", "move:3.125");
    bad("too many integer digits", "above:12345678");
}

void TestAlerts::storedForm() {
    QFETCH(QString, stored);
    QFETCH(bool, reads);
    const std::optional<AlertRule> rule = parseAlertRule(stored);
    QCOMPARE(rule.has_value(), reads);
    if (!rule)
        return;
    QFETCH(QString, above);
    QFETCH(QString, below);
    QFETCH(QString, move);
    QFETCH(QString, written);
    QCOMPARE(*rule, (AlertRule{above, below, move}));
    QCOMPARE(storedAlertRule(*rule), written);
}

// Alerts written by hand in the settings file: read as they stand, kept byte for byte by
// the program's own writes, and dropped only for a stock that left the list.
void TestAlerts::settingsFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vevivudaz.conf"));
    QVERIFY(writeAll(path, "[vevivudaz]\nop=60%\n\n[alerts]\n"
                           "sh600028=above:5.50;below:5.00;move:3\n"
                           "sh600000=above:5,50\n"
                           "sz000001=below:9.10\n"
                           "sh6000280000000000000000000000000=above:1\n"
                           "sh600028000000000000000000000000=above:1\n"
                           "\xe4\xb8\xad=above:1\n"));
    SettingsStore store(path);
    QCOMPARE(store.alerts(kCode), QStringLiteral("above:5.50;below:5.00;move:3"));
    QCOMPARE(store.notifies(), true); // missing reads as on
    // Codes a hand-edited watch list may hold: the longest (32 characters), one longer,
    // not ASCII.
    const QString tooLong = QStringLiteral("sh6000280000000000000000000000000");
    QCOMPARE(alertedCodes(store, {kCode, tooLong, tooLong.chopped(1), QStringLiteral("中")}),
             (QStringList{kCode, tooLong.chopped(1)}));
    const QStringList listed{kCode, QStringLiteral("sh600000")};
    QCOMPARE(alertedCodes(store, listed), QStringList{kCode});

    store.setTransparency(QStringLiteral("30%"));
    store.setNotifies(false);
    removeUnlistedAlerts(store, listed);
    const QByteArray text = readAll(path);
    QVERIFY2(text.contains("\nsh600028=above:5.50;below:5.00;move:3\n"), text.constData());
    QVERIFY2(text.contains("\nsh600000=above:5,50\n"), text.constData());
    QVERIFY2(!text.contains("sz000001"), text.constData());
    QVERIFY2(text.contains("\nnotify=0\n") && text.contains("\nop=30%\n"), text.constData());
    QCOMPARE(SettingsStore(path).notifies(), false);
}

// A restart keeps the day's alerts for the tooltip; the next day's starts with none, before
// any quote has come.
void TestAlerts::nextDayStartsWithNone() {
    Rig rig;
    rig.settings->setAlerts(kCode, QStringLiteral("above:5.50"));
    rig.start();
    rig.run(QStringLiteral("live 5.60"));
    QCOMPARE(AlertMonitor(rig.options()).firedToday().size(), 1);
    rig.now = rig.now.addDays(1);
    QCOMPARE(AlertMonitor(rig.options()).firedToday(), QStringList{});
}

// The day's state as earlier releases wrote it, through Qt's INI format, still reads, and
// what is written now reads in that format.
void TestAlerts::stateOfAnEarlierRelease() {
    Rig rig;
    rig.settings->setAlerts(kCode, QStringLiteral("above:5.50;move:3"));
    const QStringList told{QStringLiteral("09:45:00 中国石化 5.60 ≥ 5.50"),
                           QStringLiteral("09:45:00 中国石化 +12.00% ≥ +3%")};
    {
        QSettings state(rig.options().statePath, QSettings::IniFormat);
        state.setValue(QStringLiteral("day"), rig.now.date().toString(Qt::ISODate));
        state.setValue(QStringLiteral("holding"), QStringList{QStringLiteral("sh600028 above:5.50"),
                                                              QStringLiteral("sh600028 move:3")});
        state.setValue(QStringLiteral("fired"), told);
    }
    rig.start();
    QCOMPARE(rig.monitor->firedToday(), told);
    rig.run(QStringLiteral("live 5.60")); // still beyond both: nothing new
    rig.run(QStringLiteral("live 5.10")); // back
    rig.run(QStringLiteral("live 5.60"));
    QCOMPARE(rig.fired.size(), 2);
    const QSettings state(rig.options().statePath, QSettings::IniFormat);
    QCOMPARE(state.value(QStringLiteral("fired")).toStringList(), rig.monitor->firedToday());
    QCOMPARE(
        state.value(QStringLiteral("holding")).toStringList(),
        (QStringList{QStringLiteral("sh600028 above:5.50"), QStringLiteral("sh600028 move:3")}));
}

// Taking a stock off the list removes every stale alert in one write of the file, however
// many there are, and writes nothing when none is stale.
void TestAlerts::unlistedAlertsGoInOneWrite_data() {
    QTest::addColumn<int>("stale");
    QTest::addColumn<int>("writes");
    QTest::newRow("ten thousand") << 10000 << 1;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("none") << 0 << 0;
}

void TestAlerts::unlistedAlertsGoInOneWrite() {
    QFETCH(int, stale);
    QFETCH(int, writes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vevivudaz.conf"));
    QByteArray text = "[vevivudaz]\nop=60%\n\n[alerts]\nsh600028=above:5.50\n";
    for (int i = 0; i < stale; ++i)
        text += "sz" + QByteArray::number(300000 + i) + "=below:9.10\n";
    QVERIFY(writeAll(path, text));

    int written = 0;
    SettingsStore store(path, [&written](const QString& file, const QByteArray& bytes) {
        ++written;
        return writeFileAtomically(file, bytes);
    });
    removeUnlistedAlerts(store, {kCode, QStringLiteral("sh600000")});
    QCOMPARE(written, writes);
    const SettingsStore again(path);
    QCOMPARE(again.alertCodes(), QStringList{kCode});
    QCOMPARE(again.transparency(), QStringLiteral("60%"));
}

QTEST_GUILESS_MAIN(TestAlerts)
#include "tst_alerts.moc"
