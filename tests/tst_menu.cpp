#include "app/controllabel.h"
#include "app/settingsstore.h"
#include "app/twips.h"
#include "stealth/form4.h"
#include "testenvironment.h"
#include "ticker/form1.h"
#include "watchlist/form2.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QFrame>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace tarnwel;

namespace {

bool isHighlighted(const QLabel* item) {
    const QPalette& pal = item->palette();
    return pal.color(QPalette::Window) ==
               QApplication::palette().color(QPalette::Active, QPalette::Highlight) &&
           pal.color(QPalette::WindowText) == QColor(Qt::white);
}

bool isPlain(const QLabel* item) {
    const QPalette& pal = item->palette();
    return pal.color(QPalette::Window) == QColor(Qt::white) &&
           pal.color(QPalette::WindowText) == QColor(Qt::black);
}

// The index of the one highlighted item, -1 when none or more than one is, or when an
// item is neither plainly drawn nor highlighted.
int litItem(const Form1& ticker) {
    int lit = -1;
    for (int i = 0; i < int(ticker.Label8.size()); ++i) {
        if (isHighlighted(ticker.Label8[i])) {
            if (lit != -1)
                return -1;
            lit = i;
        } else if (!isPlain(ticker.Label8[i])) {
            return -1;
        }
    }
    return lit;
}

// A plain mouse move with no button held, as the window system sends while hovering.
void hover(QWidget* target) {
    const QPoint local(5, 5);
    QMouseEvent event(QEvent::MouseMove, QPointF(local), QPointF(target->mapToGlobal(local)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

// Takes the desktop's URL requests while a test runs.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

class TestMenu : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void startsClosedWithTheFirstItemLit();
    void hotSpot_data();
    void hotSpot();
    void clicksElsewhere_data();
    void clicksElsewhere();
    void highlight_data();
    void highlight();
    void actions_data();
    void actions();
    void watchListOpensOnce();
    void helpGoesToTheDesktopWithoutAHook();
    void helpPageNamesTheMenu();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<RecordedHooks> m_hooks;
    Environment environment() const { return makeTestEnvironment(m_dir->path(), m_hooks); }
};

void TestMenu::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_hooks = std::make_shared<RecordedHooks>();
}

void TestMenu::cleanup() {
    m_dir.reset();
}

void TestMenu::startsClosedWithTheFirstItemLit() {
    Form1 ticker(environment());
    ticker.show();
    QVERIFY(ticker.Picture1->isHidden());
    QCOMPARE(ticker.highlightedMenuItem(), 0);
    QCOMPARE(litItem(ticker), 0);
    const QStringList captions{QStringLiteral(" 切换到隐蔽模式(V)"),
                               QStringLiteral(" 设置自选股(S)"), QStringLiteral(" 操作帮助(H)"),
                               QStringLiteral(" 退出(E)")};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(ticker.Label8[i]->text(), captions[i]);
    // The panel lies inside the ticker, beside the hot spot, and holds its items whole.
    QVERIFY(ticker.rect().contains(ticker.Picture1->geometry()));
    QVERIFY(!ticker.Picture1->geometry().intersects(ticker.Label7->geometry()));
    for (QWidget* child :
         {static_cast<QWidget*>(ticker.Label8[0]), static_cast<QWidget*>(ticker.Label8[3]),
          static_cast<QWidget*>(ticker.Line1)})
        QVERIFY(ticker.Picture1->rect().contains(child->geometry()));
    // The separator lies between the help item and the exit item.
    QVERIFY(ticker.Line1->y() > ticker.Label8[2]->geometry().bottom());
    QVERIFY(ticker.Line1->geometry().bottom() < ticker.Label8[3]->y());
}

void TestMenu::hotSpot_data() {
    QTest::addColumn<bool>("openBefore");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("openWhileHeld");
    QTest::addColumn<bool>("openAfter");

    QTest::newRow("left, closed") << false << int(Qt::LeftButton) << false << true;
    QTest::newRow("left, open") << true << int(Qt::LeftButton) << false << true;
    QTest::newRow("right, closed") << false << int(Qt::RightButton) << false << false;
    QTest::newRow("right, open") << true << int(Qt::RightButton) << true << true;
    QTest::newRow("middle, closed") << false << int(Qt::MiddleButton) << false << false;
    QTest::newRow("middle, open") << true << int(Qt::MiddleButton) << true << true;
}

void TestMenu::hotSpot() {
    QFETCH(bool, openBefore);
    QFETCH(int, button);
    QFETCH(bool, openWhileHeld);
    QFETCH(bool, openAfter);

    Form1 ticker(environment());
    ticker.show();
    ticker.Picture1->setVisible(openBefore);
    const QPoint spot = ticker.Label7->rect().center();
    QTest::mousePress(ticker.Label7, Qt::MouseButton(button), {}, spot);
    QCOMPARE(ticker.Picture1->isVisible(), openWhileHeld);
    QTest::mouseRelease(ticker.Label7, Qt::MouseButton(button), {}, spot);
    QCOMPARE(ticker.Picture1->isVisible(), openAfter);
}

void TestMenu::clicksElsewhere_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("staysOpen");

    QTest::newRow("bare background") << QStringLiteral("background") << false;
    QTest::newRow("panel between items") << QStringLiteral("panel gap") << true;
    QTest::newRow("separator") << QStringLiteral("Line1") << true;
    QTest::newRow("stock name") << QStringLiteral("Label1") << true;
    QTest::newRow("index line") << QStringLiteral("Label5") << true;
    QTest::newRow("icon") << QStringLiteral("Image1") << true;
}

void TestMenu::clicksElsewhere() {
    QFETCH(QString, where);
    QFETCH(bool, staysOpen);

    Form1 ticker(environment());
    ticker.show();
    for (QLabel* line :
         {static_cast<QLabel*>(ticker.Label1), static_cast<QLabel*>(ticker.Label5)}) {
        line->setText(QStringLiteral("沪综指:3061.789"));
        line->adjustSize();
    }
    ticker.Picture1->show();

    if (where == QStringLiteral("background")) {
        const QPoint bare(px(3700), px(1450));
        QCOMPARE(ticker.childAt(bare), nullptr);
        QTest::mouseClick(&ticker, Qt::LeftButton, {}, bare);
    } else if (where == QStringLiteral("panel gap")) {
        // Between " 设置自选股(S)" and " 操作帮助(H)".
        const QPoint gap(px(900), px(600));
        QCOMPARE(ticker.Picture1->childAt(gap), nullptr);
        QTest::mouseClick(ticker.Picture1, Qt::LeftButton, {}, gap);
    } else {
        QWidget* target = ticker.findChild<QWidget*>(where);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(1, 0));
    }
    QCOMPARE(ticker.Picture1->isVisible(), staysOpen);
    // No click here ran a menu action.
    QVERIFY(ticker.isVisible());
    QVERIFY(!ticker.watchListWindow);
    QVERIFY(m_hooks->exits.isEmpty());
}

void TestMenu::highlight_data() {
    QTest::addColumn<QList<int>>("touched");
    QTest::addColumn<int>("lit");

    QTest::newRow("nothing touched") << QList<int>{} << 0;
    QTest::newRow("watch list to exit") << QList<int>{1, 3} << 3;
    QTest::newRow("down and back up") << QList<int>{0, 1, 2, 3, 2, 1} << 1;
    QTest::newRow("the same twice") << QList<int>{2, 2} << 2;
}

void TestMenu::highlight() {
    QFETCH(QList<int>, touched);
    QFETCH(int, lit);

    Form1 ticker(environment());
    ticker.show();
    QTest::mouseClick(ticker.Label7, Qt::LeftButton);
    QVERIFY(ticker.Picture1->isVisible());
    for (int index : touched)
        hover(ticker.Label8[index]);
    QCOMPARE(litItem(ticker), lit);

    // Leaving the panel, closing it and opening it again keeps the last item lit.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(ticker.Label8[lit], &leave);
    QTest::mouseClick(&ticker, Qt::LeftButton, {}, QPoint(px(3700), px(1450)));
    QVERIFY(ticker.Picture1->isHidden());
    QTest::mouseClick(ticker.Label7, Qt::LeftButton);
    QVERIFY(ticker.Picture1->isVisible());
    QCOMPARE(litItem(ticker), lit);
    QCOMPARE(ticker.highlightedMenuItem(), lit);
}

void TestMenu::actions_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("tickerVisible");
    QTest::addColumn<bool>("timer2Active");
    QTest::addColumn<bool>("stealthVisible");
    QTest::addColumn<bool>("watchListOpen");
    QTest::addColumn<int>("helpRequests");
    QTest::addColumn<QList<int>>("exits");

    QTest::newRow("stealth") << 0 << false << false << true << false << 0 << QList<int>{};
    QTest::newRow("watch list") << 1 << true << false << false << true << 0 << QList<int>{};
    QTest::newRow("help") << 2 << true << true << false << false << 1 << QList<int>{};
    QTest::newRow("exit") << 3 << true << true << false << false << 0 << QList<int>{0};
}

void TestMenu::actions() {
    QFETCH(int, index);
    QFETCH(bool, tickerVisible);
    QFETCH(bool, timer2Active);
    QFETCH(bool, stealthVisible);
    QFETCH(bool, watchListOpen);
    QFETCH(int, helpRequests);
    QFETCH(QList<int>, exits);

    Form1 ticker(environment());
    ticker.show();
    ticker.Timer2->start();
    QTest::mouseClick(ticker.Label7, Qt::LeftButton);
    QVERIFY(ticker.Picture1->isVisible());

    QTest::mouseClick(ticker.Label8[index], Qt::LeftButton);

    QVERIFY(ticker.Picture1->isHidden());
    QCOMPARE(ticker.isVisible(), tickerVisible);
    QCOMPARE(ticker.Timer2->isActive(), timer2Active);
    Form4* line = ticker.existingForm4();
    QCOMPARE(line && line->isVisible(), stealthVisible);
    QCOMPARE(line && line->Timer1->isActive(), stealthVisible);
    QCOMPARE(!ticker.watchListWindow.isNull(), watchListOpen);
    if (watchListOpen)
        QVERIFY(ticker.watchListWindow->isVisible());
    QCOMPARE(m_hooks->openedUrls.size(), helpRequests);
    if (helpRequests)
        QCOMPARE(m_hooks->openedUrls.first(), ticker.environment().helpUrl);
    QCOMPARE(m_hooks->exits, exits);
}

void TestMenu::watchListOpensOnce() {
    Form1 ticker(environment());
    ticker.show();
    ticker.Timer2->start();
    ticker.Label8_Click(1);
    QPointer<Form2> first = ticker.watchListWindow;
    QVERIFY(first);

    // A second pick brings the open window forward instead of making another.
    ticker.Label8_Click(1);
    QCOMPARE(ticker.watchListWindow, first);
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(),
                           [](const QWidget* w) { return qobject_cast<const Form2*>(w); }),
             1);

    // Closed, it resumes the ticker's timer; the next pick makes a fresh window.
    first->close();
    QTRY_VERIFY(first.isNull());
    QVERIFY(ticker.Timer2->isActive());
    ticker.Label8_Click(1);
    QVERIFY(ticker.watchListWindow);
    QVERIFY(!ticker.Timer2->isActive());

    // Exit with the window open stores nothing: the check box state is lost as it is.
    auto* startAtLogon = ticker.watchListWindow->findChild<QCheckBox*>(QStringLiteral("Check1"));
    QVERIFY(startAtLogon);
    startAtLogon->setChecked(true);
    ticker.Label8_Click(3);
    QCOMPARE(m_hooks->exits, QList<int>{0});
    QVERIFY(ticker.watchListWindow);
    QCOMPARE(
        SettingsStore(m_dir->path() + QStringLiteral("/settings.conf")).value(QStringLiteral("st")),
        QStringLiteral("0"));
}

void TestMenu::helpGoesToTheDesktopWithoutAHook() {
    Environment env = environment();
    env.openUrl = nullptr;
    env.helpUrl = QUrl(QStringLiteral("tarnwel-help-test:/how.htm"));
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("tarnwel-help-test"), &catcher, "open");
    Form1 ticker(env);
    ticker.show();
    ticker.Label8_Click(2);
    QDesktopServices::unsetUrlHandler(QStringLiteral("tarnwel-help-test"));
    QCOMPARE(catcher.urls, QList<QUrl>{env.helpUrl});
    QVERIFY(ticker.Picture1->isHidden());
}

void TestMenu::helpPageNamesTheMenu() {
    // The page installed beside the program must name the menu's items as they read.
    QFile page(QStringLiteral(TARNWEL_HELP_PAGE));
    QVERIFY2(page.open(QIODevice::ReadOnly), TARNWEL_HELP_PAGE);
    const QByteArray bytes = page.readAll();
    const QString text = QString::fromUtf8(bytes);
    QCOMPARE(text.toUtf8(), bytes); // valid UTF-8 throughout
    QVERIFY(text.contains(QStringLiteral("charset=\"utf-8\"")) ||
            text.contains(QStringLiteral("charset=utf-8")));

    Form1 ticker(environment());
    for (const ControlLabel* item : ticker.Label8)
        QVERIFY2(text.contains(item->text().trimmed()), qPrintable(item->text()));
    // It stands alone: no script, style sheet or picture fetched from elsewhere.
    QVERIFY(!text.contains(QStringLiteral("src=")));
    QVERIFY(!text.contains(QStringLiteral("<link")));
}

QTEST_MAIN(TestMenu)
#include "tst_menu.moc"
