// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/conductor.h"
#include "children.h"
#include "stealth/form4.h"
#include "testenvironment.h"
#include "ticker/form1.h"
#include "watchlist/form2.h"
#include "widgets/controllabel.h"
#include "widgets/twips.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QSignalSpy>
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
    for (int i = 0; i < 5; ++i) {
        const QPalette& pal = member(&ticker, "Label8", i)->palette();
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
    void keys_data();
    void keys();
    void highlightOutlivesThePanel_data();
    void highlightOutlivesThePanel();
    void actions_data();
    void actions();
    void watchListOpensOnce();
    void helpWithoutAHookGoesToTheDesktop();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<RecordedHooks> m_hooks;
    std::unique_ptr<Conductor> m_program;
    Form1* m_ticker = nullptr;
    QWidget* panel() const { return child(m_ticker, "Picture1"); }
    QWidget* hotSpotLabel() const { return child(m_ticker, "Label7"); }
    QWidget* item(int index) const { return member(m_ticker, "Label8", index); }
    QTimer* timer2() const { return child<QTimer>(m_ticker, "Timer2"); }
    void press(QPoint pos, Qt::MouseButton button = Qt::LeftButton) const;
    void release(QPoint pos, Qt::MouseButton button = Qt::LeftButton) const;
    QPoint centreOf(const QString& name) const;
    void openPanel() const;
};

void TestMenu::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_hooks = std::make_shared<RecordedHooks>();
    m_program = std::make_unique<Conductor>(makeTestEnvironment(m_dir->path(), m_hooks),
                                            makeTestHooks(m_hooks));
    QVERIFY(m_program->start());
    m_ticker = &m_program->ticker();
    QVERIFY(panel()->isHidden());
    QCOMPARE(litItem(*m_ticker), 0);
}

void TestMenu::cleanup() {
    m_program.reset();
    m_dir.reset();
}

// Presses and releases through the ticker's window, as the window system delivers them:
// while the panel is open it holds the mouse, wherever the pointer is.
void TestMenu::press(QPoint pos, Qt::MouseButton button) const {
    QTest::mousePress(m_ticker->windowHandle(), button, {}, pos);
}

void TestMenu::release(QPoint pos, Qt::MouseButton button) const {
    QTest::mouseRelease(m_ticker->windowHandle(), button, {}, pos);
}

QPoint TestMenu::centreOf(const QString& name) const {
    QWidget* widget = m_ticker->findChild<QWidget*>(name);
    return widget->mapTo(m_ticker, widget->rect().center());
}

void TestMenu::openPanel() const {
    press(centreOf(QStringLiteral("Label7")));
    release(centreOf(QStringLiteral("Label7")));
    QVERIFY(panel()->isVisible());
}

void TestMenu::hotSpot_data() {
    QTest::addColumn<bool>("openBefore");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("openWhileHeld");
    QTest::addColumn<bool>("openAfter");

    QTest::newRow("left, closed") << false << int(Qt::LeftButton) << false << true;
    // A second click on the gear closes the panel, and its release does not open it again.
    QTest::newRow("left, open") << true << int(Qt::LeftButton) << false << false;
    QTest::newRow("right, closed") << false << int(Qt::RightButton) << false << false;
    QTest::newRow("right, open") << true << int(Qt::RightButton) << false << false;
}

void TestMenu::hotSpot() {
    QFETCH(bool, openBefore);
    QFETCH(int, button);
    QFETCH(bool, openWhileHeld);
    QFETCH(bool, openAfter);

    if (openBefore)
        openPanel();
    const QPoint gear = centreOf(QStringLiteral("Label7"));
    press(gear, Qt::MouseButton(button));
    QCOMPARE(panel()->isVisible(), openWhileHeld);
    release(gear, Qt::MouseButton(button));
    QCOMPARE(panel()->isVisible(), openAfter);
    // Closed, the ticker lets the mouse and the keyboard go.
    QCOMPARE(QWidget::mouseGrabber() == m_ticker, openAfter);
    QCOMPARE(QWidget::keyboardGrabber() == m_ticker, openAfter);
}

void TestMenu::clicksElsewhere_data() {
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<bool>("staysOpen");

    QTest::newRow("bare background") << kBareBackground << false;
    // Between " 切换到列表模式(L)" and " 设置自选股(S)": the panel keeps the click.
    QTest::newRow("panel between items") << px(QPoint(1620 + 900, 60 + 515)) << true;
    QTest::newRow("separator") << px(QPoint(1620 + 100, 60 + 1020)) << true;
    QTest::newRow("icon") << px(QPoint(600, 800)) << false;
    QTest::newRow("the stock's name") << px(QPoint(1300, 850)) << false;
    QTest::newRow("outside the window") << QPoint(-40, -40) << false;
}

void TestMenu::clicksElsewhere() {
    QFETCH(QPoint, pos);
    QFETCH(bool, staysOpen);

    QSignalSpy charts(m_ticker, &Form1::chartRequested);
    openPanel();
    press(pos);
    release(pos);
    QCOMPARE(panel()->isVisible(), staysOpen);
    QVERIFY(m_ticker->isVisible());
    // The click that closes the panel does nothing else.
    QCOMPARE(charts.count(), 0);
}

void TestMenu::keys_data() {
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("staysOpen");
    QTest::addColumn<bool>("stealth");
    QTest::addColumn<bool>("watchList");

    QTest::newRow("escape") << QList<int>{Qt::Key_Escape} << false << false << false;
    QTest::newRow("V") << QList<int>{Qt::Key_V} << false << true << false;
    QTest::newRow("S") << QList<int>{Qt::Key_S} << false << false << true;
    QTest::newRow("a letter no item shows") << QList<int>{Qt::Key_X} << true << false << false;
    // The light starts on the first item; the list item stands second, the watch list third.
    QTest::newRow("down twice, enter")
        << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Return} << false << false << true;
    QTest::newRow("up wraps to exit, then help, then the watch list")
        << QList<int>{Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Enter} << false << false << true;
}

void TestMenu::keys() {
    QFETCH(QList<int>, keys);
    QFETCH(bool, staysOpen);
    QFETCH(bool, stealth);
    QFETCH(bool, watchList);

    openPanel();
    for (int key : keys)
        QTest::keyClick(m_ticker->windowHandle(), Qt::Key(key));
    QCOMPARE(panel()->isVisible(), staysOpen);
    const Form4* line = m_program->stealthWindow();
    QCOMPARE(line && line->isVisible(), stealth);
    const Form2* watchListWindow = m_program->watchListWindow();
    QCOMPARE(watchListWindow && watchListWindow->isVisible(), watchList);
    QVERIFY(m_hooks->exits.isEmpty());
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

    QTest::mouseClick(hotSpotLabel(), Qt::LeftButton);
    for (int index : touched)
        hover(item(index));
    QCOMPARE(litItem(*m_ticker), lit);

    // Leaving, closing and reopening the panel keeps the last item lit.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(item(lit), &leave);
    QTest::mouseClick(m_ticker, Qt::LeftButton, {}, kBareBackground);
    QVERIFY(panel()->isHidden());
    QTest::mouseClick(hotSpotLabel(), Qt::LeftButton);
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

    QTest::mouseClick(hotSpotLabel(), Qt::LeftButton);
    QTest::mouseClick(item(index), Qt::LeftButton);

    QVERIFY(panel()->isHidden());
    QCOMPARE(m_ticker->isVisible(), tickerVisible);
    QCOMPARE(timer2()->isActive(), timer2Active);
    const Form4* line = m_program->stealthWindow();
    QCOMPARE(line && line->isVisible() && child<QTimer>(line, "Timer1")->isActive(), stealth);
    const Form2* watchListWindow = m_program->watchListWindow();
    QCOMPARE(watchListWindow && watchListWindow->isVisible(), watchList);
    QCOMPARE(m_hooks->openedUrls, QList<QUrl>(helpRequests, m_program->environment().helpUrl));
    QCOMPARE(m_hooks->exits, exits);
}

void TestMenu::watchListOpensOnce() {
    const auto pickWatchList = [this] {
        QTest::mouseClick(hotSpotLabel(), Qt::LeftButton);
        QTest::mouseClick(item(1), Qt::LeftButton);
    };
    pickWatchList();
    QPointer<Form2> first = m_program->watchListWindow();
    QVERIFY(first);
    pickWatchList();
    QCOMPARE(m_program->watchListWindow(), first);
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(),
                           [](const QWidget* w) { return qobject_cast<const Form2*>(w); }),
             1);

    // Once closed, the next pick makes a fresh window and pauses the ticker again, even
    // before the closed one is gone.
    first->close();
    QVERIFY(timer2()->isActive());
    pickWatchList();
    QVERIFY(m_program->watchListWindow());
    QVERIFY(m_program->watchListWindow() != first);
    QVERIFY(m_program->watchListWindow()->isVisible());
    QVERIFY(!timer2()->isActive());
    QTRY_VERIFY(first.isNull());
    QVERIFY(m_program->watchListWindow());
}

void TestMenu::helpWithoutAHookGoesToTheDesktop() {
    Environment env = makeTestEnvironment(m_dir->path(), m_hooks);
    env.helpUrl = QUrl(QStringLiteral("tarnwel-help-test:/how.htm"));
    env.lockPath += QStringLiteral(".second");
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("tarnwel-help-test"), &catcher, "open");
    Conductor program(env, DesktopHooks::forProgram());
    QVERIFY(program.start());
    QTest::mouseClick(member(&program.ticker(), "Label8", 2), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("tarnwel-help-test"));
    QCOMPARE(catcher.urls, QList<QUrl>{env.helpUrl});
}

QTEST_MAIN(TestMenu)
#include "tst_menu.moc"
