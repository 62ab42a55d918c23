// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/conductor.h"
#include "app/windowoptions.h"
#include "charts/chartloader.h"
#include "charts/chartview.h"
#include "charts/form3.h"
#include "children.h"
#include "fakehttpserver.h"
#include "stealth/form4.h"
#include "testenvironment.h"
#include "ticker/form1.h"
#include "ticker/placement.h"
#include "ticker/quotefeed.h"
#include "watchlist/watchlistfile.h"
#include "widgets/centring.h"
#include "widgets/controllabel.h"

#include <QApplication>
#include <QDateTime>
#include <QLocale>
#include <QPointer>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace tarnwel;

namespace {

// A 1 × 1 GIF of one colour.
QByteArray tinyGif(QColor colour) {
    // The literals hold NULs, so their lengths come from the arrays, not from counting.
    static constexpr char head[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00";
    static constexpr char tail[] = "\0\0\0\x2c\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0\x3b";
    QByteArray gif(head, sizeof head - 1);
    gif += char(colour.red());
    gif += char(colour.green());
    gif += char(colour.blue());
    gif += QByteArray(tail, sizeof tail - 1);
    return gif;
}

FakeHttpServer::Response gif(QColor colour) {
    return {200, tinyGif(colour), "image/gif", false};
}

QString path(const char* period, const char* code) {
    return QStringLiteral("/newchart/%1/n/%2.gif").arg(QLatin1String(period), QLatin1String(code));
}

QColor shownColour(const ChartView* view) {
    return view->currentPicture().toImage().pixelColor(0, 0);
}

// The chart window's controls, as the user meets them.
ChartView* view(const Form3* chart) {
    return child<ChartView>(chart, "W1");
}
QRadioButton* option(const Form3* chart, int number) {
    return child<QRadioButton>(chart, number == 1   ? "Option1"
                                      : number == 2 ? "Option2"
                                                    : "Option3");
}
ControlLabel* periodLink(const Form3* chart, int period) {
    return member<ControlLabel>(chart, "Label2", period);
}
ControlLabel* refreshLink(const Form3* chart) {
    return child<ControlLabel>(chart, "Label5");
}

QList<bool> boldPeriods(const Form3* chart) {
    QList<bool> bold;
    for (int period = 0; period < 4; ++period)
        bold.append(periodLink(chart, period)->font().bold());
    return bold;
}

QList<bool> onlyBold(int period) {
    QList<bool> bold(4, false);
    bold[period] = true;
    return bold;
}

template <typename Predicate> bool anyPixel(QWidget* widget, Predicate predicate) {
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (predicate(image.pixelColor(x, y)))
                return true;
    return false;
}

enum class Trigger { StockLine, ShanghaiLine, ShenzhenLine, StealthGlyph };

} // namespace

Q_DECLARE_METATYPE(Trigger)
Q_DECLARE_METATYPE(FakeHttpServer::Response)

class TestForm3 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void drawnColours();
    void launchFromEachTrigger_data();
    void launchFromEachTrigger();
    void launchTakesTheStockOfTheMoment();
    void periodThenRefreshAsksTheSameAddress_data();
    void periodThenRefreshAsksTheSameAddress();
    void subjectSwitchKeepsThePeriod();
    void relaunchRetargetsTheOpenWindow();
    void closeResumesOneTimer_data();
    void closeResumesOneTimer();
    void launchRightAfterCloseOpensANewWindow();

    void imageFetchedAtTheExactPath();
    void failedLoadShowsTheNotice_data();
    void failedLoadShowsTheNotice();
    void newNavigationReplacesTheOneInFlight();
    void refreshReachesTheServiceDespiteTheCache();

private:
    // The chart window alone, shown as a launch shows it for 中国石化.
    Form3* launch(ChartSubject subject);
    // The whole program, its feed walking `entries`, at the first of them.
    void startProgram(const QStringList& entries);
    void clickTickerLine(const char* name);
    QTimer* tickerKeepOnTop() const { return child<QTimer>(&m_program->ticker(), "Timer2"); }
    QString address(const QString& chartPath) const {
        return m_charts->baseUrl().toString() + chartPath.mid(1);
    }

    std::shared_ptr<RecordedHooks> m_hooks;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeHttpServer> m_quotes;
    std::unique_ptr<FakeHttpServer> m_charts;
    Environment m_env;
    QPointer<Form3> m_chart;
    std::unique_ptr<Conductor> m_program;
};

void TestForm3::init() {
    m_hooks = std::make_shared<RecordedHooks>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_quotes = std::make_unique<FakeHttpServer>();
    m_charts = std::make_unique<FakeHttpServer>();
    m_charts->setDefaultResponse(gif(Qt::red));
    m_env = makeTestEnvironment(m_dir->path(), m_hooks);
    m_env.quoteBaseUrl = m_quotes->baseUrl();
    m_env.chartBaseUrl = m_charts->baseUrl();
}

void TestForm3::cleanup() {
    m_program.reset();
    delete m_chart.data();
    m_charts.reset();
    m_quotes.reset();
    m_dir.reset();
}

Form3* TestForm3::launch(ChartSubject subject) {
    if (!m_chart) {
        m_chart = new Form3(chartWindowOptions(m_env));
        m_chart->Form_Load();
    }
    m_chart->showDailyChart(subject, QStringLiteral("中国石化"), QStringLiteral("sh600028"));
    return m_chart;
}

void TestForm3::startProgram(const QStringList& entries) {
    QVERIFY(WatchListFile(m_env.watchListPath).write(entries));
    m_program = std::make_unique<Conductor>(m_env, makeTestHooks(m_hooks));
    QVERIFY(m_program->start());
    m_program->feed().RefreshQuotes();
    QTRY_COMPARE(m_program->feed().values().currentStockName + u'(' +
                     m_program->feed().values().currentStockCode + u')',
                 entries.first());
    // The lines take clicks once they show something.
    for (const char* name : {"Label1", "Label5", "Label6"}) {
        auto* line = child<QLabel>(&m_program->ticker(), name);
        line->setText(QStringLiteral("5.23"));
        line->adjustSize();
    }
}

void TestForm3::clickTickerLine(const char* name) {
    QTest::mouseClick(child(&m_program->ticker(), name), Qt::LeftButton, {}, QPoint(2, 2));
}

void TestForm3::drawnColours() {
    // The colours as drawn, not only as set: a role inherited from a parent panel
    // would draw the links black and the options on grey.
    Form3 chart(chartWindowOptions(m_env));
    for (ControlLabel* link : {periodLink(&chart, 0), refreshLink(&chart)}) {
        QVERIFY(anyPixel(link, [](QColor c) { return c.blue() > 200 && c.red() < 80; }));
        QVERIFY(!anyPixel(link, [](QColor c) { return c.blue() < 80; }));
    }
    for (int number = 1; number <= 3; ++number) {
        QRadioButton* button = option(&chart, number);
        QVERIFY(anyPixel(button, [](QColor c) { return c.red() > 200 && c.green() < 80; }));
        const QImage image = button->grab().toImage();
        QCOMPARE(image.pixelColor(image.width() - 1, image.height() / 2), QColor(Qt::white));
    }
}

void TestForm3::launchFromEachTrigger_data() {
    QTest::addColumn<Trigger>("trigger");
    QTest::addColumn<QString>("optionName");
    QTest::addColumn<QString>("chartPath");

    QTest::newRow("stock line") << Trigger::StockLine << QStringLiteral("Option1")
                                << path("daily", "sh600028");
    QTest::newRow("沪综指 line") << Trigger::ShanghaiLine << QStringLiteral("Option2")
                                 << path("daily", "sh000001");
    QTest::newRow("深成指 line") << Trigger::ShenzhenLine << QStringLiteral("Option3")
                                 << path("daily", "sz399001");
    QTest::newRow("stealth glyph")
        << Trigger::StealthGlyph << QStringLiteral("Option1") << path("daily", "sh600028");
}

void TestForm3::launchFromEachTrigger() {
    QFETCH(Trigger, trigger);
    QFETCH(QString, optionName);
    QFETCH(QString, chartPath);

    startProgram({QStringLiteral("中国石化(sh600028)")});
    switch (trigger) {
    case Trigger::StockLine:
        clickTickerLine("Label1");
        break;
    case Trigger::ShanghaiLine:
        clickTickerLine("Label5");
        break;
    case Trigger::ShenzhenLine:
        clickTickerLine("Label6");
        break;
    case Trigger::StealthGlyph: {
        QTest::mouseClick(child(&m_program->ticker(), "Label7"), Qt::LeftButton);
        QTest::mouseClick(member(&m_program->ticker(), "Label8", 0), Qt::LeftButton);
        const Form4* line = m_program->stealthWindow();
        QTest::mouseClick(child(line, "Label2"), Qt::RightButton, {}, QPoint(3, 3));
        QVERIFY(!child<QTimer>(line, "Timer1")->isActive());
        break;
    }
    }

    Form3* chart = m_program->chartWindow();
    QVERIFY(chart && chart->isVisible());
    QCOMPARE(chart->findChild<QRadioButton*>(optionName)->isChecked(), true);
    QCOMPARE(option(chart, 1)->text(), QStringLiteral("中国石化"));
    QCOMPARE(boldPeriods(chart), onlyBold(0));
    QVERIFY(!tickerKeepOnTop()->isActive());
    // Selecting the subject's option from the launch fetches nothing of its own.
    QSignalSpy loaded(view(chart), &ChartView::loadFinished);
    QVERIFY(loaded.wait(5000));
    QCOMPARE(m_charts->requestPaths(), QStringList{chartPath});
    // The stock option stands for the launch's stock, at the daily period.
    QTest::mouseClick(option(chart, 1), Qt::LeftButton);
    QCOMPARE(view(chart)->lastAddress(), address(path("daily", "sh600028")));
}

void TestForm3::launchTakesTheStockOfTheMoment() {
    startProgram({QStringLiteral("中国石化(sh600028)"), QStringLiteral("深发展Ａ(sz000001)")});
    QTRY_COMPARE(m_program->feed().values().currentStockCode, QStringLiteral("sz000001"));
    clickTickerLine("Label5");
    Form3* chart = m_program->chartWindow();
    QCOMPARE(option(chart, 1)->text(), QStringLiteral("深发展Ａ"));

    // Once the feed has moved on, the stock option still offers the launch's stock.
    QTRY_COMPARE(m_program->feed().values().currentStockCode, QStringLiteral("sh600028"));
    QTest::mouseClick(option(chart, 1), Qt::LeftButton);
    QCOMPARE(view(chart)->lastAddress(), address(path("daily", "sz000001")));
    clickTickerLine("Label1");
    QCOMPARE(option(chart, 1)->text(), QStringLiteral("中国石化"));
    QCOMPARE(view(chart)->lastAddress(), address(path("daily", "sh600028")));
}

void TestForm3::periodThenRefreshAsksTheSameAddress_data() {
    QTest::addColumn<ChartSubject>("subject");
    QTest::addColumn<int>("period");
    QTest::addColumn<QString>("path");

    const char* const words[] = {"daily", "weekly", "monthly", "min"};
    const std::pair<ChartSubject, const char*> subjects[] = {
        {ChartSubject::Stock, "sh600028"},
        {ChartSubject::ShanghaiIndex, "sh000001"},
        {ChartSubject::ShenzhenIndex, "sz399001"}};
    for (const auto& [subject, code] : subjects)
        for (int period = 0; period < 4; ++period)
            QTest::addRow("%s %s", code, words[period])
                << subject << period << path(words[period], code);
}

void TestForm3::periodThenRefreshAsksTheSameAddress() {
    QFETCH(ChartSubject, subject);
    QFETCH(int, period);
    QFETCH(QString, path);

    Form3* chart = launch(subject);
    QTRY_COMPARE(m_charts->requests().size(), 1);
    m_charts->clearRequests();

    QTest::mouseClick(periodLink(chart, period), Qt::LeftButton);
    QCOMPARE(boldPeriods(chart), onlyBold(period));
    QTRY_COMPARE(m_charts->requestPaths(), QStringList{path});
    QTest::mouseClick(refreshLink(chart), Qt::LeftButton);
    QTRY_COMPARE(m_charts->requestPaths(), QStringList(2, path));
    // The bold label again is a refresh too.
    QTest::mouseClick(periodLink(chart, period), Qt::LeftButton);
    QTRY_COMPARE(m_charts->requestPaths(), QStringList(3, path));
}

void TestForm3::subjectSwitchKeepsThePeriod() {
    Form3* chart = launch(ChartSubject::Stock);
    QTest::mouseClick(periodLink(chart, 2), Qt::LeftButton); // 月K线
    QCOMPARE(chart->windowTitle(), u"中国石化(sh600028) 月K线"_qs);
    const std::tuple<int, const char*, const char*> steps[] = {
        {2, "sh000001", "沪综指"}, {3, "sz399001", "深成指"}, {1, "sh600028", "中国石化"}};
    for (const auto& [number, code, subject] : steps) {
        QTest::mouseClick(option(chart, number), Qt::LeftButton);
        QVERIFY(option(chart, number)->isChecked());
        QCOMPARE(view(chart)->lastAddress(), address(path("monthly", code)));
        // The title says what the chart shows.
        QCOMPARE(chart->windowTitle(),
                 QString::fromUtf8(subject) + u'(' + QLatin1String(code) + u") 月K线");
    }
    QCOMPARE(boldPeriods(chart), onlyBold(2));
}

void TestForm3::relaunchRetargetsTheOpenWindow() {
    startProgram({QStringLiteral("中国石化(sh600028)")});
    clickTickerLine("Label1");
    Form3* chart = m_program->chartWindow();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(chart->frameGeometry().topLeft(),
             screen.topLeft() + centredPlacement(screen.size(), chart->frameGeometry().size()));
    QTest::mouseClick(periodLink(chart, 1), Qt::LeftButton); // 周K线
    QTest::mouseClick(option(chart, 2), Qt::LeftButton);
    chart->move(chart->pos() + QPoint(37, 23));
    const QPoint moved = chart->pos();
    tickerKeepOnTop()->start(); // a second load would pause it again

    // The feed moves on to another stock, and the user clicks the 深成指 line.
    QVERIFY(WatchListFile(m_env.watchListPath).write({QStringLiteral("中国联通(sh600050)")}));
    QTRY_COMPARE(m_program->feed().values().currentStockCode, QStringLiteral("sh600050"));
    clickTickerLine("Label6");
    QCOMPARE(m_program->chartWindow(), chart);
    QCOMPARE(chart->pos(), moved);
    QVERIFY(tickerKeepOnTop()->isActive());
    QVERIFY(option(chart, 3)->isChecked());
    QCOMPARE(option(chart, 1)->text(), QStringLiteral("中国联通"));
    QCOMPARE(boldPeriods(chart), onlyBold(0));
    QCOMPARE(view(chart)->lastAddress(), address(path("daily", "sz399001")));
    int windows = 0;
    for (const QWidget* top : QApplication::topLevelWidgets())
        windows += qobject_cast<const Form3*>(top) != nullptr;
    QCOMPARE(windows, 1);
    // The stock option now stands for the new stock, at the daily period.
    QTest::mouseClick(option(chart, 1), Qt::LeftButton);
    QCOMPARE(view(chart)->lastAddress(), address(path("daily", "sh600050")));
}

void TestForm3::closeResumesOneTimer_data() {
    QTest::addColumn<bool>("tickerVisible");
    QTest::addColumn<int>("stealth"); // 0 never created, 1 hidden, 2 visible
    QTest::addColumn<bool>("tickerTimer");
    QTest::addColumn<bool>("stealthTimer");

    QTest::newRow("ticker shown") << true << 0 << true << false;
    QTest::newRow("stealth shown") << false << 2 << false << true;
    QTest::newRow("both shown: the ticker wins") << true << 2 << true << false;
    QTest::newRow("neither shown") << false << 1 << false << false;
    QTest::newRow("ticker hidden, no stealth window") << false << 0 << false << false;
}

void TestForm3::closeResumesOneTimer() {
    QFETCH(bool, tickerVisible);
    QFETCH(int, stealth);
    QFETCH(bool, tickerTimer);
    QFETCH(bool, stealthTimer);

    startProgram({QStringLiteral("中国石化(sh600028)")});
    Form1& ticker = m_program->ticker();
    if (stealth > 0) {
        QTest::mouseClick(child(&ticker, "Label7"), Qt::LeftButton);
        QTest::mouseClick(member(&ticker, "Label8", 0), Qt::LeftButton);
        Form4* line = m_program->stealthWindow();
        QTest::mouseClick(child(line, "Label2"), Qt::RightButton, {}, QPoint(3, 3));
        line->setVisible(stealth == 2);
    } else {
        clickTickerLine("Label1");
    }
    QPointer<Form3> chart = m_program->chartWindow();
    QVERIFY(chart);
    ticker.setVisible(tickerVisible);

    QVERIFY(chart->close());
    QCOMPARE(tickerKeepOnTop()->isActive(), tickerTimer);
    const Form4* line = m_program->stealthWindow();
    QCOMPARE(line && child<QTimer>(line, "Timer1")->isActive(), stealthTimer);
    QCOMPARE(ticker.isVisible(), tickerVisible);
    QTRY_VERIFY(!chart);
}

void TestForm3::launchRightAfterCloseOpensANewWindow() {
    // The closed window is deleted only when control returns to the event loop; a
    // launch handled before then must not re-target it and then lose it.
    startProgram({QStringLiteral("中国石化(sh600028)")});
    clickTickerLine("Label1");
    Form3* first = m_program->chartWindow();
    QPointer<Form3> closed(first);
    first->close();
    clickTickerLine("Label5");
    Form3* second = m_program->chartWindow();
    QVERIFY(second != first);
    QVERIFY(!tickerKeepOnTop()->isActive()); // the new window's load paused it again
    QTRY_VERIFY(!closed);
    QCOMPARE(m_program->chartWindow(), second);
    QVERIFY(second->isVisible());
}

void TestForm3::imageFetchedAtTheExactPath() {
    m_charts->setDefaultResponse({404, "not here", "text/plain", false});
    m_charts->setResponse(path("daily", "sh600028"), gif(QColor(0, 128, 128)));

    Form3* chart = launch(ChartSubject::Stock);
    QSignalSpy loaded(view(chart), &ChartView::loadFinished);
    QVERIFY(loaded.wait(5000));
    QCOMPARE(loaded.at(0).at(0).toBool(), true);
    QCOMPARE(m_charts->requests().size(), 1);
    QCOMPARE(m_charts->requests().first().method, QByteArray("GET"));
    QCOMPARE(m_charts->requests().first().path, path("daily", "sh600028"));
    // On screen inside the visible panel, not under the clipped border.
    const int inset = ChartView::kBorder + ChartView::kPageMargin;
    QWidget* panel = child(chart, "Picture1");
    const QPoint inPanel = view(chart)->mapTo(panel, QPoint(inset, inset));
    QCOMPARE(panel->grab().toImage().pixelColor(inPanel), QColor(0, 128, 128));
}

void TestForm3::failedLoadShowsTheNotice_data() {
    QTest::addColumn<FakeHttpServer::Response>("response");

    QTest::newRow("404") << FakeHttpServer::Response{404, "no such chart", "text/html", false};
    QTest::newRow("500 with a picture")
        << FakeHttpServer::Response{500, tinyGif(Qt::red), "image/gif", false};
    QTest::newRow("a page, not a picture")
        << FakeHttpServer::Response{200, "<html>busy</html>", "text/html", false};
    QTest::newRow("truncated GIF")
        << FakeHttpServer::Response{200, tinyGif(Qt::red).left(20), "image/gif", false};
    QByteArray huge = tinyGif(Qt::red);
    huge.append(QByteArray(ChartLoader::kMaxBodyBytes, '\0'));
    QTest::newRow("too large") << FakeHttpServer::Response{200, huge, "image/gif", false};
    QTest::newRow("never answers") << FakeHttpServer::Response{200, {}, "image/gif", true};
}

void TestForm3::failedLoadShowsTheNotice() {
    QFETCH(FakeHttpServer::Response, response);
    m_charts->setResponse(path("daily", "sh600028"), response);

    // A good chart first: a failure must not leave it standing as if current.
    Form3* chart = launch(ChartSubject::ShanghaiIndex);
    QSignalSpy loaded(view(chart), &ChartView::loadFinished);
    QVERIFY(loaded.wait(5000));
    QTest::mouseClick(option(chart, 1), Qt::LeftButton);
    QVERIFY(loaded.wait(10000));
    QCOMPARE(loaded.at(1).at(0).toBool(), false);
    QVERIFY(view(chart)->showsNotice());
    QVERIFY(view(chart)->currentPicture().isNull());
    QVERIFY(m_hooks->messages.isEmpty());

    // The next good chart takes the notice's place.
    QTest::mouseClick(option(chart, 2), Qt::LeftButton);
    QVERIFY(loaded.wait(5000));
    QCOMPARE(loaded.at(2).at(0).toBool(), true);
    QVERIFY(!view(chart)->showsNotice());
}

void TestForm3::newNavigationReplacesTheOneInFlight() {
    m_charts->setResponse(path("daily", "sh600028"), {200, {}, "image/gif", true});
    m_charts->setResponse(path("weekly", "sh600028"), gif(Qt::blue));

    Form3* chart = launch(ChartSubject::Stock);
    QSignalSpy loaded(view(chart), &ChartView::loadFinished);
    QTRY_COMPARE(m_charts->requestPaths(), QStringList{path("daily", "sh600028")});
    QTest::mouseClick(periodLink(chart, 1), Qt::LeftButton);
    QVERIFY(loaded.wait(5000));
    QCOMPARE(shownColour(view(chart)), QColor(Qt::blue));
    // The abandoned load reports nothing, not even once its time-out has passed.
    QVERIFY(!loaded.wait(m_env.fetchTimeoutMs + 500));
    QCOMPARE(loaded.size(), 1);
    QCOMPARE(view(chart)->state(), ChartView::State::Shown);
}

void TestForm3::refreshReachesTheServiceDespiteTheCache() {
    ChartView view;
    ChartLoader loader;
    loader.setCacheDirectory(m_dir->filePath(QStringLiteral("cache")));
    connect(&loader, &ChartLoader::loaded, &view, &ChartView::showPicture);
    connect(&loader, &ChartLoader::failed, &view, &ChartView::showFailure);
    // The chart comes with what would let a cache keep it for an hour; the fake
    // server writes the content type into its header block as given.
    const QByteArray lastModified = QLocale::c()
                                        .toString(QDateTime::currentDateTimeUtc().addDays(-1),
                                                  QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"))
                                        .toLatin1();
    const QString chartPath = path("min", "sz399001");
    m_charts->setResponse(
        chartPath,
        {200, tinyGif(Qt::red),
         "image/gif\r\nCache-Control: max-age=3600\r\nLast-Modified: " + lastModified, false});
    QSignalSpy loaded(&view, &ChartView::loadFinished);
    loader.Navigate(address(chartPath));
    QVERIFY(loaded.wait(5000));

    // Asking again reaches the service, which may answer that nothing changed.
    m_charts->setResponse(chartPath, {304, {}, "image/gif", false});
    loader.Navigate(address(chartPath));
    QVERIFY(loaded.wait(5000));
    QCOMPARE(loaded.at(1).at(0).toBool(), true);
    QCOMPARE(m_charts->requests().size(), 2);
    QCOMPARE(m_charts->requests().at(1).headers.value("if-modified-since"), lastModified);
    QCOMPARE(shownColour(&view), QColor(Qt::red));
}

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
