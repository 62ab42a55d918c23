#include "app/controllabel.h"
#include "app/twips.h"
#include "app/watchlistfile.h"
#include "charts/form3.h"
#include "fakehttpserver.h"
#include "stealth/colourkey.h"
#include "stealth/form4.h"
#include "testenvironment.h"
#include "ticker/form1.h"
#include "ticker/quotefeed.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSet>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tarnwel;

namespace {

const QRgb kBlue = qRgb(0, 0, 255);

void sendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// The window as it would look without its shape.
QImage unshaped(QWidget* window) {
    QImage image(window->size(), QImage::Format_RGB32);
    image.fill(kBlue);
    window->render(&image, QPoint(), QRegion(),
                   QWidget::DrawWindowBackground | QWidget::DrawChildren | QWidget::IgnoreMask);
    return image;
}

// Pixel by pixel: the shape holds exactly the pixels that are not key blue.
bool maskMatchesGlyphs(QWidget* window, QString* why) {
    const QImage image = unshaped(window);
    const QRegion mask = window->mask();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool glyph = (image.pixel(x, y) & RGB_MASK) != (kBlue & RGB_MASK);
            if (mask.contains(QPoint(x, y)) != glyph) {
                *why = QStringLiteral("pixel %1,%2 glyph=%3").arg(x).arg(y).arg(glyph);
                return false;
            }
        }
    }
    return true;
}

QByteArray gbk(const QString& text) {
    return QStringEncoder("GBK").encode(text);
}

} // namespace

class TestForm4 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void colourKeyRegion_data();
    void colourKeyRegion();
    void keyedOutToTheGlyphs();
    void maskFollowsTheCaption_data();
    void maskFollowsTheCaption();
    void enteringPlacesTheLine_data();
    void enteringPlacesTheLine();
    void dragNeedsTheLeftButtonAlone_data();
    void dragNeedsTheLeftButtonAlone();
    void buttonRelease_data();
    void buttonRelease();
    void doubleClickReturnsToTheTicker();
    void feedWritesTheLine_data();
    void feedWritesTheLine();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<RecordedHooks> m_hooks;
    Environment environment() const { return makeTestEnvironment(m_dir->path(), m_hooks); }
};

void TestForm4::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_hooks = std::make_shared<RecordedHooks>();
}

void TestForm4::cleanup() {
    m_dir.reset();
}

void TestForm4::colourKeyRegion_data() {
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QRegion>("expected");

    QImage allBlue(6, 3, QImage::Format_RGB32);
    allBlue.fill(kBlue);
    QTest::newRow("all blue") << allBlue << QRegion();

    QImage noBlue(6, 3, QImage::Format_RGB32);
    noBlue.fill(Qt::black);
    QTest::newRow("no blue") << noBlue << QRegion(0, 0, 6, 3);

    // Only exact blue is keyed: a shade off by one in any channel stays.
    QImage nearBlue = allBlue;
    nearBlue.setPixel(0, 0, qRgb(0, 0, 254));
    nearBlue.setPixel(2, 1, qRgb(1, 0, 255));
    nearBlue.setPixel(5, 2, qRgb(0, 1, 255));
    QTest::newRow("near blue") << nearBlue
                               << (QRegion(0, 0, 1, 1) + QRegion(2, 1, 1, 1) + QRegion(5, 2, 1, 1));

    // Runs split by blue, on several rows, touching both edges.
    QImage runs = allBlue;
    for (int x : {0, 1, 4, 5})
        runs.setPixel(x, 0, qRgb(0, 0, 0));
    for (int x : {1, 2, 3})
        runs.setPixel(x, 2, qRgb(255, 255, 255));
    QTest::newRow("runs") << runs
                          << (QRegion(0, 0, 2, 1) + QRegion(4, 0, 2, 1) + QRegion(1, 2, 3, 1));

    // Alpha plays no part: a see-through blue is still the key, an opaque black kept.
    QImage alpha(3, 1, QImage::Format_ARGB32);
    alpha.setPixel(0, 0, qRgba(0, 0, 255, 0));
    alpha.setPixel(1, 0, qRgba(0, 0, 0, 255));
    alpha.setPixel(2, 0, qRgba(0, 0, 255, 128));
    QTest::newRow("alpha ignored") << alpha << QRegion(1, 0, 1, 1);

    // Other formats are read by colour, not by their raw bits.
    QImage rgb888(4, 1, QImage::Format_RGB888);
    rgb888.fill(kBlue);
    rgb888.setPixel(2, 0, qRgb(10, 20, 30));
    QTest::newRow("rgb888") << rgb888 << QRegion(2, 0, 1, 1);

    QTest::newRow("empty image") << QImage() << QRegion();
}

void TestForm4::colourKeyRegion() {
    QFETCH(QImage, image);
    QFETCH(QRegion, expected);
    QCOMPARE(tarnwel::colourKeyRegion(image), expected);
}

void TestForm4::keyedOutToTheGlyphs() {
    Form1 ticker(environment());
    Form4* line = ticker.form4();
    QVERIFY(line->isHidden());
    QCOMPARE(line->size(), QSize(115, 19));
    QCOMPARE(line->Label1->text(), QStringLiteral("110002:125.3"));
    QVERIFY(line->Label2->toolTip().isEmpty());
    QVERIFY(!line->Timer1->isActive());

    line->show();
    QString why;
    QVERIFY2(maskMatchesGlyphs(line, &why), qPrintable(why));

    // Hard-edged glyphs: every pixel is either the key or the text colour, so no
    // blended, bluish fringe can survive the key.
    const QImage image = unshaped(line);
    const QRgb text = line->palette().color(QPalette::WindowText).rgb() & RGB_MASK;
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) & RGB_MASK);
    QCOMPARE(colours, (QSet<QRgb>{kBlue & RGB_MASK, text}));

    // Both "◆" and the text are drawn; the blue strip between them is keyed out, so it
    // takes neither the eye nor the mouse.
    const QRegion mask = line->mask();
    QVERIFY(!mask.intersected(line->Label2->geometry()).isEmpty());
    QVERIFY(!mask.intersected(line->Label1->geometry()).isEmpty());
    const int gapLeft = line->Label2->geometry().right() + 1;
    const int gapRight = line->Label1->geometry().left();
    QVERIFY(gapLeft < gapRight);
    QVERIFY(mask.intersected(QRect(gapLeft, 0, gapRight - gapLeft, line->height())).isEmpty());
    QVERIFY(!mask.contains(QPoint(0, 0)));
}

void TestForm4::maskFollowsTheCaption_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("shown");

    QTest::newRow("new price, shown")
        << QStringLiteral("600028(12.34)") << QStringLiteral("600028(12.35)") << true;
    QTest::newRow("new price, hidden")
        << QStringLiteral("600028(12.34)") << QStringLiteral("600028(12.35)") << false;
    QTest::newRow("longer than the window")
        << QStringLiteral("000002(8.88)") << QStringLiteral("000002(1234567890.123456789)") << true;
    QTest::newRow("to empty") << QStringLiteral("000002(8.88)") << QString() << true;
}

void TestForm4::maskFollowsTheCaption() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, shown);

    Form1 ticker(environment());
    Form4* line = ticker.form4();
    line->setVisible(shown);
    line->setQuoteTexts(first, QStringLiteral("tip 1"));
    const QRegion before = line->mask();
    line->setQuoteTexts(second, QStringLiteral("tip 2"));

    QCOMPARE(line->Label1->text(), second);
    QCOMPARE(line->Label2->toolTip(), QStringLiteral("tip 2"));
    QCOMPARE(line->isVisible(), shown);
    QVERIFY(line->mask() != before);
    QString why;
    QVERIFY2(maskMatchesGlyphs(line, &why), qPrintable(why));
    // The window keeps its size; a long caption is cut at its right edge.
    QCOMPARE(line->size(), QSize(115, 19));
    QVERIFY(QRect(QPoint(), line->size()).contains(line->mask().boundingRect()));
}

void TestForm4::enteringPlacesTheLine_data() {
    QTest::addColumn<QPoint>("tickerTwips");
    QTest::addColumn<QPoint>("lineTwips");

    QTest::newRow("10000,8000") << QPoint(10000, 8000) << QPoint(10000, 9200);
    QTest::newRow("10410,9535") << QPoint(10410, 9535) << QPoint(10410, 10735);
    QTest::newRow("top left") << QPoint(0, 0) << QPoint(0, 1200);
}

void TestForm4::enteringPlacesTheLine() {
    QFETCH(QPoint, tickerTwips);
    QFETCH(QPoint, lineTwips);

    Form1 ticker(environment());
    ticker.move(px(tickerTwips));
    ticker.show();
    ticker.Timer2->start();

    ticker.enterStealthMode();
    Form4* line = ticker.existingForm4();
    QVERIFY(line);
    QCOMPARE(line->pos(), px(lineTwips));
    QVERIFY(ticker.isHidden());
    QVERIFY(line->isVisible());
    QVERIFY(!ticker.Timer2->isActive());
    QVERIFY(line->Timer1->isActive());
    // Bottom edges level.
    QCOMPARE(line->geometry().bottom(), ticker.geometry().bottom());
}

void TestForm4::dragNeedsTheLeftButtonAlone_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("moves");

    QTest::newRow("left") << int(Qt::LeftButton) << true;
    QTest::newRow("left and right") << int(Qt::LeftButton | Qt::RightButton) << false;
    QTest::newRow("left and middle") << int(Qt::LeftButton | Qt::MiddleButton) << false;
    QTest::newRow("right") << int(Qt::RightButton) << false;
    QTest::newRow("none") << int(Qt::NoButton) << false;
}

void TestForm4::dragNeedsTheLeftButtonAlone() {
    QFETCH(int, buttons);
    QFETCH(bool, moves);

    Form1 ticker(environment());
    ticker.move(300, 300);
    ticker.show();
    ticker.enterStealthMode();
    Form4* line = ticker.existingForm4();
    const QPoint before = line->pos();
    const auto held = Qt::MouseButtons(buttons);

    const QPoint start(3, 3);
    sendMouse(line->Label2, QEvent::MouseButtonPress, start, Qt::LeftButton, held);
    sendMouse(line->Label2, QEvent::MouseMove, start + QPoint(1, 1), Qt::NoButton, held);
    sendMouse(line->Label2, QEvent::MouseMove, start + QPoint(40, -25), Qt::NoButton, held);
    sendMouse(line->Label2, QEvent::MouseButtonRelease, start + QPoint(40, -25), Qt::LeftButton,
              Qt::NoButton);

    QCOMPARE(line->pos() != before, moves);
    // Moving the line never moves the ticker or opens anything.
    QCOMPARE(ticker.pos(), QPoint(300, 300));
    QVERIFY(!ticker.chartWindow);
}

void TestForm4::buttonRelease_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("opensChart");

    QTest::newRow("right") << int(Qt::RightButton) << true;
    QTest::newRow("left") << int(Qt::LeftButton) << false;
    QTest::newRow("middle") << int(Qt::MiddleButton) << false;
}

void TestForm4::buttonRelease() {
    QFETCH(int, button);
    QFETCH(bool, opensChart);

    Form1 ticker(environment());
    ticker.show();
    ticker.enterStealthMode();
    Form4* line = ticker.existingForm4();
    const QPoint before = line->pos();

    QTest::mouseClick(line->Label2, Qt::MouseButton(button), {}, QPoint(3, 3));

    QCOMPARE(!ticker.chartWindow.isNull(), opensChart);
    QCOMPARE(line->Timer1->isActive(), !opensChart);
    QCOMPARE(line->pos(), before);
    QVERIFY(line->isVisible());
    QVERIFY(ticker.isHidden());
    if (opensChart) {
        QVERIFY(ticker.chartWindow->isVisible());
        QCOMPARE(ticker.chartWindow->ChartPeriod, 0);
    }
}

void TestForm4::doubleClickReturnsToTheTicker() {
    Form1 ticker(environment());
    const QPoint home = px(QPoint(10410, 9535));
    ticker.move(home);
    ticker.show();
    ticker.Timer2->start();
    ticker.enterStealthMode();
    Form4* line = ticker.existingForm4();

    // The line is dragged elsewhere; the ticker comes back where it was all the same.
    const QPoint start(3, 3);
    sendMouse(line->Label2, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    sendMouse(line->Label2, QEvent::MouseMove, start + QPoint(1, 1), Qt::NoButton, Qt::LeftButton);
    sendMouse(line->Label2, QEvent::MouseMove, start - QPoint(200, 150), Qt::NoButton,
              Qt::LeftButton);
    sendMouse(line->Label2, QEvent::MouseButtonRelease, start - QPoint(200, 150), Qt::LeftButton,
              Qt::NoButton);
    const QPoint dragged = line->pos();
    QVERIFY(dragged != px(QPoint(10410, 10735)));

    QTest::mouseDClick(line->Label2, Qt::LeftButton, {}, QPoint(3, 3));
    QVERIFY(line->isHidden());
    QVERIFY(ticker.isVisible());
    QCOMPARE(ticker.pos(), home);
    QVERIFY(ticker.Timer2->isActive());
    QVERIFY(!line->Timer1->isActive());
    // A double-click is no chart request.
    QVERIFY(!ticker.chartWindow);

    // The next time, the line is placed anew from the ticker.
    ticker.enterStealthMode();
    QCOMPARE(line->pos(), px(QPoint(10410, 10735)));
    QVERIFY(line->pos() != dragged);
}

void TestForm4::feedWritesTheLine_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("stockReply");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tooltip");

    QTest::newRow("sz000002")
        << QStringLiteral("万科Ａ(sz000002)")
        << QStringLiteral("var hq_str_sz000002=\"万科Ａ,8.10,8.05,8.12,8.20,8.01,8.11,8.12,"
                          "350,2840000.00,100,8.11\";")
        << QStringLiteral("000002(8.12)")
        << QStringLiteral("万科Ａ(最高:8.20 最低:8.01 成交:4)沪综指:3061.789 深成指:10234.567");
    QTest::newRow("sh600028")
        << QStringLiteral("中国石化(sh600028)")
        << QStringLiteral("var hq_str_sh600028=\"中国石化,5.20,5.18,12.34,5.30,5.15,5.22,5.23,"
                          "12345678,64512345.00\";")
        << QStringLiteral("600028(12.34)")
        << QStringLiteral(
               "中国石化(最高:5.30 最低:5.15 成交:123457)沪综指:3061.789 深成指:10234.567");
}

void TestForm4::feedWritesTheLine() {
    QFETCH(QString, entry);
    QFETCH(QString, stockReply);
    QFETCH(QString, caption);
    QFETCH(QString, tooltip);

    FakeHttpServer server;
    server.setResponse(QStringLiteral("/list=sh000001"),
                       gbk(QStringLiteral("var hq_str_sh000001=\"上证指数,3050.1,3040.2,3061.789,"
                                          "3070,3030,0,0,1,2\";")));
    server.setResponse(QStringLiteral("/list=sz399001"),
                       gbk(QStringLiteral("var hq_str_sz399001=\"深证成指,10200,10100,10234.567,"
                                          "10300,10000,0,0,1,2\";")));
    const QString code = entry.mid(entry.indexOf(u'(') + 1).chopped(1);
    server.setResponse(QStringLiteral("/list=") + code, gbk(stockReply));
    Environment env = environment();
    env.quoteBaseUrl = server.baseUrl();
    env.turnPauseMs = 60000;
    WatchListFile(env.watchListPath).write({entry});

    Form1 ticker(env);
    ticker.Form_Load();
    QSignalSpy shown(ticker.feed(), &QuoteFeed::textsReady);
    QVERIFY(shown.wait(5000));

    // Written while the line is hidden, and the line stays hidden.
    Form4* line = ticker.existingForm4();
    QVERIFY(line);
    QVERIFY(line->isHidden());
    QCOMPARE(line->Label1->text(), caption);
    QCOMPARE(line->Label2->toolTip(), tooltip);
    QString why;
    QVERIFY2(maskMatchesGlyphs(line, &why), qPrintable(why));
}

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
