// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehttpserver.h"
#include "quotes/markethours.h"
#include "testfiles.h"
#include "ticker/quotefeed.h"
#include "watchlist/watchlistfile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <QTimer>

#include <algorithm>
#include <functional>

#include <memory>

using namespace tarnwel;

Q_DECLARE_METATYPE(tarnwel::QuoteFailure)

namespace {

const QString kShPath = QStringLiteral("/list=sh000001");
const QString kSzPath = QStringLiteral("/list=sz399001");
const QString kSinopecPath = QStringLiteral("/list=sh600028");
const QString kSinopec = QStringLiteral("中国石化(sh600028)");
const QString kSessions = QStringLiteral("09:15-11:30,13:00-15:00");

// An instant on the exchange's clock. 2024-06-03 is a Monday.
QDateTime cst(int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(2024, 6, day), QTime(hour, minute, second), MarketHours::exchangeZone());
}

QByteArray indexReply(const QString& value) {
    return gbk(u"var hq_str_sh000001=\"指数,3050.000,3040.000," + value + u",3070.000,0\";\n");
}

// The Shanghai index as the service writes it on `date` (empty: a record without a date).
QByteArray datedIndexReply(const QString& date) {
    QStringList fields(30, QStringLiteral("0"));
    fields[0] = QStringLiteral("var hq_str_sh000001=\"上证指数");
    fields[3] = QStringLiteral("3061.7890");
    if (!date.isEmpty())
        fields << date << QStringLiteral("15:00:03") << QStringLiteral("00");
    return gbk(fields.join(u',') + u",\";\n");
}

// One code's line of a file of recorded replies; a file that holds only the quoted part
// of a record gets the framing the service puts around it.
QByteArray recordedLine(const char* file, const QString& code) {
    const QString text =
        QString::fromUtf8(readAll(QStringLiteral(QUOTE_REPLIES_DIR "/") + QLatin1String(file)));
    for (const QString& line : text.split(u'\n')) {
        if (line.startsWith(u"var hq_str_" + code + u'='))
            return gbk(line + u'\n');
    }
    return gbk(u"var hq_str_" + code + u"=\"" + text.trimmed() + u"\";\n");
}

QString stockText(const QString& price) {
    return u"var hq_str_sh600028=\"中国石化,5.20,5.18," + price +
           u",5.30,5.15,5.22,5.23,12345678,64512345.00,1200\";\n";
}

// Returns as soon as the spy has seen `count` signals, before the feed takes another
// step; polling could let the next turn slip in first.
bool waitFor(QSignalSpy& spy, qsizetype count) {
    while (spy.count() < count) {
        if (!spy.wait(5000))
            return false;
    }
    return true;
}

// The feed with its own setup.ini, and a quote service on 127.0.0.1 that answers both
// indices and 中国石化.
struct Rig {
    Rig() {
        server.setResponse(kShPath, indexReply(QStringLiteral("3061.789")));
        server.setResponse(kSzPath, indexReply(QStringLiteral("10234.567")));
        server.setResponse(kSinopecPath, gbk(stockText(QStringLiteral("5.23"))));
        options.baseUrl = server.baseUrl();
        options.referer = "https://quotes.example/";
        options.watchListPath = dir.filePath(QStringLiteral("setup.ini"));
        options.turnPauseMs = 20;
        options.fetchTimeoutMs = 1000;
        options.clock = [this] { return now; };
    }
    QuoteFeed& start(const QStringList& watchList) {
        if (!watchList.isEmpty())
            WatchListFile(options.watchListPath).write(watchList);
        feed = std::make_unique<QuoteFeed>(options);
        cycles = std::make_unique<QSignalSpy>(feed.get(), &QuoteFeed::cycleStarted);
        turns = std::make_unique<QSignalSpy>(feed.get(), &QuoteFeed::turnStarted);
        finished = std::make_unique<QSignalSpy>(feed.get(), &QuoteFeed::turnFinished);
        texts = std::make_unique<QSignalSpy>(feed.get(), &QuoteFeed::textsReady);
        outcomes = std::make_unique<QSignalSpy>(feed.get(), &QuoteFeed::stockOutcome);
        if (beforeStart)
            beforeStart(*feed);
        feed->RefreshQuotes();
        return *feed;
    }
    TickerTexts lastTexts() const { return texts->last().at(0).value<TickerTexts>(); }
    FeedOutcome outcome(qsizetype i) const { return outcomes->at(i).at(0).value<FeedOutcome>(); }

    QTemporaryDir dir;
    FakeHttpServer server;
    QuoteFeed::Options options;
    std::unique_ptr<QuoteFeed> feed;
    std::unique_ptr<QSignalSpy> cycles, turns, finished, texts, outcomes;
    QDateTime now = cst(3, 10, 0);
    std::function<void(QuoteFeed&)> beforeStart;
};

// Answers every request with a body that has no length and never ends.
struct EndlessServer {
    EndlessServer() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            QTcpSocket* socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                socket->readAll();
                if (socket->property("answering").toBool())
                    return;
                socket->setProperty("answering", true);
                socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n1,2,3,4,5");
            });
            // The next chunk once the last has gone out.
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [socket] {
                if (socket->bytesToWrite() == 0)
                    QTimer::singleShot(1, socket,
                                       [socket] { socket->write(QByteArray(16 * 1024, ',')); });
            });
        });
    }
    QTcpServer server;
};

} // namespace

class TestQuoteFeed : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void workedExample();
    void faults_data();
    void faults();
    void shortReplyKeepsUncutFields();
    void entries_data();
    void entries();
    void editsTakeEffectNextCycle();
    void showNextInsertsOneTurn();
    void deletedWatchListIsRecreated();
    void emptyWatchListPauses();
    void pauseEndsOnWakeUps_data();
    void pauseEndsOnWakeUps();
    void unreadableWatchListIsKept();
    void endlessReplyIsCutOff();
    void referer_data();
    void referer();
    void failureReasons_data();
    void failureReasons();
    void beijingEntry();
    void everyTurnAsks_data();
    void everyTurnAsks();
    void closedMarketServesStoredReplies();
    void firstTurnAfterCloseAsksAgain();
    void failedReplyIsAskedAgain();
    void recordedReplies_data();
    void recordedReplies();
    void holidays_data();
    void holidays();
    void staleIndexKeepsTheDayTrading();
    void secondServiceStandsIn();
    void watchedStocksEveryTurn_data();
    void watchedStocksEveryTurn();
    void closedDayReopens();
};

void TestQuoteFeed::workedExample() {
    Rig rig;
    QuoteFeed& feed = rig.start({kSinopec});
    feed.RefreshQuotes(); // one loop only
    QCOMPARE(rig.cycles->count(), 1);
    // The name and code are set before any request goes out.
    QCOMPARE(rig.turns->count(), 1);
    QCOMPARE(feed.values().currentStockName, QStringLiteral("中国石化"));
    QCOMPARE(feed.values().currentStockCode, QStringLiteral("sh600028"));
    QVERIFY(rig.server.requests().isEmpty());

    QVERIFY(waitFor(*rig.texts, 1));
    QCOMPARE(rig.server.requestPaths(), (QStringList{kShPath, kSzPath, kSinopecPath}));
    const TickerTexts t = rig.lastTexts();
    QCOMPARE(t.label4, QStringLiteral("最高:5.30  最低:5.15"));
    QCOMPARE(t.label3, QStringLiteral("昨收:5.18  今开:5.20  成交:123457"));
    QCOMPARE(t.label2, QStringLiteral("5.23"));
    QCOMPARE(t.label5, QStringLiteral("沪综指:3061.789"));
    QCOMPARE(t.label6, QStringLiteral("深成指:10234.567"));
    QCOMPARE(t.label1, QStringLiteral("中国石化"));
    QCOMPARE(t.stealthCaption, QStringLiteral("600028(5.23)"));
    QCOMPARE(t.stealthTooltip,
             QStringLiteral(
                 "中国石化(最高:5.30 最低:5.15 成交:123457)沪综指:3061.789 深成指:10234.567"));
    QCOMPARE(feed.values().quoteReply, stockText(QStringLiteral("5.23")));

    // One entry: after the pause the file is read again and the stock asked for anew.
    QVERIFY(waitFor(*rig.texts, 2));
    QCOMPARE(rig.cycles->count(), 2);
    QCOMPARE(rig.server.requestPaths().mid(3), (QStringList{kShPath, kSzPath, kSinopecPath}));
}

void TestQuoteFeed::faults_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("hang");
    QTest::addColumn<bool>("shown"); // the second turn's stock reaches the screen

    const QByteArray withCommas = "<html>error,500,503,oops,please,retry,later,,,,</html>";
    QByteArray exact = gbk(stockText(QStringLiteral("5.40")));
    exact += QByteArray(64 * 1024 - exact.size(), ' ');

    QTest::newRow("index error page with commas") << kShPath << 500 << withCommas << false << true;
    QTest::newRow("index never answers") << kShPath << 200 << QByteArray() << true << true;
    QTest::newRow("index too short for field 3")
        << kShPath << 200 << QByteArray("idx,1,2,3100.000") << false << true;
    QTest::newRow("stock error page with commas")
        << kSinopecPath << 500 << withCommas << false << false;
    // Not an error to the HTTP client, but not a quote either.
    QTest::newRow("stock status 300 with commas")
        << kSinopecPath << 300 << withCommas << false << false;
    QTest::newRow("stock never answers") << kSinopecPath << 200 << QByteArray() << true << false;
    QTest::newRow("stock without comma")
        << kSinopecPath << 200 << QByteArray("var hq_str_sh600028=\"\";") << false << false;
    QTest::newRow("stock over 64 KiB") << kSinopecPath << 200 << exact + ' ' << false << false;
    QTest::newRow("stock of exactly 64 KiB") << kSinopecPath << 200 << exact << false << true;
    // Fields that would reach the screen must be text fit to show.
    QTest::newRow("stock price with a control character")
        << kSinopecPath << 200
        << gbk(QStringLiteral("中国石化,5.20,5.18,5.4\u0007,5.30,5.15,0,0,1,")) << false << false;
    QTest::newRow("stock high with a line break")
        << kSinopecPath << 200 << gbk(QStringLiteral("中国石化,5.20,5.18,5.40,5.3\n0,5.15,0,0,1,"))
        << false << false;
    QTest::newRow("stock volume with undecodable bytes")
        << kSinopecPath << 200 << QByteArray("x,5.20,5.18,5.40,5.30,5.15,0,0,1\xff\xff,") << false
        << false;
    QTest::newRow("undecodable bytes in the unused name")
        << kSinopecPath << 200 << QByteArray("\xff\xff,5.20,5.18,5.40,5.30,5.15,0,0,1,") << false
        << true;
    QTest::newRow("control character in an unused field")
        << kSinopecPath << 200 << QByteArray("x,5.20,5.18,5.40,5.30,5.15,\x01,0,1,") << false
        << true;
    QTest::newRow("index value with a control character") << kShPath << 200
                                                          << QByteArray("idx,1,2,31\x1b"
                                                                        "00.000,3,")
                                                          << false << true;
}

void TestQuoteFeed::faults() {
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, hang);
    QFETCH(bool, shown);

    Rig rig;
    QuoteFeed& feed = rig.start({kSinopec});
    QVERIFY(waitFor(*rig.finished, 1));

    // The next turn starts after the pause: new values everywhere, and one fault.
    rig.server.setResponse(kShPath, indexReply(QStringLiteral("3100.000")));
    rig.server.setResponse(kSinopecPath, gbk(stockText(QStringLiteral("5.40"))));
    rig.server.setResponse(path, FakeHttpServer::Response{status, body, "text/html", hang});
    QVERIFY(waitFor(*rig.finished, 2));

    QCOMPARE(rig.server.requestPaths().mid(3), (QStringList{kShPath, kSzPath, kSinopecPath}));
    const QString sh = path == kShPath ? QStringLiteral("3061.789") : QStringLiteral("3100.000");
    const QString price = shown ? QStringLiteral("5.40") : QStringLiteral("5.23");
    QCOMPARE(feed.values().shIndexValue, sh);
    QCOMPARE(feed.values().lastPrice, price);
    QCOMPARE(rig.texts->count(), shown ? 2 : 1);
    // The index line on screen changes only with a stock that is shown.
    QCOMPARE(rig.lastTexts().label5, u"沪综指:" + (shown ? sh : QStringLiteral("3061.789")));
    QCOMPARE(rig.lastTexts().label2, price);
    if (path == kSinopecPath && status != 200)
        QVERIFY(feed.values().quoteReply.isEmpty());
}

void TestQuoteFeed::shortReplyKeepsUncutFields() {
    Rig rig;
    QuoteFeed& feed = rig.start({kSinopec});
    QVERIFY(waitFor(*rig.texts, 1));

    // Five commas: fields 1 to 4 can be cut, the low and the volume cannot.
    rig.server.setResponse(kSinopecPath, gbk(QStringLiteral("中国石化,5.41,5.42,5.43,5.44,5.01")));
    QVERIFY(waitFor(*rig.texts, 2));
    QCOMPARE(feed.values().lowPrice, QStringLiteral("5.15"));
    QCOMPARE(feed.values().volumeLots, 123457.0);
    QCOMPARE(rig.lastTexts().label4, QStringLiteral("最高:5.44  最低:5.15"));
    QCOMPARE(rig.lastTexts().label3, QStringLiteral("昨收:5.42  今开:5.41  成交:123457"));
}

void TestQuoteFeed::entries_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("path");

    QTest::newRow("leading blank") << u" " + kSinopec << QStringLiteral(" 中国石化")
                                   << QStringLiteral("sh600028") << kSinopecPath;
    // No "(": the name keeps its value (still empty); the code is the entry less its last
    // character.
    QTest::newRow("no parenthesis")
        << QStringLiteral("sh600050x") << QString() << QStringLiteral("sh600050")
        << QStringLiteral("/list=sh600050");
    // A hand-edited code stays inside the path.
    QTest::newRow("query and fragment characters")
        << QStringLiteral("坏(sh6?a=1#x 2)") << QStringLiteral("坏")
        << QStringLiteral("sh6?a=1#x 2") << QStringLiteral("/list=sh6%3Fa%3D1%23x%202");
}

void TestQuoteFeed::entries() {
    QFETCH(QString, entry);
    QFETCH(QString, name);
    QFETCH(QString, code);
    QFETCH(QString, path);

    Rig rig;
    QuoteFeed& feed = rig.start({entry});
    QCOMPARE(feed.values().currentStockName, name);
    QCOMPARE(feed.values().currentStockCode, code);
    QVERIFY(waitFor(*rig.finished, 1));
    QCOMPARE(rig.server.requestPaths(), (QStringList{kShPath, kSzPath, path}));
}

void TestQuoteFeed::editsTakeEffectNextCycle() {
    Rig rig;
    const QString vanke = QStringLiteral("万科Ａ(sz000002)");
    rig.server.setResponse(QStringLiteral("/list=sz000002"),
                           gbk(QStringLiteral("万科Ａ,9.1,9.0,9.2,9.3,8.9,0,0,350,0,")));
    QuoteFeed& feed = rig.start({kSinopec, QStringLiteral("中国联通(sh600050)")});

    // Rewritten during the first turn: the running cycle keeps its own list.
    QVERIFY(waitFor(*rig.finished, 1));
    WatchListFile(rig.options.watchListPath).write({vanke});
    QVERIFY(waitFor(*rig.finished, 3));

    QCOMPARE(rig.server.requestPaths(),
             (QStringList{kShPath, kSzPath, kSinopecPath, kShPath, kSzPath,
                          QStringLiteral("/list=sh600050"), kShPath, kSzPath,
                          QStringLiteral("/list=sz000002")}));
    QCOMPARE(rig.cycles->count(), 2);
    QCOMPARE(feed.List3(), QStringList{vanke});
    QCOMPARE(rig.turns->at(2).at(0).toInt(), 0);
    // 中国联通 has no quote here, so its turn showed nothing.
    QCOMPARE(rig.texts->count(), 2);
    QCOMPARE(rig.lastTexts().label1, QStringLiteral("万科Ａ"));
    QCOMPARE(rig.lastTexts().stealthCaption, QStringLiteral("000002(9.2)"));
}

// An alerted stock comes next, once; the rotation then goes on where it was, and a code
// the list does not hold changes nothing.
void TestQuoteFeed::showNextInsertsOneTurn() {
    Rig rig;
    QuoteFeed& feed = rig.start(
        {kSinopec, QStringLiteral("中国联通(sh600050)"), QStringLiteral("万科Ａ(sz000002)")});
    QStringList shown;
    connect(&feed, &QuoteFeed::turnStarted, this,
            [&] { shown.append(feed.values().currentStockCode); });
    // During the first turn, as an alert on its reply would ask.
    feed.showNext(QStringLiteral("sz000002"));
    QVERIFY(waitFor(*rig.finished, 2));
    feed.showNext(QStringLiteral("sz000001"));
    QVERIFY(waitFor(*rig.turns, 6));
    QCOMPARE(shown, (QStringList{QStringLiteral("sz000002"), QStringLiteral("sh600050"),
                                 QStringLiteral("sz000002"), QStringLiteral("sh600028"),
                                 QStringLiteral("sh600050")}));
    QCOMPARE(rig.turns->at(1).at(0).toInt(), 2);
    QCOMPARE(rig.finished->at(1).at(0).toInt(), 2);
    QCOMPARE(rig.cycles->count(), 2);
}

void TestQuoteFeed::deletedWatchListIsRecreated() {
    Rig rig;
    QuoteFeed& feed = rig.start({kSinopec});
    QVERIFY(waitFor(*rig.finished, 1));
    QVERIFY(QFile::remove(rig.options.watchListPath));

    // The next cycle writes the default list and asks for nothing.
    QVERIFY(waitFor(*rig.cycles, 2));
    QFile file(rig.options.watchListPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().toHex(), QByteArray("d6d0b9fac1aacda828736836303030353029"
                                                "0d0a"
                                                "d6d0b9facaafbbaf28736836303030323829"
                                                "0d0a"));
    QVERIFY(feed.List3().isEmpty());

    // The cycle after it starts with 中国联通.
    QVERIFY(waitFor(*rig.cycles, 3));
    QCOMPARE(rig.server.requests().size(), 3);
    QCOMPARE(feed.values().currentStockName, QStringLiteral("中国联通"));
    QVERIFY(waitFor(*rig.finished, 2));
    QCOMPARE(rig.server.requestPaths().last(), QStringLiteral("/list=sh600050"));
}

void TestQuoteFeed::emptyWatchListPauses() {
    Rig rig;
    rig.options.turnPauseMs = 150;
    QFile file(rig.options.watchListPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\r\n\r\n");
    file.close();

    QElapsedTimer clock;
    clock.start();
    rig.start({});
    QVERIFY(waitFor(*rig.cycles, 3));
    // Two pauses lie between the first and the third cycle.
    QVERIFY2(clock.elapsed() >= 2 * 150, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(rig.server.requests().isEmpty());
    QCOMPARE(QFileInfo(rig.options.watchListPath).size(), 4);
}

void TestQuoteFeed::pauseEndsOnWakeUps_data() {
    QTest::addColumn<QList<int>>("wakeAt"); // ms into the 300 ms pause
    QTest::addColumn<QList<int>>("nextIn"); // the next wake-up each of them promises
    QTest::addColumn<int>("endedBy");       // which wake-up ended it; -1: its own timer

    // A tick started with the pause falls just after its length: that ends it.
    QTest::newRow("a wake-up at its length") << QList<int>{300} << QList<int>{500} << 0;
    // It would end before the promised wake-up: it waits for that one.
    QTest::newRow("waits for the next wake-up")
        << QList<int>{50, 700} << QList<int>{10000, 500} << 1;
    QTest::newRow("the next wake-up comes first: its own time")
        << QList<int>{50} << QList<int>{20} << -1;
    QTest::newRow("a wake-up never ends it early")
        << QList<int>{100, 200} << QList<int>{500, 500} << -1;
}

void TestQuoteFeed::pauseEndsOnWakeUps() {
    QFETCH(QList<int>, wakeAt);
    QFETCH(QList<int>, nextIn);
    QFETCH(int, endedBy);

    Rig rig;
    rig.options.turnPauseMs = 300;
    QElapsedTimer clock;
    int ended = -1;
    // The wake-ups count from the first pause's start.
    rig.beforeStart = [&](QuoteFeed& feed) {
        QObject::connect(&feed, &QuoteFeed::pauseStarted, &feed, [&] {
            if (clock.isValid())
                return;
            clock.start();
            for (qsizetype i = 0; i < wakeAt.size(); ++i) {
                QTimer::singleShot(wakeAt[i], Qt::PreciseTimer, &feed, [&, i] {
                    const qsizetype before = rig.turns->count();
                    feed.awake(nextIn[i]);
                    if (rig.turns->count() > before)
                        ended = int(i);
                });
            }
        });
    };
    rig.start({QStringLiteral("中国石化(sh600028)"), QStringLiteral("中国联通(sh600050)")});
    QVERIFY(waitFor(*rig.turns, 2));
    QCOMPARE(ended, endedBy);
    QVERIFY2(clock.nsecsElapsed() > 300'000'000, qPrintable(QString::number(clock.elapsed())));
}

void TestQuoteFeed::unreadableWatchListIsKept() {
    // A file that exists but fails to read, even for root: the process's own memory
    // image at offset 0.
    Rig rig;
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), rig.options.watchListPath));
    if (WatchListFile(rig.options.watchListPath).read().status != WatchListFile::Status::Unreadable)
        QSKIP("No unreadable file on this system");

    rig.start({});
    QVERIFY(waitFor(*rig.cycles, 3));
    QVERIFY(rig.server.requests().isEmpty());
    QCOMPARE(QFileInfo(rig.options.watchListPath).symLinkTarget(),
             QStringLiteral("/proc/self/mem"));
}

void TestQuoteFeed::endlessReplyIsCutOff() {
    // With a minute's time-out, only the size limit can end these fetches in time.
    EndlessServer endless;
    Rig rig;
    rig.options.baseUrl =
        QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(endless.server.serverPort()));
    rig.options.fetchTimeoutMs = 60000;
    QuoteFeed& feed = rig.start({kSinopec});
    QVERIFY(rig.finished->wait(10000));
    QCOMPARE(rig.texts->count(), 0);
    QVERIFY(feed.values().shIndexValue.isEmpty());
}

void TestQuoteFeed::referer_data() {
    QTest::addColumn<QByteArray>("referer");
    QTest::newRow("set") << QByteArray("https://quotes.example/");
    QTest::newRow("empty: none sent") << QByteArray();
}

void TestQuoteFeed::referer() {
    QFETCH(QByteArray, referer);
    Rig rig;
    rig.options.referer = referer;
    rig.start({kSinopec});
    QVERIFY(waitFor(*rig.finished, 1));
    QCOMPARE(rig.server.requests().size(), 3);
    for (const FakeHttpServer::Request& request : rig.server.requests()) {
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.headers.contains("referer"), !referer.isEmpty());
        QCOMPARE(request.headers.value("referer"), referer);
    }
}

void TestQuoteFeed::failureReasons_data() {
    QTest::addColumn<QString>("service"); // "closed": nothing listens
    QTest::addColumn<FakeHttpServer::Response>("response");
    QTest::addColumn<QuoteFailure>("failure");
    QTest::addColumn<QString>("status");

    QTest::newRow("refuses") << QStringLiteral("closed") << FakeHttpServer::Response{}
                             << QuoteFailure::ConnectionRefused
                             << QStringLiteral("无法连接行情服务：连接被拒绝");
    QTest::newRow("403") << QString()
                         << FakeHttpServer::Response{403, "Forbidden", "text/html", false, {}}
                         << QuoteFailure::HttpStatus
                         << QStringLiteral("行情服务拒绝请求（HTTP 403）");
    QTest::newRow("garbage")
        << QString() << FakeHttpServer::Response{200, "<html>hello</html>", "text/html", false, {}}
        << QuoteFailure::NotQuoteData << QStringLiteral("应答不是行情数据");
    QTest::newRow("hangs") << QString() << FakeHttpServer::Response{200, {}, "text/html", true, {}}
                           << QuoteFailure::Timeout << QStringLiteral("连接超时");
}

void TestQuoteFeed::failureReasons() {
    QFETCH(QString, service);
    QFETCH(FakeHttpServer::Response, response);
    QFETCH(QuoteFailure, failure);
    QFETCH(QString, status);

    Rig rig;
    rig.options.fetchTimeoutMs = 200;
    if (service == QStringLiteral("closed")) {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        rig.options.baseUrl = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(probe.serverPort()));
    } else {
        rig.server.setResponse(kSinopecPath, response);
    }
    QuoteFeed& feed = rig.start({kSinopec});
    QCOMPARE(feed.status()->text(), QStringLiteral("正在连接行情服务…"));
    QVERIFY(waitFor(*rig.finished, 1));
    QCOMPARE(rig.outcomes->count(), 1);
    QCOMPARE(rig.outcome(0).kind, FeedOutcome::Kind::Failed);
    QCOMPARE(rig.outcome(0).failure, failure);
    // Said of the stock whose turn failed.
    QCOMPARE(feed.status()->text(), u"中国石化：" + status);
    QCOMPARE(rig.texts->count(), 0);
}

void TestQuoteFeed::beijingEntry() {
    Rig rig;
    rig.server.setResponse(QStringLiteral("/list=bj430047"),
                           gbk(QStringLiteral("诺思兰德,9.80,9.70,9.87,9.99,9.60,0,0,250,0,")));
    QuoteFeed& feed = rig.start({QStringLiteral("诺思兰德(bj430047)")});
    QVERIFY(waitFor(*rig.texts, 1));
    QCOMPARE(rig.server.requestPaths(),
             (QStringList{kShPath, kSzPath, QStringLiteral("/list=bj430047")}));
    QCOMPARE(feed.values().currentStockCode, QStringLiteral("bj430047"));
    const TickerTexts t = rig.lastTexts();
    QCOMPARE(t.label1, QStringLiteral("诺思兰德"));
    QCOMPARE(t.label2, QStringLiteral("9.87"));
    QCOMPARE(t.stealthCaption, QStringLiteral("430047(9.87)"));
    QCOMPARE(t.stealthTooltip, QStringLiteral("诺思兰德(最高:9.99 最低:9.60 成交:2)沪综指:3061.789 "
                                              "深成指:10234.567"));
}

void TestQuoteFeed::everyTurnAsks_data() {
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QDateTime>("instant");
    QTest::newRow("morning session") << kSessions << cst(3, 10, 0);
    QTest::newRow("afternoon session") << kSessions << cst(3, 14, 0);
    // A reply of the closing instant itself may not have the close's prices yet.
    QTest::newRow("at the close") << kSessions << cst(3, 15, 0);
    QTest::newRow("no sessions set: Saturday too") << QString() << cst(8, 10, 0);
}

void TestQuoteFeed::everyTurnAsks() {
    QFETCH(QString, hours);
    QFETCH(QDateTime, instant);
    Rig rig;
    rig.options.marketHours = hours;
    rig.now = instant;
    rig.start({kSinopec});
    QVERIFY(waitFor(*rig.finished, 3));
    QCOMPARE(rig.server.requests().size(), 9);
    QCOMPARE(rig.texts->count(), 3);
    QCOMPARE(rig.outcome(2).kind, FeedOutcome::Kind::Live);
}

void TestQuoteFeed::closedMarketServesStoredReplies() {
    Rig rig;
    rig.options.marketHours = kSessions;
    rig.now = cst(8, 10, 0); // Saturday
    QuoteFeed& feed = rig.start({kSinopec});
    QVERIFY(waitFor(*rig.finished, 1));
    QCOMPARE(rig.server.requests().size(), 3);
    const TickerTexts first = rig.lastTexts();

    // The service would now say otherwise, but prices cannot move on a Saturday.
    rig.server.setResponse(kSinopecPath, gbk(stockText(QStringLiteral("9.99"))));
    rig.now = cst(8, 10, 5);
    QVERIFY(waitFor(*rig.finished, 3));
    QCOMPARE(rig.server.requests().size(), 3);
    QCOMPARE(rig.cycles->count(), 3);
    QCOMPARE(rig.texts->count(), 3);
    const TickerTexts last = rig.lastTexts();
    QCOMPARE(last.label2, first.label2);
    QCOMPARE(last.label3, first.label3);
    QCOMPARE(last.label5, first.label5);
    QCOMPARE(last.stealthCaption, first.stealthCaption);
    QCOMPARE(last.stealthTooltip, first.stealthTooltip);
    QCOMPARE(feed.values().quoteReply, stockText(QStringLiteral("5.23")));
    QCOMPARE(rig.outcome(2).kind, FeedOutcome::Kind::Stored);
    QCOMPARE(rig.outcome(2).replyTime, cst(8, 10, 0));
    QCOMPARE(feed.status()->text(),
             u"休市中 · 行情为 " + cst(8, 10, 0).toLocalTime().toString(u"HH:mm:ss") + u" 的数据");
}

void TestQuoteFeed::firstTurnAfterCloseAsksAgain() {
    Rig rig;
    rig.options.marketHours = kSessions;
    rig.now = cst(3, 14, 59, 58);
    rig.start({kSinopec});
    QVERIFY(waitFor(*rig.finished, 1));
    QCOMPARE(rig.server.requests().size(), 3);

    // Closed now, but the replies on hand came before the close: asked once more …
    rig.now = cst(3, 15, 0, 3);
    QVERIFY(waitFor(*rig.finished, 2));
    QCOMPARE(rig.server.requests().size(), 6);
    QCOMPARE(rig.outcome(1).kind, FeedOutcome::Kind::Live);
    // … and then not again, through the night, until the next session opens.
    rig.now = cst(4, 9, 14, 59);
    QVERIFY(waitFor(*rig.finished, 3));
    QCOMPARE(rig.server.requests().size(), 6);
    QCOMPARE(rig.outcome(2).kind, FeedOutcome::Kind::Stored);
    rig.now = cst(4, 9, 15);
    QVERIFY(waitFor(*rig.finished, 4));
    QCOMPARE(rig.server.requests().size(), 9);
}

void TestQuoteFeed::failedReplyIsAskedAgain() {
    Rig rig;
    rig.options.marketHours = kSessions;
    rig.now = cst(3, 20, 0);
    rig.server.setResponse(kSinopecPath,
                           FakeHttpServer::Response{503, "busy", "text/html", false, {}});
    rig.start({kSinopec});
    QVERIFY(waitFor(*rig.finished, 1));
    QCOMPARE(rig.texts->count(), 0);

    // The indices are on hand; only the stock that failed is asked again.
    rig.server.setResponse(kSinopecPath, gbk(stockText(QStringLiteral("5.23"))));
    QVERIFY(waitFor(*rig.finished, 3));
    QCOMPARE(rig.server.requestPaths(),
             (QStringList{kShPath, kSzPath, kSinopecPath, kSinopecPath}));
    QCOMPARE(rig.texts->count(), 2);
    QCOMPARE(rig.lastTexts().label5, QStringLiteral("沪综指:3061.789"));
}

void TestQuoteFeed::recordedReplies_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("price");   // the large price
    QTest::addColumn<QString>("beside");  // what it is, or its change
    QTest::addColumn<QString>("levels");  // 最高 / 最低
    QTest::addColumn<QString>("caption"); // the stealth line
    QTest::addColumn<QString>("status");  // the tooltip

    const auto at = [](int y, int m, int d, int h, int min, int sec) {
        return QDateTime(QDate(y, m, d), QTime(h, min, sec), MarketHours::exchangeZone());
    };
    const char* suspended = "suspended-sz002729-2022-11-22.txt";
    const char* markets = "three-markets-2026-06-11.txt";
    QTest::newRow("suspended") << recordedLine(suspended, u"sz002729"_qs) << u"sz002729"_qs
                               << at(2022, 11, 22, 11, 30, 5) << u"35.360"_qs << u"停牌"_qs
                               << u"最高:--  最低:--"_qs << u"002729(35.360)"_qs
                               << u"行情更新于 11:30:00"_qs;
    QTest::newRow("suspended, seen the next day")
        << recordedLine(suspended, u"sz002729"_qs) << u"sz002729"_qs << at(2022, 11, 23, 10, 0, 0)
        << u"35.360"_qs << u"停牌"_qs << u"最高:--  最低:--"_qs << u"002729(35.360)"_qs
        << u"行情更新于 2022-11-22 11:30:00\n行情已 22 小时 30 分钟未更新"_qs;
    QTest::newRow("delisted") << recordedLine("delisted-sz002220-2022-11-22.txt", u"sz002220"_qs)
                              << u"sz002220"_qs << at(2022, 11, 22, 11, 30, 5) << QString()
                              << u"退市"_qs << u"最高:--  最低:--"_qs << u"002220(退市)"_qs
                              << u"行情更新于 2022-11-18 12:20:48"_qs;
    QTest::newRow("call auction") << recordedLine("call-auction-sh600000-2026-08-31-payload.txt",
                                                  u"sh600000"_qs)
                                  << u"sh600000"_qs << at(2026, 8, 31, 9, 22, 30) << u"9.000"_qs
                                  << u"竞价"_qs << u"最高:--  最低:--"_qs << u"600000(9.000)"_qs
                                  << u"行情更新于 09:22:28"_qs;
    QTest::newRow("Shanghai, trading")
        << recordedLine(markets, u"sh600519"_qs) << u"sh600519"_qs << at(2026, 6, 11, 11, 22, 40)
        << u"1270.320"_qs << u"-5.560\n-0.44%"_qs << u"最高:1282.880  最低:1266.910"_qs
        << u"600519(1270.320)"_qs << u"行情更新于 11:22:37"_qs;
    QTest::newRow("Shenzhen, six minutes behind")
        << recordedLine(markets, u"sz000001"_qs) << u"sz000001"_qs << at(2026, 6, 11, 11, 28, 40)
        << u"11.300"_qs << u"-0.020\n-0.18%"_qs << u"最高:11.390  最低:11.250"_qs
        << u"000001(11.300)"_qs << u"行情更新于 11:22:39\n行情已 6 分钟未更新"_qs;
    QTest::newRow("Beijing") << recordedLine(markets, u"bj920371"_qs) << u"bj920371"_qs
                             << at(2026, 6, 11, 11, 22, 40) << u"9.030"_qs << u"+0.150\n+1.69%"_qs
                             << u"最高:9.380  最低:8.430"_qs << u"920371(9.030)"_qs
                             << u"行情更新于 11:22:37"_qs;
}

void TestQuoteFeed::recordedReplies() {
    QFETCH(QByteArray, reply);
    QFETCH(QString, code);
    QFETCH(QDateTime, now);
    Rig rig;
    rig.options.marketHours = kSessions;
    rig.now = now;
    rig.server.setResponse(u"/list="_qs + code, reply);
    QuoteFeed& feed = rig.start({u"某股(" + code + u')'});
    QVERIFY(waitFor(*rig.finished, 1));
    QCOMPARE(rig.texts->count(), 1);
    const TickerTexts texts = rig.lastTexts();
    QTEST(texts.label2, "price");
    QTEST(texts.label9, "beside");
    QTEST(texts.label4, "levels");
    QTEST(texts.stealthCaption, "caption");
    QTEST(feed.status()->text(), "status");
}

void TestQuoteFeed::holidays_data() {
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("indexDate");
    QTest::addColumn<bool>("closed"); // the rest of the day served from stored replies

    // 2024-06-10, a Monday, was the Dragon Boat Festival; the 7th the Friday before.
    QTest::newRow("holiday, mid-morning") << cst(10, 10, 30) << u"2024-06-07"_qs << true;
    QTest::newRow("holiday, just after the auction") << cst(10, 9, 26) << u"2024-06-07"_qs << true;
    QTest::newRow("the auction's last second") << cst(10, 9, 25, 59) << u"2024-06-07"_qs << false;
    QTest::newRow("during the auction") << cst(10, 9, 20) << u"2024-06-07"_qs << false;
    QTest::newRow("index of today") << cst(10, 10, 30) << u"2024-06-10"_qs << false;
    QTest::newRow("index without a date") << cst(10, 10, 30) << QString() << false;
}

void TestQuoteFeed::holidays() {
    QFETCH(QDateTime, now);
    QFETCH(QString, indexDate);
    QFETCH(bool, closed);
    Rig rig;
    rig.options.marketHours = kSessions;
    rig.now = now;
    rig.server.setResponse(kShPath, datedIndexReply(indexDate));
    QuoteFeed& feed = rig.start({kSinopec});
    QVERIFY(waitFor(*rig.finished, 1));
    QCOMPARE(rig.server.requests().size(), 3);
    QCOMPARE(feed.status()->text().startsWith(u"休市中"), closed);

    // Every code was asked once; later a holiday asks only the Shanghai index again, in
    // case it was taken for one by mistake, and only while a session would run.
    rig.now = now.addSecs(3 * 3600);
    QVERIFY(waitFor(*rig.finished, 2));
    const bool session = MarketHours::parse(kSessions)->isOpen(rig.now);
    const QStringList asked = !closed   ? QStringList{kShPath, kSzPath, kSinopecPath}
                              : session ? QStringList{kShPath}
                                        : QStringList{};
    QCOMPARE(rig.server.requestPaths().mid(3), asked);
    QCOMPARE(rig.outcome(1).kind == FeedOutcome::Kind::Stored, closed);

    // The next morning trades again.
    const qsizetype before = rig.server.requests().size();
    rig.server.setResponse(kShPath, datedIndexReply(u"2024-06-11"_qs));
    rig.now = cst(11, 10, 30);
    QVERIFY(waitFor(*rig.finished, 3));
    QCOMPARE(rig.server.requests().size(), before + 3);
    QCOMPARE(rig.outcome(2).kind, FeedOutcome::Kind::Live);
}

// The first service refuses twice: the rest of the turn and the next come from the second,
// its two-decimal prices shown with the first's three, and the tooltip says so.
void TestQuoteFeed::secondServiceStandsIn() {
    FakeHttpServer second;
    const auto recorded = [](const char* file) {
        return gbk(QString::fromUtf8(
            readAll(QStringLiteral(TENCENT_REPLIES_DIR "/") + QLatin1String(file))));
    };
    const QByteArray indices =
        recorded("index_multi_sh000001_sz399001_2026-05-22_close_no_separator.txt");
    second.setResponse(u"/q=sh000001"_qs, indices);
    second.setResponse(u"/q=sz399001"_qs, indices);
    second.setResponse(u"/q=sh600000"_qs, recorded("stock_sh600000_2026-09-14_close.txt"));
    Rig rig;
    rig.server.setResponse(kShPath, {403, readReplyFile("refused-403-body.txt")});
    rig.server.setResponse(kSzPath, {403, readReplyFile("refused-403-body.txt")});
    rig.options.secondBaseUrl = second.baseUrl();
    QuoteFeed& feed = rig.start({u"浦发银行(sh600000)"_qs});
    QVERIFY(waitFor(*rig.finished, 2));

    QCOMPARE(rig.server.requestPaths(), (QStringList{kShPath, kSzPath}));
    QCOMPARE(second.requestPaths(), (QStringList{u"/q=sh600000"_qs, u"/q=sh000001"_qs,
                                                 u"/q=sz399001"_qs, u"/q=sh600000"_qs}));
    const TickerTexts texts = rig.lastTexts();
    QCOMPARE(texts.label2, u"9.400"_qs);
    QCOMPARE(texts.label9, u"+0.140\n+1.51%"_qs);
    QCOMPARE(texts.label4, u"最高:9.430  最低:9.240"_qs);
    QCOMPARE(texts.label3, u"昨收:9.260  今开:9.280  成交:771871"_qs);
    QCOMPARE(texts.label5, u"沪综指:4112.90"_qs);
    QCOMPARE(texts.label6, u"深成指:15597.30"_qs);
    QVERIFY2(feed.status()->text().endsWith(u"\n行情来源：腾讯（新浪：拒绝请求 HTTP 403）"),
             qPrintable(feed.status()->text()));
}

// Stocks with alerts or holdings: one request for all of them beside each turn's stock,
// while prices can move.
void TestQuoteFeed::watchedStocksEveryTurn_data() {
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<bool>("asked");
    QTest::newRow("in a session") << cst(3, 10, 0) << true;
    QTest::newRow("after the close") << cst(3, 20, 0) << false;
}

void TestQuoteFeed::watchedStocksEveryTurn() {
    QFETCH(QDateTime, now);
    QFETCH(bool, asked);
    Rig rig;
    rig.options.marketHours = kSessions;
    rig.now = now;
    const QString batch = u"/list=sh600050,sh600028"_qs;
    rig.server.setResponse(batch, gbk(stockText(u"5.31"_qs) +
                                      u"var hq_str_sh600050=\"中国联通,4.00,4.10,4.20,4.30,"
                                      u"3.90,0,0,100,0\";\n"_qs));
    QuoteFeed& feed = rig.start({kSinopec, u"中国联通(sh600050)"_qs});
    feed.setWatchedCodes({u"sh600050"_qs, u"sh600028"_qs});
    QSignalSpy watched(&feed, &QuoteFeed::watchedQuote);
    QVERIFY(waitFor(*rig.finished, 1));
    const QStringList turn{kShPath, kSzPath, kSinopecPath};
    if (!asked) {
        QCOMPARE(rig.server.requestPaths(), turn);
        QCOMPARE(watched.size(), 0);
        return;
    }
    // The batch goes out with the stock's request; either may reach the service first.
    QTRY_COMPARE(watched.size(), 2);
    QStringList paths = rig.server.requestPaths().mid(0, 4);
    QCOMPARE(paths.mid(0, 2), turn.mid(0, 2));
    std::sort(paths.begin() + 2, paths.end());
    QCOMPARE(paths.mid(2), (QStringList{kSinopecPath, batch}));
    QCOMPARE(watched[0][0].toString(), u"中国联通"_qs);
    QCOMPARE(watched[0][1].value<Quote>().price, u"4.20"_qs);
    QCOMPARE(watched[1][1].value<Quote>().price, u"5.31"_qs);
}

// 2024-06-04, a Tuesday: two records of today, then a stale one of Monday.
void TestQuoteFeed::staleIndexKeepsTheDayTrading() {
    Rig rig;
    rig.options.marketHours = kSessions;
    rig.now = cst(4, 10, 30);
    rig.server.setResponse(kShPath, datedIndexReply(u"2024-06-04"_qs));
    rig.start({kSinopec});
    QVERIFY(waitFor(*rig.finished, 2));
    rig.server.setResponse(kShPath, datedIndexReply(u"2024-06-03"_qs));
    QVERIFY(waitFor(*rig.finished, 4));
    QCOMPARE(rig.server.requests().size(), 12);
    QCOMPARE(rig.outcome(3).kind, FeedOutcome::Kind::Live);
}

// A day taken for a holiday asks the index once a minute, and trades again when it is of today.
void TestQuoteFeed::closedDayReopens() {
    Rig rig;
    rig.options.marketHours = kSessions;
    rig.now = cst(4, 10, 30);
    rig.server.setResponse(kShPath, datedIndexReply(u"2024-06-03"_qs));
    QuoteFeed& feed = rig.start({kSinopec});
    QVERIFY(waitFor(*rig.finished, 1));
    QVERIFY(feed.status()->text().startsWith(u"休市中"));

    rig.now = rig.now.addSecs(59);
    QVERIFY(waitFor(*rig.finished, 2));
    QCOMPARE(rig.server.requests().size(), 3);

    rig.server.setResponse(kShPath, datedIndexReply(u"2024-06-04"_qs));
    rig.now = rig.now.addSecs(1);
    QVERIFY(waitFor(*rig.finished, 3));
    QCOMPARE(rig.server.requestPaths().mid(3), (QStringList{kShPath, kSzPath, kSinopecPath}));
    QCOMPARE(rig.outcome(2).kind, FeedOutcome::Kind::Live);
    QVERIFY(feed.status()->text().startsWith(u"行情更新于"));
}

QTEST_GUILESS_MAIN(TestQuoteFeed)
#include "tst_quotefeed.moc"
