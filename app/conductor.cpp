// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/conductor.h"

#include "alerts/alertdialog.h"
#include "alerts/alertmonitor.h"
#include "alerts/alertrule.h"
#include "app/transparency.h"
#include "app/windowoptions.h"
#include "base/logging.h"
#include "base/settingsstore.h"
#include "base/singleinstance.h"
#include "base/stockcode.h"
#include "charts/form3.h"
#include "holdings/holding.h"
#include "holdings/holdingdialog.h"
#include "holdings/holdingsbook.h"
#include "holdings/tooltiphtml.h"
#include "quotes/quotesource.h"
#include "stealth/form4.h"
#include "ticker/artwork.h"
#include "ticker/form1.h"
#include "ticker/form5.h"
#include "ticker/listfeed.h"
#include "ticker/placement.h"
#include "ticker/quotefeed.h"
#include "watchlist/entry.h"
#include "watchlist/form2.h"
#include "watchlist/listing.h"
#include "watchlist/stockdirectory.h"
#include "widgets/desktopwindow.h"
#include "widgets/twips.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>

#include <utility>

namespace tarnwel {

namespace {

const QString kAlertTitle = QStringLiteral("股价提醒");

// What the watch-list window says under the boss key; empty where the key works or is off.
QString shortcutProblem(GlobalShortcut::State state) {
    switch (state) {
    case GlobalShortcut::State::None:
    case GlobalShortcut::State::Active:
        return {};
    case GlobalShortcut::State::Taken:
        return QStringLiteral("已被其他程序占用");
    case GlobalShortcut::State::Unusable:
        return QStringLiteral("此键盘无法按出这个组合");
    case GlobalShortcut::State::Unsupported:
        return QStringLiteral(
            "此桌面不支持全局快捷键，可在系统设置中把快捷键绑定到 tarnwel --toggle");
    }
    return {};
}

QStringList entryCodes(const QStringList& entries) {
    QStringList codes;
    for (const QString& entry : entries) {
        if (std::optional<QString> code = entryCode(entry))
            codes.append(*code);
    }
    return codes;
}

} // namespace

Conductor::Conductor(Environment env, DesktopHooks hooks, QObject* parent)
    : QObject(parent)
    , m_env(std::move(env))
    , m_hooks(std::move(hooks))
    , m_services(std::make_shared<ServiceSwitch>(!m_env.secondQuoteBaseUrl.isEmpty()))
    , m_ticker(std::make_unique<Form1>()) {
    // Every window of the program carries its icon, unless it draws one of its own.
    QGuiApplication::setWindowIcon(artwork::programIcon());
    m_services->setChoice(m_env.settings->quoteSource());
    m_feed = new QuoteFeed(feedOptions(m_env, m_services), this);

    Form1* ticker = m_ticker.get();
    connect(ticker, &Form1::feedWanted, m_feed, &QuoteFeed::RefreshQuotes);
    connect(m_feed, &QuoteFeed::textsReady, this, [this](const TickerTexts& texts) {
        m_ticker->showTexts(texts);
        // The line is kept up to date whether it is shown or not.
        stealth().setQuoteTexts(texts.stealthCaption, texts.stealthTooltip);
    });
    ticker->showFeedStatus(m_feed->status()->text());
    connect(m_feed->status(), &FeedStatus::textChanged, ticker, &Form1::showFeedStatus);
    connect(ticker, &Form1::chartRequested, this, &Conductor::launchChart);
    connect(ticker, &Form1::stealthRequested, this, &Conductor::enterStealth);
    connect(ticker, &Form1::listRequested, this, [this] { showList(true); });
    connect(ticker, &Form1::watchListRequested, this, &Conductor::openWatchList);
    connect(ticker, &Form1::helpRequested, this, [this] { m_hooks.openUrl(m_env.helpUrl); });
    connect(ticker, &Form1::exitRequested, this, &Conductor::exitProgram);
    // The feed's pauses end on the keep-on-top ticks, which wake the program anyway. Each
    // pause starts those timers afresh, so that a tick falls just after its end and not up
    // to half a second later.
    connect(ticker, &Form1::keptOnTop, m_feed, [this] { m_feed->awake(kKeepOnTopMs); });
    connect(m_feed, &QuoteFeed::pauseStarted, this, [this] {
        m_ticker->restartKeepOnTop();
        if (m_stealth)
            m_stealth->restartKeepOnTop();
    });

    m_alerts = new AlertMonitor({m_env.settings, m_env.alertStatePath}, this);
    connect(m_feed, &QuoteFeed::stockOutcome, this, [this](const FeedOutcome& outcome) {
        if (outcome.kind == FeedOutcome::Kind::Failed)
            m_ticker->showFailure();
        if (outcome.quote)
            m_alerts->check(m_feed->values().currentStockName, *outcome.quote,
                            outcome.kind == FeedOutcome::Kind::Live, outcome.checkedAt);
    });
    connect(m_alerts, &AlertMonitor::fired, this, &Conductor::alertFired);
    ticker->showAlerts(m_alerts->firedToday());
    connect(m_alerts, &AlertMonitor::firedTodayChanged, ticker, &Form1::showAlerts);
    connect(ticker, &Form1::alertMarkSeen, this, &Conductor::alertsSeen);

    // The holdings of each cycle's list, read afresh; every quote shown counts.
    m_holdings = std::make_unique<HoldingsBook>();
    connect(m_feed, &QuoteFeed::cycleStarted, this, [this] {
        const QStringList codes = entryCodes(m_feed->List3());
        m_holdings->load(*m_env.settings, codes);
        showHoldings();
        // Stocks with alerts or holdings are asked for every turn, not once a cycle.
        QStringList watched = alertedCodes(*m_env.settings, codes);
        for (const QString& code : heldCodes(*m_env.settings, codes)) {
            if (!watched.contains(code))
                watched.append(code);
        }
        m_feed->setWatchedCodes(watched);
    });
    connect(m_feed, &QuoteFeed::watchedQuote, m_alerts, &AlertMonitor::check);
    connect(m_feed, &QuoteFeed::watchedQuote, this,
            [this](const QString&, const Quote& quote, bool live, const QDateTime& checkedAt) {
                m_holdings->record(quote, live, checkedAt);
                showHoldings();
            });
    connect(m_feed, &QuoteFeed::stockOutcome, this, [this](const FeedOutcome& outcome) {
        if (!outcome.quote)
            return; // the ticker keeps the stock it showed
        m_holdings->record(*outcome.quote, outcome.kind == FeedOutcome::Kind::Live,
                           outcome.checkedAt);
        m_shownCode = outcome.quote->code;
        showHoldings();
    });
}

Conductor::~Conductor() {
    // The other windows have no parent; they go with the ticker.
    m_list.reset();
    delete m_watchList.data();
    delete m_chart.data();
    delete m_stealth.data();
}

bool Conductor::start() {
    m_instance = std::make_unique<SingleInstance>(m_env.lockPath);
    if (!m_instance->acquire())
        return false;
    connect(m_instance.get(), &SingleInstance::requested, this, [this](const QString& request) {
        if (request == u"toggle")
            toggleWindows();
    });
    startBossKey();
    m_directory = std::make_shared<const stockdirectory::Search>(stockdirectory::shanghai() +
                                                                 stockdirectory::shenzhen());
    m_ticker->setUpDownColours(m_env.settings->upDownColours());
    m_ticker->Form_Load(alphaFromTransparency(m_env.settings->transparency()));
    handle(KeepOnTop::Event::TickerLoaded);
    if (m_env.settings->showsList())
        showList(true);
    else
        m_ticker->show();
    return true;
}

QWidget& Conductor::face() const {
    if (m_showsList)
        return *m_list;
    return *m_ticker;
}

Form5* Conductor::listWindow() const {
    return m_list.get();
}

Form5& Conductor::list() {
    if (m_list)
        return *m_list;
    m_list = std::make_unique<Form5>();
    m_list->setUpDownColours(m_env.settings->upDownColours());
    m_list->applyAlpha(alphaFromTransparency(m_env.settings->transparency()));
    connect(m_list.get(), &Form5::chartRequested, this, &Conductor::launchChartOf);
    connect(m_list.get(), &Form5::stealthRequested, this, &Conductor::enterStealth);
    connect(m_list.get(), &Form5::tickerRequested, this, [this] { showList(false); });
    connect(m_list.get(), &Form5::watchListRequested, this, &Conductor::openWatchList);
    connect(m_list.get(), &Form5::helpRequested, this, [this] { m_hooks.openUrl(m_env.helpUrl); });
    connect(m_list.get(), &Form5::exitRequested, this, &Conductor::exitProgram);
    connect(m_list.get(), &Form5::alertMarkSeen, this, &Conductor::alertsSeen);
    m_listFeed = new ListFeed(listFeedOptions(m_env, m_services), this);
    connect(m_listFeed, &ListFeed::rowsChanged, this, &Conductor::showListLines);
    connect(m_listFeed, &ListFeed::quoteReceived, m_alerts, &AlertMonitor::check);
    connect(m_listFeed, &ListFeed::quoteReceived, this,
            [this](const QString&, const Quote& quote, bool live, const QDateTime& checkedAt) {
                m_holdings->record(quote, live, checkedAt);
            });
    return *m_list;
}

// One face replaces the other with its bottom-right corner where the other's was; the
// ticker's quote feed sends nothing while the list refreshes, and the other way round.
void Conductor::showList(bool showsList) {
    const QPoint corner = face().isVisible() || !m_showsList
                              ? face().pos() + QPoint(face().width(), face().height())
                              : list().bottomRight();
    Form5& listWindow = list();
    m_showsList = showsList;
    m_env.settings->setShowsList(showsList);
    m_feed->setPaused(showsList);
    if (showsList) {
        m_listFeed->start();
        showListLines();
        listWindow.placeBottomRight(corner);
        m_ticker->hide();
        listWindow.show();
    } else {
        m_listFeed->stop();
        m_ticker->move(corner - QPoint(m_ticker->width(), m_ticker->height()));
        listWindow.hide();
        m_ticker->show();
    }
    handle(KeepOnTop::Event::TickerLoaded);
}

void Conductor::showListLines() {
    if (!m_list || !m_listFeed)
        return;
    // The book follows the list's own reading of the watch list while the ticker rests.
    QStringList codes;
    for (const ListRow& row : m_listFeed->rows()) {
        if (!row.index)
            codes.append(row.code);
    }
    if (codes != m_listCodes) {
        m_listCodes = codes;
        m_holdings->load(*m_env.settings, codes);
    }
    const bool hide = m_env.settings->hidesAmounts();
    QList<ListLine> lines;
    for (const ListRow& row : m_listFeed->rows())
        lines.append(listLine(row, hide));
    QString total;
    if (const std::optional<HoldingFigures> sums = m_holdings->totals(); sums && sums->today)
        total = hide ? QStringLiteral("***") : amountText(*sums->today);
    m_list->showLines(lines, total);
    m_list->markAlerted(m_unseenAlerts);
}

// A row as the list shows it, with today's profit of a holding and the ticker's tooltip.
ListLine Conductor::listLine(const ListRow& row, bool hideAmounts) const {
    const ListRowTexts texts = listRowTexts(row);
    ListLine line{row.code, texts.name, texts.price,     texts.change, texts.percent,
                  {},       {},         texts.direction, row.index};
    QStringList tip{row.name + u' ' + texts.price + u' ' + texts.change + u' ' + texts.percent,
                    m_listFeed->status()->text()};
    if (!row.index) {
        if (const std::optional<HoldingFigures> figures = m_holdings->figures(row.code);
            figures && figures->today)
            line.profit = hideAmounts ? QStringLiteral("***") : amountText(*figures->today);
        if (const QString held = plainText(m_holdings->stockLine(row.code, hideAmounts));
            !held.isEmpty())
            tip.append(held);
        for (const QString& alert : m_alerts->firedToday()) {
            if (alert.contains(u' ' + row.name + u' '))
                tip.append(alert);
        }
    }
    line.toolTip = tip.join(u'\n');
    return line;
}

Form2* Conductor::watchListWindow() const {
    return m_watchList;
}

Form3* Conductor::chartWindow() const {
    return m_chart;
}

Form4* Conductor::stealthWindow() const {
    return m_stealth;
}

void Conductor::handle(KeepOnTop::Event event) {
    KeepOnTop::Visible visible{};
    // The list stands wherever the ticker would.
    visible.ticker = face().isVisible();
    visible.stealth = m_stealth && m_stealth->isVisible();
    m_keepOnTop.handle(event, visible);
    applyKeepOnTop();
}

// Raising a window the boss key hid would not show it, but its timer waits all the same;
// the windows take up their timers again as they come back. The list stands wherever the
// ticker would.
void Conductor::applyKeepOnTop() {
    const bool away = m_away.holding();
    m_ticker->setKeepOnTop(!away && !m_showsList && m_keepOnTop.tickerTimer());
    if (m_list)
        m_list->setKeepOnTop(!away && m_showsList && m_keepOnTop.tickerTimer());
    if (m_stealth)
        m_stealth->setKeepOnTop(!away && m_keepOnTop.stealthTimer());
}

Form4& Conductor::stealth() {
    if (!m_stealth) {
        m_stealth = new Form4();
        connect(m_stealth, &Form4::backRequested, this, &Conductor::leaveStealth);
        connect(m_stealth, &Form4::alertMarkSeen, this, &Conductor::alertsSeen);
        connect(m_stealth, &Form4::keptOnTop, m_feed, [this] { m_feed->awake(kKeepOnTopMs); });
        connect(m_stealth, &Form4::chartRequested, this, [this] {
            launchChart(ChartSubject::Stock);
            handle(KeepOnTop::Event::ChartFromStealth);
        });
    }
    return *m_stealth;
}

void Conductor::enterStealth() {
    Form4& line = stealth();
    handle(KeepOnTop::Event::StealthEntered);
    // Beside where a ticker would stand with its bottom-right corner at the face's.
    const QPoint corner = face().pos() + QPoint(face().width(), face().height());
    line.move(px(stealthPlacement(twips(corner - QPoint(m_ticker->width(), m_ticker->height())))));
    face().hide();
    line.show();
}

void Conductor::leaveStealth() {
    face().show();
    handle(KeepOnTop::Event::StealthLeft);
}

void Conductor::openWatchList() {
    handle(KeepOnTop::Event::WatchListOpened);
    if (m_watchList) {
        m_watchList->show();
        m_watchList->raise();
        m_watchList->activateWindow();
        return;
    }
    if (!m_listing)
        m_listing = std::make_shared<const stockdirectory::Search>(
            listing::entries(), pinyin::table(), stockdirectory::Search::Match::Folded);
    m_watchList = new Form2(watchListWindowOptions(m_env, m_services), m_directory, m_listing,
                            m_hooks.showNotice);
    connect(m_watchList, &Form2::transparencyPicked, this, [this](const QString& text) {
        m_ticker->applyAlpha(alphaFromTransparency(text));
        if (m_list)
            m_list->applyAlpha(alphaFromTransparency(text));
    });
    connect(m_watchList, &Form2::upDownColoursPicked, this, [this](UpDownColours colours) {
        m_ticker->setUpDownColours(colours);
        if (m_list)
            m_list->setUpDownColours(colours);
    });
    connect(m_watchList, &Form2::quoteSourcePicked, this,
            [this](QuoteSourceChoice choice) { m_services->setChoice(choice); });
    connect(m_watchList, &Form2::alertsRequested, this, &Conductor::openAlerts);
    connect(m_watchList, &Form2::watchListSaved, this, &Conductor::watchListSaved);
    connect(m_watchList, &Form2::entryRemoved, this, &Conductor::entryRemoved);
    connect(m_watchList, &Form2::undoRequested, this, &Conductor::undoRemoval);
    connect(m_watchList, &Form2::holdingsRequested, this, &Conductor::openHoldings);
    connect(m_watchList, &Form2::amountsHiddenPicked, this, &Conductor::showHoldings);
    connect(m_watchList, &Form2::upDownColoursPicked, this, &Conductor::showHoldings);
    connect(m_watchList, &Form2::closed, this, [this] {
        // Deleted only once control returns to the event loop; the menu opens a new one
        // from now on rather than raising this closing one.
        m_watchList = nullptr;
        // A removal not undone by now is final.
        m_removal.reset();
        m_dropped.clear();
        handle(KeepOnTop::Event::WatchListClosed);
    });
    connect(m_watchList, &Form2::hotkeyPicked, this, [this](const QString& keys) {
        setBossKeys(QKeySequence::fromString(keys, QKeySequence::PortableText));
    });
    m_watchList->setScreen(m_ticker->screen());
    m_watchList->Form_Load();
    showShortcutState();
    m_watchList->showAlertMarks(alertedCodes(*m_env.settings, m_env.settings->alertCodes()));
    m_watchList->showHoldingMarks(heldCodes(*m_env.settings, m_env.settings->holdingCodes()));
    m_watchList->show();
}

void Conductor::launchChart(ChartSubject subject) {
    // The feed's current stock at this moment, not what the clicked line shows.
    launchChartOf(subject, m_feed->values().currentStockName, m_feed->values().currentStockCode);
}

// An open window is re-targeted where the user left it; only a new one is centred and
// pauses the keep-on-top timer of the face.
void Conductor::launchChartOf(ChartSubject subject, const QString& name, const QString& code) {
    if (!m_chart) {
        m_chart = new Form3(chartWindowOptions(m_env));
        connect(m_chart, &Form3::closed, this, [this] {
            // A launch before the deletion must make a new window.
            m_chart = nullptr;
            handle(KeepOnTop::Event::ChartClosed);
        });
        m_chart->Form_Load();
        handle(KeepOnTop::Event::ChartLoaded);
    }
    m_chart->showDailyChart(subject, name, code);
}

// The alerted stock comes next on the ticker; every face carries the mark until seen.
void Conductor::alertFired(const QString& code, const QString& line) {
    m_feed->showNext(code);
    m_ticker->showAlertMark(true);
    stealth().showAlertMark(true);
    if (!m_unseenAlerts.contains(code))
        m_unseenAlerts.append(code);
    if (m_list)
        m_list->markAlerted(m_unseenAlerts);
    if (!m_env.settings->notifies())
        return;
    // Nothing may show while the windows are away; they tell it once they are back.
    if (m_away.holding())
        m_untold.append(line);
    else
        m_hooks.notify(kAlertTitle, line);
}

void Conductor::alertsSeen() {
    m_ticker->showAlertMark(false);
    if (m_stealth)
        m_stealth->showAlertMark(false);
    m_unseenAlerts.clear();
    if (m_list)
        m_list->markAlerted(m_unseenAlerts);
}

void Conductor::openAlerts(const QString& entry) {
    const std::optional<QString> code = entryCode(entry);
    if (!code || !isAlertCode(*code) || !m_watchList)
        return;
    delete m_alertDialog.data();
    m_alertDialog =
        new AlertDialog(m_env.settings, *code, entryName(entry).value_or(QString()), m_watchList);
    m_alertDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_alertDialog, &AlertDialog::saved, this, [this] {
        if (m_watchList)
            m_watchList->showAlertMarks(
                alertedCodes(*m_env.settings, m_env.settings->alertCodes()));
    });
    m_alertDialog->open();
}

// Stocks that left the list take their alerts and holdings with them; what they took is
// kept for the removal that follows, should it be undone.
void Conductor::watchListSaved(const QStringList& entries) {
    const QStringList codes = entryCodes(entries);
    m_dropped.clear();
    for (const QString& code : m_env.settings->alertCodes()) {
        if (!codes.contains(code))
            m_dropped[code].alerts = m_env.settings->alerts(code);
    }
    for (const QString& code : m_env.settings->holdingCodes()) {
        if (!codes.contains(code))
            m_dropped[code].holding = m_env.settings->holding(code);
    }
    refreshAlertMarks(entries);
    if (m_listFeed)
        m_listFeed->reloadWatchList();
    listChangedHoldings(entries);
}

// Only the last removal can be undone, and only one that took something with it.
void Conductor::entryRemoved(const QString& entry, int row) {
    const QString code = entryCode(entry).value_or(QString());
    const StockKeys keys = m_dropped.value(code);
    const bool alerts = !keys.alerts.isEmpty();
    const bool holding = !keys.holding.isEmpty();
    m_removal.reset();
    if (alerts || holding)
        m_removal = Removal{entry, row, code, keys};
    if (m_watchList)
        m_watchList->showRemoval(entry, alerts, holding);
}

// The stock's keys are written back as they were stored, unless it was listed again and given
// new ones meanwhile: those are the newer choice.
void Conductor::undoRemoval() {
    if (!m_removal || !m_watchList || !m_watchList->putBack(m_removal->entry, m_removal->row))
        return;
    const Removal removal = *std::exchange(m_removal, std::nullopt);
    SettingsStore& settings = *m_env.settings;
    if (!removal.keys.alerts.isEmpty() && settings.alerts(removal.code).isEmpty())
        settings.setAlerts(removal.code, removal.keys.alerts);
    if (!removal.keys.holding.isEmpty() && settings.holding(removal.code).isEmpty())
        settings.setHolding(removal.code, removal.keys.holding);
    m_watchList->showAlertMarks(alertedCodes(settings, settings.alertCodes()));
    holdingsChanged();
}

// A stock that left the list takes its alerts with it.
void Conductor::refreshAlertMarks(const QStringList& entries) {
    QStringList codes;
    for (const QString& entry : entries) {
        if (std::optional<QString> code = entryCode(entry))
            codes.append(*code);
    }
    removeUnlistedAlerts(*m_env.settings, codes);
    if (m_watchList)
        m_watchList->showAlertMarks(alertedCodes(*m_env.settings, codes));
}

void Conductor::startBossKey() {
    m_shortcut = m_hooks.globalShortcut();
    connect(m_shortcut.get(), &GlobalShortcut::activated, this, &Conductor::toggleWindows);
    connect(m_shortcut.get(), &GlobalShortcut::stateChanged, this, &Conductor::showShortcutState);
    setBossKeys(QKeySequence::fromString(m_env.settings->hotkey(), QKeySequence::PortableText));
    QCoreApplication::instance()->installEventFilter(this);
}

void Conductor::setBossKeys(const QKeySequence& keys) {
    if (!m_shortcut)
        return;
    m_bossKey = keys.isEmpty() ? QKeyCombination() : keys[0];
    m_shortcut->setKeys(keys);
}

// While a window of ours holds the keyboard (the gear's menu, a popup menu), the desktop's
// grab never sees the boss key: it comes to that window instead, and is taken here.
bool Conductor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !m_shortcut ||
        m_shortcut->state() != GlobalShortcut::State::Active ||
        (!QWidget::keyboardGrabber() && !QApplication::activePopupWidget()))
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat() || key->keyCombination() != m_bossKey)
        return QObject::eventFilter(watched, event);
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    toggleWindows();
    return true;
}

void Conductor::toggleWindows() {
    if (!m_away.holding()) {
        const int hidden = m_away.hideAll();
        applyKeepOnTop();
        qCInfo(lcBossKey) << "hid" << hidden << "windows";
        return;
    }
    const int shown = m_away.showAll();
    applyKeepOnTop();
    qCInfo(lcBossKey) << "showed" << shown << "windows";
    // One notification for all that fired meanwhile.
    if (!m_untold.isEmpty())
        m_hooks.notify(kAlertTitle, m_untold.join(u'\n'));
    m_untold.clear();
}

void Conductor::showShortcutState() {
    if (m_watchList && m_shortcut)
        m_watchList->showHotkeyProblem(shortcutProblem(m_shortcut->state()));
}

void Conductor::openHoldings(const QString& entry) {
    const std::optional<QString> code = entryCode(entry);
    if (!code || !isKeyCode(*code) || !m_watchList)
        return;
    delete m_holdingDialog.data();
    m_holdingDialog =
        new HoldingDialog(m_env.settings, *code, entryName(entry).value_or(QString()), m_watchList);
    m_holdingDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_holdingDialog, &HoldingDialog::saved, this, &Conductor::holdingsChanged);
    m_holdingDialog->open();
}

void Conductor::holdingsChanged() {
    if (m_watchList)
        m_watchList->showHoldingMarks(heldCodes(*m_env.settings, m_env.settings->holdingCodes()));
    m_holdings->reload(*m_env.settings);
    showHoldings();
}

// A stock that left the list takes its holding with it.
void Conductor::listChangedHoldings(const QStringList& entries) {
    const QStringList codes = entryCodes(entries);
    removeUnlistedHoldings(*m_env.settings, codes);
    m_holdings->load(*m_env.settings, codes);
    if (m_watchList)
        m_watchList->showHoldingMarks(heldCodes(*m_env.settings, codes));
    showHoldings();
}

// The shown stock's holding and the totals, in the tooltips of the ticker and the line.
void Conductor::showHoldings() {
    showListLines();
    const bool hide = m_env.settings->hidesAmounts();
    const UpDownColours colours = m_env.settings->upDownColours();
    QStringList lines;
    for (const SignedLine& line :
         {m_holdings->stockLine(m_shownCode, hide), m_holdings->totalLine(hide)}) {
        if (!line.isEmpty())
            lines.append(signedLineHtml(line, colours));
    }
    m_ticker->showHoldings(lines);
    stealth().showHoldings(lines);
}

void Conductor::exitProgram() {
    m_env.exitProgram(0);
}

} // namespace tarnwel
