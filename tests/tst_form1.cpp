// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/conductor.h"
#include "base/settingsstore.h"
#include "children.h"
#include "fakehttpserver.h"
#include "stealth/form4.h"
#include "testenvironment.h"
#include "testfiles.h"
#include "ticker/form1.h"
#include "ticker/form5.h"
#include "ticker/placement.h"
#include "ticker/quotefeed.h"
#include "watchlist/stockdirectory.h"
#include "watchlist/watchlistfile.h"
#include "widgets/controllabel.h"
#include "widgets/fonts.h"
#include "widgets/twips.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>

using namespace tarnwel;

namespace {

void sendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Press, two moves and a release over one spot of a control, with `buttons` held.
void dragOver(QWidget* target, Qt::MouseButtons buttons, QPoint delta) {
    const QPoint start(2, 2);
    sendMouse(target, QEvent::MouseButtonPress, start, Qt::LeftButton, buttons);
    sendMouse(target, QEvent::MouseMove, start + QPoint(1, 1), Qt::NoButton, buttons);
    sendMouse(target, QEvent::MouseMove, start + delta, Qt::NoButton, buttons);
    sendMouse(target, QEvent::MouseButtonRelease, start + delta, Qt::LeftButton, Qt::NoButton);
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void turnRepaintsOnTheGuiThread();
    void placement_data();
    void placement();
    void bandFits_data();
    void bandFits();
    void longTextsFit_data();
    void longTextsFit();
    void upDownColours_data();
    void upDownColours();
    void storedColoursAtLoad_data();
    void storedColoursAtLoad();
    void loadAppliesOpacity_data();
    void loadAppliesOpacity();
    void backgroundAloneSeeThrough_data();
    void backgroundAloneSeeThrough();
    void loadSequence();
    void dragStartsOnlyFromSomeControls_data();
    void dragStartsOnlyFromSomeControls();
    void dragPredicate_data();
    void dragPredicate();
    void dragKeepsTheGripOfThePress_data();
    void dragKeepsTheGripOfThePress();
    void outsideTextIsPlain_data();
    void outsideTextIsPlain();
    void backgroundClickHidesMenuPanel();
    void firstTickStartsTheFeedOnce();
    void showsTheQuote();
    void failedTurnsSaySo();
    void closingEndsTheProgram();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<RecordedHooks> m_hooks;
    Environment environment() const { return makeTestEnvironment(m_dir->path(), m_hooks); }
    std::unique_ptr<Conductor> program(const Environment& env) const {
        return std::make_unique<Conductor>(env, makeTestHooks(m_hooks));
    }
};

void TestForm1::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_hooks = std::make_shared<RecordedHooks>();
}

void TestForm1::cleanup() {
    m_dir.reset();
}

// A turn repaints the labels whose text changed: a region of several rectangles. Drawn on
// the GUI thread alone, it leaves no worker threads behind to wake with every turn. First
// of the suite, so that no earlier painting has started any.
void TestForm1::turnRepaintsOnTheGuiThread() {
#ifdef Q_OS_LINUX
    Form1 ticker;
    ticker.applyAlpha(102); // the default 60%: the background is blended, not copied
    ticker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ticker));
    const auto threads = [] { return QDir(QStringLiteral("/proc/self/task")).count(); };
    const qsizetype before = threads();
    // Two rectangles side by side, the ticker's whole height: the kind of region a turn's
    // changed labels make.
    const int half = ticker.width() / 2;
    const QRegion turn =
        QRegion(0, 0, half - 8, ticker.height()) + QRegion(half, 0, half - 8, ticker.height());
    ticker.repaint(turn);
    QCOMPARE(threads(), before);
#else
    QSKIP("counts the threads of /proc/self/task");
#endif
}

void TestForm1::placement_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QPoint>("ticker");
    QTest::addColumn<QPoint>("stealth");
    QTest::newRow("1024 x 768") << QSize(15360, 11520) << QPoint(10410, 9535)
                                << QPoint(10410, 10735);
    QTest::newRow("1920 x 1080") << QSize(28800, 16200) << QPoint(23850, 14215)
                                 << QPoint(23850, 15415);
}

void TestForm1::placement() {
    QFETCH(QSize, screen);
    QFETCH(QPoint, ticker);
    QFETCH(QPoint, stealth);
    QCOMPARE(tickerPlacement(screen), ticker);
    QCOMPARE(stealthPlacement(ticker), stealth);
    QCOMPARE(stealthPlacement(QPoint(10000, 8000)), QPoint(10000, 9200));
}

void TestForm1::loadAppliesOpacity_data() {
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("alpha");
    QTest::newRow("60%") << QStringLiteral("60%") << 102;
    QTest::newRow("90%") << QStringLiteral("90%") << 26;
    QTest::newRow("0% is opaque") << QStringLiteral("0%") << 255;
    QTest::newRow("60 without %") << QStringLiteral("60") << 240;
}

void TestForm1::loadAppliesOpacity() {
    QFETCH(QString, op);
    QFETCH(int, alpha);
    Environment env = environment();
    env.settings->setTransparency(op);
    const auto conductor = program(env);
    QVERIFY(conductor->start());
    const Form1& ticker = conductor->ticker();
    QCOMPARE(ticker.alpha(), alpha);
    // The background alone takes the alpha, never the whole window.
    QCOMPARE(ticker.windowOpacity(), 1.0);
}

namespace {

// The window with `texts` (a label's name and its text) shown, the rest ordinary.
std::unique_ptr<QWidget> windowShowing(const QString& window, const QVariantMap& texts) {
    const auto text = [&texts](const char* name, const QString& ordinary) {
        return texts.value(QString::fromLatin1(name), ordinary).toString();
    };
    if (window == u"Form4") {
        auto line = std::make_unique<Form4>();
        line->setQuoteTexts(text("Label1", u"600028(5.23)"_qs), {});
        return line;
    }
    if (window == u"Form5") {
        auto list = std::make_unique<Form5>();
        ListLine line;
        line.code = u"sh600028"_qs;
        line.name = text("Name", u"中国石化"_qs);
        line.price = text("Price", u"5.23"_qs);
        line.change = text("Change", u"+0.05"_qs);
        line.percent = text("Percent", u"+0.97%"_qs);
        list->showLines({line}, {});
        return list;
    }
    auto ticker = std::make_unique<Form1>();
    ticker->showAlertMark(true);
    TickerTexts lines;
    lines.label4 = text("Label4", u"最高:5.30  最低:5.15"_qs);
    lines.label3 = text("Label3", u"昨收:5.18  今开:5.20  成交:123457"_qs);
    lines.label2 = text("Label2", u"5.23"_qs);
    lines.label9 = text("Label9", u"+0.05\n+0.97%"_qs);
    lines.label5 = text("Label5", u"沪综指:3061.789"_qs);
    lines.label6 = text("Label6", u"深成指:10234.567"_qs);
    lines.label1 = text("Label1", u"中国石化"_qs);
    ticker->showTexts(lines);
    return ticker;
}

} // namespace

namespace {

// The highest alpha in `area` of `image`: where a label's glyphs are.
int mostOpaque(const QImage& image, QRect area) {
    int most = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            most = std::max(most, qAlpha(image.pixel(x, y)));
    return most;
}

// The window with a quote, at `alpha`; the ticker with its menu open.
std::unique_ptr<QWidget> windowAtAlpha(const QString& window, int alpha) {
    std::unique_ptr<QWidget> shown = windowShowing(window, {});
    if (auto* list = qobject_cast<Form5*>(shown.get()))
        list->applyAlpha(alpha);
    if (auto* ticker = qobject_cast<Form1*>(shown.get())) {
        ticker->applyAlpha(alpha);
        child(ticker, "Picture1")->show();
    }
    return shown;
}

} // namespace

void TestForm1::backgroundAloneSeeThrough_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("alpha");
    QTest::addColumn<QPoint>("background");  // a bare spot
    QTest::addColumn<QPoint>("mark");        // of the artwork, where there is one
    QTest::addColumn<QStringList>("opaque"); // controls drawn opaque whatever the alpha
    const QStringList tickerControls{u"Label1"_qs, u"Label2"_qs, u"Label5"_qs, u"Image1"_qs,
                                     u"Picture1"_qs};
    const QStringList listControls{u"Label7"_qs, u"Name"_qs, u"Price"_qs};
    for (const int alpha : {26, 102}) {
        // The gear's body, clear of its hole, and the arrow's.
        for (const QPoint mark : {QPoint(229, 10), QPoint(244, 9)})
            QTest::addRow("ticker at %d, mark at %d", alpha, mark.x())
                << u"Form1"_qs << alpha << QPoint(px(3700), px(1450)) << mark << tickerControls;
        QTest::addRow("list at %d", alpha)
            << u"Form5"_qs << alpha << QPoint(1, 1) << QPoint() << listControls;
    }
}

void TestForm1::backgroundAloneSeeThrough() {
    QFETCH(QString, window);
    QFETCH(int, alpha);
    QFETCH(QPoint, background);
    QFETCH(QPoint, mark);
    QFETCH(QStringList, opaque);
    const std::unique_ptr<QWidget> shown = windowAtAlpha(window, alpha);
    const QImage image = shown->grab().toImage();
    QVERIFY(image.hasAlphaChannel());
    QVERIFY(qAbs(qAlpha(image.pixel(background)) - alpha) <= 1);
    if (!mark.isNull())
        QCOMPARE(qAlpha(image.pixel(mark)), 255);
    for (const QString& name : opaque) {
        const QWidget* control = child(shown.get(), qPrintable(name));
        QVERIFY2(control, qPrintable(name));
        QVERIFY2(mostOpaque(image, control->geometry()) == 255, qPrintable(name));
    }
    QCOMPARE(shown->windowOpacity(), 1.0);
}

void TestForm1::loadSequence() {
    const auto conductor = program(environment());
    const Form1& ticker = conductor->ticker();
    QCOMPARE(ticker.objectName(), QStringLiteral("Form1"));
    QCOMPARE(ticker.windowTitle(), QStringLiteral("Tarnwel"));
    QCOMPARE(ticker.size(), QSize(250, 99));
    QVERIFY(!child<QTimer>(&ticker, "Timer1")->isActive());
    QVERIFY(!child<QTimer>(&ticker, "Timer2")->isActive());
    QVERIFY(ticker.isHidden());

    QVERIFY(conductor->start());
    QVERIFY(ticker.isVisible());
    QVERIFY(child<QTimer>(&ticker, "Timer1")->isActive());
    QVERIFY(child<QTimer>(&ticker, "Timer2")->isActive());
    QCOMPARE(child<QTimer>(&ticker, "Timer2")->interval(), 500);
    QCOMPARE(conductor->directory(), stockdirectory::shanghai() + stockdirectory::shenzhen());
    QVERIFY(child(&ticker, "Picture1")->isHidden());

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(ticker.pos(), screen.topLeft() + px(tickerPlacement(twips(screen.size()))));
}

void TestForm1::dragStartsOnlyFromSomeControls_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("drags");
    QTest::newRow("background") << QStringLiteral("Form1") << true;
    QTest::newRow("Image1") << QStringLiteral("Image1") << true;
    QTest::newRow("Label3") << QStringLiteral("Label3") << true;
    QTest::newRow("Label4") << QStringLiteral("Label4") << true;
    QTest::newRow("Label1") << QStringLiteral("Label1") << false;
    QTest::newRow("Label2") << QStringLiteral("Label2") << false;
    QTest::newRow("Label5") << QStringLiteral("Label5") << false;
    QTest::newRow("Label6") << QStringLiteral("Label6") << false;
    QTest::newRow("Label7") << QStringLiteral("Label7") << false;
}

void TestForm1::dragStartsOnlyFromSomeControls() {
    QFETCH(QString, control);
    QFETCH(bool, drags);
    Form1 ticker;
    ticker.show();
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6"})
        child<QLabel>(&ticker, name)->setText(QStringLiteral("5.23"));
    for (QLabel* label : ticker.findChildren<QLabel*>())
        label->adjustSize();

    QWidget* target =
        control == ticker.objectName() ? &ticker : ticker.findChild<QWidget*>(control);
    QVERIFY(target);
    const QPoint before = ticker.pos();
    dragOver(target, Qt::LeftButton, QPoint(40, 30));
    QCOMPARE(ticker.pos() != before, drags);
}

void TestForm1::dragPredicate_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("drags");
    QTest::newRow("left alone") << int(Qt::LeftButton) << true;
    QTest::newRow("left and right") << int(Qt::LeftButton | Qt::RightButton) << false;
    QTest::newRow("left and middle") << int(Qt::LeftButton | Qt::MiddleButton) << false;
    QTest::newRow("right alone") << int(Qt::RightButton) << false;
    QTest::newRow("none") << int(Qt::NoButton) << false;
}

void TestForm1::dragPredicate() {
    QFETCH(int, buttons);
    QFETCH(bool, drags);
    QCOMPARE(startsDrag(Qt::MouseButtons(buttons)), drags);

    Form1 ticker;
    ticker.show();
    const QPoint before = ticker.pos();
    dragOver(child(&ticker, "Label4"), Qt::MouseButtons(buttons), QPoint(40, 30));
    QCOMPARE(ticker.pos() != before, drags);
}

void TestForm1::dragKeepsTheGripOfThePress_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("step");
    QTest::newRow("background, small first step") << QStringLiteral("Form1") << QPoint(1, 1);
    QTest::newRow("background, large first step") << QStringLiteral("Form1") << QPoint(25, -7);
    QTest::newRow("icon") << QStringLiteral("Image1") << QPoint(6, 4);
}

void TestForm1::dragKeepsTheGripOfThePress() {
    // Where the platform refuses a system move (as here, offscreen) the window follows
    // the pointer itself; the point grabbed at the press must stay under the pointer.
    QFETCH(QString, control);
    QFETCH(QPoint, step);
    Form1 ticker;
    ticker.move(200, 200);
    ticker.show();
    QWidget* target =
        control == ticker.objectName() ? &ticker : ticker.findChild<QWidget*>(control);
    const QPoint local(5, 5);
    const QPoint pressAt = target->mapToGlobal(local);
    const auto send = [target, local](QEvent::Type type, QPoint global, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(local), QPointF(global), Qt::LeftButton, held,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    send(QEvent::MouseButtonPress, pressAt, Qt::LeftButton);
    send(QEvent::MouseMove, pressAt + step, Qt::LeftButton);
    QCOMPARE(ticker.pos(), QPoint(200, 200) + step);
    send(QEvent::MouseMove, pressAt + QPoint(60, 40), Qt::LeftButton);
    QCOMPARE(ticker.pos(), QPoint(260, 240));
    send(QEvent::MouseButtonRelease, pressAt + QPoint(60, 40), Qt::NoButton);
}

void TestForm1::outsideTextIsPlain_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("bold markup") << QStringLiteral("<b>粗体</b>");
    QTest::newRow("an image") << QStringLiteral("<img src=\"file:///etc/hosts\">x");
    QTest::newRow("an entity") << QStringLiteral("A&amp;B");
}

void TestForm1::outsideTextIsPlain() {
    // Names and prices come from a file and a service: markup in them is shown as it
    // stands, never rendered.
    QFETCH(QString, name);
    Form1 ticker;
    TickerTexts texts;
    texts.label1 = name;
    texts.label2 = name;
    texts.label3 = name;
    texts.label4 = name;
    texts.label5 = name;
    texts.label6 = name;
    ticker.showTexts(texts);
    for (const char* line : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6"}) {
        const auto* label = child<QLabel>(&ticker, line);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(label->text(), name);
    }
}

void TestForm1::backgroundClickHidesMenuPanel() {
    Form1 ticker;
    ticker.show();
    auto* label4 = child<QLabel>(&ticker, "Label4");
    label4->setText(QStringLiteral("最高:5.30  最低:5.15"));
    label4->adjustSize();
    QWidget* panel = child(&ticker, "Picture1");

    // Clicks on the quote lines and the icon close the open panel too.
    for (QWidget* control : {child(&ticker, "Label4"), child(&ticker, "Image1")}) {
        panel->show();
        const QPoint at = control->mapTo(&ticker, QPoint(3, 3));
        QTest::mouseClick(ticker.windowHandle(), Qt::LeftButton, {}, at);
        QVERIFY2(panel->isHidden(), qPrintable(control->objectName()));
    }

    // A bare spot on the bottom band, clear of the labels and the icon.
    const QPoint bare(px(3700), px(1450));
    QCOMPARE(ticker.childAt(bare), nullptr);
    panel->show();
    QTest::mouseClick(&ticker, Qt::LeftButton, {}, bare);
    QVERIFY(panel->isHidden());
}

void TestForm1::firstTickStartsTheFeedOnce() {
    FakeHttpServer server;
    Environment env = environment();
    env.quoteBaseUrl = server.baseUrl();
    env.turnPauseMs = 60000;
    WatchListFile(env.watchListPath).write({QStringLiteral("中国石化(sh600028)")});
    const auto conductor = program(env);
    QVERIFY(conductor->start());
    QSignalSpy cycles(&conductor->feed(), &QuoteFeed::cycleStarted);
    QSignalSpy requests(&server, &FakeHttpServer::requestReceived);
    QVERIFY(cycles.isEmpty());
    QVERIFY(cycles.wait(5000));
    auto* timer1 = child<QTimer>(&conductor->ticker(), "Timer1");
    QVERIFY(!timer1->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(requests.size(), 3, 5000);
    // A stray tick starts nothing more.
    timer1->start(0);
    QTRY_VERIFY(!timer1->isActive());
    QCOMPARE(cycles.size(), 1);
    QCOMPARE(server.requestPaths(),
             (QStringList{QStringLiteral("/list=sh000001"), QStringLiteral("/list=sz399001"),
                          QStringLiteral("/list=sh600028")}));
}

// Prices that did not come with the latest turn never look live, and before the first the
// name's place tells the connection.
void TestForm1::failedTurnsSaySo() {
    FakeHttpServer server;
    server.setDefaultResponse({403, "Forbidden"});
    Environment env = environment();
    env.quoteBaseUrl = server.baseUrl();
    env.turnPauseMs = 30;
    WatchListFile(env.watchListPath).write({QStringLiteral("中国石化(sh600028)")});
    const auto conductor = program(env);
    const Form1* ticker = &conductor->ticker();
    const auto label = [ticker](const char* name) { return child<QLabel>(ticker, name); };
    QCOMPARE(label("Label1")->text(), QStringLiteral("正在连接…"));
    QVERIFY(conductor->start());
    QSignalSpy outcomes(&conductor->feed(), &QuoteFeed::stockOutcome);
    QVERIFY(outcomes.wait(5000));
    QCOMPARE(label("Label1")->text(), QStringLiteral("无法连接"));

    server.setResponse(QStringLiteral("/list=sh600028"),
                       gbk(QStringLiteral("var hq_str_sh600028=\"中国石化,5.20,5.18,5.23,5.30,"
                                          "5.15,5.22,5.23,12345678,64512345.00,100,5.22\";")));
    QTRY_COMPARE(label("Label2")->text(), QStringLiteral("5.23"));
    QCOMPARE(label("Label9")->text(), QStringLiteral("+0.05\n+0.97%"));
    const QColor live = label("Label2")->palette().color(QPalette::WindowText);
    server.setResponse(QStringLiteral("/list=sh600028"), {403, "Forbidden"});
    QTRY_COMPARE(label("Label9")->text(), QStringLiteral("未更新"));
    QCOMPARE(label("Label2")->text(), QStringLiteral("5.23"));
    QVERIFY(label("Label2")->palette().color(QPalette::WindowText) != live);
    QCOMPARE(label("Label1")->text(), QStringLiteral("中国石化"));
}

void TestForm1::showsTheQuote() {
    FakeHttpServer server;
    server.setResponse(
        QStringLiteral("/list=sh000001"),
        gbk(QStringLiteral(
            "var hq_str_sh000001=\"上证指数,3050.1,3040.2,3061.789,3070,3030,0,0,1,2\";")));
    server.setResponse(
        QStringLiteral("/list=sz399001"),
        gbk(QStringLiteral(
            "var hq_str_sz399001=\"深证成指,10200,10100,10234.567,10300,10000,0,0,1,2\";")));
    server.setResponse(
        QStringLiteral("/list=sh600028"),
        gbk(QStringLiteral("var hq_str_sh600028=\"中国石化,5.20,5.18,5.23,5.30,5.15,5.22,5.23,"
                           "12345678,64512345.00,100,5.22\";")));
    Environment env = environment();
    env.quoteBaseUrl = server.baseUrl();
    env.turnPauseMs = 60000;
    WatchListFile(env.watchListPath).write({QStringLiteral("中国石化(sh600028)")});
    const auto conductor = program(env);
    QVERIFY(conductor->start());
    QSignalSpy shown(&conductor->feed(), &QuoteFeed::textsReady);
    QVERIFY(shown.wait(5000));

    const Form1* ticker = &conductor->ticker();
    const auto text = [ticker](const char* name) { return child<QLabel>(ticker, name)->text(); };
    QCOMPARE(text("Label4"), QStringLiteral("最高:5.30  最低:5.15"));
    QCOMPARE(text("Label3"), QStringLiteral("昨收:5.18  今开:5.20  成交:123457"));
    QCOMPARE(text("Label2"), QStringLiteral("5.23"));
    QCOMPARE(text("Label5"), QStringLiteral("沪综指:3061.789"));
    QCOMPARE(text("Label6"), QStringLiteral("深成指:10234.567"));
    QCOMPARE(text("Label1"), QStringLiteral("中国石化"));
    // The labels grow with their text.
    QVERIFY(child(ticker, "Label3")->width() > child(ticker, "Label2")->width());
    const Form4* line = conductor->stealthWindow();
    QVERIFY(line);
    QVERIFY(line->isHidden());
    QCOMPARE(child<QLabel>(line, "Label1")->text(), QStringLiteral("600028(5.23)"));
    QCOMPARE(child(line, "Label2")->toolTip(),
             QStringLiteral(
                 "中国石化(最高:5.30 最低:5.15 成交:123457)沪综指:3061.789 深成指:10234.567"));
}

void TestForm1::bandFits_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("beside");
    QTest::addColumn<bool>("ownPlace"); // the price stands where it always has

    QTest::newRow("a plain price") << u"中国石化"_qs << u"5.23"_qs << QString() << true;
    QTest::newRow("suspended") << u"好利科技"_qs << u"35.360"_qs << u"停牌"_qs << false;
    QTest::newRow("not listed, no price") << u"某某股份"_qs << QString() << u"未上市"_qs << true;
    QTest::newRow("four digits and a change")
        << u"贵州茅台"_qs << u"1270.320"_qs << u"-5.560\n-0.44%"_qs << false;
    QTest::newRow("the largest") << u"贵州茅台"_qs << u"12345.678"_qs << u"-1234.567\n-99.99%"_qs
                                 << false;
}

void TestForm1::bandFits() {
    // The name, the price and what stands beside it share the band without touching each
    // other, the lines above and below, or the window's edge.
    QFETCH(QString, name);
    QFETCH(QString, price);
    QFETCH(QString, beside);
    Form1 ticker;
    TickerTexts texts;
    texts.label4 = u"最高:12345.678  最低:12345.678"_qs;
    texts.label3 = u"昨收:12345.678  今开:12345.678  成交:1234567"_qs;
    texts.label1 = name;
    texts.label2 = price;
    texts.label9 = beside;
    texts.label5 = u"沪综指:3061.7890"_qs;
    texts.label6 = u"深成指:10234.567"_qs;
    ticker.showTexts(texts);

    const QList<const char*> lines{"Label1", "Label2", "Label9", "Label3", "Label5", "Label6"};
    for (const char* mine : {"Label1", "Label2", "Label9"}) {
        const QRect box = child(&ticker, mine)->geometry();
        if (child<QLabel>(&ticker, mine)->text().isEmpty())
            continue;
        QVERIFY2(ticker.rect().contains(box), mine);
        for (const char* other : lines) {
            if (qstrcmp(mine, other) != 0 && !child<QLabel>(&ticker, other)->text().isEmpty())
                QVERIFY2(!box.intersects(child(&ticker, other)->geometry()),
                         qPrintable(QLatin1String(mine) + u" touches " + QLatin1String(other)));
        }
    }
    QFETCH(bool, ownPlace);
    QCOMPARE(child(&ticker, "Label2")->pos() == px(QPoint(2340, 660)), ownPlace);
}

void TestForm1::longTextsFit_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QVariantMap>("texts");
    QTest::newRow("a huge volume")
        << u"Form1"_qs
        << QVariantMap{{u"Label3"_qs, u"昨收:1270.320  今开:1265.000  成交:98765432"_qs}};
    QTest::newRow("every figure at its longest")
        << u"Form1"_qs
        << QVariantMap{{u"Label3"_qs, u"昨收:12345.678  今开:12345.678  成交:9876543210"_qs},
                       {u"Label4"_qs, u"最高:12345.678  最低:12345.678"_qs},
                       {u"Label5"_qs, u"沪综指:123456.7890"_qs},
                       {u"Label6"_qs, u"深成指:123456.7890"_qs}};
    QTest::newRow("a long name") << u"Form1"_qs
                                 << QVariantMap{{u"Label1"_qs, u"*ST某某某某某某股份有限公司"_qs}};
    QTest::newRow("a long name, a big price and its change")
        << u"Form1"_qs
        << QVariantMap{{u"Label1"_qs, u"某某某某某某股份"_qs},
                       {u"Label2"_qs, u"123456.789"_qs},
                       {u"Label9"_qs, u"-12345.678\n-99.99%"_qs}};
    QTest::newRow("stealth line, a big price")
        << u"Form4"_qs << QVariantMap{{u"Label1"_qs, u"430047(12345.678)"_qs}};
    QTest::newRow("list, long name and big figures")
        << u"Form5"_qs
        << QVariantMap{{u"Name"_qs, u"*ST某某某某某某股份有限公司"_qs},
                       {u"Price"_qs, u"123456.789"_qs},
                       {u"Change"_qs, u"-12345.678"_qs},
                       {u"Percent"_qs, u"-99.99%"_qs}};
}

void TestForm1::longTextsFit() {
    // Every text shows whole: a line too long for its room takes a smaller font, never a
    // shorter text, and stays inside the window, clear of its neighbours.
    QFETCH(QString, window);
    QFETCH(QVariantMap, texts);
    const std::unique_ptr<QWidget> shown = windowShowing(window, texts);
    for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
        const auto* label = child<QLabel>(shown.get(), qPrintable(it.key()));
        QVERIFY2(label, qPrintable(it.key()));
        QCOMPARE(label->text(), it.value().toString());
        QVERIFY2(textWidth(label->font(), label->text()) <= label->width(), qPrintable(it.key()));
        QVERIFY2(shown->rect().contains(label->geometry()), qPrintable(it.key()));
        for (const QLabel* other : shown->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (other != label && !other->isHidden() && other->objectName() != u"Image1")
                QVERIFY2(!label->geometry().intersects(other->geometry()),
                         qPrintable(it.key() + u" touches " + other->objectName()));
        }
    }
}

namespace {

enum class Hue { Red, Green, White };

// What the glyphs of a label came out as on screen: the hue most of its bright pixels have.
Hue glyphHue(QWidget* window, const char* name) {
    const QImage image = window->grab(child(window, name)->geometry()).toImage();
    int red = 0, green = 0, white = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 180 && c.green() < 110 && c.blue() < 110;
            green += c.green() > 150 && c.red() < 90;
            white += c.red() > 180 && c.green() > 180 && c.blue() > 180;
        }
    }
    return red > green && red > white ? Hue::Red : green > white ? Hue::Green : Hue::White;
}

// WCAG's relative luminance and contrast ratio.
double luminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

Q_DECLARE_METATYPE(Hue)
Q_DECLARE_METATYPE(tarnwel::UpDownColours)

void TestForm1::upDownColours_data() {
    QTest::addColumn<UpDownColours>("colours");
    QTest::addColumn<int>("direction");
    QTest::addColumn<Hue>("hue");
    const struct {
        const char* name;
        UpDownColours colours;
        Hue up, down;
    } settings[] = {{"red-up", UpDownColours::RedUp, Hue::Red, Hue::Green},
                    {"green-up", UpDownColours::GreenUp, Hue::Green, Hue::Red},
                    {"none", UpDownColours::None, Hue::White, Hue::White}};
    for (const auto& setting : settings) {
        QTest::addRow("%s, up", setting.name) << setting.colours << 1 << setting.up;
        QTest::addRow("%s, down", setting.name) << setting.colours << -1 << setting.down;
        QTest::addRow("%s, unchanged", setting.name) << setting.colours << 0 << Hue::White;
    }
}

void TestForm1::upDownColours() {
    // The price, its change and each index line, as they come out on screen.
    QFETCH(UpDownColours, colours);
    QFETCH(int, direction);
    QFETCH(Hue, hue);
    Form1 ticker;
    ticker.setUpDownColours(colours);
    TickerTexts texts;
    texts.label1 = u"中国石化"_qs;
    texts.label2 = u"5.230"_qs;
    texts.label9 = u"+0.050\n+0.97%"_qs;
    texts.label5 = u"沪综指:3061.789"_qs;
    texts.label6 = u"深成指:10234.567"_qs;
    texts.direction = texts.shDirection = texts.szDirection = direction;
    texts.change = u"+0.050 +0.97%"_qs;
    ticker.showTexts(texts);
    for (const char* line : {"Label2", "Label9", "Label5", "Label6"})
        QVERIFY2(glyphHue(&ticker, line) == hue, line);
    QVERIFY(ticker.toolTip().contains(u"中国石化  涨跌 +0.050 +0.97%"_qs));
    // Readable on the black band.
    const QColor text = child<QLabel>(&ticker, "Label2")->palette().color(QPalette::WindowText);
    QVERIFY2(contrast(text, QColor(0x14, 0x14, 0x14)) >= 4.5, qPrintable(text.name()));
}

void TestForm1::storedColoursAtLoad_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<Hue>("up");
    QTest::newRow("green-up") << u"green-up"_qs << Hue::Green;
    QTest::newRow("missing") << QString() << Hue::Red;
    QTest::newRow("unknown") << u"purple"_qs << Hue::Red;
}

void TestForm1::storedColoursAtLoad() {
    QFETCH(QString, stored);
    FakeHttpServer server;
    server.setResponse(QStringLiteral("/list=sh600028"),
                       gbk(QStringLiteral("var hq_str_sh600028=\"中国石化,5.20,5.18,5.23,5.30,5.15,"
                                          "5.22,5.23,12345678,64512345.00,100,5.22\";")));
    Environment env = environment();
    env.quoteBaseUrl = server.baseUrl();
    env.turnPauseMs = 60000;
    if (!stored.isNull())
        env.settings->setValue(SettingsStore::Key::Colours, stored);
    WatchListFile(env.watchListPath).write({QStringLiteral("中国石化(sh600028)")});
    const auto conductor = program(env);
    QVERIFY(conductor->start());
    QSignalSpy shown(&conductor->feed(), &QuoteFeed::textsReady);
    QVERIFY(shown.wait(5000));
    QTEST(glyphHue(&conductor->ticker(), "Label2"), "up");
    QCOMPARE(child<QLabel>(&conductor->ticker(), "Label9")->text(), u"+0.05\n+0.97%"_qs);
}

void TestForm1::closingEndsTheProgram() {
    const auto conductor = program(environment());
    QVERIFY(conductor->start());
    conductor->ticker().close();
    QCOMPARE(m_hooks->exits, QList<int>{0});
    QVERIFY(conductor->ticker().isVisible());

    // Hidden behind the stealth line, the ticker cannot be what the user closes.
    QTest::mouseClick(child(&conductor->ticker(), "Label7"), Qt::LeftButton);
    QTest::mouseClick(member(&conductor->ticker(), "Label8", 0), Qt::LeftButton);
    QVERIFY(conductor->ticker().isHidden());
    conductor->ticker().close();
    QCOMPARE(m_hooks->exits, QList<int>{0});
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
