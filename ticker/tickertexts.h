// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "quotes/quoterecord.h"

#include <QMetaType>
#include <QString>

namespace tarnwel {

// What a turn has gathered by the time it writes to the screen. Prices and index values
// are the service's texts, never turned into numbers.
struct QuoteValues {
    QString currentStockName;
    QString currentStockCode;
    QString quoteReply; // the latest fetch's reply; empty when it failed
    QString shIndexValue;
    QString szIndexValue;
    QString shIndexClose; // the indices' previous closes
    QString szIndexClose;
    QString openPrice;
    QString prevClose;
    QString lastPrice; // the price shown: a traded one or what stands in for it
    PriceKind priceKind = PriceKind::Traded;
    QString highPrice;
    QString lowPrice;
    double volumeLots = 0;
};

// The texts one successful turn puts on screen, in the order they are written.
struct TickerTexts {
    QString label4;         // 最高 / 最低
    QString label3;         // 昨收 / 今开 / 成交
    QString label2;         // the price, large
    QString label9;         // beside the price: what it is, where it is not a traded one
    QString label5;         // 沪综指
    QString label6;         // 深成指
    QString label1;         // the stock's name
    QString stealthCaption; // code digits + "(" + price + ")"
    QString stealthTooltip; // the whole quote on one line
    // Against the previous close: +1 up, -1 down, 0 unchanged or not known.
    int direction = 0;
    int shDirection = 0;
    int szDirection = 0;
    QString change; // the stock's change and percent on one line, e.g. "+0.050 +0.97%"
};

// The ticker and stealth-window texts, blanks and all.
TickerTexts tickerTexts(const QuoteValues& values);

// The code as the stealth line shows it: without its market prefix ("sh", "sz", "bj").
QString codeDigits(const QString& code);

} // namespace tarnwel

Q_DECLARE_METATYPE(tarnwel::TickerTexts)
