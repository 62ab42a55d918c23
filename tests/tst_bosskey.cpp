// SPDX-License-Identifier: GPL-3.0-or-later
// The boss key through the conductor, with the desktop's global shortcut played by a fake:
// which windows go and come back, the keep-on-top timers, alerts meanwhile, the key's
// setting in the watch-list window.
#include "app/conductor.h"
#include "base/settingsstore.h"
#include "children.h"
#include "fakehttpserver.h"
#include "stealth/form4.h"
#include "testenvironment.h"
#include "testfiles.h"
#include "ticker/form1.h"
#include "watchlist/form2.h"
#include "watchlist/watchlistfile.h"

#include <QApplication>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

using namespace tarnwel;

namespace {

void pick(Conductor& program, int item) {
    QTest::mouseClick(child(&program.ticker(), "Label7"), Qt::LeftButton);
    QTest::mouseClick(member(&program.ticker(), "Label8", item), Qt::LeftButton);
}

void openStealth(Conductor& program) {
    pick(program, 0);
}

void openWatchList(Conductor& program) {
    pick(program, 1);
}

void openChart(Conductor& program) {
    auto* line = child<QLabel>(&program.ticker(), "Label1");
    line->setText(QStringLiteral("中国石化"));
    line->adjustSize();
    QTest::mouseClick(line, Qt::LeftButton, {}, QPoint(2, 2));
}

void openChartFromStealth(Conductor& program) {
    QTest::mouseClick(child(program.stealthWindow(), "Label2"), Qt::RightButton, {}, QPoint(3, 3));
}

void openAlertDialog(Conductor& program) {
    openWatchList(program);
    child<QListWidget>(program.watchListWindow(), "List2")->setCurrentRow(0);
    child<QPushButton>(program.watchListWindow(), "Command3")->click();
}

// The program's windows on screen, and where.
QMap<QWidget*, QPoint> shownWindows() {
    QMap<QWidget*, QPoint> shown;
    const QWidgetList all = QApplication::topLevelWidgets();
    for (QWidget* window : all)
        if (window->isVisible())
            shown.insert(window, window->pos());
    return shown;
}

// Each window where the user dragged it, out of the program's hands: each its own way, so
// that a dialog is no longer where its window would put it.
bool dragAll(const QMap<QWidget*, QPoint>& shown) {
    QMap<QWidget*, QPoint> dragged;
    int step = 0;
    for (auto it = shown.begin(); it != shown.end(); ++it, ++step)
        dragged.insert(it.key(), it.value() + QPoint(17 + 23 * step, 11 - 7 * step));
    for (auto it = dragged.begin(); it != dragged.end(); ++it)
        it.key()->windowHandle()->setFramePosition(it.value());
    return QTest::qWaitFor([&] { return shownWindows() == dragged; });
}

struct Timers {
    bool ticker, stealth;
    bool operator==(const Timers&) const = default;
};

Timers timers(const Conductor& program) {
    const Form4* stealth = program.stealthWindow();
    return {child<QTimer>(&program.ticker(), "Timer2")->isActive(),
            stealth && child<QTimer>(stealth, "Timer1")->isActive()};
}

QByteArray sinopec(const char* price) {
    return gbk(u"var hq_str_sh600028=\"中国石化,5.20,5.00," + QString::fromLatin1(price) +
               u",5.30,5.15,5.22,5.23,12345678,64512345.00,1200\";\n");
}

const QString kHint = QStringLiteral("在任何程序中按下此键，即可隐藏或重新显示全部窗口");
const QString kTaken = QStringLiteral("已被其他程序占用");
const QString kUnsupported =
    QStringLiteral("此桌面不支持全局快捷键，可在系统设置中把快捷键绑定到 tarnwel --toggle");

// A started program in a directory of its own, with a watch list of two.
struct Fixture {
    QTemporaryDir dir;
    std::shared_ptr<RecordedHooks> hooks = std::make_shared<RecordedHooks>();
    Environment env = makeTestEnvironment(dir.path(), hooks);
    DesktopHooks desktop = makeTestHooks(hooks);
    std::unique_ptr<Conductor> program;

    Fixture() {
        WatchListFile(env.watchListPath)
            .write({QStringLiteral("中国石化(sh600028)"), QStringLiteral("中国联通(sh600050)")});
    }
    bool start() {
        program = std::make_unique<Conductor>(env, desktop);
        return program->start();
    }
    QString hotkeyStatus() const {
        return child<QLabel>(program->watchListWindow(), "hotkeyStatus")->text();
    }
};

} // namespace

using Setup = std::function<void(Conductor&)>;
Q_DECLARE_METATYPE(Setup)

class TestBossKey : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hidesAndShowsWhatWasShown_data();
    void hidesAndShowsWhatWasShown();
    void alertsWaitForTheWindows();
    void keyState_data();
    void keyState();
    void pickedKeyAppliesAtOnce();
    void keyReachesThroughTheMenusGrab();
};

void TestBossKey::hidesAndShowsWhatWasShown_data() {
    QTest::addColumn<Setup>("setup");
    QTest::newRow("ticker") << Setup([](Conductor&) {});
    QTest::newRow("stealth line") << Setup(openStealth);
    QTest::newRow("ticker, chart and watch list") << Setup([](Conductor& p) {
        openChart(p);
        openWatchList(p);
    });
    QTest::newRow("stealth line and its chart") << Setup([](Conductor& p) {
        openStealth(p);
        openChartFromStealth(p);
    });
    QTest::newRow("watch list and its alert dialog") << Setup(openAlertDialog);
}

void TestBossKey::hidesAndShowsWhatWasShown() {
    QFETCH(Setup, setup);
    Fixture f;
    QVERIFY(f.start());
    setup(*f.program);
    const QMap<QWidget*, QPoint> before = shownWindows();
    QVERIFY(!before.isEmpty());
    QVERIFY(dragAll(before));
    const QMap<QWidget*, QPoint> dragged = shownWindows();
    const Timers timersBefore = timers(*f.program);

    f.hooks->shortcut->press();
    QCOMPARE(shownWindows(), (QMap<QWidget*, QPoint>{}));
    QCOMPARE(timers(*f.program), (Timers{false, false})); // nothing raised while away

    f.hooks->shortcut->press();
    QCOMPARE(shownWindows(), dragged);
    QCOMPARE(timers(*f.program), timersBefore);
}

// While away, an alert marks the ticker and the line and is listed, but shows nothing
// on the desktop until the windows are back; then once.
void TestBossKey::alertsWaitForTheWindows() {
    Fixture f;
    FakeHttpServer server;
    server.setResponse(QStringLiteral("/list=sh600028"), sinopec("5.60"));
    f.env.quoteBaseUrl = server.baseUrl();
    f.env.settings->setAlerts(QStringLiteral("sh600028"), QStringLiteral("above:5.50"));
    QVERIFY(f.start());
    f.hooks->shortcut->press();

    Form1& ticker = f.program->ticker();
    QTRY_VERIFY_WITH_TIMEOUT(ticker.toolTip().contains(u"今日提醒"), 5000);
    QVERIFY(!child(&ticker, "AlertMark")->isHidden());
    QVERIFY(!child(f.program->stealthWindow(), "AlertMark")->isHidden());
    QCOMPARE(f.hooks->notifications, QStringList{});

    f.hooks->shortcut->press();
    QCOMPARE(f.hooks->notifications.size(), 1);
    QVERIFY(f.hooks->notifications[0].startsWith(u"股价提醒\n"));
    QVERIFY(f.hooks->notifications[0].endsWith(u" 中国石化 5.60 ≥ 5.50"));
    f.hooks->shortcut->press();
    f.hooks->shortcut->press();
    QCOMPARE(f.hooks->notifications.size(), 1); // told once
}

void TestBossKey::keyState_data() {
    QTest::addColumn<QString>("stored"); // null: never stored
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<bool>("supported");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("hides");

    QTest::newRow("the default, granted")
        << QString() << QStringList{} << true << u"Ctrl+Alt+Z"_qs << kHint << true;
    QTest::newRow("held by another program") << QString() << QStringList{u"Ctrl+Alt+Z"_qs} << true
                                             << u"Ctrl+Alt+Z"_qs << kTaken << false;
    QTest::newRow("one of the user's own")
        << u"Meta+F9"_qs << QStringList{u"Ctrl+Alt+Z"_qs} << true << u"Meta+F9"_qs << kHint << true;
    QTest::newRow("none") << u""_qs << QStringList{} << true << QString() << kHint << false;
    QTest::newRow("no global keys on this desktop")
        << QString() << QStringList{} << false << u"Ctrl+Alt+Z"_qs << kUnsupported << false;
}

void TestBossKey::keyState() {
    QFETCH(QString, stored);
    QFETCH(QStringList, taken);
    QFETCH(bool, supported);
    QFETCH(bool, hides);
    Fixture f;
    if (!stored.isNull())
        f.env.settings->setHotkey(stored);
    f.hooks->takenKeys = taken;
    const auto fake = f.desktop.globalShortcut;
    f.desktop.globalShortcut = [fake, supported] {
        auto shortcut = fake();
        static_cast<FakeShortcut*>(shortcut.get())->supported = supported;
        return shortcut;
    };
    QVERIFY(f.start());
    QTEST(f.hooks->shortcut->keys, "asked");
    openWatchList(*f.program);
    QTEST(f.hotkeyStatus(), "status");
    f.hooks->shortcut->press();
    QCOMPARE(f.program->ticker().isVisible(), !hides);
}

void TestBossKey::pickedKeyAppliesAtOnce() {
    Fixture f;
    f.hooks->takenKeys = QStringList{u"Ctrl+Alt+F12"_qs};
    QVERIFY(f.start());
    openWatchList(*f.program);
    Form2* window = f.program->watchListWindow();
    auto* edit = child<QKeySequenceEdit>(window, "hotkeyEdit");
    QSignalSpy finished(edit, &QKeySequenceEdit::editingFinished);
    QTest::keyClick(edit, Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier);
    QVERIFY(finished.wait(5000));
    QCOMPARE(f.hooks->shortcut->keys, u"Ctrl+Alt+F12"_qs);
    QCOMPARE(f.hotkeyStatus(), kTaken);

    child<QPushButton>(window, "hotkeyClear")->click();
    QCOMPARE(f.hooks->shortcut->keys, QString());
    QCOMPARE(f.env.settings->hotkey(), QString());
    QCOMPARE(f.hotkeyStatus(), kHint);
}

// The gear's menu holds the keyboard, so the desktop's grab never sees the key: the
// menu's window does, and it hides everything all the same.
void TestBossKey::keyReachesThroughTheMenusGrab() {
    Fixture f;
    QVERIFY(f.start());
    Form1& ticker = f.program->ticker();
    QTest::mouseClick(child(&ticker, "Label7"), Qt::LeftButton);
    QCOMPARE(QWidget::keyboardGrabber(), &ticker);

    QTest::keyClick(&ticker, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(ticker.isVisible()); // another key is the menu's
    QTest::keyClick(&ticker, Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(shownWindows(), (QMap<QWidget*, QPoint>{}));
    QVERIFY(!QWidget::keyboardGrabber());
    f.hooks->shortcut->press();
    QVERIFY(ticker.isVisible());
    QVERIFY(child(&ticker, "Picture1")->isHidden());
}

QTEST_MAIN(TestBossKey)
#include "tst_bosskey.moc"
