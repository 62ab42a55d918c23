// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

namespace tarnwel {

// What the price of a stock record stands for. The service writes 0.000 as the price of
// a stock that is not trading, or not yet: such a record is never shown as a price.
enum class PriceKind {
    Traded,    // a real last price
    Suspended, // status 03: halted for the day; the previous close stands in
    Delisted,  // status -3: no price at all
    NotListed, // status -2: no price at all
    Auction,   // the opening call auction: the provisional match price stands in
    NotTraded, // no trade yet today; the previous close stands in
};

struct ShownPrice {
    PriceKind kind = PriceKind::Traded;
    QString price; // what the ticker shows as the price; empty where there is none
};

namespace quoterecord {

// The price a stock record shows and what it stands for.
ShownPrice shownPrice(QStringView reply);

// The word that says what a price other than a traded one is: "停牌", "竞价"…; empty
// for a traded price.
QString kindWord(PriceKind kind);

// A field that reads as the number zero, such as "0.000".
bool readsZero(QStringView field);

// The record's own date and time (fields 30 and 31, China Standard Time); invalid when
// the record has none that read.
QDateTime recordTime(QStringView reply);

// Field 32, or empty for records before the service wrote one.
QString status(QStringView reply);

} // namespace quoterecord

} // namespace tarnwel
