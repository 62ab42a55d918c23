#include "charts/chartaddress.h"
#include "charts/chartview.h"
#include "fakehttpserver.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarnwel;

class TestChartView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unaskableChartFailsWithoutRequest();
    void redirectToAnotherOriginFails();
};

void TestChartView::unaskableChartFailsWithoutRequest() {
    FakeHttpServer server;
    ChartView view;
    QSignalSpy finished(&view, &ChartView::loadFinished);
    // A code too long to be real gives no address at all.
    view.Navigate(chartAddress(server.baseUrl(), 0, QString(33, u'6')));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.last().at(0).toBool(), false);
    QVERIFY(view.showsNotice());
    QCOMPARE(view.state(), ChartView::State::Failed);
    QVERIFY(server.requests().isEmpty());
}

void TestChartView::redirectToAnotherOriginFails() {
    FakeHttpServer server;
    FakeHttpServer other;
    other.setDefaultResponse({200, QByteArray("GIF89a"), "image/gif", false, {}});
    server.setDefaultResponse({302,
                               QByteArray(),
                               "text/html",
                               false,
                               {{"Location", other.baseUrl().toEncoded() + "chart.gif"}}});
    ChartView view;
    QSignalSpy finished(&view, &ChartView::loadFinished);
    view.Navigate(chartAddress(server.baseUrl(), 0, QStringLiteral("sh600028")));
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.last().at(0).toBool(), false);
    QVERIFY(view.showsNotice());
    QVERIFY(other.requests().isEmpty());
}

QTEST_MAIN(TestChartView)
#include "tst_chartview.moc"
