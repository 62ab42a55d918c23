// SPDX-License-Identifier: GPL-3.0-or-later
#include "ticker/quotefeed.h"

#include "base/logging.h"
#include "base/stockcode.h"
#include "quotes/quiethours.h"
#include "quotes/quoterecord.h"
#include "quotes/quotesource.h"
#include "watchlist/entry.h"
#include "watchlist/watchliststore.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QTimer>

#include <utility>

namespace tarnwel {

namespace {

// How late a promised wake-up may be before a pause that waits for it ends on its own.
constexpr int kLateWakeMs = 100;

// A good answer and when it arrived.
struct StoredReply {
    QuoteAnswer answer;
    QDateTime arrived;
};

} // namespace

struct QuoteFeed::Private {
    Options options;
    bool running = false;
    bool paused = false;
    QuoteValues values;
    QStringList list3;
    qsizetype entryCount = 0; // taken once, before a cycle's first turn
    qsizetype turn = 0;       // where the rotation stands
    qsizetype shown = 0;      // the entry of the running turn
    QString insertedCode;     // the next turn's stock, before the rotation's
    QStringList watched;      // asked for together beside each turn's stock

    std::shared_ptr<ServiceSwitch> services;
    QuoteSource* source = nullptr;
    QuoteSource* watchedSource = nullptr;
    Fetch fetching = Fetch::ShIndex;
    QuietHours hours;
    QHash<QString, StoredReply> stored; // by code; kept only while sessions are known
    FeedStatus* status = nullptr;

    QDateTime now() const {
        return options.clock ? options.clock() : QDateTime::currentDateTimeUtc();
    }

    QTimer* pause = nullptr;
    QElapsedTimer pauseClock;
    void (QuoteFeed::*afterPause)() = nullptr;
};

QuoteFeed::QuoteFeed(Options options, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>()) {
    d->options = std::move(options);
    d->services = d->options.services;
    if (!d->services)
        d->services = std::make_shared<ServiceSwitch>(!d->options.secondBaseUrl.isEmpty());
    d->source = new QuoteSource({d->options.baseUrl, d->options.referer, d->options.secondBaseUrl,
                                 d->options.fetchTimeoutMs, &lcFeed},
                                d->services, this);
    connect(d->source, &QuoteSource::answered, this, &QuoteFeed::fetchFinished);
    d->watchedSource =
        new QuoteSource({d->options.baseUrl, d->options.referer, d->options.secondBaseUrl,
                         d->options.fetchTimeoutMs, &lcFeed},
                        d->services, this);
    connect(d->watchedSource, &QuoteSource::answered, this, &QuoteFeed::watchedReplied);
    if (std::optional<MarketHours> hours = MarketHours::parse(d->options.marketHours))
        d->hours = QuietHours(*hours);
    else
        qCWarning(lcFeed) << "market hours not understood, always asking:"
                          << d->options.marketHours;
    d->status = new FeedStatus(this);
    connect(this, &QuoteFeed::stockOutcome, d->status, &FeedStatus::record);

    d->pause = new QTimer(this);
    d->pause->setSingleShot(true);
    d->pause->setTimerType(Qt::PreciseTimer);
    connect(d->pause, &QTimer::timeout, this, [this] {
        // The pause is over once more than its length has passed; a timer that fires a
        // little early waits out the rest.
        const qint64 left = qint64(d->options.turnPauseMs) + 1 - d->pauseClock.elapsed();
        if (left > 0) {
            d->pause->start(int(left));
            return;
        }
        (this->*d->afterPause)();
    });
}

QuoteFeed::~QuoteFeed() {
    for (QuoteSource* source : {d->source, d->watchedSource}) {
        source->disconnect(this);
        source->abort();
    }
}

void QuoteFeed::RefreshQuotes() {
    if (d->running)
        return;
    d->running = true;
    if (!d->paused)
        startCycle();
}

void QuoteFeed::setPaused(bool paused) {
    if (paused == d->paused)
        return;
    d->paused = paused;
    d->pause->stop();
    d->source->abort();
    d->watchedSource->abort();
    if (!paused && d->running)
        startCycle();
}

void QuoteFeed::awake(int nextInMs) {
    if (!d->pause->isActive())
        return;
    // More than its length, to the nanosecond: a tick started with the pause ends it.
    if (d->pauseClock.nsecsElapsed() > qint64(d->options.turnPauseMs) * 1'000'000) {
        d->pause->stop();
        (this->*d->afterPause)();
        return;
    }
    const qint64 left = qint64(d->options.turnPauseMs) + 1 - d->pauseClock.elapsed();
    if (left < nextInMs) {
        // Only if that wake-up does not come after all.
        d->pause->start(nextInMs + kLateWakeMs);
    }
}

void QuoteFeed::startCycle() {
    if (d->paused)
        return;
    d->list3.clear();
    const WatchListStore store(d->options.watchListPath, d->options.watchListUserPath);
    WatchListStore::Contents contents = store.read();
    switch (contents.status) {
    case WatchListStore::Status::Missing:
        // Recreated now, read from the next cycle on.
        store.createDefault();
        break;
    case WatchListStore::Status::Unreadable:
        // Never replace a list we merely failed to read.
        break;
    case WatchListStore::Status::Ok:
    case WatchListStore::Status::Undecodable:
    case WatchListStore::Status::NoEncoding:
        // Shown as well as it reads; the watch-list window says why it cannot be changed.
        d->list3 = std::move(contents.entries);
        break;
    }
    d->entryCount = d->list3.size();
    d->turn = 0;
    forgetUnlistedReplies();
    Q_EMIT cycleStarted();

    if (d->entryCount == 0) {
        // Nothing to show: wait a turn's pause rather than re-reading the file at once,
        // over and over.
        pauseThen(&QuoteFeed::endCycle);
        return;
    }
    startTurn(0);
}

void QuoteFeed::startTurn(qsizetype index) {
    if (d->paused)
        return;
    d->shown = index;
    const QString& entry = d->list3.at(index);
    // A malformed entry leaves the part that cannot be read as it was.
    if (std::optional<QString> name = entryName(entry))
        d->values.currentStockName = std::move(*name);
    if (std::optional<QString> code = entryCode(entry))
        d->values.currentStockCode = std::move(*code);
    Q_EMIT turnStarted(int(index));
    fetch(Fetch::ShIndex, QString::fromUtf16(kShanghaiIndexCode));
}

void QuoteFeed::fetch(Fetch what, const QString& code) {
    d->fetching = what;
    d->values.quoteReply.clear();

    // While the market is closed, a reply that came after the latest close is still the
    // service's answer: no need to ask again.
    if (!d->hours.alwaysOpen()) {
        const QDateTime now = d->now();
        const auto it = d->stored.constFind(code);
        if (it != d->stored.cend() && d->hours.holds(it->arrived, now) &&
            !(what == Fetch::ShIndex && d->hours.recheckDue(now))) {
            qCDebug(lcFeed).noquote() << "market closed: stored reply for" << code << "of"
                                      << it->arrived.toString(Qt::ISODate);
            replied(it->answer, it->arrived, true);
            return;
        }
    }
    d->source->fetch(code);
}

void QuoteFeed::fetchFinished(const QuoteAnswer& answer) {
    replied(answer, d->now(), false);
}

void QuoteFeed::replied(const QuoteAnswer& answer, const QDateTime& arrived, bool stored) {
    // A failed fetch leaves the reply empty.
    if (answer.outcome.ok())
        d->values.quoteReply = answer.outcome.text;
    const bool keep = !stored && !d->hours.alwaysOpen();
    if (d->fetching == Fetch::Stock)
        stockReplied(answer, arrived, stored, keep);
    else
        indexReplied(answer, arrived, keep);
}

void QuoteFeed::indexReplied(const QuoteAnswer& answer, const QDateTime& arrived, bool keep) {
    const bool shanghai = d->fetching == Fetch::ShIndex;
    if (answer.isQuote()) {
        const Quote& quote = answer.parsed.quote;
        keepIfCut(shanghai ? d->values.shIndexValue : d->values.szIndexValue, quote.price);
        keepIfCut(shanghai ? d->values.shIndexClose : d->values.szIndexClose, quote.prevClose);
        if (keep) {
            d->stored.insert(answer.outcome.code, {answer, arrived});
            if (shanghai)
                d->hours.noteIndex(quote.time, d->now());
        }
    }
    if (shanghai) {
        fetch(Fetch::SzIndex, QString::fromUtf16(kShenzhenIndexCode));
        return;
    }
    fetch(Fetch::Stock, d->values.currentStockCode);
    fetchWatched();
}

void QuoteFeed::stockReplied(const QuoteAnswer& answer, const QDateTime& arrived, bool stored,
                             bool keep) {
    FeedOutcome result;
    result.replyTime = arrived;
    result.checkedAt = d->now();
    result.httpStatus = answer.outcome.httpStatus;
    result.service = answer.service;
    result.stockName = d->values.currentStockName;
    if (d->services->onSecond())
        result.firstRefused = d->services->firstRefusal();
    // A failed fetch, a code the service does not know, or a reply whose shown fields hold
    // control characters or undecodable bytes: the screen keeps the previous stock.
    if (answer.isQuote()) {
        const Quote& quote = answer.parsed.quote;
        cutStock(quote);
        if (keep)
            d->stored.insert(answer.outcome.code, {answer, arrived});
        result.kind = stored || d->hours.isClosedDay(result.checkedAt) ? FeedOutcome::Kind::Stored
                                                                       : FeedOutcome::Kind::Live;
        result.recordTime = quote.time;
        result.quote = quote;
        result.inSession = !d->hours.alwaysOpen() && d->hours.isOpen(result.checkedAt);
        Q_EMIT textsReady(tickerTexts(d->values));
    } else {
        result.failure = answer.failure();
        if (answer.outcome.ok())
            qCDebug(lcFeed).noquote() << "not quote data for" << answer.outcome.code;
    }
    Q_EMIT stockOutcome(result);
    finishTurn();
}

void QuoteFeed::setWatchedCodes(const QStringList& codes) {
    d->watched = codes;
}

// Only while prices can move: outside the sessions the alerts have nothing to see. Asked
// beside the turn's stock, so that both replies come back to one wake-up of the program;
// one still on its way is not asked again.
void QuoteFeed::fetchWatched() {
    const QDateTime now = d->now();
    if (d->watched.isEmpty() || d->watchedSource->isBusy() ||
        (!d->hours.alwaysOpen() && !d->hours.isOpen(now)) || d->hours.isClosedDay(now))
        return;
    d->watchedSource->fetchMany(d->watched);
}

void QuoteFeed::watchedReplied(const QuoteAnswer& answer) {
    const QDateTime now = d->now();
    for (qsizetype i = 0; answer.outcome.ok() && i < answer.batch.size(); ++i) {
        const ParsedReply& record = answer.batch[i];
        if (record.kind != ReplyKind::Quote)
            continue;
        QString name = record.quote.code;
        for (const QString& entry : std::as_const(d->list3)) {
            if (entryCode(entry) == record.quote.code)
                name = entryName(entry).value_or(name);
        }
        Q_EMIT watchedQuote(name, record.quote, true, now);
    }
}

void QuoteFeed::cutStock(const Quote& quote) {
    QuoteValues& v = d->values;
    keepIfCut(v.openPrice, quote.open);
    keepIfCut(v.prevClose, quote.prevClose);
    keepIfCut(v.highPrice, quote.high);
    keepIfCut(v.lowPrice, quote.low);
    if (quote.volumeLots)
        v.volumeLots = *quote.volumeLots;
    const ShownPrice shown = quoterecord::shownPrice(quote);
    v.priceKind = shown.kind;
    if (shown.kind != PriceKind::Traded || quote.price)
        v.lastPrice = shown.price;
}

void QuoteFeed::keepIfCut(QString& target, const std::optional<QString>& value) {
    if (value)
        target = *value;
}

void QuoteFeed::forgetUnlistedReplies() {
    if (d->stored.isEmpty())
        return;
    QSet<QString> listed{QString::fromUtf16(kShanghaiIndexCode),
                         QString::fromUtf16(kShenzhenIndexCode)};
    for (const QString& entry : std::as_const(d->list3)) {
        if (std::optional<QString> code = entryCode(entry))
            listed.insert(*code);
    }
    d->stored.removeIf([&listed](const auto& it) { return !listed.contains(it.key()); });
}

void QuoteFeed::finishTurn() {
    Q_EMIT turnFinished(int(d->shown));
    // Let everything that is waiting run before the pause begins.
    QTimer::singleShot(0, this, [this] { pauseThen(&QuoteFeed::nextTurn); });
}

void QuoteFeed::nextTurn() {
    if (const qsizetype inserted = takeInsertedTurn(); inserted >= 0) {
        startTurn(inserted);
        return;
    }
    ++d->turn;
    if (d->turn < d->entryCount)
        startTurn(d->turn);
    else
        endCycle();
}

void QuoteFeed::showNext(const QString& code) {
    d->insertedCode = code;
}

qsizetype QuoteFeed::takeInsertedTurn() {
    const QString code = std::exchange(d->insertedCode, QString());
    for (qsizetype i = 0; !code.isEmpty() && i < d->entryCount; ++i) {
        if (entryCode(d->list3.at(i)) == code)
            return i;
    }
    return -1;
}

void QuoteFeed::pauseThen(void (QuoteFeed::*next)()) {
    if (d->paused)
        return;
    d->afterPause = next;
    d->pauseClock.start();
    d->pause->start(d->options.turnPauseMs + 1);
    Q_EMIT pauseStarted();
}

void QuoteFeed::endCycle() {
    // Once more let waiting events run, then read the watch list afresh.
    QTimer::singleShot(0, this, &QuoteFeed::startCycle);
}

const QuoteValues& QuoteFeed::values() const {
    return d->values;
}
const QStringList& QuoteFeed::List3() const {
    return d->list3;
}
FeedStatus* QuoteFeed::status() const {
    return d->status;
}

} // namespace tarnwel
