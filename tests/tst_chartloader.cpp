// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/chartaddress.h"
#include "charts/chartloader.h"
#include "fakehttpserver.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarnwel;

// The chart window's loads, without the window.
class TestChartLoader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unaskableChartFailsWithoutRequest();
    void redirectToAnotherOriginFails();
};

void TestChartLoader::unaskableChartFailsWithoutRequest() {
    FakeHttpServer server;
    ChartLoader loader;
    QSignalSpy failed(&loader, &ChartLoader::failed);
    QSignalSpy loaded(&loader, &ChartLoader::loaded);
    // A code too long to be real gives no address at all.
    loader.Navigate(chartAddress(server.baseUrl(), 0, QString(33, u'6')));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(loaded.count(), 0);
    QVERIFY(server.requests().isEmpty());
}

void TestChartLoader::redirectToAnotherOriginFails() {
    FakeHttpServer server;
    FakeHttpServer other;
    other.setDefaultResponse({200, QByteArray("GIF89a"), "image/gif", false, {}});
    server.setDefaultResponse({302,
                               QByteArray(),
                               "text/html",
                               false,
                               {{"Location", other.baseUrl().toEncoded() + "chart.gif"}}});
    ChartLoader loader;
    QSignalSpy failed(&loader, &ChartLoader::failed);
    loader.Navigate(chartAddress(server.baseUrl(), 0, QStringLiteral("sh600028")));
    QVERIFY(failed.wait(5000));
    QVERIFY(other.requests().isEmpty());
}

QTEST_MAIN(TestChartLoader)
#include "tst_chartloader.moc"
