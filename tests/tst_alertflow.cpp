// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/conductor.h"
#include "base/settingsstore.h"
#include "children.h"
#include "fakehttpserver.h"
#include "stealth/form4.h"
#include "testenvironment.h"
#include "testfiles.h"
#include "ticker/form1.h"
#include "ticker/quotefeed.h"
#include "watchlist/form2.h"
#include "watchlist/watchlistfile.h"
#include "widgets/controllabel.h"

#include <QApplication>
#include <QHelpEvent>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwel;

namespace {

QByteArray sinopec(const char* price) {
    return gbk(u"var hq_str_sh600028=\"中国石化,5.20,5.00," + QString::fromLatin1(price) +
               u",5.30,5.15,5.22,5.23,12345678,64512345.00,1200\";\n");
}

} // namespace

// An alert from a moving price to what the user sees: the stock's turn comes next, the
// marks, the tooltip and one notification per crossing; and the watch-list window's part.
class TestAlertFlow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void crossingReachesTheWindows();
};

void TestAlertFlow::crossingReachesTheWindows() {
    QTemporaryDir dir;
    const auto hooks = std::make_shared<RecordedHooks>();
    FakeHttpServer server;
    server.setResponse(QStringLiteral("/list=sh600028"), sinopec("5.40"));
    Environment env = makeTestEnvironment(dir.path(), hooks);
    env.quoteBaseUrl = server.baseUrl();
    env.settings->setAlerts(QStringLiteral("sh600028"), QStringLiteral("above:5.50"));
    WatchListFile(env.watchListPath)
        .write({QStringLiteral("中国石化(sh600028)"), QStringLiteral("中国联通(sh600050)")});

    Conductor conductor(env, makeTestHooks(hooks));
    QVERIFY(conductor.start());
    QuoteFeed& feed = conductor.feed();
    QStringList turns;
    connect(&feed, &QuoteFeed::turnStarted, this,
            [&] { turns.append(feed.values().currentStockCode); });
    QSignalSpy finished(&feed, &QuoteFeed::turnFinished);
    QVERIFY(finished.wait(5000)); // 中国石化 at 5.40: nothing
    // The turn's batch for the alert goes out beside the stock; it too is to see 5.40.
    QTRY_COMPARE_WITH_TIMEOUT(server.requestPaths().count(u"/list=sh600028"_qs), 2, 5000);
    server.setResponse(QStringLiteral("/list=sh600028"), sinopec("5.60"));
    QTRY_COMPARE_WITH_TIMEOUT(hooks->notifications.size(), 1, 5000);
    QVERIFY(hooks->notifications[0].startsWith(u"股价提醒\n"));
    QVERIFY(hooks->notifications[0].endsWith(u" 中国石化 5.60 ≥ 5.50"));
    const QString line = hooks->notifications[0].section(u'\n', 1);
    QTRY_VERIFY_WITH_TIMEOUT(turns.size() >= 5, 5000);
    // 石化 at 5.40, 联通, 石化 at 5.60 (fires), 石化 again, then on with 联通.
    const QString s = QStringLiteral("sh600028"), u = QStringLiteral("sh600050");
    QCOMPARE(turns.mid(0, 5), (QStringList{s, u, s, s, u}));
    QCOMPARE(hooks->notifications.size(), 1); // the price stayed above: told once

    Form1& ticker = conductor.ticker();
    QVERIFY(ticker.toolTip().endsWith(u"今日提醒：\n" + line));
    QWidget* tickerMark = child(&ticker, "AlertMark");
    QWidget* stealthMark = child(conductor.stealthWindow(), "AlertMark");
    QVERIFY(!tickerMark->isHidden() && !stealthMark->isHidden());
    QHelpEvent rest(QEvent::ToolTip, QPoint(10, 10), ticker.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(&ticker, &rest);
    QVERIFY(tickerMark->isHidden() && stealthMark->isHidden());

    // The watch list marks the entry; taking it off the list takes its alerts.
    QTest::mouseClick(member<ControlLabel>(&ticker, "Label8", 1), Qt::LeftButton);
    Form2* window = conductor.watchListWindow();
    QVERIFY(window);
    auto* list = child<QListWidget>(window, "List2");
    QCOMPARE(list->item(0)->data(Qt::AccessibleDescriptionRole).toString(),
             QStringLiteral("已设提醒"));
    QVERIFY(!list->item(1)->data(Qt::AccessibleDescriptionRole).isValid());
    list->setCurrentRow(0);
    QVERIFY(child<QPushButton>(window, "Command3"));
    QCOMPARE(child<QPushButton>(window, "Command3")->text(), QStringLiteral("提醒…"));
    child<QPushButton>(window, "Command2")->click();
    QCOMPARE(env.settings->alerts(QStringLiteral("sh600028")), QString());
}

QTEST_MAIN(TestAlertFlow)
#include "tst_alertflow.moc"
