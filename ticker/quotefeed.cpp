#include "ticker/quotefeed.h"

namespace tarnwel {

struct QuoteFeed::Private {
    Options options;
    bool running = false;
    QString currentStockName, currentStockCode, quoteReply, shIndexValue, szIndexValue;
    QString openPrice, prevClose, lastPrice, highPrice, lowPrice;
    double volumeLots = 0;
    QStringList list3;
};

QuoteFeed::QuoteFeed(Options options, QObject* parent)
    : QObject(parent)
    , d(new Private)
{
    d->options = std::move(options);
}

QuoteFeed::~QuoteFeed()
{
    delete d;
}

void QuoteFeed::RefreshQuotes()
{
    d->running = true;
}

bool QuoteFeed::isRunning() const { return d->running; }
const QString& QuoteFeed::CurrentStockName() const { return d->currentStockName; }
const QString& QuoteFeed::CurrentStockCode() const { return d->currentStockCode; }
const QString& QuoteFeed::QuoteReply() const { return d->quoteReply; }
const QString& QuoteFeed::ShIndexValue() const { return d->shIndexValue; }
const QString& QuoteFeed::SzIndexValue() const { return d->szIndexValue; }
const QString& QuoteFeed::OpenPrice() const { return d->openPrice; }
const QString& QuoteFeed::PrevClose() const { return d->prevClose; }
const QString& QuoteFeed::LastPrice() const { return d->lastPrice; }
const QString& QuoteFeed::HighPrice() const { return d->highPrice; }
const QString& QuoteFeed::LowPrice() const { return d->lowPrice; }
double QuoteFeed::VolumeLots() const { return d->volumeLots; }
const QStringList& QuoteFeed::List3() const { return d->list3; }

} // namespace tarnwel
