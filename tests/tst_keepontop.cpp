// The two keep-on-top timers are switched by four windows. Long random runs of what a
// user can do drive the real windows, and after every step both timers and the
// windows' visibility are compared with a small model of who switches what.
#include "charts/form3.h"
#include "stealth/form4.h"
#include "testenvironment.h"
#include "ticker/form1.h"
#include "watchlist/form2.h"

#include <QCoreApplication>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <random>

using namespace tarnwel;

namespace {

struct Model {
    bool ticker = true, stealth = false, watchList = false, chart = false;
    bool tickerTimer = true; // on from the ticker's load
    bool stealthTimer = false;

    void openChart() {
        if (!chart) // only a window that loads pauses the ticker
            tickerTimer = false;
        chart = true;
    }
};

struct Event {
    const char* name;
    bool (*possible)(const Model&);
    std::function<void(Form1&)> perform;
    void (*expect)(Model&);
};

bool tickerShown(const Model& m) {
    return m.ticker;
}
bool stealthShown(const Model& m) {
    return m.stealth;
}

const Event kEvents[] = {
    {"menu stealth", tickerShown, [](Form1& t) { t.Label8_Click(0); },
     [](Model& m) {
         m.tickerTimer = false;
         m.stealthTimer = true;
         m.ticker = false;
         m.stealth = true;
     }},
    {"menu watch list", tickerShown, [](Form1& t) { t.Label8_Click(1); },
     [](Model& m) {
         m.tickerTimer = false;
         m.watchList = true;
     }},
    {"close watch list", [](const Model& m) { return m.watchList; },
     [](Form1& t) { t.watchListWindow->close(); },
     [](Model& m) {
         m.tickerTimer = true;
         m.watchList = false;
     }},
    {"double-click back", stealthShown, [](Form1& t) { t.form4()->Label2_DblClick(); },
     [](Model& m) {
         m.stealth = false;
         m.ticker = true;
         m.tickerTimer = true;
         m.stealthTimer = false;
     }},
    {"chart from stock line", tickerShown, [](Form1& t) { t.Label1_Click(); },
     [](Model& m) { m.openChart(); }},
    {"chart from 沪综指 line", tickerShown, [](Form1& t) { t.Label5_Click(); },
     [](Model& m) { m.openChart(); }},
    {"chart from 深成指 line", tickerShown, [](Form1& t) { t.Label6_Click(); },
     [](Model& m) { m.openChart(); }},
    {"chart from stealth", stealthShown,
     [](Form1& t) { t.form4()->Label2_MouseUp(Qt::RightButton); },
     [](Model& m) {
         m.openChart();
         m.stealthTimer = false;
     }},
    {"close chart", [](const Model& m) { return m.chart; },
     [](Form1& t) { t.chartWindow->close(); },
     [](Model& m) {
         m.chart = false;
         if (m.ticker)
             m.tickerTimer = true;
         else if (m.stealth)
             m.stealthTimer = true;
     }},
};

// Empty when the windows agree with the model; otherwise what differs.
QString differences(const Form1& ticker, const Model& model) {
    const Form4* stealth = ticker.existingForm4();
    const std::tuple<const char*, bool, bool> checks[] = {
        {"ticker shown", ticker.isVisible(), model.ticker},
        {"stealth shown", stealth && stealth->isVisible(), model.stealth},
        {"watch list open", ticker.watchListWindow && ticker.watchListWindow->isVisible(),
         model.watchList},
        {"chart open", ticker.chartWindow && ticker.chartWindow->isVisible(), model.chart},
        {"ticker timer on", ticker.Timer2->isActive(), model.tickerTimer},
        {"stealth timer on", stealth && stealth->Timer1->isActive(), model.stealthTimer},
    };
    QString text;
    for (const auto& [what, actual, expected] : checks)
        if (actual != expected)
            text += QStringLiteral("%1: %2; ").arg(QLatin1String(what), actual ? u"yes" : u"no");
    return text;
}

} // namespace

class TestKeepOnTop : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void randomSequences_data();
    void randomSequences();
};

void TestKeepOnTop::randomSequences_data() {
    QTest::addColumn<unsigned>("seed");
    for (unsigned seed = 1; seed <= 20; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

void TestKeepOnTop::randomSequences() {
    QFETCH(unsigned, seed);
    QTemporaryDir dir;
    Form1 ticker(makeTestEnvironment(dir.path(), std::make_shared<RecordedHooks>()));
    QVERIFY(ticker.Form_Load());
    ticker.show();

    Model model;
    std::mt19937 random(seed);
    QSet<const Event*> performed;
    QStringList history;
    for (int step = 0; step < 200; ++step) {
        QList<const Event*> possible;
        for (const Event& event : kEvents)
            if (event.possible(model))
                possible.append(&event);
        const Event* event = possible.at(int(random() % possible.size()));
        history.append(QString::fromUtf8(event->name));

        event->perform(ticker);
        // A user acts again only after the event loop has run, which deletes closed windows.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        event->expect(model);
        performed.insert(event);

        const QString wrong = differences(ticker, model);
        QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("step %1: %2after %3")
                                                 .arg(step)
                                                 .arg(wrong, history.mid(step - 7).join(u", "))));
    }
    QCOMPARE(performed.size(), int(std::size(kEvents)));
}

QTEST_MAIN(TestKeepOnTop)
#include "tst_keepontop.moc"
