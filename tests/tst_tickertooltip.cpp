// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/conductor.h"
#include "children.h"
#include "fakehttpserver.h"
#include "testenvironment.h"
#include "ticker/form1.h"
#include "ticker/quotefeed.h"
#include "watchlist/watchlistfile.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

using namespace tarnwel;

// The feed's state reaches the ticker's tooltip, which shows while another window is
// active and stays off the open menu.
class TestTickerTooltip : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void statusShowsOnAnInactiveTicker();
};

void TestTickerTooltip::statusShowsOnAnInactiveTicker() {
    QTemporaryDir dir;
    const auto hooks = std::make_shared<RecordedHooks>();
    FakeHttpServer server;
    server.setDefaultResponse({403, "Forbidden", "text/html", false, {}});
    Environment env = makeTestEnvironment(dir.path(), hooks);
    env.quoteBaseUrl = server.baseUrl();
    env.turnPauseMs = 60000;
    WatchListFile(env.watchListPath).write({QStringLiteral("中国石化(sh600028)")});

    Conductor conductor(env, makeTestHooks(hooks));
    QVERIFY(conductor.start());
    Form1& ticker = conductor.ticker();
    QCOMPARE(ticker.toolTip(), QStringLiteral("正在连接行情服务…"));
    QSignalSpy turned(&conductor.feed(), &QuoteFeed::turnFinished);
    QVERIFY(turned.wait(5000));
    QCOMPARE(ticker.toolTip(), QStringLiteral("中国石化：行情服务拒绝请求（HTTP 403）"));

    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!ticker.isActiveWindow());

    // The pointer comes to rest on the price line.
    QWidget* price = child(&ticker, "Label2");
    QTest::mouseMove(price, price->rect().center());
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("中国石化：行情服务拒绝请求（HTTP 403）"));
    // The rotation moves on while it is open: it shows the new text at once.
    ticker.showFeedStatus(QStringLiteral("行情更新于 10:00:00"));
    QCOMPARE(QToolTip::text(), QStringLiteral("行情更新于 10:00:00"));
    QToolTip::hideText();
}

QTEST_MAIN(TestTickerTooltip)
#include "tst_tickertooltip.moc"
