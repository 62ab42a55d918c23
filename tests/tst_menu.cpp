#include "app/controllabel.h"
#include "app/twips.h"
#include "stealth/form4.h"
#include "testenvironment.h"
#include "ticker/form1.h"
#include "watchlist/form2.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace tarnwel;

namespace {

// The one item drawn highlighted, white on the highlight colour, with every other item
// black on white; -1 when the items are drawn any other way.
int litItem(const Form1& ticker) {
    const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    int lit = -1;
    for (int i = 0; i < int(ticker.Label8.size()); ++i) {
        const QPalette& pal = ticker.Label8[i]->palette();
        const auto drawn = std::pair(pal.color(QPalette::Window), pal.color(QPalette::WindowText));
        if (drawn == std::pair(highlight, QColor(Qt::white)) && lit == -1)
            lit = i;
        else if (drawn != std::pair(QColor(Qt::white), QColor(Qt::black)))
            return -1;
    }
    return lit;
}

// A move with no button held, as the window system sends while the mouse hovers.
void hover(QWidget* target) {
    QMouseEvent event(QEvent::MouseMove, QPointF(5, 5), QPointF(target->mapToGlobal(QPoint(5, 5))),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

const QPoint kBareBackground(px(3700), px(1450));

} // namespace

// Takes the desktop's requests to open an address.
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
    void hotSpot_data();
    void hotSpot();
    void clicksElsewhere_data();
    void clicksElsewhere();
    void highlightOutlivesThePanel_data();
    void highlightOutlivesThePanel();
    void actions_data();
    void actions();
    void watchListOpensOnce();
    void helpWithoutAHookGoesToTheDesktop();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<RecordedHooks> m_hooks;
    std::unique_ptr<Form1> m_ticker;
};

void TestMenu::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_hooks = std::make_shared<RecordedHooks>();
    m_ticker = std::make_unique<Form1>(makeTestEnvironment(m_dir->path(), m_hooks));
    m_ticker->show();
    m_ticker->Timer2->start(); // as after loading
    QVERIFY(m_ticker->Picture1->isHidden());
    QCOMPARE(litItem(*m_ticker), 0);
}

void TestMenu::cleanup() {
    m_ticker.reset();
    m_dir.reset();
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
}

void TestMenu::hotSpot() {
    QFETCH(bool, openBefore);
    QFETCH(int, button);
    QFETCH(bool, openWhileHeld);
    QFETCH(bool, openAfter);

    m_ticker->Picture1->setVisible(openBefore);
    QTest::mousePress(m_ticker->Label7, Qt::MouseButton(button));
    QCOMPARE(m_ticker->Picture1->isVisible(), openWhileHeld);
    QTest::mouseRelease(m_ticker->Label7, Qt::MouseButton(button));
    QCOMPARE(m_ticker->Picture1->isVisible(), openAfter);
}

void TestMenu::clicksElsewhere_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<bool>("staysOpen");

    QTest::newRow("bare background") << QStringLiteral("Form1") << kBareBackground << false;
    // Between " 设置自选股(S)" and " 操作帮助(H)": the panel keeps the click.
    QTest::newRow("panel between items")
        << QStringLiteral("Picture1") << px(QPoint(900, 600)) << true;
    QTest::newRow("separator") << QStringLiteral("Line1") << QPoint(5, 0) << true;
    QTest::newRow("icon") << QStringLiteral("Image1") << QPoint(5, 5) << true;
}

void TestMenu::clicksElsewhere() {
    QFETCH(QString, target);
    QFETCH(QPoint, pos);
    QFETCH(bool, staysOpen);

    QWidget* widget =
        target == m_ticker->objectName() ? m_ticker.get() : m_ticker->findChild<QWidget*>(target);
    QVERIFY(widget && widget->childAt(pos) == nullptr);
    m_ticker->Picture1->show();
    QTest::mouseClick(widget, Qt::LeftButton, {}, pos);
    QCOMPARE(m_ticker->Picture1->isVisible(), staysOpen);
    QVERIFY(m_ticker->isVisible());
}

void TestMenu::highlightOutlivesThePanel_data() {
    QTest::addColumn<QList<int>>("touched");
    QTest::addColumn<int>("lit");

    QTest::newRow("watch list, then exit") << QList<int>{1, 3} << 3;
    QTest::newRow("down and back up") << QList<int>{0, 1, 2, 3, 2, 1} << 1;
}

void TestMenu::highlightOutlivesThePanel() {
    QFETCH(QList<int>, touched);
    QFETCH(int, lit);

    QTest::mouseClick(m_ticker->Label7, Qt::LeftButton);
    for (int index : touched)
        hover(m_ticker->Label8[index]);
    QCOMPARE(litItem(*m_ticker), lit);

    // Leaving, closing and reopening the panel keeps the last item lit.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(m_ticker->Label8[lit], &leave);
    QTest::mouseClick(m_ticker.get(), Qt::LeftButton, {}, kBareBackground);
    QVERIFY(m_ticker->Picture1->isHidden());
    QTest::mouseClick(m_ticker->Label7, Qt::LeftButton);
    QCOMPARE(litItem(*m_ticker), lit);
}

void TestMenu::actions_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("tickerVisible");
    QTest::addColumn<bool>("timer2Active");
    QTest::addColumn<bool>("stealth");
    QTest::addColumn<bool>("watchList");
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
    QFETCH(bool, stealth);
    QFETCH(bool, watchList);
    QFETCH(int, helpRequests);
    QFETCH(QList<int>, exits);

    QTest::mouseClick(m_ticker->Label7, Qt::LeftButton);
    QTest::mouseClick(m_ticker->Label8[index], Qt::LeftButton);

    QVERIFY(m_ticker->Picture1->isHidden());
    QCOMPARE(m_ticker->isVisible(), tickerVisible);
    QCOMPARE(m_ticker->Timer2->isActive(), timer2Active);
    const Form4* line = m_ticker->existingForm4();
    QCOMPARE(line && line->isVisible() && line->Timer1->isActive(), stealth);
    QCOMPARE(m_ticker->watchListWindow && m_ticker->watchListWindow->isVisible(), watchList);
    QCOMPARE(m_hooks->openedUrls, QList<QUrl>(helpRequests, m_ticker->environment().helpUrl));
    QCOMPARE(m_hooks->exits, exits);
}

void TestMenu::watchListOpensOnce() {
    m_ticker->Label8_Click(1);
    QPointer<Form2> first = m_ticker->watchListWindow;
    QVERIFY(first);
    m_ticker->Label8_Click(1);
    QCOMPARE(m_ticker->watchListWindow, first);
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(),
                           [](const QWidget* w) { return qobject_cast<const Form2*>(w); }),
             1);

    // Once closed, the next pick makes a fresh window and pauses the ticker again, even
    // before the closed one is gone.
    first->close();
    QVERIFY(m_ticker->Timer2->isActive());
    m_ticker->Label8_Click(1);
    QVERIFY(m_ticker->watchListWindow);
    QVERIFY(m_ticker->watchListWindow != first);
    QVERIFY(m_ticker->watchListWindow->isVisible());
    QVERIFY(!m_ticker->Timer2->isActive());
    QTRY_VERIFY(first.isNull());
    QVERIFY(m_ticker->watchListWindow);
}

void TestMenu::helpWithoutAHookGoesToTheDesktop() {
    Environment env = makeTestEnvironment(m_dir->path(), m_hooks);
    env.openUrl = nullptr;
    env.helpUrl = QUrl(QStringLiteral("tarnwel-help-test:/how.htm"));
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("tarnwel-help-test"), &catcher, "open");
    Form1 ticker(env);
    ticker.Label8_Click(2);
    QDesktopServices::unsetUrlHandler(QStringLiteral("tarnwel-help-test"));
    QCOMPARE(catcher.urls, QList<QUrl>{env.helpUrl});
}

QTEST_MAIN(TestMenu)
#include "tst_menu.moc"
