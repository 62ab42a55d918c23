// SPDX-License-Identifier: GPL-3.0-or-later
#include "ticker/listfeed.h"

#include "base/logging.h"
#include "base/stockcode.h"
#include "quotes/pricechange.h"
#include "quotes/quiethours.h"
#include "quotes/quoterecord.h"
#include "quotes/quotesource.h"
#include "watchlist/entry.h"
#include "watchlist/watchliststore.h"

#include <QHash>
#include <QTimer>

namespace tarnwel {

namespace {

// The watch list is read again at least this often, whatever saved it.
constexpr qint64 kReloadSecs = 60;

ListRow indexRow(const char16_t* code, const char* name) {
    return {QString::fromUtf16(code), QString::fromUtf8(name), true, std::nullopt};
}

} // namespace

ListRowTexts listRowTexts(const ListRow& row) {
    ListRowTexts t;
    t.name = row.name;
    if (!row.quote)
        return t;
    const Quote& q = *row.quote;
    const ShownPrice shown = row.index ? ShownPrice{PriceKind::Traded, q.price.value_or(QString())}
                                       : quoterecord::shownPrice(q);
    t.price = shown.price;
    if (shown.kind != PriceKind::Traded) {
        t.change = quoterecord::kindWord(shown.kind);
        return t;
    }
    if (const std::optional<PriceChange> change =
            priceChange(shown.price, q.prevClose.value_or(QString()))) {
        t.change = change->change;
        t.percent = change->percent;
        t.direction = change->direction;
    }
    return t;
}

struct ListFeed::Private {
    Options options;
    std::shared_ptr<ServiceSwitch> services;
    QuoteSource* source = nullptr;
    QuietHours hours;
    QTimer* next = nullptr;
    bool running = false;
    QList<ListRow> rows;
    QHash<QString, QDateTime> arrived; // of each code's good record, while sessions are known
    QDateTime readAt;                  // the watch list's latest reading
    bool reload = true;
    FeedStatus* status = nullptr;

    QDateTime now() const {
        return options.clock ? options.clock() : QDateTime::currentDateTimeUtc();
    }
    QStringList codes() const {
        QStringList out;
        for (const ListRow& row : rows)
            out.append(row.code);
        return out;
    }
};

ListFeed::ListFeed(Options options, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>()) {
    d->options = std::move(options);
    d->services = d->options.services;
    if (!d->services)
        d->services = std::make_shared<ServiceSwitch>(!d->options.secondBaseUrl.isEmpty());
    d->source = new QuoteSource({d->options.baseUrl, d->options.referer, d->options.secondBaseUrl,
                                 d->options.fetchTimeoutMs, &lcFeed},
                                d->services, this);
    connect(d->source, &QuoteSource::answered, this, &ListFeed::answered);
    if (std::optional<MarketHours> hours = MarketHours::parse(d->options.marketHours))
        d->hours = QuietHours(*hours);
    d->status = new FeedStatus(this);
    d->next = new QTimer(this);
    d->next->setSingleShot(true);
    connect(d->next, &QTimer::timeout, this, &ListFeed::refresh);
    d->rows = {indexRow(kShanghaiIndexCode, "沪综指"), indexRow(kShenzhenIndexCode, "深成指")};
}

ListFeed::~ListFeed() {
    d->source->disconnect(this);
    d->source->abort();
}

void ListFeed::start() {
    if (d->running)
        return;
    d->running = true;
    refresh();
}

void ListFeed::stop() {
    d->running = false;
    d->next->stop();
    d->source->abort();
}

void ListFeed::reloadWatchList() {
    d->reload = true;
}

const QList<ListRow>& ListFeed::rows() const {
    return d->rows;
}

FeedStatus* ListFeed::status() const {
    return d->status;
}

void ListFeed::refresh() {
    if (!d->running)
        return;
    const QDateTime now = d->now();
    if (d->reload || !d->readAt.isValid() || d->readAt.secsTo(now) >= kReloadSecs)
        readWatchList();
    if (servesStored(now)) {
        FeedOutcome outcome;
        outcome.kind = FeedOutcome::Kind::Stored;
        outcome.checkedAt = now;
        outcome.replyTime = d->arrived.value(d->rows.last().code);
        outcome.recordTime = d->rows.last().quote ? d->rows.last().quote->time : QDateTime();
        finishRefresh(outcome);
        return;
    }
    d->source->fetchMany(d->codes());
}

// Rows of the listed stocks in list order, each keeping its record when it stays listed.
void ListFeed::readWatchList() {
    d->reload = false;
    d->readAt = d->now();
    const WatchListStore store(d->options.watchListPath, d->options.watchListUserPath);
    WatchListStore::Contents contents = store.read();
    if (contents.status == WatchListStore::Status::Missing)
        store.createDefault();
    if (contents.status == WatchListStore::Status::Missing ||
        contents.status == WatchListStore::Status::Unreadable)
        return;
    QHash<QString, ListRow> old;
    for (const ListRow& row : std::as_const(d->rows))
        old.insert(row.code, row);
    QList<ListRow> rows = d->rows.mid(0, 2);
    for (const QString& entry : std::as_const(contents.entries)) {
        const std::optional<QString> code = entryCode(entry);
        if (!code || code->isEmpty())
            continue;
        ListRow row = old.value(*code, ListRow{*code, {}, false, std::nullopt});
        row.name = entryName(entry).value_or(*code);
        rows.append(row);
    }
    d->rows = rows;
}

// While prices cannot move and every row has a record since, nothing is asked; on a day
// taken for a holiday the index is still asked now and then.
bool ListFeed::servesStored(const QDateTime& now) {
    if (d->hours.alwaysOpen())
        return false;
    for (const ListRow& row : std::as_const(d->rows)) {
        const auto it = d->arrived.constFind(row.code);
        if (it == d->arrived.cend() || !d->hours.holds(*it, now))
            return false;
    }
    return !d->hours.recheckDue(now);
}

void ListFeed::answered(const QuoteAnswer& answer) {
    const QDateTime now = d->now();
    FeedOutcome outcome;
    outcome.checkedAt = now;
    outcome.replyTime = now;
    outcome.httpStatus = answer.outcome.httpStatus;
    outcome.service = answer.service;
    outcome.inSession = !d->hours.alwaysOpen() && d->hours.isOpen(now);
    if (d->services->onSecond())
        outcome.firstRefused = d->services->firstRefusal();
    if (!answer.isQuote()) {
        outcome.failure = answer.failure();
        finishRefresh(outcome);
        return;
    }
    for (qsizetype i = 0; i < answer.batch.size() && i < d->rows.size(); ++i) {
        const ParsedReply& record = answer.batch[i];
        if (record.kind == ReplyKind::Quote && record.quote.code == d->rows[i].code)
            takeRecord(d->rows[i], record.quote, now, !d->hours.isClosedDay(now));
    }
    outcome.kind = d->hours.isClosedDay(now) ? FeedOutcome::Kind::Stored : FeedOutcome::Kind::Live;
    outcome.recordTime = answer.parsed.quote.time;
    outcome.quote = answer.parsed.quote;
    finishRefresh(outcome);
}

void ListFeed::takeRecord(ListRow& row, const Quote& quote, const QDateTime& now, bool live) {
    row.quote = quote;
    if (!d->hours.alwaysOpen())
        d->arrived.insert(row.code, now);
    if (row.code == QStringView(kShanghaiIndexCode))
        d->hours.noteIndex(quote.time, now);
    if (!row.index)
        Q_EMIT quoteReceived(row.name, quote, live, now);
}

void ListFeed::finishRefresh(const FeedOutcome& outcome) {
    d->status->record(outcome);
    Q_EMIT rowsChanged();
    if (d->running)
        d->next->start(d->options.refreshMs);
}

} // namespace tarnwel
