#include "app/controllabel.h"
#include "app/watchlistfile.h"
#include "charts/chartlaunch.h"
#include "charts/chartview.h"
#include "charts/form3.h"
#include "fakehttpserver.h"
#include "stealth/form4.h"
#include "testenvironment.h"
#include "ticker/form1.h"
#include "ticker/placement.h"
#include "ticker/quotefeed.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QLocale>
#include <QPointer>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace tarnwel;

namespace {

// A 1 × 1 GIF with one frame per colour; more than one frame makes it an endlessly
// looping animation with `delayCs` hundredths of a second per frame. Up to four frames.
QByteArray tinyGif(const QList<QColor>& frames, int delayCs = 5) {
    QByteArray gif("GIF89a");
    auto le16 = [&gif](int value) {
        gif.append(char(value & 0xff));
        gif.append(char((value >> 8) & 0xff));
    };
    le16(1);
    le16(1);
    gif.append(char(0x81)); // global colour table of four entries
    gif.append('\0');       // background colour index
    gif.append('\0');       // pixel aspect ratio
    for (int i = 0; i < 4; ++i) {
        const QColor colour = frames.value(i, Qt::black);
        gif.append(char(colour.red()));
        gif.append(char(colour.green()));
        gif.append(char(colour.blue()));
    }
    const bool animated = frames.size() > 1;
    if (animated)
        gif.append(QByteArray("\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19));
    for (int i = 0; i < frames.size(); ++i) {
        if (animated) {
            gif.append(QByteArray("\x21\xf9\x04\x00", 4));
            le16(delayCs);
            gif.append(QByteArray("\x00\x00", 2));
        }
        gif.append(char(0x2c));
        le16(0);
        le16(0);
        le16(1);
        le16(1);
        gif.append('\0');
        // LZW, 2-bit minimum code size, 3-bit codes: clear (4), the pixel, end (5).
        const int codes = 4 | (i << 3) | (5 << 6);
        gif.append(char(0x02));
        gif.append(char(0x02));
        gif.append(char(codes & 0xff));
        gif.append(char(codes >> 8));
        gif.append('\0');
    }
    gif.append(char(0x3b));
    return gif;
}

FakeHttpServer::Response gifResponse(const QByteArray& body) {
    return {200, body, "image/gif", false};
}

// The fake server writes the content type into its header block as it is given, which
// lets a test add header lines of its own after it.
FakeHttpServer::Response withHeaders(FakeHttpServer::Response response, const QByteArray& headers) {
    response.contentType += "\r\n" + headers;
    return response;
}

QString path(const char* period, const char* code) {
    return QStringLiteral("/newchart/%1/n/%2.gif").arg(QLatin1String(period), QLatin1String(code));
}

QRadioButton* selectedOption(const Form3* chart) {
    for (QRadioButton* option : {chart->Option1, chart->Option2, chart->Option3})
        if (option->isChecked())
            return option;
    return nullptr;
}

QList<bool> boldPeriods(const Form3* chart) {
    QList<bool> bold;
    for (const ControlLabel* label : chart->Label2)
        bold.append(label->font().bold());
    return bold;
}

const QList<bool> kDailyBold{true, false, false, false};

template <typename Predicate> bool anyPixel(const QImage& image, Predicate predicate) {
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

    void freshWindow();
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
    void animatedGifAnimates();
    void diskCacheOnlyRevalidates();

private:
    void startFeed(const QStringList& watchList);
    Form3* launch(ChartSubject subject);

    std::shared_ptr<RecordedHooks> m_hooks;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeHttpServer> m_quotes;
    std::unique_ptr<FakeHttpServer> m_charts;
    std::unique_ptr<Form1> m_ticker;
};

void TestForm3::init() {
    m_hooks = std::make_shared<RecordedHooks>();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_quotes = std::make_unique<FakeHttpServer>();
    m_charts = std::make_unique<FakeHttpServer>();
    m_charts->setDefaultResponse(gifResponse(tinyGif({Qt::red})));
    Environment env = makeTestEnvironment(m_dir->path(), m_hooks);
    env.quoteBaseUrl = m_quotes->baseUrl();
    env.chartBaseUrl = m_charts->baseUrl();
    m_ticker = std::make_unique<Form1>(env);
    // The state after the ticker's load, without starting its quote feed.
    m_ticker->show();
    m_ticker->Timer2->start();
}

void TestForm3::cleanup() {
    m_ticker.reset();
    m_charts.reset();
    m_quotes.reset();
    m_dir.reset();
}

void TestForm3::startFeed(const QStringList& watchList) {
    QVERIFY(WatchListFile(m_ticker->environment().watchListPath).write(watchList));
    m_ticker->feed()->RefreshQuotes();
}

Form3* TestForm3::launch(ChartSubject subject) {
    LaunchChart(*m_ticker, subject, QStringLiteral("中国石化"), QStringLiteral("sh600028"));
    return m_ticker->chartWindow;
}

void TestForm3::freshWindow() {
    Form3 chart(m_ticker.get());
    QCOMPARE(chart.size(), QSize(571, 373));
    QCOMPARE(chart.minimumSize(), chart.maximumSize());
    QVERIFY(chart.windowTitle().isEmpty());
    const Qt::WindowFlags flags = chart.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(chart.testAttribute(Qt::WA_DeleteOnClose));

    QCOMPARE(chart.Option1->text(), QStringLiteral("中国银行"));
    QCOMPARE(selectedOption(&chart), chart.Option1);
    QCOMPARE(boldPeriods(&chart), QList<bool>(4, false));
    QCOMPARE(chart.ChartPeriod, 0);
    QVERIFY(chart.ChartCode.isEmpty());
    QCOMPARE(chart.W1->state(), ChartView::State::Blank);

    // The view hangs over its panel on every side, so exactly the panel shows.
    QCOMPARE(chart.W1->parentWidget(), chart.Picture1);
    QCOMPARE(chart.Picture1->size(), QSize(565, 325));
    QVERIFY(chart.W1->geometry().contains(chart.Picture1->rect()));
    QCOMPARE(chart.W1->pos(), QPoint(-2, -2));

    for (const ControlLabel* link :
         {chart.Label2[0], chart.Label2[1], chart.Label2[2], chart.Label2[3], chart.Label5}) {
        QVERIFY(link->font().underline());
        QCOMPARE(link->font().pointSize(), 9);
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    }
    // The colours as drawn, not only as set: a role inherited from a parent panel
    // would draw the links black and the options on grey.
    for (ControlLabel* link : {chart.Label2[0], chart.Label5}) {
        const QImage image = link->grab().toImage();
        QVERIFY(anyPixel(image, [](QColor c) { return c.blue() > 200 && c.red() < 80; }));
        QVERIFY(!anyPixel(image, [](QColor c) { return c.blue() < 80; }));
    }
    for (QRadioButton* option : {chart.Option1, chart.Option2, chart.Option3}) {
        const QImage image = option->grab().toImage();
        QCOMPARE(image.pixelColor(image.width() - 1, image.height() / 2), QColor(Qt::white));
        QVERIFY(anyPixel(image, [](QColor c) { return c.red() > 200 && c.green() < 80; }));
    }

    // A long stock name is cut off, not given room.
    chart.Option1->setText(QStringLiteral("一个名字很长很长很长很长的股票"));
    QCOMPARE(chart.Option1->size(), QSize(85, 13));
}

void TestForm3::launchFromEachTrigger_data() {
    QTest::addColumn<Trigger>("trigger");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("path");

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
    QFETCH(QString, option);
    QFETCH(QString, path);

    startFeed({QStringLiteral("中国石化(sh600028)")});
    QTRY_COMPARE(m_ticker->feed()->CurrentStockCode(), QStringLiteral("sh600028"));
    if (trigger == Trigger::StealthGlyph) {
        m_ticker->enterStealthMode();
        QVERIFY(m_ticker->form4()->Timer1->isActive());
    }

    switch (trigger) {
    case Trigger::StockLine:
        m_ticker->Label1_Click();
        break;
    case Trigger::ShanghaiLine:
        m_ticker->Label5_Click();
        break;
    case Trigger::ShenzhenLine:
        m_ticker->Label6_Click();
        break;
    case Trigger::StealthGlyph:
        m_ticker->form4()->Label2_MouseUp(Qt::RightButton);
        break;
    }

    Form3* chart = m_ticker->chartWindow;
    QVERIFY(chart);
    QVERIFY(chart->isVisible());
    QCOMPARE(selectedOption(chart)->objectName(), option);
    QCOMPARE(chart->Option1->text(), QStringLiteral("中国石化"));
    QCOMPARE(chart->ChartCode, QStringLiteral("sh600028"));
    QCOMPARE(chart->ChartPeriod, 0);
    QCOMPARE(boldPeriods(chart), kDailyBold);
    QCOMPARE(chart->W1->lastAddress(), m_charts->baseUrl().toString() + path.mid(1));
    QVERIFY(!m_ticker->Timer2->isActive());
    if (trigger == Trigger::StealthGlyph)
        QVERIFY(!m_ticker->form4()->Timer1->isActive());

    // Selecting the subject's option from the launch fetches nothing of its own.
    QSignalSpy loaded(chart->W1, &ChartView::loadFinished);
    QVERIFY(loaded.wait(5000));
    QCOMPARE(m_charts->requestPaths(), QStringList{path});
}

void TestForm3::launchTakesTheStockOfTheMoment() {
    // Two stocks take turns; each launch charts whichever one is current when it runs.
    startFeed({QStringLiteral("中国石化(sh600028)"), QStringLiteral("深发展Ａ(sz000001)")});
    QTRY_COMPARE_WITH_TIMEOUT(m_ticker->feed()->CurrentStockCode(), QStringLiteral("sz000001"),
                              10000);
    m_ticker->Label5_Click();
    Form3* chart = m_ticker->chartWindow;
    QVERIFY(chart);
    QCOMPARE(chart->Option1->text(), QStringLiteral("深发展Ａ"));
    QCOMPARE(chart->ChartCode, QStringLiteral("sz000001"));

    // Once the feed has moved on, the stock option still offers the launch's stock.
    QTRY_COMPARE_WITH_TIMEOUT(m_ticker->feed()->CurrentStockCode(), QStringLiteral("sh600028"),
                              10000);
    QTest::mouseClick(chart->Option1, Qt::LeftButton);
    QCOMPARE(chart->W1->lastAddress(),
             m_charts->baseUrl().toString() + path("daily", "sz000001").mid(1));

    m_ticker->Label1_Click();
    QCOMPARE(m_ticker->chartWindow, chart);
    QCOMPARE(chart->Option1->text(), QStringLiteral("中国石化"));
    QCOMPARE(chart->W1->lastAddress(),
             m_charts->baseUrl().toString() + path("daily", "sh600028").mid(1));
    QTRY_VERIFY(m_charts->requestPaths().endsWith(path("daily", "sh600028")));
}

void TestForm3::periodThenRefreshAsksTheSameAddress_data() {
    QTest::addColumn<ChartSubject>("subject");
    QTest::addColumn<int>("period");
    QTest::addColumn<QString>("path");

    const char* const words[] = {"daily", "weekly", "monthly", "min"};
    const struct {
        ChartSubject subject;
        const char* code;
    } subjects[] = {{ChartSubject::Stock, "sh600028"},
                    {ChartSubject::ShanghaiIndex, "sh000001"},
                    {ChartSubject::ShenzhenIndex, "sz399001"}};
    for (const auto& subject : subjects)
        for (int period = 0; period < 4; ++period)
            QTest::addRow("%s %s", subject.code, words[period])
                << subject.subject << period << path(words[period], subject.code);
}

void TestForm3::periodThenRefreshAsksTheSameAddress() {
    QFETCH(ChartSubject, subject);
    QFETCH(int, period);
    QFETCH(QString, path);

    Form3* chart = launch(subject);
    QTRY_COMPARE(m_charts->requests().size(), 1);
    m_charts->clearRequests();

    QTest::mouseClick(chart->Label2[period], Qt::LeftButton);
    QCOMPARE(chart->ChartPeriod, period);
    QList<bool> bold(4, false);
    bold[period] = true;
    QCOMPARE(boldPeriods(chart), bold);
    QTRY_COMPARE(m_charts->requestPaths(), QStringList{path});

    QTest::mouseClick(chart->Label5, Qt::LeftButton);
    QTRY_COMPARE(m_charts->requestPaths(), QStringList(2, path));
    // The bold label again is a refresh too.
    QTest::mouseClick(chart->Label2[period], Qt::LeftButton);
    QTRY_COMPARE(m_charts->requestPaths(), QStringList(3, path));
    QCOMPARE(boldPeriods(chart), bold);
}

void TestForm3::subjectSwitchKeepsThePeriod() {
    Form3* chart = launch(ChartSubject::Stock);
    QTest::mouseClick(chart->Label2[2], Qt::LeftButton); // 月K线
    QTest::mouseClick(chart->Option2, Qt::LeftButton);
    QVERIFY(chart->Option2->isChecked());
    QCOMPARE(chart->W1->lastAddress(),
             m_charts->baseUrl().toString() + path("monthly", "sh000001").mid(1));
    QTest::mouseClick(chart->Option3, Qt::LeftButton);
    QCOMPARE(chart->W1->lastAddress(),
             m_charts->baseUrl().toString() + path("monthly", "sz399001").mid(1));
    QTest::mouseClick(chart->Option1, Qt::LeftButton);
    QCOMPARE(chart->W1->lastAddress(),
             m_charts->baseUrl().toString() + path("monthly", "sh600028").mid(1));
    QCOMPARE(chart->ChartPeriod, 2);
    QCOMPARE(boldPeriods(chart), (QList<bool>{false, false, true, false}));

    // Each navigation replaced the one before, so the server may not have seen all of
    // them; the last one it must have seen.
    QTRY_VERIFY(m_charts->requestPaths().endsWith(path("monthly", "sh600028")));
}

void TestForm3::relaunchRetargetsTheOpenWindow() {
    Form3* chart = launch(ChartSubject::Stock);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(chart->frameGeometry().topLeft(),
             screen.topLeft() + centredPlacement(screen.size(), chart->frameGeometry().size()));
    QTest::mouseClick(chart->Label2[1], Qt::LeftButton); // 周K线
    QTest::mouseClick(chart->Option2, Qt::LeftButton);
    chart->move(chart->pos() + QPoint(37, 23));
    const QPoint moved = chart->pos();
    // The chart window's load ran once; a relaunch must not pause the ticker again.
    m_ticker->Timer2->start();

    LaunchChart(*m_ticker, ChartSubject::ShenzhenIndex, QStringLiteral("中国联通"),
                QStringLiteral("sh600050"));
    QCOMPARE(m_ticker->chartWindow.data(), chart);
    QCOMPARE(chart->pos(), moved);
    QVERIFY(m_ticker->Timer2->isActive());
    QVERIFY(chart->Option3->isChecked());
    QCOMPARE(chart->Option1->text(), QStringLiteral("中国联通"));
    QCOMPARE(chart->ChartCode, QStringLiteral("sh600050"));
    QCOMPARE(chart->ChartPeriod, 0);
    QCOMPARE(boldPeriods(chart), kDailyBold);
    QCOMPARE(chart->W1->lastAddress(),
             m_charts->baseUrl().toString() + path("daily", "sz399001").mid(1));

    int windows = 0;
    for (const QWidget* top : QApplication::topLevelWidgets())
        windows += qobject_cast<const Form3*>(top) != nullptr;
    QCOMPARE(windows, 1);
}

void TestForm3::closeResumesOneTimer_data() {
    QTest::addColumn<bool>("tickerVisible");
    QTest::addColumn<int>("stealth"); // 0 never created, 1 hidden, 2 visible
    QTest::addColumn<bool>("tickerTimer");
    QTest::addColumn<bool>("stealthTimer");

    QTest::newRow("ticker shown") << true << 0 << true << false;
    QTest::newRow("ticker shown, stealth hidden") << true << 1 << true << false;
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

    Form3* chart = launch(ChartSubject::Stock);
    QVERIFY(!m_ticker->Timer2->isActive());
    m_ticker->setVisible(tickerVisible);
    if (stealth > 0) {
        m_ticker->form4()->setVisible(stealth == 2);
        m_ticker->form4()->Timer1->stop();
    }

    QPointer<Form3> closing(chart);
    QVERIFY(chart->close());
    QCOMPARE(m_ticker->Timer2->isActive(), tickerTimer);
    if (stealth > 0)
        QCOMPARE(m_ticker->form4()->Timer1->isActive(), stealthTimer);
    else
        QVERIFY(!m_ticker->existingForm4());
    // Closing never changes which of the floating windows shows.
    QCOMPARE(m_ticker->isVisible(), tickerVisible);
    QTRY_VERIFY(!closing);
    QVERIFY(!m_ticker->chartWindow);
}

void TestForm3::launchRightAfterCloseOpensANewWindow() {
    // The closed window is deleted only when control returns to the event loop; a
    // launch handled before then must not re-target it and then lose it.
    Form3* first = launch(ChartSubject::Stock);
    QPointer<Form3> closed(first);
    first->close();
    Form3* second = launch(ChartSubject::ShanghaiIndex);
    QVERIFY(second);
    QVERIFY(second != first);
    QVERIFY(!m_ticker->Timer2->isActive()); // the new window's load paused it again
    QTRY_VERIFY(!closed);
    QCOMPARE(m_ticker->chartWindow.data(), second);
    QVERIFY(second->isVisible());
}

void TestForm3::imageFetchedAtTheExactPath() {
    const QByteArray gif = tinyGif({QColor(0, 128, 128)});
    m_charts->setDefaultResponse({404, "not here", "text/plain", false});
    m_charts->setResponse(path("daily", "sh600028"), gifResponse(gif));

    Form3* chart = launch(ChartSubject::Stock);
    QSignalSpy loaded(chart->W1, &ChartView::loadFinished);
    QVERIFY(loaded.wait(5000));
    QCOMPARE(loaded.size(), 1);
    QCOMPARE(loaded.at(0).at(0).toBool(), true);
    QCOMPARE(chart->W1->state(), ChartView::State::Shown);
    QVERIFY(!chart->W1->showsNotice());
    QCOMPARE(chart->W1->currentPicture().toImage().pixelColor(0, 0), QColor(0, 128, 128));

    QCOMPARE(m_charts->requests().size(), 1);
    const FakeHttpServer::Request& request = m_charts->requests().first();
    QCOMPARE(request.method, QByteArray("GET"));
    QCOMPARE(request.path, path("daily", "sh600028"));

    // The picture shows inside the visible panel, not under the clipped border.
    const QPoint inPanel =
        chart->W1->mapTo(chart->Picture1, QPoint(ChartView::kBorder + ChartView::kPageMargin,
                                                 ChartView::kBorder + ChartView::kPageMargin));
    QVERIFY(chart->Picture1->rect().contains(inPanel));
    QCOMPARE(chart->Picture1->grab().toImage().pixelColor(inPanel), QColor(0, 128, 128));
}

void TestForm3::failedLoadShowsTheNotice_data() {
    QTest::addColumn<FakeHttpServer::Response>("response");

    QTest::newRow("404") << FakeHttpServer::Response{404, "no such chart", "text/html", false};
    QTest::newRow("500 with a picture")
        << FakeHttpServer::Response{500, tinyGif({Qt::red}), "image/gif", false};
    QTest::newRow("a page, not a picture")
        << FakeHttpServer::Response{200, "<html>busy</html>", "text/html", false};
    QTest::newRow("labelled a GIF, but not one")
        << FakeHttpServer::Response{200, "GIF89a garbage", "image/gif", false};
    QTest::newRow("empty body") << FakeHttpServer::Response{200, {}, "image/gif", false};
    QTest::newRow("truncated GIF")
        << FakeHttpServer::Response{200, tinyGif({Qt::red}).left(20), "image/gif", false};
    QByteArray huge = tinyGif({Qt::red});
    huge.append(QByteArray(ChartView::kMaxBodyBytes, '\0'));
    QTest::newRow("too large") << FakeHttpServer::Response{200, huge, "image/gif", false};
    QTest::newRow("never answers") << FakeHttpServer::Response{200, {}, "image/gif", true};
}

void TestForm3::failedLoadShowsTheNotice() {
    QFETCH(FakeHttpServer::Response, response);
    m_charts->setResponse(path("daily", "sh600028"), response);

    // A good chart first: a failure must not leave it standing as if current.
    Form3* chart = launch(ChartSubject::ShanghaiIndex);
    QSignalSpy loaded(chart->W1, &ChartView::loadFinished);
    QVERIFY(loaded.wait(5000));
    QCOMPARE(chart->W1->state(), ChartView::State::Shown);

    QTest::mouseClick(chart->Option1, Qt::LeftButton);
    QVERIFY(loaded.wait(10000));
    QCOMPARE(loaded.size(), 2);
    QCOMPARE(loaded.at(1).at(0).toBool(), false);
    QCOMPARE(chart->W1->state(), ChartView::State::Failed);
    QVERIFY(chart->W1->showsNotice());
    QVERIFY(chart->W1->currentPicture().isNull());
    QVERIFY(m_hooks->messages.isEmpty());

    // The next good chart takes the notice's place.
    QTest::mouseClick(chart->Option2, Qt::LeftButton);
    QVERIFY(loaded.wait(5000));
    QCOMPARE(loaded.last().at(0).toBool(), true);
    QVERIFY(!chart->W1->showsNotice());
}

void TestForm3::newNavigationReplacesTheOneInFlight() {
    m_charts->setResponse(path("daily", "sh600028"), {200, {}, "image/gif", true});
    m_charts->setResponse(path("weekly", "sh600028"), gifResponse(tinyGif({Qt::blue})));

    Form3* chart = launch(ChartSubject::Stock);
    QSignalSpy loaded(chart->W1, &ChartView::loadFinished);
    QTRY_COMPARE(m_charts->requestPaths(), QStringList{path("daily", "sh600028")});
    QCOMPARE(chart->W1->state(), ChartView::State::Loading);

    QTest::mouseClick(chart->Label2[1], Qt::LeftButton);
    QVERIFY(loaded.wait(5000));
    QCOMPARE(chart->W1->currentPicture().toImage().pixelColor(0, 0), QColor(Qt::blue));
    // The abandoned load reports nothing, not even after its time-out would have run out.
    QVERIFY(!loaded.wait(m_ticker->environment().fetchTimeoutMs + 500));
    QCOMPARE(loaded.size(), 1);
    QCOMPARE(loaded.at(0).at(0).toBool(), true);
    QCOMPARE(chart->W1->state(), ChartView::State::Shown);
}

void TestForm3::animatedGifAnimates() {
    m_charts->setDefaultResponse(gifResponse(tinyGif({Qt::red, Qt::blue}, 2)));
    Form3* chart = launch(ChartSubject::Stock);
    QSignalSpy loaded(chart->W1, &ChartView::loadFinished);
    QVERIFY(loaded.wait(5000));
    QVERIFY(chart->W1->isAnimated());
    QSet<QRgb> seen;
    QTRY_VERIFY_WITH_TIMEOUT(
        (seen.insert(chart->W1->currentPicture().toImage().pixel(0, 0)), seen.size() == 2), 5000);
    QVERIFY(seen.contains(QColor(Qt::red).rgb()));
    QVERIFY(seen.contains(QColor(Qt::blue).rgb()));

    // A still picture is not run as a movie.
    m_charts->setDefaultResponse(gifResponse(tinyGif({Qt::green})));
    chart->Label5_Click();
    QVERIFY(loaded.wait(5000));
    QVERIFY(!chart->W1->isAnimated());
    QCOMPARE(chart->W1->currentPicture().toImage().pixelColor(0, 0), QColor(Qt::green));
}

void TestForm3::diskCacheOnlyRevalidates() {
    const QString cacheDir = m_dir->filePath(QStringLiteral("cache"));
    ChartView view;
    view.setCacheDirectory(cacheDir);
    // The chart comes with what would let a cache keep it for an hour.
    const QString chartPath = path("min", "sz399001");
    const QByteArray lastModified = QLocale::c()
                                        .toString(QDateTime::currentDateTimeUtc().addDays(-1),
                                                  QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"))
                                        .toLatin1();
    m_charts->setResponse(
        chartPath, withHeaders(gifResponse(tinyGif({Qt::red})),
                               "Cache-Control: max-age=3600\r\nLast-Modified: " + lastModified));
    QSignalSpy loaded(&view, &ChartView::loadFinished);
    const QString address = m_charts->baseUrl().toString() + chartPath.mid(1);
    view.Navigate(address);
    QVERIFY(loaded.wait(5000));
    QCOMPARE(loaded.at(0).at(0).toBool(), true);
    QVERIFY(!QDir(cacheDir).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

    // Asking again reaches the service, which may answer that nothing changed.
    m_charts->setResponse(chartPath, {304, {}, "image/gif", false});
    view.Navigate(address);
    QVERIFY(loaded.wait(5000));
    QCOMPARE(loaded.at(1).at(0).toBool(), true);
    QCOMPARE(m_charts->requests().size(), 2);
    QCOMPARE(m_charts->requests().at(1).headers.value("if-modified-since"), lastModified);
    QCOMPARE(view.currentPicture().toImage().pixelColor(0, 0), QColor(Qt::red));
}

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
