// SPDX-License-Identifier: GPL-3.0-or-later
#include "ticker/quoterecord.h"

#include "ticker/markethours.h"
#include "ticker/quotereply.h"

#include <QTime>

namespace tarnwel::quoterecord {

namespace {

constexpr int kPrevClose = 2;
constexpr int kPrice = 3;
constexpr int kBid1Price = 11;
constexpr int kDate = 30;
constexpr int kTime = 31;
constexpr int kStatus = 32;

// The opening call auction, on the exchange's clock.
const QTime kAuctionStart(9, 15);
const QTime kAuctionEnd(9, 25, 59);

// A trailing field: the record's last one is closed by its quote, not a comma.
QString tailField(QStringView reply, int k) {
    if (std::optional<QString> value = quotereply::field(reply, k))
        return *value;
    std::optional<QString> last = quotereply::field(QString(reply.toString() + u','), k);
    if (!last)
        return {};
    const qsizetype quote = last->indexOf(u'"');
    return quote < 0 ? *last : last->left(quote);
}

bool readsPositive(QStringView field) {
    bool ok = false;
    const double value = field.trimmed().toDouble(&ok);
    return ok && value > 0;
}

QString fieldOrEmpty(QStringView reply, int k) {
    return quotereply::field(reply, k).value_or(QString());
}

bool inAuction(QStringView reply) {
    const QDateTime time = recordTime(reply);
    if (!time.isValid())
        return false;
    const QTime clock = time.time();
    return clock >= kAuctionStart && clock <= kAuctionEnd;
}

// The previous close where it reads as a price, else nothing.
ShownPrice previousClose(PriceKind kind, QStringView reply) {
    const QString close = fieldOrEmpty(reply, kPrevClose);
    return {kind, readsPositive(close) ? close : QString()};
}

} // namespace

bool readsZero(QStringView field) {
    bool ok = false;
    const double value = field.trimmed().toDouble(&ok);
    return ok && value == 0;
}

QString status(QStringView reply) {
    return tailField(reply, kStatus).trimmed();
}

QDateTime recordTime(QStringView reply) {
    const QDate date = QDate::fromString(tailField(reply, kDate).trimmed(), u"yyyy-MM-dd");
    const QTime time = QTime::fromString(tailField(reply, kTime).trimmed(), u"HH:mm:ss");
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, MarketHours::exchangeZone());
}

ShownPrice shownPrice(QStringView reply) {
    const QString price = fieldOrEmpty(reply, kPrice);
    if (!readsZero(price))
        return {PriceKind::Traded, price};
    const QString state = status(reply);
    if (state == u"03")
        return previousClose(PriceKind::Suspended, reply);
    if (state == u"-3")
        return {PriceKind::Delisted, {}};
    if (state == u"-2")
        return {PriceKind::NotListed, {}};
    const QString bid = fieldOrEmpty(reply, kBid1Price);
    if (inAuction(reply) && readsPositive(bid))
        return {PriceKind::Auction, bid};
    return previousClose(PriceKind::NotTraded, reply);
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
