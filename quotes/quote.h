// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>

#include <optional>

namespace tarnwel {

// The quote services the program can ask. Each writes its own reply format; both become
// one Quote.
enum class QuoteService {
    Sina,    // "新浪": base + "list=" + code, comma-separated fields
    Tencent, // "腾讯": base + "q=" + code, "~"-separated fields
};

// What the record says of the stock's trading today, where the service states it.
enum class TradingStatus {
    Normal,
    Suspended, // halted: no trade today, the previous close stands
    Delisted,  // gone from the exchange: no price at all
    NotListed, // not yet listed: no price at all
};

// One record of a quote service, cut once. Prices are the service's texts, never turned
// into numbers on their way to the screen; the second service's stock and fund prices are
// padded to the three decimals the first writes. A field the record does not hold is
// empty (std::nullopt), so that whoever shows it can keep what it had.
struct Quote {
    QuoteService service = QuoteService::Sina;
    QString code; // as asked, e.g. "sh600028"
    std::optional<QString> name;
    std::optional<QString> open;
    std::optional<QString> prevClose;
    std::optional<QString> price;
    std::optional<QString> high;
    std::optional<QString> low;
    std::optional<QString> bid1;      // the best bid: the call auction's provisional price
    std::optional<double> volumeLots; // lots of 100 shares, whole
    QDateTime time;                   // the record's own time; invalid when it has none
    TradingStatus status = TradingStatus::Normal;
    QString statusText; // the status as the service wrote it ("03", "S"…), for the log
};

// The service's name in the user's words: "新浪", "腾讯".
QString serviceName(QuoteService service);

} // namespace tarnwel

Q_DECLARE_METATYPE(tarnwel::Quote)
