#include "ticker/quotefeed.h"

#include "base/logging.h"
#include "base/stockcode.h"
#include "net/quoteclient.h"
#include "ticker/markethours.h"
#include "ticker/quotereply.h"
#include "watchlist/entry.h"
#include "watchlist/watchliststore.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QTimer>

namespace tarnwel {

namespace {

// The fields of a stock reply that reach the screen.
constexpr int kStockFields[] = {1, 2, 3, 4, 5, 8};
constexpr int kIndexField = 3;

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
    QString quoteReply;
    QStringList list3;
    qsizetype entryCount = 0; // taken once, before a cycle's first turn
    qsizetype turn = 0;

    QuoteClient* client = nullptr;
    Fetch fetching = Fetch::ShIndex;
    MarketHours hours;
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
    startTurn();
}

void QuoteFeed::startTurn() {
    const QString& entry = d->list3.at(d->turn);
    // A malformed entry leaves the part that cannot be read as it was.
    if (std::optional<QString> name = entryName(entry))
        d->values.currentStockName = std::move(*name);
    if (std::optional<QString> code = entryCode(entry))
        d->values.currentStockCode = std::move(*code);
    Q_EMIT turnStarted(int(d->turn));
    fetch(Fetch::ShIndex, QString::fromUtf16(kShanghaiIndexCode));
}

void QuoteFeed::fetch(Fetch what, const QString& code) {
    d->fetching = what;
    d->quoteReply.clear();

    // While the market is closed, a reply that came after the latest close is still the
    // service's answer: no need to ask again.
    if (!d->hours.alwaysOpen()) {
        const QDateTime now = d->now();
        const auto it = d->stored.constFind(code);
        if (!d->hours.isOpen(now) && it != d->stored.cend() &&
            it->arrived > d->hours.lastClose(now)) {
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

void QuoteFeed::fetchFinished(const QuoteOutcome& outcome) {
    replied(outcome, d->now(), false);
}

void QuoteFeed::replied(const QuoteOutcome& outcome, const QDateTime& arrived, bool stored) {
    // A failed fetch leaves QuoteReply empty.
    if (outcome.ok())
        d->quoteReply = outcome.text;
    const bool keep = !stored && !d->hours.alwaysOpen();

    switch (d->fetching) {
    case Fetch::ShIndex:
    case Fetch::SzIndex: {
        QString& value =
            d->fetching == Fetch::ShIndex ? d->values.shIndexValue : d->values.szIndexValue;
        if (isUsableIndexReply(d->quoteReply)) {
            cutInto(value, d->quoteReply, kIndexField);
            if (keep)
                d->stored.insert(outcome.code, {d->quoteReply, arrived});
        }
        if (d->fetching == Fetch::ShIndex)
            fetch(Fetch::SzIndex, QString::fromUtf16(kShenzhenIndexCode));
        else
            fetch(Fetch::Stock, d->values.currentStockCode);
        break;
    }
    case Fetch::Stock: {
        FeedOutcome result;
        result.replyTime = arrived;
        result.httpStatus = outcome.httpStatus;
        // No comma: a failed fetch or a code the service does not know. Nor does a reply
        // whose shown fields hold control characters or undecodable bytes go on screen.
        // Either way the screen keeps the previous stock for this turn.
        if (isShowableStockReply(d->quoteReply)) {
            cutInto(d->values.openPrice, d->quoteReply, 1);
            cutInto(d->values.prevClose, d->quoteReply, 2);
            cutInto(d->values.lastPrice, d->quoteReply, 3);
            cutInto(d->values.highPrice, d->quoteReply, 4);
            cutInto(d->values.lowPrice, d->quoteReply, 5);
            if (std::optional<QString> volume = quotereply::field(d->quoteReply, 8)) {
                if (std::optional<double> lots = quotereply::volumeLots(*volume))
                    d->values.volumeLots = *lots;
            }
            if (keep)
                d->stored.insert(outcome.code, {d->quoteReply, arrived});
            result.kind = stored ? FeedOutcome::Kind::Stored : FeedOutcome::Kind::Live;
            Q_EMIT textsReady(tickerTexts(d->values));
        } else {
            result.failure = outcome.ok() ? QuoteFailure::NotQuoteData : outcome.failure;
            if (outcome.ok())
                qCDebug(lcFeed).noquote() << "not quote data for" << outcome.code;
        }
        Q_EMIT stockOutcome(result);
        finishTurn();
        break;
    }
    }
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
    Q_EMIT turnFinished(int(d->turn));
    // Let everything that is waiting run before the pause begins.
    QTimer::singleShot(0, this, [this] { pauseThen(&QuoteFeed::nextTurn); });
}

void QuoteFeed::nextTurn() {
    ++d->turn;
    if (d->turn < d->entryCount)
        startTurn();
    else
        endCycle();
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
const QString& QuoteFeed::CurrentStockName() const {
    return d->values.currentStockName;
}
const QString& QuoteFeed::CurrentStockCode() const {
    return d->values.currentStockCode;
}
const QString& QuoteFeed::QuoteReply() const {
    return d->quoteReply;
}
const QString& QuoteFeed::ShIndexValue() const {
    return d->values.shIndexValue;
}
const QString& QuoteFeed::SzIndexValue() const {
    return d->values.szIndexValue;
}
const QString& QuoteFeed::OpenPrice() const {
    return d->values.openPrice;
}
const QString& QuoteFeed::PrevClose() const {
    return d->values.prevClose;
}
const QString& QuoteFeed::LastPrice() const {
    return d->values.lastPrice;
}
const QString& QuoteFeed::HighPrice() const {
    return d->values.highPrice;
}
const QString& QuoteFeed::LowPrice() const {
    return d->values.lowPrice;
}
double QuoteFeed::VolumeLots() const {
    return d->values.volumeLots;
}
const QStringList& QuoteFeed::List3() const {
    return d->list3;
}
FeedStatus* QuoteFeed::status() const {
    return d->status;
}

} // namespace tarnwel
