// SPDX-License-Identifier: GPL-3.0-or-later
// Two keep-on-top timers, the ticker's and the stealth line's, are switched by what
// happens to four windows. The rule is checked on its own against a table of event
// sequences; then long random runs of what a user can do drive the real program, and
// after every step the windows' timers and visibility are compared with the rule.
#include "app/conductor.h"
#include "app/keepontop.h"
#include "charts/form3.h"
#include "children.h"
#include "stealth/form4.h"
#include "testenvironment.h"
#include "ticker/form1.h"
#include "watchlist/form2.h"
#include "widgets/controllabel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <random>

using namespace tarnwel;

using Event = KeepOnTop::Event;

namespace {

// One step of a table row: an event and, for a closing chart, what is on screen.
struct Step {
    Event event;
    bool tickerVisible = false;
    bool stealthVisible = false;
};

// What is on screen, kept by the random runs.
struct Screen {
    bool ticker = true, stealth = false, watchList = false, chart = false;
};

struct UserEvent {
    const char* name;
    bool (*possible)(const Screen&);
    std::function<void(Conductor&)> perform;
    void (*after)(Screen&);
    // What the rule hears; a chart that was already open does not load again.
    QList<Event> (*heard)(const Screen& before);
};

void pick(Conductor& program, int item) {
    QTest::mouseClick(child(&program.ticker(), "Label7"), Qt::LeftButton);
    QTest::mouseClick(member(&program.ticker(), "Label8", item), Qt::LeftButton);
}

void clickLine(Conductor& program, const char* name) {
    QTest::mouseClick(child(&program.ticker(), name), Qt::LeftButton, {}, QPoint(2, 2));
}

QWidget* glyph(Conductor& program) {
    return child(program.stealthWindow(), "Label2");
}

bool tickerShown(const Screen& s) {
    return s.ticker;
}
bool stealthShown(const Screen& s) {
    return s.stealth;
}
void openChart(Screen& s) {
    s.chart = true;
}
QList<Event> chartLaunch(const Screen& before) {
    return before.chart ? QList<Event>{} : QList<Event>{Event::ChartLoaded};
}

const UserEvent kEvents[] = {
    {"menu stealth", tickerShown, [](Conductor& p) { pick(p, 0); },
     [](Screen& s) {
         s.ticker = false;
         s.stealth = true;
     },
     [](const Screen&) { return QList<Event>{Event::StealthEntered}; }},
    {"menu watch list", tickerShown, [](Conductor& p) { pick(p, 1); },
     [](Screen& s) { s.watchList = true; },
     [](const Screen&) { return QList<Event>{Event::WatchListOpened}; }},
    {"close watch list", [](const Screen& s) { return s.watchList; },
     [](Conductor& p) { p.watchListWindow()->close(); }, [](Screen& s) { s.watchList = false; },
     [](const Screen&) { return QList<Event>{Event::WatchListClosed}; }},
    {"double-click back", stealthShown,
     [](Conductor& p) { QTest::mouseDClick(glyph(p), Qt::LeftButton, {}, QPoint(3, 3)); },
     [](Screen& s) {
         s.stealth = false;
         s.ticker = true;
     },
     [](const Screen&) { return QList<Event>{Event::StealthLeft}; }},
    {"chart from stock line", tickerShown, [](Conductor& p) { clickLine(p, "Label1"); }, openChart,
     chartLaunch},
    {"chart from 沪综指 line", tickerShown, [](Conductor& p) { clickLine(p, "Label5"); }, openChart,
     chartLaunch},
    {"chart from 深成指 line", tickerShown, [](Conductor& p) { clickLine(p, "Label6"); }, openChart,
     chartLaunch},
    {"chart from stealth", stealthShown,
     [](Conductor& p) { QTest::mouseClick(glyph(p), Qt::RightButton, {}, QPoint(3, 3)); },
     openChart,
     [](const Screen& before) { return chartLaunch(before) << Event::ChartFromStealth; }},
    {"close chart", [](const Screen& s) { return s.chart; },
     [](Conductor& p) { p.chartWindow()->close(); }, [](Screen& s) { s.chart = false; },
     [](const Screen&) { return QList<Event>{Event::ChartClosed}; }},
};

// Empty when the program agrees with the screen and the rule; otherwise what differs.
QString differences(const Conductor& program, const Screen& screen, const KeepOnTop& rule) {
    const Form4* stealth = program.stealthWindow();
    const std::tuple<const char*, bool, bool> checks[] = {
        {"ticker shown", program.ticker().isVisible(), screen.ticker},
        {"stealth shown", stealth && stealth->isVisible(), screen.stealth},
        {"watch list open", program.watchListWindow() && program.watchListWindow()->isVisible(),
         screen.watchList},
        {"chart open", program.chartWindow() && program.chartWindow()->isVisible(), screen.chart},
        {"ticker timer on", child<QTimer>(&program.ticker(), "Timer2")->isActive(),
         rule.tickerTimer()},
        {"stealth timer on", stealth && child<QTimer>(stealth, "Timer1")->isActive(),
         rule.stealthTimer()},
    };
    QString text;
    for (const auto& [what, actual, expected] : checks)
        if (actual != expected)
            text += QStringLiteral("%1: %2; ").arg(QLatin1String(what), actual ? u"yes" : u"no");
    return text;
}

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestKeepOnTop : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rule_data();
    void rule();
    void randomSequences_data();
    void randomSequences();
    void escapeCloses_data();
    void escapeCloses();
};

void TestKeepOnTop::rule_data() {
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<bool>("tickerTimer");
    QTest::addColumn<bool>("stealthTimer");

    QTest::newRow("nothing yet") << QList<Step>{} << false << false;
    QTest::newRow("loaded") << QList<Step>{{Event::TickerLoaded}} << true << false;
    QTest::newRow("watch list open")
        << QList<Step>{{Event::TickerLoaded}, {Event::WatchListOpened}} << false << false;
    QTest::newRow("watch list closed")
        << QList<Step>{{Event::TickerLoaded}, {Event::WatchListOpened}, {Event::WatchListClosed}}
        << true << false;
    // The switches do not look at each other: closing the watch list in stealth mode
    // sets the ticker's timer going although the ticker is hidden.
    QTest::newRow("watch list closed in stealth") << QList<Step>{{Event::TickerLoaded},
                                                                 {Event::WatchListOpened},
                                                                 {Event::StealthEntered},
                                                                 {Event::WatchListClosed}}
                                                  << true << true;
    QTest::newRow("stealth") << QList<Step>{{Event::TickerLoaded}, {Event::StealthEntered}} << false
                             << true;
    QTest::newRow("back from stealth")
        << QList<Step>{{Event::TickerLoaded}, {Event::StealthEntered}, {Event::StealthLeft}} << true
        << false;
    QTest::newRow("chart loaded") << QList<Step>{{Event::TickerLoaded}, {Event::ChartLoaded}}
                                  << false << false;
    QTest::newRow("chart from stealth") << QList<Step>{{Event::TickerLoaded},
                                                       {Event::StealthEntered},
                                                       {Event::ChartLoaded},
                                                       {Event::ChartFromStealth}}
                                        << false << false;
    QTest::newRow("chart closed, ticker shown")
        << QList<Step>{{Event::TickerLoaded}, {Event::ChartLoaded}, {Event::ChartClosed, true}}
        << true << false;
    QTest::newRow("chart closed, stealth shown") << QList<Step>{{Event::TickerLoaded},
                                                                {Event::StealthEntered},
                                                                {Event::ChartFromStealth},
                                                                {Event::ChartClosed, false, true}}
                                                 << false << true;
    QTest::newRow("chart closed, both shown: the ticker only")
        << QList<Step>{{Event::TickerLoaded},
                       {Event::StealthEntered},
                       {Event::ChartFromStealth},
                       {Event::ChartClosed, true, true}}
        << true << false;
    QTest::newRow("chart closed, nothing shown")
        << QList<Step>{{Event::TickerLoaded}, {Event::ChartLoaded}, {Event::ChartClosed}} << false
        << false;
    QTest::newRow("watch list while stealth: the line keeps its timer")
        << QList<Step>{{Event::StealthEntered}, {Event::WatchListOpened}} << false << true;
}

void TestKeepOnTop::rule() {
    QFETCH(QList<Step>, steps);
    QFETCH(bool, tickerTimer);
    QFETCH(bool, stealthTimer);
    KeepOnTop rule;
    for (const Step& step : steps)
        rule.handle(step.event, {step.tickerVisible, step.stealthVisible});
    QCOMPARE(rule.tickerTimer(), tickerTimer);
    QCOMPARE(rule.stealthTimer(), stealthTimer);
}

void TestKeepOnTop::randomSequences_data() {
    QTest::addColumn<unsigned>("seed");
    for (unsigned seed = 1; seed <= 20; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

void TestKeepOnTop::randomSequences() {
    QFETCH(unsigned, seed);
    QTemporaryDir dir;
    const auto hooks = std::make_shared<RecordedHooks>();
    Conductor program(makeTestEnvironment(dir.path(), hooks), makeTestHooks(hooks));
    QVERIFY(program.start());
    // The lines take clicks once they show something.
    for (const char* name : {"Label1", "Label5", "Label6"}) {
        auto* line = child<QLabel>(&program.ticker(), name);
        line->setText(QStringLiteral("5.23"));
        line->adjustSize();
    }

    Screen screen;
    KeepOnTop rule;
    rule.handle(Event::TickerLoaded);
    std::mt19937 random(seed);
    QSet<const UserEvent*> performed;
    QStringList history;
    for (int step = 0; step < 200; ++step) {
        QList<const UserEvent*> possible;
        for (const UserEvent& event : kEvents)
            if (event.possible(screen))
                possible.append(&event);
        const UserEvent* event = possible.at(int(random() % possible.size()));
        history.append(QString::fromUtf8(event->name));

        const Screen before = screen;
        event->perform(program);
        // A user acts again only after the event loop has run, which deletes closed windows.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        event->after(screen);
        for (Event heard : event->heard(before))
            rule.handle(heard, {screen.ticker, screen.stealth});
        performed.insert(event);

        const QString wrong = differences(program, screen, rule);
        QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("step %1: %2after %3")
                                                 .arg(step)
                                                 .arg(wrong, history.mid(step - 7).join(u", "))));
    }
    QCOMPARE(performed.size(), int(std::size(kEvents)));
}

void TestKeepOnTop::escapeCloses_data() {
    QTest::addColumn<bool>("chart");    // else the watch-list window
    QTest::addColumn<QString>("focus"); // the control Escape is pressed in; empty: the window's
    QTest::newRow("watch list") << false << QString();
    QTest::newRow("watch list, in the boss key's field") << false << u"hotkeyEdit"_qs;
    QTest::newRow("chart") << true << QString();
}

// Where no window manager gives a title bar, Escape is the way to close these windows; the
// program hears of it as of any close.
void TestKeepOnTop::escapeCloses() {
    QFETCH(bool, chart);
    QFETCH(QString, focus);
    QTemporaryDir dir;
    const auto hooks = std::make_shared<RecordedHooks>();
    Conductor program(makeTestEnvironment(dir.path(), hooks), makeTestHooks(hooks));
    QVERIFY(program.start());
    if (chart) {
        auto* line = child<QLabel>(&program.ticker(), "Label1");
        line->setText(QStringLiteral("5.23")); // a line takes clicks once it shows something
        line->adjustSize();
        clickLine(program, "Label1");
    } else {
        pick(program, 1);
    }
    QPointer<QWidget> window =
        chart ? static_cast<QWidget*>(program.chartWindow()) : program.watchListWindow();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    if (!focus.isEmpty())
        window->findChild<QWidget*>(focus)->setFocus();
    QWidget* target = window->focusWidget() ? window->focusWidget() : window.data();
    QTest::keyClick(target, Qt::Key_Escape);
    QTRY_VERIFY(!window);
    QVERIFY(!program.chartWindow() && !program.watchListWindow());
    QVERIFY(child<QTimer>(&program.ticker(), "Timer2")->isActive());
}

QTEST_MAIN(TestKeepOnTop)
#include "tst_keepontop.moc"
