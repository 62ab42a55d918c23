// SPDX-License-Identifier: GPL-3.0-or-later
#include "ticker/quotefeed.h"

#include "base/logging.h"
#include "base/stockcode.h"
#include "net/quoteclient.h"
#include "ticker/markethours.h"
#include "ticker/quoterecord.h"
#include "ticker/quotereply.h"
#include "watchlist/entry.h"
#include "watchlist/watchliststore.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QTimer>

#include <utility>

namespace tarnwel {

namespace {

// The fields of a stock reply that reach the screen.
constexpr int kStockFields[] = {1, 2, 3, 4, 5, 8};
constexpr int kIndexField = 3;
constexpr int kIndexClose = 2;
// The opening call auction is over; from here on the index has today's date.
const QTime kAuctionOver(9, 26);

// A field that can be cut must be fit to show; one that cannot keeps its old value.
bool cleanWhereCut(const QString& reply, std::initializer_list<int> fields) {
    for (const int k : fields) {
        const std::optional<QString> value = quotereply::field(reply, k);
        if (value && !quotereply::isClean(*value))
            return false;
    }
    return true;
}

// Keeps `target` as it was when the field cannot be cut.
void cutInto(QString& target, const QString& reply, int k) {
    if (std::optional<QString> value = quotereply::field(reply, k))
        target = std::move(*value);
}

// A stock reply that may go on screen: it holds a comma, and nothing it puts there is a
// control character or the mark of undecodable bytes.
bool isShowableStockReply(const QString& reply) {
    return reply.contains(u',') &&
           cleanWhereCut(reply, {kStockFields[0], kStockFields[1], kStockFields[2], kStockFields[3],
                                 kStockFields[4], kStockFields[5]});
}

bool isUsableIndexReply(const QString& reply) {
    return !reply.isEmpty() && cleanWhereCut(reply, {kIndexField});
}

// A good reply and when it arrived.
struct StoredReply {
    QString text;
    QDateTime arrived;
};

} // namespace

struct QuoteFeed::Private {
    Options options;
    bool running = false;
    QuoteValues values;
    QStringList list3;
    qsizetype entryCount = 0; // taken once, before a cycle's first turn
    qsizetype turn = 0;       // where the rotation stands
    qsizetype shown = 0;      // the entry of the running turn
    QString insertedCode;     // the next turn's stock, before the rotation's

    QuoteClient* client = nullptr;
    Fetch fetching = Fetch::ShIndex;
    MarketHours hours;
    QHash<QString, StoredReply> stored; // by code; kept only while sessions are known
    FeedStatus* status = nullptr;
    QDate closedDay; // a weekday the replies showed to be a holiday

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
    d->client = new QuoteClient(
        {d->options.baseUrl, d->options.referer, d->options.fetchTimeoutMs, &lcFeed}, this);
    connect(d->client, &QuoteClient::finished, this, &QuoteFeed::fetchFinished);
    if (std::optional<MarketHours> hours = MarketHours::parse(d->options.marketHours))
        d->hours = *hours;
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
    d->client->disconnect(this);
    d->client->abort();
}

void QuoteFeed::RefreshQuotes() {
    if (d->running)
        return;
    d->running = true;
    startCycle();
}

void QuoteFeed::startCycle() {
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
        if (it != d->stored.cend() && servesStored(it->arrived, now)) {
            qCDebug(lcFeed).noquote() << "market closed: stored reply for" << code << "of"
                                      << it->arrived.toString(Qt::ISODate);
            QuoteOutcome outcome;
            outcome.code = code;
            outcome.text = it->text;
            replied(outcome, it->arrived, true);
            return;
        }
    }
    d->client->fetch(code);
}

bool QuoteFeed::servesStored(const QDateTime& arrived, const QDateTime& now) const {
    // On a holiday every reply of the day holds, as does any since the last close.
    if (isClosedDay(now))
        return arrived > d->hours.lastClose(now) ||
               MarketHours::exchangeDate(arrived) == d->closedDay;
    return !d->hours.isOpen(now) && arrived > d->hours.lastClose(now);
}

void QuoteFeed::fetchFinished(const QuoteOutcome& outcome) {
    replied(outcome, d->now(), false);
}

void QuoteFeed::replied(const QuoteOutcome& outcome, const QDateTime& arrived, bool stored) {
    // A failed fetch leaves the reply empty.
    if (outcome.ok())
        d->values.quoteReply = outcome.text;
    const bool keep = !stored && !d->hours.alwaysOpen();
    if (d->fetching == Fetch::Stock)
        stockReplied(outcome, arrived, stored, keep);
    else
        indexReplied(outcome.code, arrived, keep);
}

void QuoteFeed::indexReplied(const QString& code, const QDateTime& arrived, bool keep) {
    const bool shanghai = d->fetching == Fetch::ShIndex;
    const QString& reply = d->values.quoteReply;
    if (isUsableIndexReply(reply)) {
        cutInto(shanghai ? d->values.shIndexValue : d->values.szIndexValue, reply, kIndexField);
        cutInto(shanghai ? d->values.shIndexClose : d->values.szIndexClose, reply, kIndexClose);
        if (keep) {
            d->stored.insert(code, {reply, arrived});
            if (shanghai)
                noteHoliday(quoterecord::recordTime(reply));
        }
    }
    if (shanghai)
        fetch(Fetch::SzIndex, QString::fromUtf16(kShenzhenIndexCode));
    else
        fetch(Fetch::Stock, d->values.currentStockCode);
}

void QuoteFeed::stockReplied(const QuoteOutcome& outcome, const QDateTime& arrived, bool stored,
                             bool keep) {
    FeedOutcome result;
    result.replyTime = arrived;
    result.checkedAt = d->now();
    result.httpStatus = outcome.httpStatus;
    const QString& reply = d->values.quoteReply;
    // No comma: a failed fetch or a code the service does not know. Nor does a reply
    // whose shown fields hold control characters or undecodable bytes go on screen.
    // Either way the screen keeps the previous stock for this turn.
    if (isShowableStockReply(reply)) {
        cutStock(reply);
        if (keep)
            d->stored.insert(outcome.code, {reply, arrived});
        result.kind = stored || isClosedDay(result.checkedAt) ? FeedOutcome::Kind::Stored
                                                              : FeedOutcome::Kind::Live;
        result.recordTime = quoterecord::recordTime(reply);
        result.inSession = !d->hours.alwaysOpen() && d->hours.isOpen(result.checkedAt);
        Q_EMIT textsReady(tickerTexts(d->values));
    } else {
        result.failure = outcome.ok() ? QuoteFailure::NotQuoteData : outcome.failure;
        if (outcome.ok())
            qCDebug(lcFeed).noquote() << "not quote data for" << outcome.code;
    }
    Q_EMIT stockOutcome(result);
    finishTurn();
}

void QuoteFeed::cutStock(const QString& reply) {
    QuoteValues& v = d->values;
    cutInto(v.openPrice, reply, 1);
    cutInto(v.prevClose, reply, 2);
    cutInto(v.highPrice, reply, 4);
    cutInto(v.lowPrice, reply, 5);
    if (std::optional<QString> volume = quotereply::field(reply, 8)) {
        if (std::optional<double> lots = quotereply::volumeLots(*volume))
            v.volumeLots = *lots;
    }
    const ShownPrice shown = quoterecord::shownPrice(reply);
    v.priceKind = shown.kind;
    if (shown.kind != PriceKind::Traded || quotereply::field(reply, 3))
        v.lastPrice = shown.price;
}

void QuoteFeed::noteHoliday(const QDateTime& indexTime) {
    // Once the opening auction is over, a session that still gets the Shanghai index of an
    // earlier day is no trading day: the exchanges are shut for a holiday.
    const QDateTime now = d->now();
    if (!indexTime.isValid() || !d->hours.isOpen(now))
        return;
    const QDateTime exchangeNow = now.toTimeZone(MarketHours::exchangeZone());
    if (exchangeNow.time() < kAuctionOver || indexTime.date() >= exchangeNow.date())
        return;
    if (d->closedDay != exchangeNow.date())
        qCInfo(lcFeed).noquote() << "the Shanghai index is of"
                                 << indexTime.date().toString(Qt::ISODate) << "- no trading today";
    d->closedDay = exchangeNow.date();
}

bool QuoteFeed::isClosedDay(const QDateTime& instant) const {
    return d->closedDay.isValid() && MarketHours::exchangeDate(instant) == d->closedDay;
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
    d->afterPause = next;
    d->pauseClock.start();
    d->pause->start(d->options.turnPauseMs + 1);
}

void QuoteFeed::endCycle() {
    // Once more let waiting events run, then read the watch list afresh.
    QTimer::singleShot(0, this, &QuoteFeed::startCycle);
}

bool QuoteFeed::isRunning() const {
    return d->running;
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
