// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "quotes/quote.h"

#include <QString>
#include <QStringView>

namespace tarnwel {

// What the price of a stock record stands for. The first service writes 0.000 as the price
// of a stock that is not trading, or not yet; the second repeats the previous close and says
// so in its status. Such a record is never shown as a traded price.
enum class PriceKind {
    Traded,    // a real last price
    Suspended, // halted for the day; the previous close stands in
    Delisted,  // no price at all
    NotListed, // no price at all
    Auction,   // the opening call auction: the provisional match price stands in
    NotTraded, // no trade yet today; the previous close stands in
};

struct ShownPrice {
    PriceKind kind = PriceKind::Traded;
    QString price; // what the ticker shows as the price; empty where there is none
};

namespace quoterecord {

// The price a stock record shows and what it stands for.
ShownPrice shownPrice(const Quote& quote);

// The word that says what a price other than a traded one is: "停牌", "竞价"…; empty
// for a traded price.
QString kindWord(PriceKind kind);

// A field that reads as the number zero, such as "0.000".
bool readsZero(QStringView field);

// A field that reads as a number but cannot be a price: zero, negative or not finite.
bool readsNoPrice(QStringView field);

} // namespace quoterecord

} // namespace tarnwel
