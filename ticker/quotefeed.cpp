#include "ticker/quotefeed.h"

#include "app/watchlistfile.h"
#include "ticker/quotereply.h"
#include "ticker/tickertexts.h"
#include "watchlist/entry.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QStringDecoder>
#include <QTimer>

namespace tarnwel {

namespace {

// A quote is one short line; anything bigger is not an answer from the quote service,
// and the feed must not buffer it without bound.
constexpr qsizetype kMaxReplyBytes = 64 * 1024;

const QString kShanghaiIndex = QStringLiteral("sh000001");
const QString kShenzhenIndex = QStringLiteral("sz399001");

// Keeps `target` as it was when the field cannot be cut.
void cutInto(QString& target, const QString& reply, int k) {
    if (std::optional<QString> value = quotereply::field(reply, k))
        target = std::move(*value);
}

} // namespace

struct QuoteFeed::Private {
    Options options;
    bool running = false;
    QuoteValues values;
    QString quoteReply;
    QStringList list3;
    qsizetype entryCount = 0; // taken once, before a cycle's first turn
    qsizetype turn = 0;

    QNetworkAccessManager* network = nullptr;
    QPointer<QNetworkReply> reply;
    Fetch fetching = Fetch::ShIndex;
    QByteArray body;
    bool tooLarge = false;
    QTimer* deadline = nullptr; // the whole fetch, however slowly its bytes trickle in

    QTimer* pause = nullptr;
    QElapsedTimer pauseClock;
    void (QuoteFeed::*afterPause)() = nullptr;
};

QuoteFeed::QuoteFeed(Options options, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>()) {
    d->options = std::move(options);
    d->network = new QNetworkAccessManager(this);

    d->deadline = new QTimer(this);
    d->deadline->setSingleShot(true);
    connect(d->deadline, &QTimer::timeout, this, [this] {
        if (d->reply)
            d->reply->abort();
    });

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
    if (d->reply) {
        d->reply->disconnect(this);
        d->reply->abort();
    }
    delete d->network;
}

void QuoteFeed::RefreshQuotes() {
    if (d->running)
        return;
    d->running = true;
    startCycle();
}

void QuoteFeed::startCycle() {
    d->list3.clear();
    const WatchListFile file(d->options.watchListPath);
    WatchListFile::Contents contents = file.read();
    switch (contents.status) {
    case WatchListFile::Status::Missing:
        // Recreated now, read from the next cycle on.
        file.writeDefault();
        break;
    case WatchListFile::Status::Unreadable:
        // Never replace a list we merely failed to read.
        break;
    case WatchListFile::Status::Ok:
        d->list3 = std::move(contents.entries);
        break;
    }
    d->entryCount = d->list3.size();
    d->turn = 0;
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
    fetch(Fetch::ShIndex, kShanghaiIndex);
}

void QuoteFeed::fetch(Fetch what, const QString& code) {
    d->fetching = what;
    d->quoteReply.clear();
    d->body.clear();
    d->tooLarge = false;

    // The code goes into the path as data: whatever a hand-edited entry holds, it
    // cannot turn into a query, a fragment or another address.
    QUrl url = d->options.baseUrl;
    url.setPath(url.path(QUrl::FullyDecoded) + u"list=" + code, QUrl::DecodedMode);
    QNetworkRequest request(url);
    request.setTransferTimeout(d->options.fetchTimeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    // The service answers only requests that name the page they come from.
    if (!d->options.referer.isEmpty())
        request.setRawHeader("Referer", d->options.referer);

    QNetworkReply* reply = d->network->get(request);
    d->reply = reply;
    const auto refuse = [this, reply] {
        d->tooLarge = true;
        d->body.clear();
        reply->abort();
    };
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply, refuse] {
        if (reply != d->reply)
            return;
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > kMaxReplyBytes)
            refuse();
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply, refuse] {
        if (reply != d->reply || d->tooLarge)
            return;
        d->body += reply->read(kMaxReplyBytes + 1 - d->body.size());
        if (d->body.size() > kMaxReplyBytes)
            refuse();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        if (reply == d->reply)
            fetchFinished();
    });
    d->deadline->start(d->options.fetchTimeoutMs);
}

void QuoteFeed::fetchFinished() {
    QNetworkReply* reply = d->reply;
    d->deadline->stop();
    d->reply = nullptr;
    reply->deleteLater();

    // A failed fetch leaves QuoteReply empty. An error page is a failure too, however
    // many commas it holds: its text must never be shown as prices.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && !d->tooLarge && status >= 200 && status < 300) {
        d->body += reply->read(kMaxReplyBytes + 1 - d->body.size());
        if (d->body.size() <= kMaxReplyBytes)
            d->quoteReply = QStringDecoder("GBK").decode(d->body);
    }
    d->body.clear();

    switch (d->fetching) {
    case Fetch::ShIndex:
        if (!d->quoteReply.isEmpty())
            cutInto(d->values.shIndexValue, d->quoteReply, 3);
        fetch(Fetch::SzIndex, kShenzhenIndex);
        break;
    case Fetch::SzIndex:
        if (!d->quoteReply.isEmpty())
            cutInto(d->values.szIndexValue, d->quoteReply, 3);
        fetch(Fetch::Stock, d->values.currentStockCode);
        break;
    case Fetch::Stock:
        // No comma: a failed fetch or a code the service does not know. The screen keeps
        // the previous stock for this turn.
        if (d->quoteReply.contains(u',')) {
            cutInto(d->values.openPrice, d->quoteReply, 1);
            cutInto(d->values.prevClose, d->quoteReply, 2);
            cutInto(d->values.lastPrice, d->quoteReply, 3);
            cutInto(d->values.highPrice, d->quoteReply, 4);
            cutInto(d->values.lowPrice, d->quoteReply, 5);
            if (std::optional<QString> volume = quotereply::field(d->quoteReply, 8)) {
                if (std::optional<double> lots = quotereply::volumeLots(*volume))
                    d->values.volumeLots = *lots;
            }
            Q_EMIT textsReady(tickerTexts(d->values));
        }
        finishTurn();
        break;
    }
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

} // namespace tarnwel
