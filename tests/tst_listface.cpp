// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/conductor.h"
#include "base/settingsstore.h"
#include "charts/form3.h"
#include "children.h"
#include "fakehttpserver.h"
#include "quotes/markethours.h"
#include "testenvironment.h"
#include "testfiles.h"
#include "ticker/form1.h"
#include "ticker/form5.h"
#include "ticker/listfeed.h"
#include "watchlist/watchlistfile.h"
#include "widgets/controllabel.h"

#include <QMenu>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace tarnwel;

namespace {

const QString kAll = QStringLiteral("/list=sh000001,sz399001,sh600519,sz000001,bj920371");

// Recorded lines of both indices and three stocks, as one reply to one request.
QByteArray allFive() {
    return readReplyFile("indices-2022-04-07.txt") + readReplyFile("three-markets-2026-06-11.txt");
}

QStringList texts(const QWidget* window, const char* column) {
    QStringList out;
    for (const QLabel* label : window->findChildren<QLabel*>(QString::fromLatin1(column)))
        out.append(label->text());
    return out;
}

struct Rig {
    QTemporaryDir dir;
    std::shared_ptr<RecordedHooks> hooks = std::make_shared<RecordedHooks>();
    FakeHttpServer server;
    Environment env = makeTestEnvironment(dir.path(), hooks);
    Rig() {
        env.quoteBaseUrl = server.baseUrl();
        env.chartBaseUrl = server.baseUrl();
        env.turnPauseMs = 50;
        WatchListFile(env.watchListPath)
            .write({QStringLiteral("贵州茅台(sh600519)"), QStringLiteral("平安银行(sz000001)"),
                    QStringLiteral("欧福蛋业(bj920371)")});
        server.setResponse(kAll, allFive());
    }
    ListFeed::Options feedOptions() const {
        return {server.baseUrl(), {}, {}, {}, env.watchListPath, {}, 20, 1000};
    }
};

// Opens the menu from the gear and types the letter the item shows.
void chooseMenuItem(QWidget* window, const QString& caption) {
    auto* menu = window->findChild<QMenu*>();
    QVERIFY(menu);
    QTest::mouseClick(window->findChild<QWidget*>(u"Label7"_qs), Qt::LeftButton);
    QVERIFY(menu->isVisible());
    for (QAction* action : menu->actions()) {
        if (QString(action->text()).remove(u'&') == caption) {
            QTest::keyClick(menu, caption.at(caption.size() - 2).toLower().toLatin1());
            QVERIFY(!menu->isVisible());
            return;
        }
    }
    QFAIL(qPrintable(u"no menu item " + caption));
}

} // namespace

class TestListFace : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void batchedRows_data();
    void batchedRows();
    void switchFacesAndBack();
    void startsInTheListRemembered();
    void rowOpensItsChart();
    void profitsAndTheirTotal_data();
    void profitsAndTheirTotal();
};

// One request for all, each line into its row; a line that is missing, empty or does not cut
// leaves its row as it was.
void TestListFace::batchedRows_data() {
    QTest::addColumn<QByteArray>("second"); // the next refresh's reply
    QTest::addColumn<QStringList>("prices");

    const QByteArray lines = allFive();
    const QStringList first{u"3236.6951"_qs, u"11972.023"_qs, u"1270.320"_qs, u"11.300"_qs,
                            u"9.030"_qs};
    QByteArray moved = lines;
    moved.replace(",11.300,", ",11.400,");
    QTest::newRow("all again, one moved")
        << moved << QStringList{first[0], first[1], first[2], u"11.400"_qs, first[4]};
    QTest::newRow("fewer lines than codes")
        << lines.left(lines.indexOf("var hq_str_sz000001")) << first;
    QByteArray gap = lines;
    gap.insert(gap.indexOf("var hq_str_sh600519"), "\n\n");
    QTest::newRow("an empty line in the middle") << gap << first;
    QByteArray damaged = lines;
    damaged.replace(",11.300,", ",11.3\x01,");
    QTest::newRow("one line does not cut") << damaged << first;
}

void TestListFace::batchedRows() {
    QFETCH(QByteArray, second);
    Rig rig;
    ListFeed feed(rig.feedOptions());
    QSignalSpy refreshed(&feed, &ListFeed::rowsChanged);
    feed.start();
    QVERIFY(refreshed.wait(5000));
    QCOMPARE(rig.server.requestPaths(), QStringList{kAll});
    rig.server.setResponse(kAll, second);
    QVERIFY(refreshed.wait(5000));
    feed.stop();

    QStringList prices;
    for (const ListRow& row : feed.rows())
        prices.append(listRowTexts(row).price);
    QTEST(prices, "prices");
    QCOMPARE(listRowTexts(feed.rows()[2]).change, u"-5.560"_qs);
    QCOMPARE(listRowTexts(feed.rows()[2]).percent, u"-0.44%"_qs);
    QCOMPARE(feed.rows()[4].name, u"欧福蛋业"_qs);
}

// The list replaces the ticker where it stood; the ticker's own requests stop, one request a
// refresh goes out, and the choice is kept.
void TestListFace::switchFacesAndBack() {
    Rig rig;
    const auto conductor = std::make_unique<Conductor>(rig.env, makeTestHooks(rig.hooks));
    QVERIFY(conductor->start());
    Form1& ticker = conductor->ticker();
    QTRY_VERIFY(rig.server.requestPaths().contains(u"/list=sh000001"_qs));
    const QPoint corner = ticker.geometry().bottomRight();

    member<ControlLabel>(&ticker, "Label8", 4)->clicked();
    Form5* list = conductor->listWindow();
    QVERIFY(list && list->isVisible());
    QVERIFY(!ticker.isVisible());
    QCOMPARE(list->geometry().bottomRight(), corner);
    QCOMPARE(rig.env.settings->value(SettingsStore::Key::View), u"list"_qs);
    // A request of the ticker's sent before the switch may still arrive; none after.
    QTRY_COMPARE(rig.server.requestPaths().count(kAll), 3);
    const QStringList paths = rig.server.requestPaths();
    QCOMPARE(paths.mid(paths.indexOf(kAll)), (QStringList{kAll, kAll, kAll}));
    QCOMPARE(texts(list, "Name"), (QStringList{u"沪综指"_qs, u"深成指"_qs, u"贵州茅台"_qs,
                                               u"平安银行"_qs, u"欧福蛋业"_qs}));
    QCOMPARE(texts(list, "Price")[3], u"11.300"_qs);
    QCOMPARE(list->findChildren<QLabel*>(u"Header"_qs).size(), 4);

    chooseMenuItem(list, u" 切换到单股模式(T)"_qs);
    QVERIFY(ticker.isVisible() && !list->isVisible());
    QCOMPARE(ticker.geometry().bottomRight(), corner);
    QCOMPARE(rig.env.settings->value(SettingsStore::Key::View), u"ticker"_qs);
    rig.server.clearRequests();
    QTRY_VERIFY(rig.server.requestPaths().contains(u"/list=sh600519"_qs));
    QVERIFY(!rig.server.requestPaths().contains(kAll));
}

void TestListFace::startsInTheListRemembered() {
    Rig rig;
    rig.env.settings->setShowsList(true);
    const auto conductor = std::make_unique<Conductor>(rig.env, makeTestHooks(rig.hooks));
    QVERIFY(conductor->start());
    QVERIFY(conductor->listWindow() && conductor->listWindow()->isVisible());
    QVERIFY(!conductor->ticker().isVisible());
    // The ticker's first tick starts its feed paused: nothing but the list's requests.
    QTRY_COMPARE(rig.server.requestPaths().size(), 2);
    QCOMPARE(rig.server.requestPaths(), (QStringList{kAll, kAll}));
}

void TestListFace::rowOpensItsChart() {
    Rig rig;
    rig.env.settings->setShowsList(true);
    const auto conductor = std::make_unique<Conductor>(rig.env, makeTestHooks(rig.hooks));
    QVERIFY(conductor->start());
    Form5* list = conductor->listWindow();
    QTRY_COMPARE(texts(list, "Name").size(), 5);
    auto* row = list->findChildren<ControlLabel*>(u"Name"_qs).at(3);
    QCOMPARE(row->text(), u"平安银行"_qs);
    row->clicked();
    QTRY_VERIFY(conductor->chartWindow());
    QCOMPARE(child<QRadioButton>(conductor->chartWindow(), "Option1")->text(), u"平安银行"_qs);
    QTRY_VERIFY(rig.server.requestPaths().contains(u"/newchart/daily/n/sz000001.gif"_qs));

    list->findChildren<ControlLabel*>(u"Name"_qs).at(0)->clicked();
    QTRY_VERIFY(rig.server.requestPaths().contains(u"/newchart/daily/n/sh000001.gif"_qs));
    QVERIFY(child<QRadioButton>(conductor->chartWindow(), "Option2")->isChecked());
}

// Today's profit of each holding beside its row and their sum; "***" with 隐藏金额.
void TestListFace::profitsAndTheirTotal_data() {
    QTest::addColumn<bool>("hide");
    QTest::addColumn<QStringList>("profits");
    QTest::addColumn<QString>("total");
    // 贵州茅台 1275.880 → 1270.320, 100 shares; 平安银行 11.320 → 11.300, 1000 shares.
    QTest::newRow("shown") << false << QStringList{u"-556.00"_qs, u"-20.00"_qs} << u"-576.00"_qs;
    QTest::newRow("hidden") << true << QStringList{u"***"_qs, u"***"_qs} << u"***"_qs;
}

void TestListFace::profitsAndTheirTotal() {
    QFETCH(bool, hide);
    Rig rig;
    rig.env.settings->setShowsList(true);
    rig.env.settings->setHidesAmounts(hide);
    rig.env.settings->setHolding(u"sh600519"_qs, u"shares:100;cost:1200"_qs);
    rig.env.settings->setHolding(u"sz000001"_qs, u"shares:1000;cost:10.5"_qs);
    // The records must be of today for a profit of today.
    QDateTime recorded = QDateTime::currentDateTime().toTimeZone(MarketHours::exchangeZone());
    QByteArray reply = allFive();
    reply.replace("2026-06-11", recorded.toString(u"yyyy-MM-dd").toLatin1());
    rig.server.setResponse(kAll, reply);
    const auto conductor = std::make_unique<Conductor>(rig.env, makeTestHooks(rig.hooks));
    QVERIFY(conductor->start());
    Form5* list = conductor->listWindow();
    QTRY_COMPARE(texts(list, "Profit").size(), 5);
    QStringList profits = texts(list, "Profit").mid(2, 2);
    QTEST(profits, "profits");
    QCOMPARE(texts(list, "Profit")[4], QString()); // no holding, no figure
    QTEST(list->findChild<QLabel*>(u"Total"_qs)->text(), "total");
    QCOMPARE(list->findChildren<QLabel*>(u"Header"_qs).size(), 5);
}

QTEST_MAIN(TestListFace)
#include "tst_listface.moc"
