// SPDX-License-Identifier: GPL-3.0-or-later
#include "quotes/quoterecord.h"

#include "quotes/markethours.h"

#include <QTime>

#include <cmath>

namespace tarnwel::quoterecord {

namespace {

// The opening call auction, on the exchange's clock.
const QTime kAuctionStart(9, 15);
const QTime kAuctionEnd(9, 25, 59);

bool readsPositive(QStringView field) {
    bool ok = false;
    const double value = field.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) && value > 0;
}

bool inAuction(const Quote& quote) {
    if (!quote.time.isValid())
        return false;
    const QTime clock = quote.time.toTimeZone(MarketHours::exchangeZone()).time();
    return clock >= kAuctionStart && clock <= kAuctionEnd;
}

// The previous close where it reads as a price, else nothing.
ShownPrice previousClose(PriceKind kind, const Quote& quote) {
    const QString close = quote.prevClose.value_or(QString());
    return {kind, readsPositive(close) ? close : QString()};
}

} // namespace

bool readsZero(QStringView field) {
    bool ok = false;
    const double value = field.trimmed().toDouble(&ok);
    return ok && value == 0;
}

bool readsNoPrice(QStringView field) {
    bool ok = false;
    const double value = field.trimmed().toDouble(&ok);
    return ok && !(std::isfinite(value) && value > 0);
}

ShownPrice shownPrice(const Quote& quote) {
    switch (quote.status) {
    case TradingStatus::Suspended:
        return previousClose(PriceKind::Suspended, quote);
    case TradingStatus::Delisted:
        return {PriceKind::Delisted, {}};
    case TradingStatus::NotListed:
        return {PriceKind::NotListed, {}};
    case TradingStatus::Normal:
        break;
    }
    const QString price = quote.price.value_or(QString());
    if (!readsNoPrice(price))
        return {PriceKind::Traded, price};
    const QString bid = quote.bid1.value_or(QString());
    if (inAuction(quote) && readsPositive(bid))
        return {PriceKind::Auction, bid};
    return previousClose(PriceKind::NotTraded, quote);
}

QString kindWord(PriceKind kind) {
    switch (kind) {
    case PriceKind::Traded:
        break;
    case PriceKind::Suspended:
        return QStringLiteral("停牌");
    case PriceKind::Delisted:
        return QStringLiteral("退市");
    case PriceKind::NotListed:
        return QStringLiteral("未上市");
    case PriceKind::Auction:
        return QStringLiteral("竞价");
    case PriceKind::NotTraded:
        return QStringLiteral("未成交");
    }
    return {};
}

} // namespace tarnwel::quoterecord
