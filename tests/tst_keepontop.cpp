// The two keep-on-top timers are switched by four windows. Long random runs of what a
// user can do drive the real windows, and after every step both timers and the
// windows' visibility are compared with a small model of who switches what.
#include "charts/form3.h"
#include "stealth/form4.h"
#include "testenvironment.h"
#include "ticker/form1.h"
#include "watchlist/form2.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <array>
#include <memory>
#include <random>

using namespace tarnwel;

namespace {

enum class Event {
    MenuStealth,
    MenuWatchList,
    CloseWatchList,
    DoubleClickBack,
    ChartFromStockLine,
    ChartFromShanghaiLine,
    ChartFromShenzhenLine,
    ChartFromStealth,
    CloseChart,
    Count
};

const char* eventName(Event event) {
    static const char* const names[] = {
        "menu stealth",      "menu watch list",    "close watch list",
        "double-click back", "chart from stock",   "chart from 沪综指",
        "chart from 深成指", "chart from stealth", "close chart"};
    return names[int(event)];
}

// Who switches which timer, and what each event shows or hides.
struct Model {
    bool ticker = true;
    bool stealth = false;
    bool watchList = false;
    bool chart = false;
    bool tickerTimer = true; // on from the ticker's load
    bool stealthTimer = false;

    bool possible(Event event) const {
        switch (event) {
        case Event::MenuStealth:
        case Event::MenuWatchList:
        case Event::ChartFromStockLine:
        case Event::ChartFromShanghaiLine:
        case Event::ChartFromShenzhenLine:
            return ticker;
        case Event::CloseWatchList:
            return watchList;
        case Event::DoubleClickBack:
        case Event::ChartFromStealth:
            return stealth;
        case Event::CloseChart:
            return chart;
        case Event::Count:
            break;
        }
        return false;
    }

    void apply(Event event) {
        switch (event) {
        case Event::MenuStealth:
            tickerTimer = false;
            stealthTimer = true;
            ticker = false;
            stealth = true;
            break;
        case Event::MenuWatchList:
            tickerTimer = false;
            watchList = true;
            break;
        case Event::CloseWatchList:
            tickerTimer = true;
            watchList = false;
            break;
        case Event::DoubleClickBack:
            stealth = false;
            ticker = true;
            tickerTimer = true;
            stealthTimer = false;
            break;
        case Event::ChartFromStockLine:
        case Event::ChartFromShanghaiLine:
        case Event::ChartFromShenzhenLine:
            openChart();
            break;
        case Event::ChartFromStealth:
            openChart();
            stealthTimer = false;
            break;
        case Event::CloseChart:
            chart = false;
            if (ticker)
                tickerTimer = true;
            else if (stealth)
                stealthTimer = true;
            break;
        case Event::Count:
            break;
        }
    }

    // Only a window that loads pauses the ticker; an open one is merely re-targeted.
    void openChart() {
        if (!chart)
            tickerTimer = false;
        chart = true;
    }
};

void perform(Form1& ticker, Event event) {
    switch (event) {
    case Event::MenuStealth:
        ticker.Label8_Click(0);
        break;
    case Event::MenuWatchList:
        ticker.Label8_Click(1);
        break;
    case Event::CloseWatchList:
        ticker.watchListWindow->close();
        break;
    case Event::DoubleClickBack:
        ticker.form4()->Label2_DblClick();
        break;
    case Event::ChartFromStockLine:
        ticker.Label1_Click();
        break;
    case Event::ChartFromShanghaiLine:
        ticker.Label5_Click();
        break;
    case Event::ChartFromShenzhenLine:
        ticker.Label6_Click();
        break;
    case Event::ChartFromStealth:
        ticker.form4()->Label2_MouseUp(Qt::RightButton);
        break;
    case Event::CloseChart:
        ticker.chartWindow->close();
        break;
    case Event::Count:
        break;
    }
    // A user's next action comes only after the event loop has run again, by which
    // time closed windows are gone.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Empty when the windows agree with the model; otherwise what differs.
QString compare(const Form1& ticker, const Model& model) {
    const Form4* stealth = ticker.existingForm4();
    const struct {
        const char* what;
        bool actual;
        bool expected;
    } checks[] = {
        {"ticker visible", ticker.isVisible(), model.ticker},
        {"stealth visible", stealth && stealth->isVisible(), model.stealth},
        {"watch list open", ticker.watchListWindow && ticker.watchListWindow->isVisible(),
         model.watchList},
        {"chart open", ticker.chartWindow && ticker.chartWindow->isVisible(), model.chart},
        {"ticker timer", ticker.Timer2->isActive(), model.tickerTimer},
        {"stealth timer", stealth && stealth->Timer1->isActive(), model.stealthTimer},
    };
    QString differences;
    for (const auto& check : checks) {
        if (check.actual != check.expected)
            differences += QStringLiteral("%1 is %2; ")
                               .arg(QLatin1String(check.what), check.actual ? u"on" : u"off");
    }
    return differences;
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
    constexpr int kSteps = 200;

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto hooks = std::make_shared<RecordedHooks>();
    Form1 ticker(makeTestEnvironment(dir.path(), hooks));
    QVERIFY(ticker.Form_Load());
    ticker.show();

    Model model;
    std::mt19937 random(seed);
    std::array<int, int(Event::Count)> performed{};
    QStringList history;
    for (int step = 0; step < kSteps; ++step) {
        QList<Event> possible;
        for (int e = 0; e < int(Event::Count); ++e)
            if (model.possible(Event(e)))
                possible.append(Event(e));
        QVERIFY(!possible.isEmpty());
        const Event event = possible.at(int(random() % possible.size()));
        history.append(QString::fromUtf8(eventName(event)));

        perform(ticker, event);
        model.apply(event);
        ++performed[int(event)];

        const QString differences = compare(ticker, model);
        QVERIFY2(differences.isEmpty(),
                 qPrintable(QStringLiteral("step %1: %2after: %3")
                                .arg(step)
                                .arg(differences, history.mid(qMax(0, step - 7)).join(u", "))));
    }
    for (int e = 0; e < int(Event::Count); ++e)
        QVERIFY2(performed[e] > 0, eventName(Event(e)));
}

QTEST_MAIN(TestKeepOnTop)
#include "tst_keepontop.moc"
