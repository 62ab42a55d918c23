// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/conductor.h"
#include "charts/form3.h"
#include "children.h"
#include "fakehttpserver.h"
#include "stealth/colourkey.h"
#include "stealth/form4.h"
#include "testenvironment.h"
#include "testfiles.h"
#include "ticker/form1.h"
#include "ticker/quotefeed.h"
#include "watchlist/watchlistfile.h"
#include "widgets/controllabel.h"
#include "widgets/twips.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSet>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>

using namespace tarnwel;

namespace {

const QRgb kBlue = qRgb(0, 0, 255);

void sendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void dragBy(QWidget* target, Qt::MouseButtons buttons, QPoint delta) {
    const QPoint start(3, 3);
    sendMouse(target, QEvent::MouseButtonPress, start, buttons);
    sendMouse(target, QEvent::MouseMove, start + QPoint(1, 1), buttons);
    sendMouse(target, QEvent::MouseMove, start + delta, buttons);
    sendMouse(target, QEvent::MouseButtonRelease, start + delta, Qt::NoButton);
}

// The first pixel where the shape and the drawn glyphs disagree; empty when none does.
QString maskMismatch(QWidget* window) {
    QImage image(window->size(), QImage::Format_RGB32);
    image.fill(kBlue);
    window->render(&image, QPoint(), QRegion(),
                   QWidget::DrawWindowBackground | QWidget::DrawChildren | QWidget::IgnoreMask);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (window->mask().contains(QPoint(x, y)) != (image.pixel(x, y) != kBlue))
                return QStringLiteral("pixel %1,%2").arg(x).arg(y);
    return {};
}

} // namespace

class TestForm4 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void colourKeyRegion_data();
    void colourKeyRegion();
    void keyedOutToHardEdgedGlyphs();
    void maskFollowsTheCaption_data();
    void maskFollowsTheCaption();
    void enteringPlacesTheLine_data();
    void enteringPlacesTheLine();
    void dragNeedsTheLeftButtonAlone_data();
    void dragNeedsTheLeftButtonAlone();
    void rightReleaseOpensTheChart_data();
    void rightReleaseOpensTheChart();
    void returnsToTheTicker_data();
    void returnsToTheTicker();
    void feedWritesTheHiddenLine();
    void tooltipShowsWhileAnotherWindowIsActive();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<RecordedHooks> m_hooks = std::make_shared<RecordedHooks>();
    Environment environment() const { return makeTestEnvironment(m_dir->path(), m_hooks); }
    std::unique_ptr<Conductor> program(const Environment& env) const {
        return std::make_unique<Conductor>(env, makeTestHooks(m_hooks));
    }
    // A started program whose ticker stands at `pos`, switched to the stealth line
    // through the ticker's menu.
    std::unique_ptr<Conductor> inStealth(QPoint pos) const {
        auto conductor = program(environment());
        if (!conductor->start())
            return nullptr;
        conductor->ticker().move(pos);
        QTest::mouseClick(child(&conductor->ticker(), "Label7"), Qt::LeftButton);
        QTest::mouseClick(member(&conductor->ticker(), "Label8", 0), Qt::LeftButton);
        return conductor;
    }
};

void TestForm4::colourKeyRegion_data() {
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QRegion>("expected");

    QImage rgb(6, 3, QImage::Format_RGB32);
    rgb.fill(kBlue);
    rgb.setPixel(0, 0, qRgb(0, 0, 254)); // one step off the key is kept
    for (int x : {2, 3, 5})
        rgb.setPixel(x, 2, qRgb(0, 0, 0));
    QTest::newRow("near blue, runs")
        << rgb << (QRegion(0, 0, 1, 1) + QRegion(2, 2, 2, 1) + QRegion(5, 2, 1, 1));

    QImage solid(4, 3, QImage::Format_RGB888);
    solid.fill(Qt::black);
    QTest::newRow("nothing keyed, other format") << solid << QRegion(0, 0, 4, 3);

    QImage alpha(3, 1, QImage::Format_ARGB32);
    alpha.setPixel(0, 0, qRgba(0, 0, 255, 0));
    alpha.setPixel(1, 0, qRgba(0, 0, 0, 255));
    alpha.setPixel(2, 0, qRgba(0, 0, 255, 128));
    QTest::newRow("alpha ignored") << alpha << QRegion(1, 0, 1, 1);
}

void TestForm4::colourKeyRegion() {
    QFETCH(QImage, image);
    QFETCH(QRegion, expected);
    QCOMPARE(tarnwel::colourKeyRegion(image), expected);
}

void TestForm4::keyedOutToHardEdgedGlyphs() {
    Form4 window;
    Form4* line = &window;
    line->show();
    QCOMPARE(maskMismatch(line), QString());

    // Only the key and the text colour: no blended pixel that would leave a blue fringe.
    const QImage image = line->renderLine();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    QCOMPARE(colours, (QSet<QRgb>{kBlue, line->palette().color(QPalette::WindowText).rgb()}));

    // Both glyphs are there; the strip between them takes neither the eye nor the mouse.
    const QRegion mask = line->mask();
    const QWidget* glyph = child(line, "Label2");
    const QWidget* caption = child(line, "Label1");
    QVERIFY(mask.intersects(glyph->geometry()));
    QVERIFY(mask.intersects(caption->geometry()));
    const int gapLeft = glyph->geometry().right() + 1;
    QVERIFY(!mask.intersects(QRect(gapLeft, 0, caption->x() - gapLeft, line->height())));
}

void TestForm4::maskFollowsTheCaption_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("shown");

    QTest::newRow("new price, shown") << QStringLiteral("600028(12.35)") << true;
    QTest::newRow("new price, hidden") << QStringLiteral("600028(12.35)") << false;
    QTest::newRow("longer than the window")
        << QStringLiteral("000002(1234567890.123456789)") << true;
}

void TestForm4::maskFollowsTheCaption() {
    QFETCH(QString, caption);
    QFETCH(bool, shown);

    Form4 window;
    Form4* line = &window;
    line->setVisible(shown);
    line->setQuoteTexts(QStringLiteral("600028(12.34)"), QString());
    const QRegion before = line->mask();
    line->setQuoteTexts(caption, QStringLiteral("tip"));

    QCOMPARE(line->isVisible(), shown);
    // A hidden line is keyed as it shows, not with every turn's price.
    QCOMPARE(line->mask() != before, shown);
    line->show();
    QVERIFY(line->mask() != before);
    QCOMPARE(maskMismatch(line), QString());
    // The window keeps its size and cuts a long caption at its right edge.
    QCOMPARE(line->size(), QSize(115, 19));
    QVERIFY(line->rect().contains(line->mask().boundingRect()));
}

void TestForm4::enteringPlacesTheLine_data() {
    QTest::addColumn<QPoint>("tickerTwips");
    QTest::addColumn<QPoint>("lineTwips");

    QTest::newRow("10000,8000") << QPoint(10000, 8000) << QPoint(10000, 9200);
    QTest::newRow("10410,9535") << QPoint(10410, 9535) << QPoint(10410, 10735);
}

void TestForm4::enteringPlacesTheLine() {
    QFETCH(QPoint, tickerTwips);
    QFETCH(QPoint, lineTwips);

    const auto conductor = inStealth(px(tickerTwips));
    QVERIFY(conductor);
    const Form1& ticker = conductor->ticker();
    const Form4* line = conductor->stealthWindow();
    QVERIFY(line);
    QCOMPARE(line->pos(), px(lineTwips));
    QCOMPARE(line->geometry().bottom(), ticker.geometry().bottom());
    QVERIFY(ticker.isHidden());
    QVERIFY(line->isVisible());
    QVERIFY(!child<QTimer>(&ticker, "Timer2")->isActive());
    QVERIFY(child<QTimer>(line, "Timer1")->isActive());
}

void TestForm4::dragNeedsTheLeftButtonAlone_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("moves");

    QTest::newRow("left") << int(Qt::LeftButton) << true;
    QTest::newRow("left and right") << int(Qt::LeftButton | Qt::RightButton) << false;
    QTest::newRow("right") << int(Qt::RightButton) << false;
}

void TestForm4::dragNeedsTheLeftButtonAlone() {
    QFETCH(int, buttons);
    QFETCH(bool, moves);

    const auto conductor = inStealth(QPoint(300, 300));
    QVERIFY(conductor);
    const Form1& ticker = conductor->ticker();
    Form4* line = conductor->stealthWindow();
    const QPoint before = line->pos();
    dragBy(child(line, "Label2"), Qt::MouseButtons(buttons), QPoint(40, -25));

    QCOMPARE(line->pos() != before, moves);
    QCOMPARE(ticker.pos(), QPoint(300, 300));
}

void TestForm4::rightReleaseOpensTheChart_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("opensChart");

    QTest::newRow("right") << int(Qt::RightButton) << true;
    QTest::newRow("left") << int(Qt::LeftButton) << false;
    QTest::newRow("middle") << int(Qt::MiddleButton) << false;
}

void TestForm4::rightReleaseOpensTheChart() {
    QFETCH(int, button);
    QFETCH(bool, opensChart);

    const auto conductor = inStealth(QPoint(300, 300));
    QVERIFY(conductor);
    Form4* line = conductor->stealthWindow();
    const QPoint before = line->pos();
    QTest::mouseClick(child(line, "Label2"), Qt::MouseButton(button), {}, QPoint(3, 3));

    QCOMPARE(conductor->chartWindow() != nullptr, opensChart);
    QCOMPARE(child<QTimer>(line, "Timer1")->isActive(), !opensChart);
    QCOMPARE(line->pos(), before);
    QVERIFY(line->isVisible());
}

void TestForm4::returnsToTheTicker_data() {
    QTest::addColumn<bool>("byClose");
    QTest::newRow("double-click on the glyph") << false;
    // Alt+F4 or a taskbar's close must not leave the program with no window at all.
    QTest::newRow("closed by the window manager") << true;
}

void TestForm4::returnsToTheTicker() {
    QFETCH(bool, byClose);
    const QPoint home = px(QPoint(10410, 9535));
    const auto conductor = inStealth(home);
    QVERIFY(conductor);
    const Form1& ticker = conductor->ticker();
    Form4* line = conductor->stealthWindow();
    dragBy(child(line, "Label2"), Qt::LeftButton, QPoint(-200, -150));
    QVERIFY(line->pos() != px(QPoint(10410, 10735)));

    if (byClose)
        QVERIFY(line->close() == false); // the line is kept for later, only hidden
    else
        QTest::mouseDClick(child(line, "Label2"), Qt::LeftButton, {}, QPoint(3, 3));
    QVERIFY(line->isHidden());
    QVERIFY(ticker.isVisible());
    QCOMPARE(ticker.pos(), home); // not near where the line was dragged
    QVERIFY(child<QTimer>(&ticker, "Timer2")->isActive());
    QVERIFY(!child<QTimer>(line, "Timer1")->isActive());
    QVERIFY(!conductor->chartWindow());
    QCOMPARE(m_hooks->exits, QList<int>{});

    // The next time the line is placed anew from the ticker.
    QTest::mouseClick(child(&ticker, "Label7"), Qt::LeftButton);
    QTest::mouseClick(member(&ticker, "Label8", 0), Qt::LeftButton);
    QCOMPARE(line->pos(), px(QPoint(10410, 10735)));
    QCOMPARE(conductor->stealthWindow(), line);
}

void TestForm4::feedWritesTheHiddenLine() {
    FakeHttpServer server;
    server.setResponse(QStringLiteral("/list=sh000001"),
                       gbk(QStringLiteral("指数,1,2,3061.789,4,5,6,7,8,9")));
    server.setResponse(QStringLiteral("/list=sz399001"),
                       gbk(QStringLiteral("指数,1,2,10234.567,4,5,6,7,8,9")));
    server.setResponse(
        QStringLiteral("/list=sz000002"),
        gbk(QStringLiteral("万科Ａ,8.10,8.05,8.12,8.20,8.01,8.11,8.12,350,2840000.00,100")));
    Environment env = environment();
    env.quoteBaseUrl = server.baseUrl();
    env.turnPauseMs = 60000;
    WatchListFile(env.watchListPath).write({QStringLiteral("万科Ａ(sz000002)")});

    const auto conductor = program(env);
    QVERIFY(conductor->start());
    QSignalSpy shown(&conductor->feed(), &QuoteFeed::textsReady);
    QVERIFY(shown.wait(5000));

    Form4* line = conductor->stealthWindow();
    QVERIFY(line && line->isHidden());
    QCOMPARE(child<QLabel>(line, "Label1")->text(), QStringLiteral("000002(8.12)"));
    QCOMPARE(child(line, "Label2")->toolTip(),
             QStringLiteral("万科Ａ(最高:8.20 最低:8.01 成交:4)沪综指:3061.789 深成指:10234.567"));
    line->show(); // keyed as it shows
    QCOMPARE(maskMismatch(line), QString());
}

void TestForm4::tooltipShowsWhileAnotherWindowIsActive() {
    Form4 line;
    line.setQuoteTexts(QStringLiteral("600028(5.23)"),
                       QStringLiteral("<b>中国石化</b>(最高:5.30)"));
    line.show();
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!line.isActiveWindow());

    // The pointer comes to rest on the glyph.
    QWidget* glyph = child(&line, "Label2");
    QTest::mouseMove(glyph, glyph->rect().center());
    QTRY_VERIFY(QToolTip::isVisible());
    // Markup in a name is shown as it stands.
    QVERIFY(QToolTip::text().contains(QStringLiteral("&lt;b&gt;中国石化&lt;/b&gt;")));
    QToolTip::hideText();
}

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
